// One native window per control, kept in step with the control's state.
#include "toolkit/win32/NativeInternal.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <tuple>
#include <unordered_map>

#include "toolkit/Backend.h"
#include "toolkit/UiSync.h"

using namespace native_impl;

namespace {

std::unordered_map<HWND, TControl*> controlByWindow;
int nextControlId = 100;
const wchar_t kPanelClass[] = L"TPanel";

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

int WindowDpi(HWND h)
{
    static auto fn = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (fn && h)
        if (UINT d = fn(h))
            return static_cast<int>(d);
    HDC dc = GetDC(nullptr);
    int d = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return d > 0 ? d : 96;
}

Kind KindOf(TControl& c)
{
    if (dynamic_cast<TForm*>(&c))
        return Kind::Form;
    if (dynamic_cast<TLabel*>(&c))
        return Kind::Label;
    if (dynamic_cast<TButton*>(&c))
        return Kind::Button;
    if (dynamic_cast<TCheckBox*>(&c))
        return Kind::CheckBox;
    if (dynamic_cast<TRadioButton*>(&c))
        return Kind::Radio;
    if (dynamic_cast<TImage*>(&c))
        return Kind::Image;
    if (dynamic_cast<TProgressBar*>(&c))
        return Kind::Progress;
    if (dynamic_cast<TRichEdit*>(&c))
        return Kind::RichEdit;
    if (dynamic_cast<TWinControl*>(&c))
        return Kind::Panel;
    return Kind::Static;
}

bool IsContainer(Kind k) { return k == Kind::Form || k == Kind::Panel; }

void HandleError()
{
    if (Application)
        Application->HandleException(std::current_exception());
}

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* c = static_cast<TControl*>(cs->lpCreateParams);
        if (c) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(c));
            PeerOf(*c)->hwnd = hwnd;
            controlByWindow[hwnd] = c;
        }
    }
    auto* c = reinterpret_cast<TControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!c)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        controlByWindow.erase(hwnd);
        PeerOf(*c)->hwnd = nullptr;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    TMessage m{msg, wParam, lParam, 0};
    try {
        if (c->WindowProc)
            c->WindowProc(m);
        else
            c->WndProc(m);
    } catch (...) {
        HandleError();
    }
    return m.Result;
}

void RegisterContainerClass(const wchar_t* name)
{
    static std::set<std::wstring> done;
    if (done.count(name))
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ContainerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    wc.style = CS_DBLCLKS;
    RegisterClassExW(&wc);
    done.insert(name);
}

// --- painting ---

void PaintLabel(TLabel& l, const DRAWITEMSTRUCT& d, int dpi)
{
    HDC dc = d.hDC;
    RECT r = d.rcItem;
    // Transparent: the parent's colour, which is what shows through on a panel.
    TWinControl* parent = l.Parent();
    FillRect(dc, &r, BrushFor(l.Transparent() && parent ? parent->Color() : l.Color()));
    int len = GetWindowTextLengthW(d.hwndItem);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    GetWindowTextW(d.hwndItem, text.data(), len + 1);
    text.resize(static_cast<size_t>(len));
    TFont font = l.Font();
    HGDIOBJ old = SelectObject(dc, FontFor(font, dpi));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, l.EnabledInChain() ? ColorRef(font.Color) : GetSysColor(COLOR_GRAYTEXT));
    UINT flags = DT_EXPANDTABS | (l.WordWrap() ? DT_WORDBREAK : 0) | (l.ShowAccelChar() ? 0 : DT_NOPREFIX);
    switch (l.Alignment()) {
    case taCenter:
        flags |= DT_CENTER;
        break;
    case taRightJustify:
        flags |= DT_RIGHT;
        break;
    default:
        flags |= DT_LEFT;
        break;
    }
    if (l.Layout() != tlTop) {
        RECT calc = r;
        DrawTextW(dc, text.c_str(), len, &calc, flags | DT_CALCRECT);
        int h = calc.bottom - calc.top;
        int room = r.bottom - r.top;
        r.top += l.Layout() == tlCenter ? (room - h) / 2 : room - h;
    }
    DrawTextW(dc, text.c_str(), len, &r, flags);
    SelectObject(dc, old);
}

void PaintPanel(TPanel& p, HWND hwnd, int dpi)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    UINT edges = 0;
    unsigned e = p.BevelEdges();
    if (e & BevelEdge::Left)
        edges |= BF_LEFT;
    if (e & BevelEdge::Top)
        edges |= BF_TOP;
    if (e & BevelEdge::Right)
        edges |= BF_RIGHT;
    if (e & BevelEdge::Bottom)
        edges |= BF_BOTTOM;
    auto edgeFor = [](TBevelCut cut) -> UINT {
        switch (cut) {
        case bvLowered:
            return BDR_SUNKENOUTER;
        case bvRaised:
            return BDR_RAISEDINNER;
        default:
            return 0;
        }
    };
    int width = Scale(p.BevelWidth(), dpi);
    for (TBevelCut cut : {p.BevelOuter(), p.BevelInner()}) {
        if (cut == bvNone)
            continue;
        for (int i = 0; i < width; ++i) {
            if (UINT edge = edgeFor(cut))
                DrawEdge(dc, &r, edge, edges);
            if (edges & BF_LEFT)
                ++r.left;
            if (edges & BF_TOP)
                ++r.top;
            if (edges & BF_RIGHT)
                --r.right;
            if (edges & BF_BOTTOM)
                --r.bottom;
        }
    }
    UString caption = p.Caption();
    if (!caption.empty()) {
        HGDIOBJ old = SelectObject(dc, FontFor(p.Font(), dpi));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorRef(p.Font().Color));
        DrawTextW(dc, win::W(caption), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, old);
    }
    EndPaint(hwnd, &ps);
}

// --- creating windows ---

struct WindowStyle {
    const wchar_t* cls = L"Static";
    DWORD style = 0;
    DWORD exStyle = 0;
};

WindowStyle WindowStyleFor(TControl& c, Kind k)
{
    WindowStyle s;
    s.style = WS_CHILD | WS_CLIPSIBLINGS;
    if (c.Visible())
        s.style |= WS_VISIBLE;
    if (!c.Enabled())
        s.style |= WS_DISABLED;
    if (c.TabStop())
        s.style |= WS_TABSTOP;
    switch (k) {
    case Kind::Panel:
        s.cls = kPanelClass;
        s.style |= WS_CLIPCHILDREN;
        s.exStyle |= WS_EX_CONTROLPARENT;
        break;
    case Kind::Label:
    case Kind::Image:
        s.style |= SS_OWNERDRAW | SS_NOTIFY;
        break;
    case Kind::Button:
        s.cls = L"Button";
        s.style |= static_cast<TButton&>(c).Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        break;
    case Kind::CheckBox:
        s.cls = L"Button";
        s.style |= BS_CHECKBOX;
        break;
    case Kind::Radio:
        s.cls = L"Button";
        s.style |= BS_RADIOBUTTON;
        break;
    case Kind::Progress:
        s.cls = PROGRESS_CLASSW;
        break;
    case Kind::RichEdit: {
        static const wchar_t* cls = [] {
            // Msftedit from the system folder; the older RichEdit 2 where it is missing.
            if (LoadLibraryExW(L"msftedit.dll", nullptr, 0x00000800))
                return L"RICHEDIT50W";
            LoadLibraryExW(L"riched20.dll", nullptr, 0x00000800);
            return L"RichEdit20W";
        }();
        s.cls = cls;
        s.style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_SAVESEL;
        auto& re = static_cast<TRichEdit&>(c);
        if (re.ReadOnly())
            s.style |= ES_READONLY;
        if (re.ScrollBars() == ssVertical || re.ScrollBars() == ssBoth)
            s.style |= WS_VSCROLL;
        if (re.ScrollBars() == ssHorizontal || re.ScrollBars() == ssBoth)
            s.style |= WS_HSCROLL | ES_AUTOHSCROLL;
        s.exStyle |= WS_EX_CLIENTEDGE;
        break;
    }
    default:
        break;
    }
    return s;
}

void ApplyTabOrder(TWinControl& parent)
{
    std::vector<std::pair<int, HWND>> order;
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* c = parent.Controls(i);
        if (HWND h = PeerOf(*c)->hwnd) {
            int t = c->TabOrder();
            order.emplace_back(t >= 0 ? t : 100000 + i, h);
        }
    }
    std::stable_sort(order.begin(), order.end(), [](auto& a, auto& b) { return a.first < b.first; });
    HWND after = HWND_TOP;
    for (auto& [t, h] : order) {
        SetWindowPos(h, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = h;
    }
}

void PlaceChild(TControl& c, HWND h)
{
    int dpi = DpiOf(c);
    TRect b = c.BoundsRect();
    MoveWindow(h, Scale(b.Left, dpi), Scale(b.Top, dpi), Scale(b.Width(), dpi), Scale(b.Height(), dpi), TRUE);
}

void ApplyContent(TControl& c, Peer& p)
{
    HWND h = p.hwnd;
    switch (p.kind) {
    case Kind::CheckBox:
    case Kind::Radio:
        SendMessageW(h, BM_SETCHECK, static_cast<TButtonControl&>(c).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case Kind::Progress: {
        auto& pb = static_cast<TProgressBar&>(c);
        SendMessageW(h, PBM_SETRANGE32, pb.Min(), pb.Max());
        SendMessageW(h, PBM_SETPOS, pb.Position(), 0);
        break;
    }
    case Kind::RichEdit:
        StreamRichText(static_cast<TRichEdit&>(c), h);
        break;
    default:
        break;
    }
}

void CreateChildTree(TControl& c, HWND parentWindow);

void CreateChildWindow(TControl& c, HWND parentWindow)
{
    Peer* p = PeerOf(c);
    if (p->hwnd)
        return;
    p->kind = KindOf(c);
    if (!p->id)
        p->id = nextControlId++;
    WindowStyle s = WindowStyleFor(c, p->kind);
    if (s.cls == kPanelClass)
        RegisterContainerClass(kPanelClass);
    int dpi = DpiOf(c);
    TRect b = c.BoundsRect();
    UString caption = c.Caption();
    HWND h = CreateWindowExW(s.exStyle, s.cls, win::W(caption), s.style, Scale(b.Left, dpi), Scale(b.Top, dpi),
                             Scale(b.Width(), dpi), Scale(b.Height(), dpi), parentWindow,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(p->id)), GetModuleHandleW(nullptr),
                             IsContainer(p->kind) ? &c : nullptr);
    if (!h)
        return;
    p->hwnd = h;
    controlByWindow[h] = &c;
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.Font(), dpi)), FALSE);
    ApplyContent(c, *p);
}

void CreateChildTree(TControl& c, HWND parentWindow)
{
    CreateChildWindow(c, parentWindow);
    Peer* p = PeerOf(c);
    if (!p->hwnd)
        return;
    if (auto* w = dynamic_cast<TWinControl*>(&c)) {
        for (int i = 0; i < w->ControlCount(); ++i)
            CreateChildTree(*w->Controls(i), p->hwnd);
        ApplyTabOrder(*w);
    }
}

HWND FormOwner(TForm& form)
{
    if (!Application)
        return AppWindow();
    if (!Application->MainFormOnTaskBar)
        return AppWindow();
    TForm* main = Application->MainForm();
    if (!main || main == &form)
        return nullptr;
    return EnsureWindow(*main);
}

void ApplyAlpha(TForm& f, HWND h)
{
    LONG_PTR ex = GetWindowLongPtrW(h, GWL_EXSTYLE);
    if (f.AlphaBlend()) {
        SetWindowLongPtrW(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        SetLayeredWindowAttributes(h, 0, static_cast<BYTE>(f.AlphaBlendValue()), LWA_ALPHA);
    } else if (ex & WS_EX_LAYERED) {
        SetWindowLongPtrW(h, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
    }
}

void PlaceForm(TForm& f, HWND h)
{
    Peer* p = PeerOf(f);
    if (p->syncing)
        return;
    int dpi = p->dpi;
    RECT r{0, 0, Scale(f.ClientWidth(), dpi), Scale(f.ClientHeight(), dpi)};
    AdjustWindowRectEx(&r, FormStyle(f), FALSE, FormExStyle(f));
    SetWindowPos(h, nullptr, Scale(f.Left(), dpi), Scale(f.Top(), dpi), r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CreateFormWindow(TForm& f)
{
    Peer* p = PeerOf(f);
    p->kind = Kind::Form;
    std::wstring cls(reinterpret_cast<const wchar_t*>(f.ClassName().c_str()));
    RegisterContainerClass(cls.c_str());
    UString caption = f.Caption();
    HWND owner = FormOwner(f);
    DWORD style = FormStyle(f), ex = FormExStyle(f);
    // The size and place come from the state; the window's first WM_SIZE and
    // WM_MOVE must not write the creation defaults back into it.
    p->dpi = WindowDpi(nullptr);
    RECT r{0, 0, Scale(f.ClientWidth(), p->dpi), Scale(f.ClientHeight(), p->dpi)};
    AdjustWindowRectEx(&r, style, FALSE, ex);
    p->syncing = true;
    HWND h = CreateWindowExW(ex, cls.c_str(), win::W(caption), style, Scale(f.Left(), p->dpi), Scale(f.Top(), p->dpi),
                             r.right - r.left, r.bottom - r.top, owner, nullptr, GetModuleHandleW(nullptr), &f);
    p->syncing = false;
    if (!h)
        return;
    int dpi = WindowDpi(h);
    if (dpi != p->dpi) {
        p->dpi = dpi;
        PlaceForm(f, h);
    }
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(f.Font(), p->dpi)), FALSE);
    ApplyAlpha(f, h);
    for (int i = 0; i < f.ControlCount(); ++i)
        CreateChildTree(*f.Controls(i), h);
    ApplyTabOrder(f);
}

void DestroyWindowOf(TControl& c)
{
    Peer* p = PeerOf(c);
    if (!p || !p->hwnd)
        return;
    HWND h = p->hwnd;
    // Children's windows go with it; forget them first.
    if (auto* w = dynamic_cast<TWinControl*>(&c))
        for (TControl* child : w->AllControls())
            if (Peer* cp = PeerOf(*child); cp && cp->hwnd) {
                controlByWindow.erase(cp->hwnd);
                cp->hwnd = nullptr;
            }
    controlByWindow.erase(h);
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    p->hwnd = nullptr;
    DestroyWindow(h);
}

// The form took a new size or place from the user or the system.
void TakeFormBounds(TForm& f, HWND h)
{
    Peer* p = PeerOf(f);
    if (IsIconic(h) || p->syncing)
        return;
    RECT wr, cr;
    GetWindowRect(h, &wr);
    GetClientRect(h, &cr);
    int dpi = p->dpi;
    p->syncing = true;
    backend::FrameSize frame = backend::FormFrame(f);
    f.SetBounds(Unscale(wr.left, dpi), Unscale(wr.top, dpi), Unscale(cr.right, dpi) + frame.width,
                Unscale(cr.bottom, dpi) + frame.height);
    p->syncing = false;
}

void Relayout(TWinControl& w)
{
    for (TControl* c : w.AllControls()) {
        Peer* p = PeerOf(*c);
        if (!p->hwnd)
            continue;
        PlaceChild(*c, p->hwnd);
        SendMessageW(p->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c->Font(), DpiOf(*c))), TRUE);
    }
}

}  // namespace

namespace native_impl {

Peer* PeerOf(const TControl& control) { return static_cast<Peer*>(control.Peer); }

TControl* ControlOf(HWND hwnd)
{
    auto it = controlByWindow.find(hwnd);
    return it == controlByWindow.end() ? nullptr : it->second;
}

int DpiOf(const TControl& control)
{
    if (TForm* f = control.ParentForm())
        if (Peer* p = PeerOf(*f); p && p->hwnd)
            return p->dpi;
    return 96;
}

HWND EnsureWindow(TControl& c)
{
    Peer* p = PeerOf(c);
    if (!p)
        return nullptr;
    if (p->hwnd)
        return p->hwnd;
    if (!uisync::IsUiThread())
        return nullptr;
    AppWindow();
    if (auto* f = dynamic_cast<TForm*>(&c)) {
        CreateFormWindow(*f);
        return p->hwnd;
    }
    TWinControl* parent = c.Parent();
    if (!parent)
        return nullptr;
    HWND ph = EnsureWindow(*parent);
    if (!ph)
        return nullptr;
    if (!p->hwnd)
        CreateChildTree(c, ph);
    if (p->hwnd)
        ApplyTabOrder(*parent);
    return p->hwnd;
}

COLORREF ColorRef(TColor color)
{
    if (color == clDefault)
        return GetSysColor(COLOR_WINDOW);
    if (IsSystemColor(color))
        return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFF;
}

HBRUSH BrushFor(TColor color)
{
    static std::map<COLORREF, HBRUSH> brushes;
    COLORREF c = ColorRef(color);
    auto it = brushes.find(c);
    if (it != brushes.end())
        return it->second;
    HBRUSH b = CreateSolidBrush(c);
    brushes[c] = b;
    return b;
}

HFONT FontFor(const TFont& font, int dpi)
{
    static std::mutex lock;
    static std::map<std::tuple<UString, int, bool, bool, bool>, HFONT> fonts;
    std::lock_guard g(lock);
    int height = font.Height < 0 ? -Scale(-font.Height, dpi) : Scale(font.Height, dpi);
    auto key = std::make_tuple(font.Name, height, font.Bold, font.Italic, font.Underline);
    auto it = fonts.find(key);
    if (it != fonts.end())
        return it->second;
    HFONT f = CreateFontW(height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, font.Italic, font.Underline, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, win::W(font.Name));
    fonts[key] = f;
    return f;
}

DWORD FormStyle(const TForm& form)
{
    DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    unsigned icons = form.BorderIcons();
    bool sysMenu = icons & BorderIcon::SystemMenu;
    switch (form.BorderStyle()) {
    case bsNone:
        return style | WS_POPUP;
    case bsDialog:
        return style | WS_POPUP | WS_CAPTION | WS_DLGFRAME | DS_MODALFRAME | (sysMenu ? WS_SYSMENU : 0);
    case bsToolWindow:
        return style | WS_POPUP | WS_CAPTION | (sysMenu ? WS_SYSMENU : 0);
    case bsSizeToolWin:
        return style | WS_POPUP | WS_CAPTION | WS_THICKFRAME | (sysMenu ? WS_SYSMENU : 0);
    case bsSingle:
    case bsSizeable:
    default:
        style |= WS_OVERLAPPED | WS_CAPTION | (form.BorderStyle() == bsSizeable ? WS_THICKFRAME : WS_BORDER);
        if (sysMenu) {
            style |= WS_SYSMENU;
            if (icons & BorderIcon::Minimize)
                style |= WS_MINIMIZEBOX;
            if (icons & BorderIcon::Maximize)
                style |= WS_MAXIMIZEBOX;
        }
        return style;
    }
}

DWORD FormExStyle(const TForm& form)
{
    DWORD ex = WS_EX_CONTROLPARENT;
    switch (form.BorderStyle()) {
    case bsDialog:
        ex |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
    case bsSizeToolWin:
        ex |= WS_EX_TOOLWINDOW;
        break;
    case bsNone:
        break;
    default:
        ex |= WS_EX_WINDOWEDGE;
        break;
    }
    if (Application && Application->MainFormOnTaskBar && Application->MainForm() == &form)
        ex |= WS_EX_APPWINDOW;
    return ex;
}

}  // namespace native_impl

namespace backend {

void ControlCreated(TControl& control) { control.Peer = new Peer; }

void ControlDestroying(TControl& control)
{
    if (Peer* p = PeerOf(control); p && p->hwnd)
        SetWindowLongPtrW(p->hwnd, GWLP_USERDATA, 0);
}

void ControlDestroyed(TControl& control)
{
    Peer* p = PeerOf(control);
    if (!p)
        return;
    DestroyWindowOf(control);
    FreePicture(*p);
    delete p;
    control.Peer = nullptr;
}

uint64_t HandleOf(TControl& control) { return win::N(EnsureWindow(control)); }

bool HandleAllocated(const TControl& control)
{
    Peer* p = PeerOf(control);
    return p && p->hwnd;
}

void DefaultHandler(TControl& c, TMessage& m)
{
    Peer* p = PeerOf(c);
    HWND h = p ? p->hwnd : nullptr;
    if (!h)
        return;
    if (!IsContainer(p->kind)) {
        // A standard control: the message goes to its own window class.
        m.Result = SendMessageW(h, m.Msg, m.WParam, m.LParam);
        return;
    }
    switch (m.Msg) {
    case WM_DRAWITEM: {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        TControl* child = ControlOf(d->hwndItem);
        if (auto* l = dynamic_cast<TLabel*>(child)) {
            PaintLabel(*l, *d, DpiOf(*l));
            m.Result = TRUE;
            return;
        }
        if (auto* im = dynamic_cast<TImage*>(child)) {
            PaintPicture(*im, *PeerOf(*im), d->hDC, d->rcItem);
            m.Result = TRUE;
            return;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        if (TControl* child = ControlOf(reinterpret_cast<HWND>(m.LParam))) {
            HDC dc = reinterpret_cast<HDC>(m.WParam);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, ColorRef(child->Font().Color));
            m.Result = reinterpret_cast<LRESULT>(BrushFor(child->Color()));
            return;
        }
        break;
    }
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(h, &r);
        FillRect(reinterpret_cast<HDC>(m.WParam), &r, BrushFor(c.Color()));
        m.Result = 1;
        return;
    }
    case WM_PAINT:
        if (auto* panel = dynamic_cast<TPanel*>(&c)) {
            PaintPanel(*panel, h, DpiOf(c));
            return;
        }
        break;
    case WM_SIZE:
    case WM_MOVE:
        if (auto* f = dynamic_cast<TForm*>(&c))
            TakeFormBounds(*f, h);
        break;
    case WM_ACTIVATE:
        if (auto* f = dynamic_cast<TForm*>(&c); f && LOWORD(m.WParam) != WA_INACTIVE && Application && f->Visible())
            Application->FormActivated(f);
        break;
    case 0x02E0: /* WM_DPICHANGED */
        if (auto* f = dynamic_cast<TForm*>(&c)) {
            p->dpi = HIWORD(m.WParam);
            auto* r = reinterpret_cast<RECT*>(m.LParam);
            p->syncing = true;
            SetWindowPos(h, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            p->syncing = false;
            SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(f->Font(), p->dpi)), TRUE);
            Relayout(*f);
            m.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    m.Result = DefWindowProcW(h, m.Msg, m.WParam, m.LParam);
}

void Apply(const PropChange& change)
{
    TControl& c = *change.control;
    Peer* p = PeerOf(c);
    if (!p)
        return;
    if (change.prop == Prop::Parent) {
        TWinControl* parent = c.Parent();
        if (!parent) {
            DestroyWindowOf(c);
            return;
        }
        Peer* pp = PeerOf(*parent);
        if (!pp->hwnd)
            return;
        if (p->hwnd) {
            ::SetParent(p->hwnd, pp->hwnd);
            PlaceChild(c, p->hwnd);
            ApplyTabOrder(*parent);
        } else {
            EnsureWindow(c);
        }
        return;
    }
    if (!p->hwnd) {
        // A form's window is made when it is first shown.
        if (change.prop == Prop::Visible && change.value && dynamic_cast<TForm*>(&c))
            EnsureWindow(c);
        if (!p->hwnd)
            return;
    }
    HWND h = p->hwnd;
    auto* form = dynamic_cast<TForm*>(&c);
    switch (change.prop) {
    case Prop::Caption:
        SetWindowTextW(h, win::W(change.text));
        if (p->kind == Kind::Label || p->kind == Kind::Panel)
            InvalidateRect(h, nullptr, TRUE);
        break;
    case Prop::Visible:
        if (form) {
            if (change.value) {
                ShowWindow(h, SW_SHOW);
                SetForegroundWindow(h);
            } else {
                ShowWindow(h, SW_HIDE);
            }
        } else {
            ShowWindow(h, change.value ? SW_SHOWNA : SW_HIDE);
        }
        break;
    case Prop::Enabled:
        EnableWindow(h, change.value ? TRUE : FALSE);
        InvalidateRect(h, nullptr, TRUE);
        break;
    case Prop::Bounds:
        if (form)
            PlaceForm(*form, h);
        else
            PlaceChild(c, h);
        break;
    case Prop::Font:
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.Font(), DpiOf(c))), TRUE);
        break;
    case Prop::Color:
    case Prop::Picture:
        InvalidateRect(h, nullptr, TRUE);
        break;
    case Prop::Style:
        if (form) {
            SetWindowLongPtrW(h, GWL_STYLE,
                              static_cast<LONG_PTR>(FormStyle(*form) | (form->Visible() ? WS_VISIBLE : 0)));
            LONG_PTR ex = GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_LAYERED;
            SetWindowLongPtrW(h, GWL_EXSTYLE, static_cast<LONG_PTR>(FormExStyle(*form)) | ex);
            SetWindowPos(h, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
            PlaceForm(*form, h);
        } else {
            LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
            style = c.TabStop() ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
            SetWindowLongPtrW(h, GWL_STYLE, style);
            if (p->kind == Kind::Button)
                SendMessageW(h, BM_SETSTYLE, static_cast<TButton&>(c).Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                             TRUE);
            if (p->kind == Kind::RichEdit)
                SendMessageW(h, EM_SETREADONLY, static_cast<TRichEdit&>(c).ReadOnly(), 0);
            InvalidateRect(h, nullptr, TRUE);
        }
        break;
    case Prop::Checked:
        SendMessageW(h, BM_SETCHECK, change.value ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case Prop::Position:
        SendMessageW(h, PBM_SETPOS, static_cast<WPARAM>(change.value), 0);
        break;
    case Prop::Range:
        if (auto* pb = dynamic_cast<TProgressBar*>(&c))
            SendMessageW(h, PBM_SETRANGE32, pb->Min(), pb->Max());
        break;
    case Prop::Content:
        if (auto* re = dynamic_cast<TRichEdit*>(&c))
            StreamRichText(*re, h);
        break;
    case Prop::Alpha:
        if (form)
            ApplyAlpha(*form, h);
        break;
    case Prop::TabOrder:
        if (TWinControl* parent = c.Parent())
            ApplyTabOrder(*parent);
        break;
    default:
        break;
    }
}

void MeasureText(const TControl& control, const UString& text, bool wordWrap, int maxWidth, int& width, int& height)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontFor(control.Font(), 96));
    RECT r{0, 0, wordWrap ? std::max(maxWidth, 1) : 0, 0};
    UString measured = text.empty() ? UString(u" ") : text;
    DrawTextW(dc, win::W(measured), -1, &r, DT_CALCRECT | DT_EXPANDTABS | (wordWrap ? DT_WORDBREAK : 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    width = text.empty() ? 0 : r.right - r.left;
    height = r.bottom - r.top;
}

}  // namespace backend
