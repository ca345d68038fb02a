// HandOver.exe: the launcher that the finish page of the setup starts. Its command
// line is the file name of the installed program; it starts that program from its
// own folder (never from elsewhere) and ends. Exit code 0 when the program started,
// 1 when it could not be started, 2 when the command line names no plain file in
// this folder.
#include <windows.h>

#include <string>

#include "HandOverName.h"

namespace {

std::wstring OwnFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

void Trace(const std::wstring& text) { OutputDebugStringW((L"HandOver: " + text).c_str()); }

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::wstring name = handover::ProgramNameFromCommandLine(GetCommandLineW());
    if (!handover::IsPlainFileName(name)) {
        Trace(L"no plain program name on the command line: \"" + name + L"\"");
        return 2;
    }
    const std::wstring folder = OwnFolder();
    const std::wstring program = folder + name;
    const DWORD attributes = GetFileAttributesW(program.c_str());
    if (folder.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Trace(L"no program " + program);
        return 2;
    }

    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    // Started in its own folder, so that it finds its files as from a shortcut.
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
        Trace(L"could not start " + program + L", error " + std::to_wstring(GetLastError()));
        return 1;
    }
    // Stay until the program is up, so that it still finds its launcher running.
    WaitForInputIdle(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
