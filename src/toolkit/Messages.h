#pragma once
// Window messages as the toolkit passes them to a control's window procedure, and
// the calls a worker thread uses to reach a window. Window handles are plain
// numbers (an HWND on Windows, a number of the headless toolkit's own).
#include <cstdint>

#include "base/UString.h"

struct TMessage {
    uint32_t Msg = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

// Message numbers of Windows, under names that do not collide with <windows.h>.
namespace WM {
constexpr uint32_t Null = 0x0000, Destroy = 0x0002, Size = 0x0005, Paint = 0x000F, Close = 0x0010, ShowWindow = 0x0018,
                   GetText = 0x000D, Command = 0x0111, Timer = 0x0113, SysCommand = 0x0112, User = 0x0400, App = 0x8000;
// RegisterMessage numbers lie in 0xC000..0xFFFF.
constexpr uint32_t FirstRegistered = 0xC000;
}  // namespace WM

namespace BN {
constexpr uint16_t Clicked = 0;
}

constexpr uint16_t LoWord(uintptr_t v) { return static_cast<uint16_t>(v & 0xFFFF); }
constexpr uint16_t HiWord(uintptr_t v) { return static_cast<uint16_t>((v >> 16) & 0xFFFF); }
constexpr uintptr_t MakeWParam(uint16_t lo, uint16_t hi)
{
    return static_cast<uintptr_t>(lo) | static_cast<uintptr_t>(hi) << 16;
}

// RegisterWindowMessageW: the same name gives the same number for the whole
// session; the name is compared without regard to case. 0 for an empty name.
uint32_t RegisterMessage(UStringView name);

// PostMessageW: queues the message for the window's thread and returns at once.
// Safe from any thread. False when the window does not exist.
bool PostMessageTo(uint64_t window, uint32_t msg, uintptr_t wParam, intptr_t lParam);

// The desktop window (GetDesktopWindow), the owner of the program's message boxes.
uint64_t DesktopWindow();
