#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Handles.h"

#include <algorithm>
#include <new>

using namespace win32;

namespace {

bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// "C:\..." or "\\server\share\..." (which includes "\\?\" paths).
bool IsFullPath(const UString& path)
{
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == u':' && path[2] == u'\\')
        return true;
    return path.size() >= 3 && path[0] == u'\\' && path[1] == u'\\';
}

// The wide path for a call, or false with the reason set when the path is refused.
bool Checked(const UString& path, std::wstring& wide)
{
    if (!IsFullPath(path))
        return Fail(ERROR_BAD_PATHNAME);
    wide = Wide(path);
    return true;
}

uint64_t FromFileTime(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Opens a file or folder (backup semantics) only to read or write its times.
UniqueHandle OpenForTimes(const std::wstring& path, DWORD access)
{
    return UniqueHandle(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Whole files are read into memory; anything this large is no file of a package.
constexpr uint64_t kMaxWholeFile = 1ull << 30;
constexpr DWORD kChunk = 1u << 24;

}  // namespace

bool Win32Platform::ListFolder(const UString& folder, std::vector<DirEntry>& entries)
{
    std::wstring pattern;
    if (!Checked(folder, pattern))
        return false;
    if (pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L"*.*";
    WIN32_FIND_DATAW data;
    UniqueFind find(::FindFirstFileW(pattern.c_str(), &data));
    if (!find) {
        // Nothing matched: an empty drive root, which is still a folder.
        if (::GetLastError() == ERROR_FILE_NOT_FOUND && DirectoryExists(folder)) {
            entries.clear();
            return true;
        }
        return false;
    }
    std::vector<DirEntry> found;
    do {
        const std::wstring_view name(data.cFileName);
        if (name == L"." || name == L"..")
            continue;
        found.push_back(DirEntry{FromWide(data.cFileName, name.size()), data.dwFileAttributes});
    } while (::FindNextFileW(find.Get(), &data));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES)
        return Fail(error);
    entries = std::move(found);
    return true;
}

bool Win32Platform::FileExists(const UString& path)
{
    const std::optional<uint32_t> attributes = GetAttributes(path);
    return attributes && !(*attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Platform::DirectoryExists(const UString& path)
{
    const std::optional<uint32_t> attributes = GetAttributes(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<uint32_t> Win32Platform::GetAttributes(const UString& path)
{
    std::wstring wide;
    if (!Checked(path, wide))
        return std::nullopt;
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    return attributes;
}

bool Win32Platform::SetAttributes(const UString& path, uint32_t attributes)
{
    std::wstring wide;
    return Checked(path, wide) && ::SetFileAttributesW(wide.c_str(), attributes);
}

bool Win32Platform::CopyFile(const UString& from, const UString& to, bool failIfExists)
{
    std::wstring source, target;
    return Checked(from, source) && Checked(to, target) &&
           ::CopyFileW(source.c_str(), target.c_str(), failIfExists ? TRUE : FALSE);
}

bool Win32Platform::DeleteFile(const UString& path)
{
    std::wstring wide;
    return Checked(path, wide) && ::DeleteFileW(wide.c_str());
}

bool Win32Platform::CreateDirectory(const UString& path)
{
    std::wstring wide;
    return Checked(path, wide) && ::CreateDirectoryW(wide.c_str(), nullptr);
}

bool Win32Platform::RemoveDirectory(const UString& path)
{
    std::wstring wide;
    return Checked(path, wide) && ::RemoveDirectoryW(wide.c_str());
}

std::optional<uint64_t> Win32Platform::GetLastWriteTime(const UString& path)
{
    std::wstring wide;
    if (!Checked(path, wide))
        return std::nullopt;
    UniqueHandle file = OpenForTimes(wide, FILE_READ_ATTRIBUTES);
    FILETIME written;
    if (!file || !::GetFileTime(file.Get(), nullptr, nullptr, &written))
        return std::nullopt;
    return FromFileTime(written);
}

bool Win32Platform::SetLastWriteTime(const UString& path, uint64_t filetime)
{
    std::wstring wide;
    if (!Checked(path, wide))
        return false;
    UniqueHandle file = OpenForTimes(wide, FILE_WRITE_ATTRIBUTES);
    FILETIME written;
    written.dwLowDateTime = static_cast<DWORD>(filetime);
    written.dwHighDateTime = static_cast<DWORD>(filetime >> 32);
    return file && ::SetFileTime(file.Get(), nullptr, nullptr, &written);
}

bool Win32Platform::CreateEmptyFile(const UString& path) { return WriteWholeFile(path, std::string()); }

std::optional<std::string> Win32Platform::ReadWholeFile(const UString& path)
{
    std::wstring wide;
    if (!Checked(path, wide))
        return std::nullopt;
    UniqueHandle file(::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file || !::GetFileSizeEx(file.Get(), &size))
        return std::nullopt;
    if (static_cast<uint64_t>(size.QuadPart) > kMaxWholeFile) {
        Fail(ERROR_NOT_ENOUGH_MEMORY);
        return std::nullopt;
    }
    std::string bytes;
    try {
        bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        Fail(ERROR_NOT_ENOUGH_MEMORY);
        return std::nullopt;
    }
    // Reads until the end, so a file that shrank meanwhile gives what it still holds.
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kChunk));
        DWORD got = 0;
        if (!::ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr))
            return std::nullopt;
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

bool Win32Platform::WriteWholeFile(const UString& path, const std::string& bytes)
{
    std::wstring wide;
    if (!Checked(path, wide))
        return false;
    UniqueHandle file(
        ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kChunk));
        DWORD wrote = 0;
        if (!::WriteFile(file.Get(), bytes.data() + done, want, &wrote, nullptr))
            return false;
        if (wrote == 0)
            return Fail(ERROR_WRITE_FAULT);
        done += wrote;
    }
    // CREATE_ALWAYS reports a replaced file through the last error even on success.
    ::SetLastError(ERROR_SUCCESS);
    return true;
}
