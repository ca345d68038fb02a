// Reading and pressing windows from outside, as test drivers and screen readers do.
#include "toolkit/win32/Win.h"

#include "toolkit/win32/Native.h"

using win::H;
using win::N;

namespace native {

UString ClassNameOf(uint64_t window)
{
    wchar_t name[256];
    int n = GetClassNameW(H(window), name, 256);
    return n > 0 ? win::U(name, static_cast<size_t>(n)) : UString();
}

UString TextOf(uint64_t window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(H(window), WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::wstring buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(H(window), WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, 5000, &copied))
        return {};
    return win::U(buffer.c_str(), copied);
}

int CheckStateOf(uint64_t window) { return static_cast<int>(SendMessageW(H(window), BM_GETCHECK, 0, 0)); }
int ProgressPositionOf(uint64_t window) { return static_cast<int>(SendMessageW(H(window), PBM_GETPOS, 0, 0)); }
bool IsVisible(uint64_t window) { return IsWindowVisible(H(window)) != FALSE; }
bool IsEnabled(uint64_t window) { return IsWindowEnabled(H(window)) != FALSE; }
uint32_t StyleOf(uint64_t window) { return static_cast<uint32_t>(GetWindowLongPtrW(H(window), GWL_STYLE)); }
uint32_t ExStyleOf(uint64_t window) { return static_cast<uint32_t>(GetWindowLongPtrW(H(window), GWL_EXSTYLE)); }

int AlphaOf(uint64_t window)
{
    if (!(ExStyleOf(window) & WS_EX_LAYERED))
        return 255;
    BYTE alpha = 255;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(H(window), nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
        return 255;
    return alpha;
}

std::vector<uint64_t> DescendantsOf(uint64_t window)
{
    std::vector<uint64_t> out;
    for (HWND c = GetWindow(H(window), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        out.push_back(N(c));
        auto more = DescendantsOf(N(c));
        out.insert(out.end(), more.begin(), more.end());
    }
    return out;
}

uint64_t OwnerOf(uint64_t window) { return N(GetWindow(H(window), GW_OWNER)); }

uint64_t FindTopLevel(const UString& caption) { return N(FindWindowW(nullptr, win::W(caption))); }

Box BoundsOf(uint64_t window)
{
    RECT r{};
    GetWindowRect(H(window), &r);
    HWND parent = GetParent(H(window));
    if (parent && (GetWindowLongPtrW(H(window), GWL_STYLE) & WS_CHILD))
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return Box{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Box ClientSizeOf(uint64_t window)
{
    RECT r{};
    GetClientRect(H(window), &r);
    return Box{0, 0, r.right, r.bottom};
}

void SendClick(uint64_t window) { SendMessageW(H(window), BM_CLICK, 0, 0); }

void PostKeyPress(uint64_t window, int virtualKey)
{
    UINT scan = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
    PostMessageW(H(window), WM_KEYDOWN, static_cast<WPARAM>(virtualKey), static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageW(H(window), WM_KEYUP, static_cast<WPARAM>(virtualKey),
                 static_cast<LPARAM>(1 | (scan << 16) | (1u << 30) | (1u << 31)));
}

void PostCloseBox(uint64_t window) { PostMessageW(H(window), WM_SYSCOMMAND, SC_CLOSE, 0); }

uint64_t StartProcess(const UString& commandLine, const UString& envName, const UString& envValue)
{
    SetEnvironmentVariableW(win::W(envName), win::W(envValue));
    std::wstring cmd(reinterpret_cast<const wchar_t*>(commandLine.c_str()));
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    BOOL ok = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableW(win::W(envName), nullptr);
    if (!ok)
        return 0;
    CloseHandle(pi.hThread);
    return N(reinterpret_cast<HWND>(pi.hProcess));
}

int WaitForProcess(uint64_t process, int timeoutMs)
{
    HANDLE h = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(process));
    int result = -1;
    if (WaitForSingleObject(h, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(h, &code);
        result = static_cast<int>(code);
    } else {
        TerminateProcess(h, 1);
    }
    CloseHandle(h);
    return result;
}

UString OwnExecutable()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return win::U(path, n);
}

}  // namespace native
