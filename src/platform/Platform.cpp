#include "platform/Platform.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

IPlatform* DefaultPlatform();  // per target: platform/win32 or platform/sim

namespace {
std::atomic<IPlatform*> current{nullptr};
}

IPlatform& Platform()
{
    IPlatform* p = current.load();
    if (!p) {
        p = DefaultPlatform();
        if (!p) {
            std::fputs("no platform: set SETUP_MACHINE to a simulated machine folder\n", stderr);
            std::abort();
        }
        current.store(p);
    }
    return *p;
}

IPlatform* SetPlatform(IPlatform* platform) { return current.exchange(platform); }
