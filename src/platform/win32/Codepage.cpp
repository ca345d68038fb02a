#include "base/Codepage.h"

#include <windows.h>

#include <climits>

std::string ToAnsi(UStringView text)
{
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    // No best fit: a character the code page lacks must not turn into a look-alike
    // (a path could then name another file).
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    const int size = WideCharToMultiByte(CP_ACP, flags, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string(text.size(), '?');
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide, length, out.data(), size, nullptr, nullptr);
    return out;
}

UString FromAnsi(std::string_view bytes)
{
    if (bytes.empty() || bytes.size() > INT_MAX)
        return {};
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0)
        return UString(bytes.size(), u'\uFFFD');
    UString out(static_cast<size_t>(size), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(out.data()), size);
    return out;
}
