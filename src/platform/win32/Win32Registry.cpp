#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Handles.h"

#include <vector>

using namespace win32;

namespace {

// The program is a 32-bit process and uses the registry's default view, so on 64-bit
// Windows it sees the 32-bit view of HKEY_LOCAL_MACHINE\Software. The 64-bit build
// exists only to run the tests under Wine where 32-bit programs cannot run; it asks
// for the 32-bit view explicitly to act as the real program does.
#ifdef _WIN64
constexpr REGSAM kView = KEY_WOW64_32KEY;
#else
constexpr REGSAM kView = 0;
#endif

HKEY RootKey(RegRoot root) { return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

// Key paths may end in a backslash; the registry calls do not take one.
std::wstring KeyPath(const UString& path)
{
    std::wstring wide = Wide(path);
    while (!wide.empty() && wide.back() == L'\\')
        wide.pop_back();
    return wide;
}

UniqueKey OpenKey(HKEY parent, const std::wstring& path, REGSAM access)
{
    UniqueKey key;
    const LONG rc = ::RegOpenKeyExW(parent, path.c_str(), 0, access | kView, key.Put());
    if (rc != ERROR_SUCCESS) {
        key.Reset();
        ::SetLastError(static_cast<DWORD>(rc));
    }
    return key;
}

UniqueKey OpenKey(RegRoot root, const UString& path, REGSAM access)
{
    return OpenKey(RootKey(root), KeyPath(path), access);
}

bool DeleteSubKey(HKEY parent, const wchar_t* name)
{
#ifdef _WIN64
    const LONG rc = ::RegDeleteKeyExW(parent, name, kView, 0);
#else
    const LONG rc = ::RegDeleteKeyW(parent, name);
#endif
    return rc == ERROR_SUCCESS || Fail(static_cast<DWORD>(rc));
}

// Deletes parent\name with everything below it. Subkeys go from the last index to
// the first, so a subkey that cannot be deleted does not shift the ones still to
// come; the others are deleted all the same, and the key itself then stays.
bool DeleteTree(HKEY parent, const std::wstring& name, int depth)
{
    {
        UniqueKey key = OpenKey(parent, name, KEY_READ);
        if (!key)
            return false;
        DWORD count = 0;
        LONG rc = ::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS)
            return Fail(static_cast<DWORD>(rc));
        // The registry nests at most 512 levels; a deeper walk means a loop of links.
        if (count > 0 && depth > 512)
            return Fail(ERROR_INVALID_PARAMETER);
        for (DWORD index = count; index-- > 0;) {
            wchar_t sub[256];
            DWORD length = 256;
            rc = ::RegEnumKeyExW(key.Get(), index, sub, &length, nullptr, nullptr, nullptr, nullptr);
            if (rc == ERROR_SUCCESS)
                DeleteTree(key.Get(), std::wstring(sub, length), depth + 1);
        }
    }
    return DeleteSubKey(parent, name.c_str());
}

}  // namespace

bool Win32Platform::RegOpenKey(RegRoot root, const UString& path, uint32_t access, bool create)
{
    const std::wstring wide = KeyPath(path);
    if (!create)
        return static_cast<bool>(OpenKey(RootKey(root), wide, access));
    UniqueKey key;
    const LONG rc = ::RegCreateKeyExW(RootKey(root), wide.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access | kView,
                                      nullptr, key.Put(), nullptr);
    if (rc != ERROR_SUCCESS) {
        key.Reset();
        return Fail(static_cast<DWORD>(rc));
    }
    return true;
}

bool Win32Platform::RegKeyExists(RegRoot root, const UString& path)
{
    if (OpenKey(root, path, KEY_READ))
        return true;
    // A key this user may not read exists all the same.
    return ::GetLastError() == ERROR_ACCESS_DENIED;
}

std::optional<UString> Win32Platform::RegReadString(RegRoot root, const UString& path, const UString& name)
{
    UniqueKey key = OpenKey(root, path, KEY_READ);
    if (!key)
        return std::nullopt;
    const std::wstring valueName = Wide(name);
    std::vector<BYTE> data(256);
    DWORD type = 0;
    LONG rc;
    // The value may grow between the size query and the read: ask again, a few times.
    for (int attempt = 0;; ++attempt) {
        DWORD size = static_cast<DWORD>(data.size());
        rc = ::RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, data.data(), &size);
        if (rc == ERROR_MORE_DATA && attempt < 8) {
            data.resize(size + sizeof(wchar_t));
            continue;
        }
        data.resize(rc == ERROR_SUCCESS ? size : 0);
        break;
    }
    if (rc != ERROR_SUCCESS) {
        Fail(static_cast<DWORD>(rc));
        return std::nullopt;
    }
    // REG_EXPAND_SZ is read as stored: the program expands nothing.
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        Fail(ERROR_INVALID_DATATYPE);
        return std::nullopt;
    }
    // Stored strings need not end in a zero, and may hold one before their end;
    // readers see the text up to the first.
    UString text(data.size() / sizeof(char16_t), u'\0');
    if (!text.empty())
        memcpy(text.data(), data.data(), text.size() * sizeof(char16_t));
    const size_t end = text.find(u'\0');
    if (end != UString::npos)
        text.resize(end);
    return text;
}

bool Win32Platform::RegValueExists(RegRoot root, const UString& path, const UString& name)
{
    UniqueKey key = OpenKey(root, path, KEY_READ);
    if (!key)
        return false;
    const LONG rc = ::RegQueryValueExW(key.Get(), Wide(name).c_str(), nullptr, nullptr, nullptr, nullptr);
    return rc == ERROR_SUCCESS || Fail(static_cast<DWORD>(rc));
}

bool Win32Platform::RegWriteString(RegRoot root, const UString& path, const UString& name, const UString& value)
{
    UniqueKey key = OpenKey(root, path, KEY_WRITE);
    if (!key)
        return false;
    const std::wstring wide = Wide(value);
    const DWORD size = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
    const LONG rc =
        ::RegSetValueExW(key.Get(), Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()), size);
    return rc == ERROR_SUCCESS || Fail(static_cast<DWORD>(rc));
}

bool Win32Platform::RegDeleteValue(RegRoot root, const UString& path, const UString& name)
{
    UniqueKey key = OpenKey(root, path, KEY_WRITE);
    if (!key)
        return false;
    const LONG rc = ::RegDeleteValueW(key.Get(), Wide(name).c_str());
    return rc == ERROR_SUCCESS || Fail(static_cast<DWORD>(rc));
}

bool Win32Platform::RegDeleteKeyTree(RegRoot root, const UString& path)
{
    const std::wstring wide = KeyPath(path);
    // An empty path names the hive itself, and a leading backslash is no key name.
    if (wide.empty() || wide.front() == L'\\')
        return Fail(ERROR_INVALID_PARAMETER);
    const size_t slash = wide.rfind(L'\\');
    if (slash == std::wstring::npos)
        return DeleteTree(RootKey(root), wide, 0);
    UniqueKey parent = OpenKey(RootKey(root), wide.substr(0, slash), KEY_READ);
    if (!parent)
        return false;
    return DeleteTree(parent.Get(), wide.substr(slash + 1), 0);
}

bool Win32Platform::RegHasSubKeys(RegRoot root, const UString& path)
{
    UniqueKey key = OpenKey(root, path, KEY_READ);
    if (!key)
        return false;
    DWORD count = 0;
    const LONG rc = ::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS)
        return Fail(static_cast<DWORD>(rc));
    return count > 0;
}

std::vector<UString> Win32Platform::RegSubKeyNames(RegRoot root, const UString& path)
{
    std::vector<UString> names;
    UniqueKey key = OpenKey(root, path, KEY_READ);
    if (!key)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];  // key names are at most 255 characters
        DWORD length = 256;
        const LONG rc = ::RegEnumKeyExW(key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) {
            if (rc != ERROR_NO_MORE_ITEMS)
                Fail(static_cast<DWORD>(rc));
            break;
        }
        names.push_back(FromWide(name, length));
    }
    return names;
}

std::vector<UString> Win32Platform::RegValueNames(RegRoot root, const UString& path)
{
    std::vector<UString> names;
    UniqueKey key = OpenKey(root, path, KEY_READ);
    if (!key)
        return names;
    std::vector<wchar_t> name(16384);  // value names are at most 16,383 characters
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG rc = ::RegEnumValueW(key.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) {
            if (rc != ERROR_NO_MORE_ITEMS)
                Fail(static_cast<DWORD>(rc));
            break;
        }
        names.push_back(FromWide(name.data(), length));
    }
    return names;
}
