#include "util/PathGuard.h"

#include <vector>

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// The parts after the root, in order; the root's length in rootLength.
std::vector<UStringView> PartsBelowRoot(UStringView path, size_t& rootLength)
{
    std::vector<UStringView> parts;
    rootLength = 0;
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == u':') {
        rootLength = 2;
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // \\server\share is the root of a share.
        size_t i = 2;
        for (int field = 0; field < 2 && i <= path.size(); ++field) {
            while (i < path.size() && !IsSeparator(path[i]))
                ++i;
            if (field == 0 && i < path.size())
                ++i;
        }
        rootLength = i;
    }
    size_t start = rootLength;
    while (start < path.size()) {
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

UString Normalised(UStringView path)
{
    UString out;
    for (char16_t c : path)
        out += IsSeparator(c) ? u'\\' : c;
    while (out.size() > 1 && out.back() == u'\\')
        out.pop_back();
    return LowerAZ(out);
}

}  // namespace

bool IsFullPath(UStringView path)
{
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == u':' && IsSeparator(path[2]))
        return true;
    if (path.size() >= 5 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2])) {
        size_t i = 2;
        while (i < path.size() && !IsSeparator(path[i]))
            ++i;
        // A server and a non-empty share name.
        return i + 1 < path.size() && !IsSeparator(path[i + 1]);
    }
    return false;
}

bool IsRootPath(UStringView path)
{
    size_t rootLength = 0;
    return PartsBelowRoot(path, rootLength).empty();
}

bool IsSafeFolderToChange(UStringView path)
{
    if (!IsFullPath(path))
        return false;
    size_t rootLength = 0;
    const std::vector<UStringView> parts = PartsBelowRoot(path, rootLength);
    if (parts.empty())
        return false;
    for (UStringView part : parts) {
        if (part.find_first_not_of(u". ") == UStringView::npos)
            return false;
    }
    return true;
}

bool IsBelowFolder(UStringView folder, UStringView top)
{
    const UString f = Normalised(folder);
    const UString t = Normalised(top);
    if (t.empty() || f.size() <= t.size() + 1)
        return false;
    return StartsWith(f, t) && (t.back() == u'\\' || f[t.size()] == u'\\');
}

bool SamePath(UStringView a, UStringView b) { return Normalised(a) == Normalised(b); }
