#pragma once
// The Windows headers for the native toolkit's files, included before any toolkit
// header. Removes the Unicode macros that share names with toolkit functions.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <objidl.h>
#include <richedit.h>
#include <shlwapi.h>

#include <string>

#undef MessageBox
#undef PostMessage
#undef SendMessage
#undef DrawText
#undef GetClassName

#include "base/UString.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

namespace win {

inline const wchar_t* W(const UString& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

inline UString U(const wchar_t* s, size_t n) { return UString(reinterpret_cast<const char16_t*>(s), n); }

inline HWND H(uint64_t handle) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(handle)); }
inline uint64_t N(HWND hwnd) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(hwnd)); }

}  // namespace win
