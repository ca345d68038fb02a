// The demo product's online updater. It lives in the updater folder of the install
// root, named as the UpdaterName of the Upgrade.ini beside it, and shows (hidden) one
// top-level window captioned "UpdaterForm", which the setup may ask to close.
//
// Started by the setup with "InstallExeRecall", it applies a newer version of the demo
// the way an online updater would, but from a local package folder instead of a
// download: the folder (a package as the build lays it out: Setup.ini and
// "Program Files\") is named by the first line of "UpdateSource.txt" beside the
// updater. It then
//   - asks the running product (its window captioned as the new Setup.ini's
//     %PROGRAM_FORMCAPTION) to close and waits for it to end,
//   - copies the package's payload into the install root (this updater itself, the
//     record file Regedit_FileList.ini and the user's "ScriptsMacros" folders are left
//     as they are),
//   - renames the kept installer's Setup.ini (the installer named by the private key's
//     UninstOnAppDataDir) to Setup_old.ini and puts the package's Setup.ini beside it,
//   - starts that kept installer with "registry", and ends.
// Started with "UpdaterFinish", it only notes that and ends.
//
// Each event is one UTF-8 line appended to the log named by the variable
// OSTREL_UPDATER_LOG, or else "OstrelUpdater.log" beside the updater:
//   InstallExeRecall | UpdaterFinish      the argument it was started with
//   applied <version> from <folder>       the payload and Setup.ini are in place
//   registry <kept Setup.exe>             the kept installer was started
//   error <what>                          what stopped it
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

std::wstring OwnPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring LogPath()
{
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = GetEnvironmentVariableW(L"OSTREL_UPDATER_LOG", buffer, MAX_PATH + 1);
    if (n > 0 && n <= MAX_PATH)
        return std::wstring(buffer, n);
    return FolderOf(OwnPath()) + L"OstrelUpdater.log";
}

void Log(const std::wstring& line)
{
    HANDLE file = CreateFileW(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string bytes = Utf8(line) + "\r\n";
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

bool SameName(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring Trimmed(std::wstring text)
{
    const size_t first = text.find_first_not_of(L" \t\r\n\xFEFF");
    if (first == std::wstring::npos)
        return {};
    const size_t last = text.find_last_not_of(L" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The first line of a small text file (UTF-8, or the ANSI code page).
std::wstring FirstLine(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    char buffer[4096];
    DWORD got = 0;
    ReadFile(file, buffer, sizeof(buffer), &got, nullptr);
    CloseHandle(file);
    std::string bytes(buffer, got);
    bytes = bytes.substr(0, bytes.find_first_of("\r\n"));
    const UINT codePage = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                              static_cast<int>(bytes.size()), nullptr, 0) > 0 ||
                                  bytes.empty()
                              ? CP_UTF8
                              : CP_ACP;
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(n, L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return Trimmed(text);
}

std::wstring IniValue(const std::wstring& file, const wchar_t* key)
{
    wchar_t value[1024] = L"";
    GetPrivateProfileStringW(L"Setup", key, L"", value, 1024, file.c_str());
    return value;
}

// The setup is a 32-bit program: its keys are those of the 32-bit view.
std::wstring MachineValue(const std::wstring& key, const wchar_t* name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &opened) != ERROR_SUCCESS)
        return {};
    wchar_t value[1024] = L"";
    DWORD size = sizeof(value);
    const LONG result = RegGetValueW(opened, nullptr, name, RRF_RT_REG_SZ, nullptr, value, &size);
    RegCloseKey(opened);
    return result == ERROR_SUCCESS ? std::wstring(value) : std::wstring();
}

// Copies the tree below from into to (both ending in "\"), overwriting; false when a
// file could not be copied.
bool CopyPayload(const std::wstring& from, const std::wstring& to, const std::wstring& self)
{
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((from + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return true;
    bool ok = true;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // The user's macros are theirs, not the payload's.
            if (!SameName(name, L"ScriptsMacros"))
                ok = CopyPayload(from + name + L"\\", to + name + L"\\", self) && ok;
            continue;
        }
        const std::wstring target = to + name;
        // Its own file is in use, and the record file describes this installation.
        if (SameName(target, self) || SameName(name, L"Regedit_FileList.ini"))
            continue;
        if (!CopyFileW((from + name).c_str(), target.c_str(), FALSE)) {
            Log(L"error could not copy " + from + name);
            ok = false;
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return ok;
}

// Asks every window of that caption to close and waits for its process to end, so
// that the program's files can be replaced.
void CloseProduct(const std::wstring& caption)
{
    for (int attempt = 0; !caption.empty() && attempt < 5; ++attempt) {
        HWND window = FindWindowW(nullptr, caption.c_str());
        if (!window)
            return;
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
        SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        if (process) {
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
    }
}

bool ApplyUpdate()
{
    const std::wstring self = OwnPath();
    const std::wstring source = FirstLine(FolderOf(self) + L"UpdateSource.txt");
    if (source.empty()) {
        Log(L"error no package folder in " + FolderOf(self) + L"UpdateSource.txt");
        return false;
    }
    const std::wstring package = source.back() == L'\\' ? source : source + L"\\";
    const std::wstring newIni = package + L"Setup.ini";
    if (GetFileAttributesW(newIni.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Log(L"error no Setup.ini in " + package);
        return false;
    }
    const std::wstring key =
        L"Software\\" + IniValue(newIni, L"%PUBLISHER") + L"\\" + IniValue(newIni, L"%REG_FODLER_PROGNAME");
    const std::wstring root = MachineValue(key, L"InstallDir");
    const std::wstring kept = MachineValue(key, L"UninstOnAppDataDir");
    if (root.empty() || kept.empty()) {
        Log(L"error no installation recorded under HKEY_LOCAL_MACHINE\\" + key);
        return false;
    }
    CloseProduct(IniValue(newIni, L"%PROGRAM_FORMCAPTION"));
    if (!CopyPayload(package + L"Program Files\\", root + L"\\", self))
        return false;
    const std::wstring keptFolder = FolderOf(kept);
    if (!MoveFileExW((keptFolder + L"Setup.ini").c_str(), (keptFolder + L"Setup_old.ini").c_str(),
                     MOVEFILE_REPLACE_EXISTING) ||
        !CopyFileW(newIni.c_str(), (keptFolder + L"Setup.ini").c_str(), FALSE)) {
        Log(L"error could not put the new Setup.ini beside " + kept);
        return false;
    }
    Log(L"applied " + IniValue(newIni, L"%PROGRAM_VERSION") + L" from " + source);
    const HINSTANCE started = ShellExecuteW(nullptr, L"open", kept.c_str(), L"registry", nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(started) <= 32) {
        Log(L"error could not start " + kept);
        return false;
    }
    Log(L"registry " + kept);
    return true;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring argument = args && count > 1 ? args[1] : L"";
    LocalFree(args);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"OstrelDemoUpdater";
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"UpdaterForm", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 320, 120, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);

    int exitCode = 0;
    if (argument == L"InstallExeRecall") {
        Log(argument);
        exitCode = ApplyUpdate() ? 0 : 1;
    } else if (argument == L"UpdaterFinish") {
        Log(argument);
    } else {
        Log(L"error unknown argument \"" + argument + L"\"");
        exitCode = 2;
    }
    DestroyWindow(window);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    return exitCode;
}
