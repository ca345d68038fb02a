// The application on Windows: start-up, the message loop, posted and registered
// messages, timers and message boxes.
#include "toolkit/win32/NativeInternal.h"

#include <atomic>
#include <map>

#include "toolkit/Backend.h"
#include "toolkit/UiSync.h"

using namespace native_impl;

namespace {

// Read by workers that wake the user-interface thread.
std::atomic<HWND> appWindow{nullptr};
bool started = false;
std::map<UINT_PTR, TTimer*> timerById;
UINT_PTR nextTimerId = 1;
// The rest timer of worker changes, on the application window; far above the ids
// the form timers are given.
constexpr UINT_PTR kRestTimerId = 0x7FFF0001;

struct TimerPeer {
    UINT_PTR id = 0;
};

void HandleError()
{
    if (Application)
        Application->HandleException(std::current_exception());
}

LRESULT CALLBACK AppProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    try {
        if (msg == kWakeMessage) {
            uisync::Drain();
            return 0;
        }
        if (msg == WM_TIMER) {
            if (wParam == kRestTimerId) {
                uisync::RestEnded();
                return 0;
            }
            auto it = timerById.find(wParam);
            if (it != timerById.end())
                it->second->Fire();
            return 0;
        }
        if (msg == WM_CLOSE) {
            // The taskbar button's close: the main form's close request.
            if (Application && Application->MainForm())
                Application->MainForm()->Close();
            return 0;
        }
        if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && Application) {
            // Clicking the taskbar button brings the last active form forward.
            if (TForm* f = Application->ActiveForm(); f && PeerOf(*f)->hwnd)
                SetForegroundWindow(PeerOf(*f)->hwnd);
        }
    } catch (...) {
        HandleError();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

using SetDllDirsFn = BOOL(WINAPI*)(DWORD);
using SetDpiContextFn = BOOL(WINAPI*)(HANDLE);

// A setup runs from a Downloads folder full of other files: DLLs come from the
// system folder only.
void LimitDllSearch()
{
    HMODULE k32 = GetModuleHandleW(L"kernel32.dll");
    if (auto fn =
            reinterpret_cast<SetDllDirsFn>(reinterpret_cast<void*>(GetProcAddress(k32, "SetDefaultDllDirectories"))))
        fn(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
}

void BecomeDpiAware()
{
    HMODULE user = GetModuleHandleW(L"user32.dll");
    auto ctx = reinterpret_cast<SetDpiContextFn>(
        reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDpiAwarenessContext")));
    // -4: per monitor, version 2.
    if (ctx && ctx(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4))))
        return;
    SetProcessDPIAware();
}

void Start()
{
    if (started)
        return;
    started = true;
    LimitDllSearch();
    BecomeDpiAware();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
}

UString ModuleTitle()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    UString p = win::U(path, n);
    size_t slash = p.find_last_of(u"\\/");
    if (slash != UString::npos)
        p.erase(0, slash + 1);
    size_t dot = p.find_last_of(u'.');
    if (dot != UString::npos)
        p.erase(dot);
    return p;
}

bool IsKeyboardMessage(UINT m) { return m >= WM_KEYFIRST && m <= WM_KEYLAST; }

// Enter and Esc on a form become the commands IDOK and IDCANCEL, which the form
// gives to the focused or default button and to the cancel button. The dialog
// manager cannot do it here: it asks the focused control first, and the buttons sit
// on panels, not on the form.
bool DialogKey(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) || !msg.hwnd)
        return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    auto* form = root ? dynamic_cast<TForm*>(ControlOf(root)) : nullptr;
    if (!form)
        return false;
    try {
        form->Perform(WM::Command, MakeWParam(msg.wParam == VK_RETURN ? ID::Ok : ID::Cancel, 0), 0);
    } catch (...) {
        HandleError();
    }
    return true;
}

void DispatchOne(MSG& msg)
{
    if (DialogKey(msg))
        return;
    if (IsKeyboardMessage(msg.message) && msg.hwnd) {
        HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        if (root && dynamic_cast<TForm*>(ControlOf(root)) && IsDialogMessageW(root, &msg))
            return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace

namespace native_impl {

HWND AppWindow()
{
    if (HWND h = appWindow.load())
        return h;
    Start();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = AppProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TApplication";
    RegisterClassExW(&wc);
    UString title = Application ? Application->Title() : UString();
    HWND h = CreateWindowExW(0, L"TApplication", win::W(title),
                             WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                             GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    appWindow.store(h);
    return h;
}

}  // namespace native_impl

namespace backend {

void Initialize(TApplication& app)
{
    Start();
    if (app.Title().empty())
        app.SetTitle(ModuleTitle());
    HWND h = AppWindow();
    SetWindowTextW(h, win::W(app.Title()));
    EnsureGdiplus();
}

void Shutdown(TApplication&)
{
    for (auto& [id, timer] : timerById) {
        KillTimer(appWindow.load(), id);
        delete static_cast<TimerPeer*>(timer->Peer);
        timer->Peer = nullptr;
    }
    timerById.clear();
    ShutdownPrinting();
    if (HWND h = appWindow.exchange(nullptr))
        DestroyWindow(h);
    // Wake-ups posted to the window that is gone are dropped with it.
}

void RunLoop(TApplication& app)
{
    // Without its own taskbar button the main form shares the application's.
    if (!app.MainFormOnTaskBar)
        ShowWindow(AppWindow(), SW_SHOWNOACTIVATE);
    MSG msg;
    while (!app.Terminated()) {
        BOOL r = GetMessageW(&msg, nullptr, 0, 0);
        if (r == 0) {
            app.Terminate();
            break;
        }
        if (r == -1)
            break;
        DispatchOne(msg);
    }
    if (HWND h = appWindow.load())
        ShowWindow(h, SW_HIDE);
}

void ProcessMessages(TApplication& app)
{
    uisync::Drain();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            app.Terminate();
            break;
        }
        DispatchOne(msg);
    }
}

void Terminated(TApplication&)
{
    // Wakes GetMessage so the loop sees the request; no WM_QUIT, which would end
    // the next message box too.
    if (HWND h = appWindow.load())
        PostMessageW(h, kWakeMessage, 0, 0);
}

void WakeUiThread()
{
    if (HWND h = appWindow.load())
        PostMessageW(h, kWakeMessage, 0, 0);
}

void SetRestTimer(bool on)
{
    HWND h = appWindow.load();
    if (!h)
        return;
    if (on)
        SetTimer(h, kRestTimerId, uisync::kRestMilliseconds, nullptr);
    else
        KillTimer(h, kRestTimerId);
}

uint32_t RegisterMessage(UStringView name)
{
    UString n(name);
    return RegisterWindowMessageW(win::W(n));
}

bool PostMessageTo(uint64_t window, uint32_t msg, uintptr_t wParam, intptr_t lParam)
{
    if (!window || !IsWindow(win::H(window)))
        return false;
    return PostMessageW(win::H(window), msg, wParam, lParam) != 0;
}

uint64_t DesktopWindow() { return win::N(GetDesktopWindow()); }

FrameSize FormFrame(const TForm& form)
{
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, FormStyle(form), FALSE, FormExStyle(form));
    return FrameSize{r.right - r.left, r.bottom - r.top};
}

TRect WorkArea() { return TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

void BringToFront(TForm& form)
{
    if (HWND h = PeerOf(form)->hwnd)
        SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

TControl* FocusedControl(const TForm& form)
{
    HWND focus = GetFocus();
    Peer* peer = PeerOf(form);
    if (!focus || !peer || !peer->hwnd || !IsChild(peer->hwnd, focus))
        return nullptr;
    return ControlOf(focus);
}

void SetFocus(TControl& control)
{
    if (HWND h = EnsureWindow(control))
        ::SetFocus(h);
}

void TimerChanged(TTimer& timer)
{
    auto* p = static_cast<TimerPeer*>(timer.Peer);
    if (!p) {
        p = new TimerPeer;
        timer.Peer = p;
    }
    if (p->id) {
        KillTimer(AppWindow(), p->id);
        timerById.erase(p->id);
        p->id = 0;
    }
    if (timer.Active()) {
        p->id = nextTimerId++;
        timerById[p->id] = &timer;
        SetTimer(AppWindow(), p->id, timer.Interval(), nullptr);
    }
}

void TimerDestroyed(TTimer& timer)
{
    auto* p = static_cast<TimerPeer*>(timer.Peer);
    if (!p)
        return;
    if (p->id) {
        if (HWND h = appWindow.load())
            KillTimer(h, p->id);
        timerById.erase(p->id);
    }
    delete p;
    timer.Peer = nullptr;
}

int MessageBox(uint64_t owner, const UString& text, const UString& caption, uint32_t flags)
{
    return MessageBoxW(win::H(owner), win::W(text), win::W(caption), flags);
}

}  // namespace backend
