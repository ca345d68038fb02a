#pragma once
// The Windows headers for the platform's implementation files, included after
// Win32Platform.h. Removes the Unicode macros that share names with IPlatform's
// methods, and gives the string conversions at the API's edge.
#include <windows.h>
// The other headers of the calls used, all before the macros go.
#include <objbase.h>
#include <objidl.h>
#include <sddl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <string>

#include "base/UString.h"

#undef CopyFile
#undef DeleteFile
#undef CreateDirectory
#undef RemoveDirectory
#undef ShellExecute
#undef RegOpenKey
#undef RegDeleteValue
#undef WriteProfileString

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

namespace win32 {

// UTF-16 both sides: the conversions are copies. Kept here rather than taken from
// the toolkit, which is built on this layer.
inline std::wstring Wide(UStringView text)
{
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

inline UString FromWide(const wchar_t* text, size_t length)
{
    return UString(reinterpret_cast<const char16_t*>(text), length);
}

inline UString FromWide(const wchar_t* text) { return text ? FromWide(text, wcslen(text)) : UString(); }

// Sets the thread's last error and gives the failure result, for the calls that
// return their error code instead of setting it (registry, COM).
inline bool Fail(DWORD code)
{
    ::SetLastError(code);
    return false;
}

// Error code of a failed HRESULT, as GetLastError would give it.
inline DWORD ErrorOf(HRESULT hr)
{
    return HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : static_cast<DWORD>(hr);
}

// Initialises COM (a single-threaded apartment) on the calling thread the first time
// it is asked there, and leaves it so for the thread's life. Win32Shell.cpp.
void EnsureComOnThisThread();

// Restores the last error when it leaves scope: for handle closes in destructors and
// for calls that must not disturb what the caller is about to read.
class KeepLastError {
public:
    KeepLastError() : code_(::GetLastError()) {}
    ~KeepLastError() { ::SetLastError(code_); }
    KeepLastError(const KeepLastError&) = delete;
    KeepLastError& operator=(const KeepLastError&) = delete;

private:
    DWORD code_;
};

}  // namespace win32
