#include "platform/win32/Win32Platform.h"

IPlatform* DefaultPlatform()
{
    static Win32Platform platform;
    return &platform;
}
