#pragma once
// What a driver of another program needs beyond Native.h: the top-level windows of
// every process with their owners, control ids, processes by id and name, and input
// that does not wait for the other program (a click whose handler opens a modal box
// would otherwise hold the driver until someone answers the box).
#include <cstdint>
#include <utility>
#include <vector>

#include "base/UString.h"
#include "toolkit/win32/Native.h"

namespace native {

struct TopWindow {
    uint64_t handle = 0;
    uint32_t pid = 0;
    bool visible = false;
    UString className;
    UString caption;
};
// Every top-level window of the desktop, hidden ones too, frontmost first.
std::vector<TopWindow> TopLevelWindows();
bool WindowExists(uint64_t window);
uint32_t ProcessIdOf(uint64_t window);
// GetDlgCtrlID: the id a control was created with (0 for none).
int ControlIdOf(uint64_t window);
// The whole window and its client area, on the screen.
Box ScreenRectOf(uint64_t window);
Box ClientScreenRectOf(uint64_t window);

struct ProcessInfo {
    uint32_t pid = 0;
    UString exeName;  // bare file name, as the tool-help snapshot gives it
};
std::vector<ProcessInfo> Processes();

// Repaints the window with its frame and children now: returns when they have
// painted (the other program's thread answers the paint messages), or false when
// that program does not respond within timeoutMs.
bool PaintNow(uint64_t window, int timeoutMs);

// BM_CLICK, posted: returns at once.
void PostClick(uint64_t window);
// WM_COMMAND BN_CLICKED of the control with this id, posted to the dialog: what the
// dialog's own button would send. Answers a message box whatever its language.
void PostCommand(uint64_t dialog, int id, uint64_t control);

// Started without waiting and without handing it this process's handles (so a
// pipe reading this process's output is not held open by it). The variables are
// added to this process's environment for the child.
struct Started {
    uint64_t process = 0;  // a handle, 0 when the program could not be started
    uint32_t pid = 0;
};
Started StartDetached(const UString& commandLine, const std::vector<std::pair<UString, UString>>& environment);

// Waits up to timeoutMs for the process to end. True when it ended; its exit code
// is put in exitCode when it can be read, else -1. By id, a process that has ended
// and that no one holds a handle of is gone: true, with -1.
bool WaitForProcessHandle(uint64_t process, int timeoutMs, int& exitCode);
bool WaitForProcessId(uint32_t pid, int timeoutMs, int& exitCode);
void CloseProcessHandle(uint64_t process);
bool TerminateProcessId(uint32_t pid, uint32_t exitCode);

}  // namespace native
