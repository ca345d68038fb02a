#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Handles.h"

#include <algorithm>

using namespace win32;

// The extended record, as the program hands it to Windows on 32 and 64 bits alike.
static_assert(sizeof(OSVERSIONINFOEXW) == 284);

UString Win32Platform::EveryoneGroupName()
{
    UniqueLocal<PSID> sid;
    if (!::ConvertStringSidToSidW(L"S-1-1-0", sid.Put()))
        return {};
    std::wstring name(256, L'\0'), domain(256, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD domainLength = static_cast<DWORD>(domain.size());
        SID_NAME_USE use;
        if (::LookupAccountSidW(nullptr, sid.Get(), name.data(), &nameLength, domain.data(), &domainLength, &use))
            return FromWide(name.c_str());
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
        // The lengths now say what is needed, the zero included.
        name.assign(nameLength + 1, L'\0');
        domain.assign(domainLength + 1, L'\0');
    }
    return {};
}

uint16_t Win32Platform::SystemDefaultLangId() { return ::GetSystemDefaultLangID(); }

uint16_t Win32Platform::UserDefaultLangId() { return ::GetUserDefaultLangID(); }

WindowsVersion Win32Platform::GetWindowsVersion()
{
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)))
        return {};
    return WindowsVersion{info.dwMajorVersion, info.dwMinorVersion};
}

bool Win32Platform::IsUserAdmin()
{
    // Looked up by ordinal, which every shell32 exports, whether or not it also has
    // the name. shell32 stays loaded for the process's life anyway.
    using IsUserAnAdminFn = BOOL(WINAPI*)();
    static const IsUserAnAdminFn isUserAnAdmin = [] {
        const HMODULE shell32 = ::LoadLibraryW(L"shell32.dll");
        return shell32 ? reinterpret_cast<IsUserAnAdminFn>(
                             reinterpret_cast<void*>(::GetProcAddress(shell32, MAKEINTRESOURCEA(680))))
                       : nullptr;
    }();
    return isUserAnAdmin && isUserAnAdmin();
}

void Win32Platform::DebugOutput(const UString& text)
{
    KeepLastError keep;
    ::OutputDebugStringW(Wide(text).c_str());
}

UString Win32Platform::ReadProfileString(const UString& file, const UString& section, const UString& key,
                                         const UString& defaultValue)
{
    const std::wstring wideFile = Wide(file), wideSection = Wide(section), wideKey = Wide(key),
                       wideDefault = Wide(defaultValue);
    std::wstring value(1024, L'\0');
    for (;;) {
        const DWORD got = ::GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideDefault.c_str(),
                                                     value.data(), static_cast<DWORD>(value.size()), wideFile.c_str());
        // A full buffer means the value may have been cut: read again with more room.
        if (got + 1 < value.size() || value.size() >= (1u << 20))
            return FromWide(value.data(), std::min<size_t>(got, value.size()));
        value.assign(value.size() * 4, L'\0');
    }
}

bool Win32Platform::WriteProfileString(const UString& file, const UString& section, const UString& key,
                                       const UString& value)
{
    return ::WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(value).c_str(),
                                        Wide(file).c_str()) != 0;
}

UString Win32Platform::ExecutablePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got == 0)
            return {};
        if (got < path.size())
            return FromWide(path.data(), got);
        if (path.size() >= 32768)  // longest path Windows knows
            return {};
        path.assign(path.size() * 2, L'\0');
    }
}

std::vector<UString> Win32Platform::CommandLineArgs()
{
    std::vector<UString> args;
    int count = 0;
    UniqueLocal<LPWSTR*> argv(::CommandLineToArgvW(::GetCommandLineW(), &count));
    if (!argv)
        return args;
    for (int i = 1; i < count; ++i)
        args.push_back(FromWide(argv.Get()[i]));
    return args;
}

uint32_t Win32Platform::LastError() { return ::GetLastError(); }

void Win32Platform::SetLastError(uint32_t code) { ::SetLastError(code); }

UString Win32Platform::SystemErrorMessage(uint32_t code)
{
    KeepLastError keep;
    UniqueLocal<LPWSTR> text;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                         nullptr, code, 0, reinterpret_cast<LPWSTR>(text.Put()), 0, nullptr);
    if (length == 0 || !text)
        return {};
    UString message = FromWide(text.Get(), length);
    while (!message.empty() && (message.back() == u'\r' || message.back() == u'\n'))
        message.pop_back();
    return message;
}
