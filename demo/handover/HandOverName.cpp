#include "HandOverName.h"

namespace handover {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring Trim(const std::wstring& text)
{
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

}  // namespace

std::wstring ProgramNameFromCommandLine(const std::wstring& commandLine)
{
    // The first word is found as Windows finds a program's name: a quoted one runs
    // to the next quote, an unquoted one to the first blank.
    size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const size_t close = commandLine.find(L'"', 1);
        i = close == std::wstring::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && !IsBlank(commandLine[i]))
            ++i;
    }
    std::wstring rest = Trim(commandLine.substr(i));
    if (rest.size() >= 2 && rest.front() == L'"' && rest.back() == L'"')
        rest = Trim(rest.substr(1, rest.size() - 2));
    return rest;
}

bool IsPlainFileName(const std::wstring& name)
{
    if (name.empty() || name == L"." || name == L"..")
        return false;
    for (wchar_t c : name)
        if (c == L'\\' || c == L'/' || c == L':' || c == L'"' || c == L'*' || c == L'?' || c == L'<' || c == L'>' ||
            c == L'|' || c < 0x20)
            return false;
    return name.find(L"..") == std::wstring::npos;
}

}  // namespace handover
