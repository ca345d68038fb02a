#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Handles.h"

using namespace win32;

#ifndef _WIN64
// The records as the 32-bit program hands them to Windows.
static_assert(sizeof(STARTUPINFOW) == 68);
static_assert(sizeof(PROCESSENTRY32W) == 556);
#endif

namespace {

HWND ToWindow(uint64_t handle) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(handle)); }

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    auto& windows = *reinterpret_cast<std::vector<WindowEntry>*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    // GetWindowTextW reads another process's caption without sending it a message,
    // so a hung program cannot stop the enumeration.
    const int length = ::GetWindowTextLengthW(window);
    std::wstring caption(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = ::GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()));
    caption.resize(got > 0 ? static_cast<size_t>(got) : 0);
    windows.push_back(WindowEntry{reinterpret_cast<uintptr_t>(window), pid, FromWide(caption.data(), caption.size())});
    return TRUE;
}

}  // namespace

bool Win32Platform::RunAndWait(const UString& commandLine, uint32_t creationFlags)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::wstring line = Wide(commandLine);
    line.push_back(L'\0');
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, creationFlags, nullptr, nullptr, &startup,
                          &process))
        return false;
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    return true;
}

bool Win32Platform::ShellExecute(const UString& verb, const UString& file, const UString& parameters,
                                 const UString& directory, int showCommand)
{
    // Shell extensions that ShellExecuteW may call need COM on this thread.
    EnsureComOnThisThread();
    const std::wstring wideVerb = Wide(verb), wideFile = Wide(file), wideParameters = Wide(parameters),
                       wideDirectory = Wide(directory);
    const HINSTANCE result = ::ShellExecuteW(nullptr, OrNull(wideVerb), wideFile.c_str(), OrNull(wideParameters),
                                             OrNull(wideDirectory), showCommand);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::vector<ProcessEntry> Win32Platform::ListProcesses()
{
    std::vector<ProcessEntry> processes;
    UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry))
        processes.push_back(ProcessEntry{FromWide(entry.szExeFile), entry.th32ProcessID});
    return processes;
}

bool Win32Platform::TerminateProcess(uint32_t pid, uint32_t exitCode)
{
    constexpr DWORD kRights = PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION;
    UniqueHandle process(::OpenProcess(kRights | SYNCHRONIZE, FALSE, pid));
    const bool canWait = static_cast<bool>(process);
    if (!canWait)
        process = UniqueHandle(::OpenProcess(kRights, FALSE, pid));
    if (!process || !::TerminateProcess(process.Get(), exitCode))
        return false;
    // Termination is asynchronous; the caller goes on to replace the program's files.
    if (canWait)
        ::WaitForSingleObject(process.Get(), 5000);
    return true;
}

std::vector<WindowEntry> Win32Platform::ListTopLevelWindows()
{
    std::vector<WindowEntry> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

uint64_t Win32Platform::FindWindowByCaption(const UString& caption)
{
    if (caption.empty()) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return reinterpret_cast<uintptr_t>(::FindWindowW(nullptr, Wide(caption).c_str()));
}

bool Win32Platform::SendCloseRequest(uint64_t window)
{
    const HWND target = ToWindow(window);
    if (!::IsWindow(target))
        return Fail(ERROR_INVALID_WINDOW_HANDLE);
    // No time limit while the program answers (it may ask its user first), but a
    // program that does not respond at all must not stop the setup with it.
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(target, WM_CLOSE, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, 0x7FFFFFFF, &result) != 0;
}

uint32_t Win32Platform::CurrentProcessId() { return ::GetCurrentProcessId(); }
