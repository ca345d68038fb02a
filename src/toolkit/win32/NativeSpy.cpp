// Windows and processes of other programs, for drivers that work them from outside.
#include "toolkit/win32/Win.h"

#include <tlhelp32.h>

#include "toolkit/win32/NativeSpy.h"

using win::H;
using win::N;

namespace native {

namespace {

UString WindowCaption(HWND hwnd)
{
    // InternalGetWindowText would skip the hung check, but it is not in every
    // import library; a top-level caption is short and kept by the system anyway.
    wchar_t text[1024];
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied))
        return {};
    return win::U(text, copied);
}

BOOL CALLBACK CollectTopWindow(HWND hwnd, LPARAM param)
{
    auto* out = reinterpret_cast<std::vector<TopWindow>*>(param);
    TopWindow w;
    w.handle = N(hwnd);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    w.pid = pid;
    w.visible = IsWindowVisible(hwnd) != FALSE;
    wchar_t cls[256];
    int n = GetClassNameW(hwnd, cls, 256);
    if (n > 0)
        w.className = win::U(cls, static_cast<size_t>(n));
    w.caption = WindowCaption(hwnd);
    out->push_back(std::move(w));
    return TRUE;
}

}  // namespace

std::vector<TopWindow> TopLevelWindows()
{
    std::vector<TopWindow> out;
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&out));
    return out;
}

bool WindowExists(uint64_t window) { return IsWindow(H(window)) != FALSE; }

uint32_t ProcessIdOf(uint64_t window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(H(window), &pid);
    return pid;
}

int ControlIdOf(uint64_t window) { return GetDlgCtrlID(H(window)); }

Box ScreenRectOf(uint64_t window)
{
    RECT r{};
    GetWindowRect(H(window), &r);
    return Box{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Box ClientScreenRectOf(uint64_t window)
{
    RECT r{};
    GetClientRect(H(window), &r);
    POINT origin{0, 0};
    ClientToScreen(H(window), &origin);
    return Box{origin.x, origin.y, r.right, r.bottom};
}

std::vector<ProcessInfo> Processes()
{
    std::vector<ProcessInfo> out;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return out;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        out.push_back(ProcessInfo{entry.th32ProcessID, win::U(entry.szExeFile, wcslen(entry.szExeFile))});
    CloseHandle(snapshot);
    return out;
}

bool PaintNow(uint64_t window, int timeoutMs)
{
    // A program that is busy would hold RedrawWindow; ask first whether it answers.
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(H(window), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(timeoutMs), &result))
        return false;
    return RedrawWindow(H(window), nullptr, nullptr,
                        RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW) !=
           FALSE;
}

void PostClick(uint64_t window) { PostMessageW(H(window), BM_CLICK, 0, 0); }

void PostCommand(uint64_t dialog, int id, uint64_t control)
{
    PostMessageW(H(dialog), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), static_cast<LPARAM>(control));
}

Started StartDetached(const UString& commandLine, const std::vector<std::pair<UString, UString>>& environment)
{
    for (const auto& [name, value] : environment)
        SetEnvironmentVariableW(win::W(name), win::W(value));
    std::wstring cmd(reinterpret_cast<const wchar_t*>(commandLine.c_str()));
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    BOOL ok =
        CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &si, &pi);
    for (const auto& [name, value] : environment)
        SetEnvironmentVariableW(win::W(name), nullptr);
    if (!ok)
        return {};
    CloseHandle(pi.hThread);
    return Started{static_cast<uint64_t>(reinterpret_cast<uintptr_t>(pi.hProcess)), pi.dwProcessId};
}

bool WaitForProcessHandle(uint64_t process, int timeoutMs, int& exitCode)
{
    exitCode = -1;
    HANDLE h = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(process));
    if (WaitForSingleObject(h, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    if (GetExitCodeProcess(h, &code))
        exitCode = static_cast<int>(code);
    return true;
}

bool WaitForProcessId(uint32_t pid, int timeoutMs, int& exitCode)
{
    exitCode = -1;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
    const bool ended =
        WaitForProcessHandle(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(process)), timeoutMs, exitCode);
    CloseHandle(process);
    return ended;
}

void CloseProcessHandle(uint64_t process) { CloseHandle(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(process))); }

bool TerminateProcessId(uint32_t pid, uint32_t exitCode)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
    if (!process)
        return false;
    const bool ok = TerminateProcess(process, exitCode) != FALSE;
    CloseHandle(process);
    return ok;
}

}  // namespace native
