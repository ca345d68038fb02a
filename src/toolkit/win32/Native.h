#pragma once
// Reading and pressing native windows as a test driver or a screen reader does,
// through window messages only (WM_GETTEXT, BM_GETCHECK, BM_CLICK ...). Works on the
// windows of this process and of others. Handles are HWND values.
#include <cstdint>
#include <vector>

#include "base/UString.h"

namespace native {

UString ClassNameOf(uint64_t window);
// WM_GETTEXT.
UString TextOf(uint64_t window);
// BM_GETCHECK: 0 unchecked, 1 checked.
int CheckStateOf(uint64_t window);
// PBM_GETPOS.
int ProgressPositionOf(uint64_t window);
bool IsVisible(uint64_t window);
bool IsEnabled(uint64_t window);
uint32_t StyleOf(uint64_t window);
uint32_t ExStyleOf(uint64_t window);
// The opacity of a layered window, 255 for one that is not layered.
int AlphaOf(uint64_t window);
// Every child window below this one, in z-order, depth first.
std::vector<uint64_t> DescendantsOf(uint64_t window);
// The owner of a top-level window, 0 when it has none.
uint64_t OwnerOf(uint64_t window);
// A top-level window with exactly this caption, 0 when none.
uint64_t FindTopLevel(const UString& caption);

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
};
// Position in the parent's client area (on the screen for a top-level window).
Box BoundsOf(uint64_t window);
Box ClientSizeOf(uint64_t window);

// BM_CLICK, sent: returns when the click has been handled.
void SendClick(uint64_t window);
// A key pressed and let go on the window (WM_KEYDOWN, WM_KEYUP), posted. Keys by
// their Windows virtual-key code: 13 Enter, 27 Esc, 9 Tab.
void PostKeyPress(uint64_t window, int virtualKey);
// WM_SYSCOMMAND SC_CLOSE: the close box.
void PostCloseBox(uint64_t window);

// A child process for tests that drive a program from outside: started with one
// extra environment variable; 0 when it could not be started.
uint64_t StartProcess(const UString& commandLine, const UString& envName, const UString& envValue);
// Its exit code; -1 when it did not end in time (it is then ended).
int WaitForProcess(uint64_t process, int timeoutMs);
// The full path of the running executable.
UString OwnExecutable();

}  // namespace native
