// The demo product: one main window captioned as Setup.ini's %PROGRAM_FORMCAPTION,
// which the setup asks to close (WM_CLOSE) before it removes the product. Each start
// is recorded for tests, one UTF-8 line per event, appended to the start log:
//   start parent=<executable that started it> cmdline=<its whole command line>
//   close                  (the window was asked to close)
// The log is the file named by the variable OSTREL_DEMO_LOG, or else
// "Ostrel-demo.log" in the user's temporary folder.
#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include "OstrelCaption.h"

namespace {

const wchar_t kWindowClass[] = L"OstrelDemoMainWindow";

std::wstring LogPath()
{
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetEnvironmentVariableW(L"OSTREL_DEMO_LOG", buffer, MAX_PATH + 1);
    if (n > 0 && n <= MAX_PATH)
        return std::wstring(buffer, n);
    n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH)
        return {};
    return std::wstring(buffer, n) + L"Ostrel-demo.log";
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

void AppendToLog(const std::wstring& line)
{
    const std::wstring path = LogPath();
    if (path.empty())
        return;
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string bytes = Utf8(line) + "\r\n";
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// The executable name of the process that started this one, or "?" when it has
// already ended.
std::wstring ParentName()
{
    const DWORD self = GetCurrentProcessId();
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return L"?";
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    DWORD parent = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (entry.th32ProcessID == self)
            parent = entry.th32ParentProcessID;
    std::wstring name = L"?";
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); parent != 0 && more; more = Process32NextW(snapshot, &entry))
        if (entry.th32ProcessID == parent)
            name = entry.szExeFile;
    CloseHandle(snapshot);
    return name;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        AppendToLog(L"close");
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int show)
{
    const std::wstring commandLine = GetCommandLineW();
    AppendToLog(L"start parent=" + ParentName() + L" cmdline=" + commandLine);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&windowClass))
        return 1;
    HWND window = CreateWindowExW(0, kWindowClass, OSTREL_FORMCAPTION, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 480, 240, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    const std::wstring text = L"Ostrel demo program\r\n\r\nStarted as: " + commandLine;
    RECT client{};
    GetClientRect(window, &client);
    HWND label = CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE, 16, 16, client.right - 32,
                                 client.bottom - 32, window, nullptr, instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);

    // The run-at-logon value starts the program with the word Minimum.
    const bool minimum = arguments && lstrcmpiW(arguments, L"Minimum") == 0;
    ShowWindow(window, minimum ? SW_SHOWMINNOACTIVE : show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
