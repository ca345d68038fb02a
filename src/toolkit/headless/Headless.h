#pragma once
// Driving the headless toolkit: the message loop, the virtual clock and a user who
// clicks, closes windows and answers dialogs. Tests and the host program's script
// runner use it on the user-interface thread.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "toolkit/Forms.h"

namespace headless {

struct MessageBoxRecord {
    uint64_t owner = 0;
    UString text;
    UString caption;
    uint32_t flags = 0;
    int answer = 0;
};

struct PrintDialogRecord {
    uint64_t owner = 0;
    unsigned options = 0;
    TPrintRange range = prAllPages;
    bool confirmed = false;
};

struct PrintJob {
    UString title;
    UString printer;
    UString text;
};

// Someone at the screen: asked when the program waits for the user. Each hook
// returns whether it acted (an answer); the defaults do nothing.
class ScriptedUser {
public:
    virtual ~ScriptedUser() = default;
    // The loop has nothing else to do: act (click, close ...) and return true, or
    // return false to let time pass (timers) or, with nothing pending, end the run.
    virtual bool OnIdle() { return false; }
    virtual std::optional<int> OnMessageBox(const MessageBoxRecord& box) { return std::nullopt; }
    virtual std::optional<bool> OnPrintDialog(const PrintDialogRecord& dialog) { return std::nullopt; }
    // A form became visible (told when its presentation changes, in order).
    virtual void OnFormShown(TForm& form) {}
};

// Forgets queued events, timers' schedules, answers and records; the clock goes back
// to 0. Call it between tests, with no application alive.
void Reset();

// Handles the queued events and the timers due now, until none is left. Does not
// wait for worker threads and does not move the clock.
void RunUntilIdle();
// Handles events (waiting for those worker threads post) and due timers until `done`
// is true or the real time runs out; the clock does not move. The result is done().
bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));
// Moves the virtual clock on; the timers due in between fire in time order, with
// the events they cause handled between them.
void AdvanceClock(int64_t milliseconds);
int64_t Now();
// A safety net for Run(): the run ends when the virtual clock passes this (default
// one virtual day).
void SetVirtualTimeLimit(int64_t milliseconds);
// True when the last Run() ended because nothing could happen any more (no event,
// no timer, no running worker, no user action) rather than by Terminate.
bool RunEndedStuck();

// What a person can do. Each fails (false) for a control that is hidden, disabled
// or on a hidden form, and handles the events that follow (RunUntilIdle).
bool Click(TControl& control);
// The close box or Alt+F4: WM_CLOSE through the form's window procedure.
bool CloseWindow(TForm& form);
// Enter (the focused push button, else the default button) and Esc (the cancel
// button, else the close box). A click puts the focus on what it clicked.
bool PressEnter(TForm& form);
bool PressEscape(TForm& form);
// Tab, or Shift+Tab: the focus to the next control in tab order.
bool PressTab(TForm& form, bool shift = false);

// Message boxes take the next queued answer, else the user's, else their default
// button's (DefaultAnswer).
void QueueMessageBoxAnswer(int answer);
std::vector<MessageBoxRecord> MessageBoxes();
void ClearMessageBoxes();

// Print dialogs take the next queued answer, else the user's, else cancel.
void QueuePrintDialogAnswer(bool print, UString printer = u"Headless Printer");
std::vector<PrintDialogRecord> PrintDialogs();
std::vector<PrintJob> PrintJobs();

void SetScriptedUser(ScriptedUser* user);

// The control that owns a window handle, nullptr when none does.
TControl* ControlFromHandle(uint64_t handle);

// The visible texts of a form, for journals: its caption, then each showing
// control's caption (labels, buttons, boxes; rich-text views give their text).
std::vector<UString> VisibleTexts(TForm& form);

}  // namespace headless
