#pragma once
// Waiting for the message loop in tests of either toolkit.
#include <chrono>
#include <functional>
#include <thread>

#include "toolkit/Forms.h"

namespace shared {

// Handles messages until `done` holds; false when the time ran out first.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(20000))
{
    auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        Application->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace shared
