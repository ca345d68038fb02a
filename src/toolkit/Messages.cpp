#include "toolkit/Messages.h"

#include "toolkit/Backend.h"
#include "toolkit/UiSync.h"

uint32_t RegisterMessage(UStringView name)
{
    if (name.empty())
        return 0;
    return backend::RegisterMessage(name);
}

bool PostMessageTo(uint64_t window, uint32_t msg, uintptr_t wParam, intptr_t lParam)
{
    // What the poster wrote to controls before is shown before its message is handled.
    uisync::BeforePost();
    return backend::PostMessageTo(window, msg, wParam, lParam);
}

uint64_t DesktopWindow() { return backend::DesktopWindow(); }
