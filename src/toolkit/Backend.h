#pragma once
// What the shared toolkit asks of its backend: toolkit/headless (no windows) or
// toolkit/win32 (native windows). Each backend folder implements every function
// here; only the toolkit itself includes this header.
#include <cstdint>

#include "toolkit/Controls.h"

class TApplication;
class TForm;
class TTimer;
class TPrintDialog;
class TRichEdit;
class TImage;

namespace backend {

struct FrameSize {
    int width = 0;   // outer width minus client width
    int height = 0;  // outer height minus client height
};

// --- controls ---
void ControlCreated(TControl& control);
void ControlDestroyed(TControl& control);
// On Windows this makes the window (and its parents') when it does not exist yet.
uint64_t HandleOf(TControl& control);
bool HandleAllocated(const TControl& control);
// The toolkit's own handling of a message nobody else took (DefWindowProc on
// Windows, nothing headless).
void DefaultHandler(TControl& control, TMessage& message);
// A window control is going away: its window stops passing messages to it.
void ControlDestroying(TControl& control);
// User-interface thread only: brings the presentation in line with one change.
void Apply(const PropChange& change);
// Width and height a label's text needs (AutoSize).
void MeasureText(const TControl& control, const UString& text, bool wordWrap, int maxWidth, int& width, int& height);
// A picture file's bytes were taken into the image (bytes already checked).
bool PictureLoaded(TImage& image, const std::string& bytes);

// --- application and message loop ---
void Initialize(TApplication& app);
void Shutdown(TApplication& app);
// Runs until the application is terminated.
void RunLoop(TApplication& app);
// Handles what is waiting, without waiting for more.
void ProcessMessages(TApplication& app);
void Terminated(TApplication& app);
// Any thread: ask the user-interface thread to present the queued changes.
void WakeUiThread();
// User-interface thread: while on, call uisync::RestEnded about every
// uisync::kRestMilliseconds of real time, on the user-interface thread.
void SetRestTimer(bool on);

// --- messages ---
uint32_t RegisterMessage(UStringView name);
bool PostMessageTo(uint64_t window, uint32_t msg, uintptr_t wParam, intptr_t lParam);
uint64_t DesktopWindow();

// --- forms ---
FrameSize FormFrame(const TForm& form);
TRect WorkArea();
void BringToFront(TForm& form);
// The keyboard focus: the control of this form that has it (nullptr when none),
// and giving it to a control.
TControl* FocusedControl(const TForm& form);
void SetFocus(TControl& control);

// --- timers ---
void TimerChanged(TTimer& timer);
void TimerDestroyed(TTimer& timer);

// --- dialogs ---
int MessageBox(uint64_t owner, const UString& text, const UString& caption, uint32_t flags);
bool ExecutePrintDialog(TPrintDialog& dialog, uint64_t owner);
bool PrintRichText(TRichEdit& edit, const UString& title);

}  // namespace backend
