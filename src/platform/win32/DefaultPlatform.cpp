#include "platform/Platform.h"

// Placeholder until the Win32 implementation lands.
IPlatform* DefaultPlatform()
{
    return nullptr;
}
