#include "platform/Platform.h"

// Placeholder until the simulated machine lands.
IPlatform* DefaultPlatform()
{
    return nullptr;
}
