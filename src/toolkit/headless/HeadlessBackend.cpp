// The toolkit without windows: one event queue, window handles of its own, and a
// virtual clock for the timers.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

#include "toolkit/Backend.h"
#include "toolkit/Forms.h"
#include "toolkit/UiSync.h"
#include "toolkit/headless/Headless.h"

namespace {

constexpr uint64_t kDesktop = 0x10010;
constexpr uint64_t kFirstHandle = 0x20000;
constexpr int64_t kDefaultTimeLimit = 24LL * 3600 * 1000;

struct Event {
    enum Kind { Posted, Wake } kind = Wake;
    uint64_t window = 0;
    uint32_t msg = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

struct State {
    std::mutex lock;
    std::condition_variable arrived;
    std::deque<Event> events;
    std::map<uint64_t, TControl*> windows;
    uint64_t nextHandle = kFirstHandle;
    std::map<UString, uint32_t> registered;
    uint32_t nextRegistered = WM::FirstRegistered;

    // The rest belongs to the user-interface thread.
    int64_t now = 0;
    int64_t timeLimit = kDefaultTimeLimit;
    uint64_t timerSequence = 0;
    struct Due {
        int64_t at;
        uint64_t sequence;  // timers due at once fire in the order they were set
    };
    std::map<TTimer*, Due> timers;
    std::deque<int> boxAnswers;
    std::vector<headless::MessageBoxRecord> boxes;
    std::deque<std::pair<bool, UString>> printAnswers;
    std::vector<headless::PrintDialogRecord> printDialogs;
    std::vector<headless::PrintJob> printJobs;
    UString chosenPrinter;
    headless::ScriptedUser* user = nullptr;
    // The one control with the keyboard focus, as on a desktop.
    TControl* focus = nullptr;
    bool stuck = false;
    // The rest timer of worker changes runs on real time, not the virtual clock.
    bool restTimer = false;
    std::chrono::steady_clock::time_point restDue;
};

// Never destroyed: a worker that frees itself may still wake the loop while the
// program's statics are being torn down at exit.
State& S()
{
    static State* state = new State;
    return *state;
}

uint64_t HandleNumber(const TControl& c) { return reinterpret_cast<uintptr_t>(c.Peer); }

void Dispatch(const Event& e)
{
    if (e.kind == Event::Wake) {
        uisync::Drain();
        return;
    }
    TControl* target = nullptr;
    {
        std::lock_guard g(S().lock);
        auto it = S().windows.find(e.window);
        if (it != S().windows.end())
            target = it->second;
    }
    if (!target)
        return;
    try {
        target->Perform(e.msg, e.wParam, e.lParam);
    } catch (...) {
        if (Application)
            Application->HandleException(std::current_exception());
    }
}

// One queued event; false when the queue is empty.
bool HandleOneEvent()
{
    Event e;
    {
        std::lock_guard g(S().lock);
        if (S().events.empty())
            return false;
        e = S().events.front();
        S().events.pop_front();
    }
    Dispatch(e);
    return true;
}

TTimer* NextTimer()
{
    TTimer* best = nullptr;
    State::Due bestDue{0, 0};
    for (auto& [timer, due] : S().timers) {
        if (!best || due.at < bestDue.at || (due.at == bestDue.at && due.sequence < bestDue.sequence)) {
            best = timer;
            bestDue = due;
        }
    }
    return best;
}

// One timer due now; false when none is.
bool FireOneDueTimer()
{
    TTimer* t = NextTimer();
    if (!t || S().timers[t].at > S().now)
        return false;
    S().timers[t] = State::Due{S().timers[t].at + t->Interval(), ++S().timerSequence};
    try {
        t->Fire();
    } catch (...) {
        if (Application)
            Application->HandleException(std::current_exception());
    }
    return true;
}

// The rest timer when its time has come; false when it is off or not due.
bool FireRestTimer()
{
    const auto now = std::chrono::steady_clock::now();
    if (!S().restTimer || now < S().restDue)
        return false;
    S().restDue = now + std::chrono::milliseconds(uisync::kRestMilliseconds);
    uisync::RestEnded();
    return true;
}

// Events first, then due timers, until neither is left (or the run is over).
void Settle()
{
    for (;;) {
        uisync::Drain();
        if (HandleOneEvent())
            continue;
        if (FireOneDueTimer())
            continue;
        if (FireRestTimer())
            continue;
        return;
    }
}

// Changes a worker queues while the rest timer runs wake nobody: the timer's time
// ends the wait instead.
void WaitForEvent(std::chrono::milliseconds limit)
{
    auto until = std::chrono::steady_clock::now() + limit;
    if (S().restTimer)
        until = std::min(until, S().restDue);
    std::unique_lock g(S().lock);
    S().arrived.wait_until(g, until, [] { return !S().events.empty(); });
}

bool Clickable(TControl& c) { return c.Showing() && c.EnabledInChain(); }

}  // namespace

namespace backend {

void ControlCreated(TControl& control)
{
    std::lock_guard g(S().lock);
    uint64_t h = S().nextHandle;
    S().nextHandle += 4;
    control.Peer = reinterpret_cast<void*>(static_cast<uintptr_t>(h));
    S().windows[h] = &control;
}

void ControlDestroyed(TControl& control)
{
    std::lock_guard g(S().lock);
    S().windows.erase(HandleNumber(control));
    control.Peer = nullptr;
    if (S().focus == &control)
        S().focus = nullptr;
}

void DefaultHandler(TControl&, TMessage&) {}
void ControlDestroying(TControl&) {}

uint64_t HandleOf(TControl& control) { return HandleNumber(control); }
bool HandleAllocated(const TControl& control) { return control.Peer != nullptr; }

void Apply(const PropChange& change)
{
    if (change.prop == Prop::Visible && change.value && S().user)
        if (auto* form = dynamic_cast<TForm*>(change.control))
            S().user->OnFormShown(*form);
}

void MeasureText(const TControl& control, const UString& text, bool wordWrap, int maxWidth, int& width, int& height)
{
    // Tahoma at 8 points averages 5 pixels a character; bold adds one.
    TFont f = control.Font();
    int px = f.Height < 0 ? -f.Height : f.Height;
    int charWidth = std::max(1, (px * 5 + 5) / 11 + (f.Bold ? 1 : 0));
    int lineHeight = px + 2;
    int lines = 0, widest = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(u"\r\n", start);
        if (end == UString::npos)
            end = text.size();
        int chars = static_cast<int>(end - start);
        if (wordWrap && maxWidth > 0) {
            int perLine = std::max(1, maxWidth / charWidth);
            int count = std::max(1, (chars + perLine - 1) / perLine);
            lines += count;
            widest = std::max(widest, std::min(chars, perLine) * charWidth);
        } else {
            ++lines;
            widest = std::max(widest, chars * charWidth);
        }
        if (end >= text.size())
            break;
        start = end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
    }
    width = widest;
    height = std::max(1, lines) * lineHeight;
}

bool PictureLoaded(TImage&, const std::string&) { return true; }

void Initialize(TApplication& app)
{
    if (app.Title().empty())
        app.SetTitle(u"Setup");
}

void Shutdown(TApplication&)
{
    S().timers.clear();
    S().restTimer = false;
}

void RunLoop(TApplication& app)
{
    S().stuck = false;
    while (!app.Terminated()) {
        uisync::Drain();
        if (HandleOneEvent() || FireOneDueTimer() || FireRestTimer())
            continue;
        if (TThreadControl::RunningCount() > 0) {
            WaitForEvent(std::chrono::milliseconds(100));
            continue;
        }
        if (S().user && S().user->OnIdle())
            continue;
        if (TTimer* t = NextTimer(); t && S().timers[t].at <= S().timeLimit) {
            S().now = std::max(S().now, S().timers[t].at);
            continue;
        }
        // Nothing can happen any more: a real program would wait for ever.
        S().stuck = true;
        app.Terminate();
    }
}

void ProcessMessages(TApplication&)
{
    uisync::Drain();
    while (HandleOneEvent() || FireRestTimer())
        uisync::Drain();
}

void Terminated(TApplication&) { S().arrived.notify_all(); }

void WakeUiThread()
{
    {
        std::lock_guard g(S().lock);
        S().events.push_back(Event{});
    }
    S().arrived.notify_all();
}

void SetRestTimer(bool on)
{
    if (on && !S().restTimer)
        S().restDue = std::chrono::steady_clock::now() + std::chrono::milliseconds(uisync::kRestMilliseconds);
    S().restTimer = on;
}

uint32_t RegisterMessage(UStringView name)
{
    std::lock_guard g(S().lock);
    UString key = LowerAZ(name);
    auto it = S().registered.find(key);
    if (it != S().registered.end())
        return it->second;
    uint32_t n = S().nextRegistered++;
    S().registered[key] = n;
    return n;
}

bool PostMessageTo(uint64_t window, uint32_t msg, uintptr_t wParam, intptr_t lParam)
{
    {
        std::lock_guard g(S().lock);
        if (!S().windows.count(window))
            return false;
        S().events.push_back(Event{Event::Posted, window, msg, wParam, lParam});
    }
    S().arrived.notify_all();
    return true;
}

uint64_t DesktopWindow() { return kDesktop; }

FrameSize FormFrame(const TForm& form)
{
    bool tool = false, sizeable = false;
    switch (form.BorderStyle()) {
    case bsNone:
        return FrameSize{0, 0};
    case bsSizeable:
        sizeable = true;
        break;
    case bsToolWindow:
        tool = true;
        break;
    case bsSizeToolWin:
        tool = sizeable = true;
        break;
    default:
        break;
    }
    // The frame a default Windows 10 theme draws at 96 dpi.
    int border = sizeable ? 8 : 3;
    int caption = tool ? 17 : 23;
    return FrameSize{2 * border, 2 * border + caption};
}

TRect WorkArea() { return TRect{0, 0, 1280, 1024}; }

void BringToFront(TForm&) {}

TControl* FocusedControl(const TForm& form)
{
    TControl* focus = S().focus;
    if (!focus)
        return nullptr;
    for (TControl* c = focus->Parent(); c; c = c->Parent())
        if (c == &form)
            return focus;
    return nullptr;
}

void SetFocus(TControl& control) { S().focus = &control; }

void TimerChanged(TTimer& timer)
{
    if (timer.Active())
        S().timers[&timer] = State::Due{S().now + timer.Interval(), ++S().timerSequence};
    else
        S().timers.erase(&timer);
}

void TimerDestroyed(TTimer& timer) { S().timers.erase(&timer); }

int MessageBox(uint64_t owner, const UString& text, const UString& caption, uint32_t flags)
{
    headless::MessageBoxRecord box{owner, text, caption, flags, 0};
    if (!S().boxAnswers.empty()) {
        box.answer = S().boxAnswers.front();
        S().boxAnswers.pop_front();
    } else if (auto a = S().user ? S().user->OnMessageBox(box) : std::nullopt) {
        box.answer = *a;
    } else {
        box.answer = DefaultAnswer(flags);
    }
    S().boxes.push_back(box);
    return box.answer;
}

bool ExecutePrintDialog(TPrintDialog& dialog, uint64_t owner)
{
    headless::PrintDialogRecord rec{owner, dialog.Options, dialog.PrintRange, false};
    UString printer = u"Headless Printer";
    if (!S().printAnswers.empty()) {
        rec.confirmed = S().printAnswers.front().first;
        printer = S().printAnswers.front().second;
        S().printAnswers.pop_front();
    } else if (auto a = S().user ? S().user->OnPrintDialog(rec) : std::nullopt) {
        rec.confirmed = *a;
    }
    S().printDialogs.push_back(rec);
    if (rec.confirmed) {
        S().chosenPrinter = printer;
        dialog.PrinterName = printer;
    }
    return rec.confirmed;
}

bool PrintRichText(TRichEdit& edit, const UString& title)
{
    UString printer = S().chosenPrinter.empty() ? UString(u"Default Printer") : S().chosenPrinter;
    S().printJobs.push_back(headless::PrintJob{title, printer, edit.Text()});
    return true;
}

}  // namespace backend

namespace headless {

void Reset()
{
    State& s = S();
    {
        std::lock_guard g(s.lock);
        s.events.clear();
    }
    s.now = 0;
    s.timeLimit = kDefaultTimeLimit;
    s.boxAnswers.clear();
    s.boxes.clear();
    s.printAnswers.clear();
    s.printDialogs.clear();
    s.printJobs.clear();
    s.chosenPrinter.clear();
    s.user = nullptr;
    s.focus = nullptr;
    SetChangeObserver(nullptr);
    s.stuck = false;
    s.restTimer = false;
}

void RunUntilIdle() { Settle(); }

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        Settle();
        if (done())
            return true;
        auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::milliseconds(0))
            return done();
        WaitForEvent(
            std::min(std::chrono::duration_cast<std::chrono::milliseconds>(left), std::chrono::milliseconds(50)));
    }
}

void AdvanceClock(int64_t milliseconds)
{
    int64_t target = S().now + std::max<int64_t>(0, milliseconds);
    Settle();
    for (;;) {
        TTimer* t = NextTimer();
        if (!t || S().timers[t].at > target)
            break;
        S().now = std::max(S().now, S().timers[t].at);
        Settle();
    }
    S().now = target;
    Settle();
}

int64_t Now() { return S().now; }
void SetVirtualTimeLimit(int64_t milliseconds) { S().timeLimit = milliseconds; }
bool RunEndedStuck() { return S().stuck; }

bool Click(TControl& control)
{
    if (!Clickable(control))
        return false;
    TWinControl* parent = control.Parent();
    bool windowed = dynamic_cast<TButton*>(&control) || dynamic_cast<TButtonControl*>(&control);
    // A click puts the focus on what was clicked, as the mouse does on Windows.
    if (control.TabStop())
        S().focus = &control;
    try {
        if (windowed && parent)
            parent->Perform(WM::Command, MakeWParam(0, BN::Clicked), static_cast<intptr_t>(control.Handle()));
        else
            control.Click();
    } catch (...) {
        if (Application)
            Application->HandleException(std::current_exception());
    }
    Settle();
    return true;
}

namespace {
bool SendToForm(TForm& form, uint32_t msg, uintptr_t wParam)
{
    if (!form.Visible() || !form.EnabledInChain())
        return false;
    try {
        form.Perform(msg, wParam, 0);
    } catch (...) {
        if (Application)
            Application->HandleException(std::current_exception());
    }
    Settle();
    return true;
}
}  // namespace

bool CloseWindow(TForm& form) { return SendToForm(form, WM::Close, 0); }
bool PressEnter(TForm& form) { return SendToForm(form, WM::Command, MakeWParam(ID::Ok, 0)); }
bool PressEscape(TForm& form) { return SendToForm(form, WM::Command, MakeWParam(ID::Cancel, 0)); }

bool PressTab(TForm& form, bool shift)
{
    if (!form.Visible() || !form.EnabledInChain())
        return false;
    form.SelectNext(!shift);
    Settle();
    return true;
}

void QueueMessageBoxAnswer(int answer) { S().boxAnswers.push_back(answer); }
std::vector<MessageBoxRecord> MessageBoxes() { return S().boxes; }
void ClearMessageBoxes() { S().boxes.clear(); }

void QueuePrintDialogAnswer(bool print, UString printer) { S().printAnswers.emplace_back(print, std::move(printer)); }
std::vector<PrintDialogRecord> PrintDialogs() { return S().printDialogs; }
std::vector<PrintJob> PrintJobs() { return S().printJobs; }

void SetScriptedUser(ScriptedUser* user) { S().user = user; }

TControl* ControlFromHandle(uint64_t handle)
{
    std::lock_guard g(S().lock);
    auto it = S().windows.find(handle);
    return it == S().windows.end() ? nullptr : it->second;
}

std::vector<UString> VisibleTexts(TForm& form)
{
    std::vector<UString> out{form.Caption()};
    for (TControl* c : form.AllControls()) {
        if (!c->Showing())
            continue;
        if (auto* re = dynamic_cast<TRichEdit*>(c)) {
            if (!re->Text().empty())
                out.push_back(re->Text());
        } else if (dynamic_cast<TLabel*>(c) || dynamic_cast<TButton*>(c) || dynamic_cast<TButtonControl*>(c)) {
            if (!c->Caption().empty())
                out.push_back(c->Caption());
        }
    }
    return out;
}

}  // namespace headless
