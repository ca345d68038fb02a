#include "util/FolderIdentity.h"

#include <atomic>
#include <vector>

#include "platform/Platform.h"
#include "base/Paths.h"
#include "util/PathGuard.h"

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// The folder holding path (normalised), "" at a root.
UString ParentOf(const UString& normalised)
{
    const size_t slash = normalised.find_last_of(u'\\');
    if (slash == UString::npos || slash + 1 == normalised.size())
        return {};
    UString parent = normalised.substr(0, slash);
    // "C:" is the root's own spelling without its "\".
    if (parent.size() == 2 && parent[1] == u':')
        parent += u'\\';
    return parent;
}

// A name no file of the folder has yet, for the one test file.
UString FreeTestName(const UString& folder)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 16; ++attempt) {
        const UString name = u"~setup-same-folder-" + UIntToStr(Platform().CurrentProcessId()) + u"-" +
                             UIntToStr(counter.fetch_add(1)) + u".tmp";
        if (!Platform().FileExists(IncludeTrailingPathDelimiter(folder) + name))
            return name;
    }
    return {};
}

}  // namespace

UString NormalisedFullPath(UStringView path)
{
    if (!IsFullPath(path))
        return {};
    size_t rootLength = 0;
    UString root;
    if (path[1] == u':') {
        rootLength = 3;
        root = UString(path.substr(0, 2)) + u"\\";
    } else {
        // \\server\share
        size_t i = 2;
        while (i < path.size() && !IsSeparator(path[i]))
            ++i;
        ++i;
        while (i < path.size() && !IsSeparator(path[i]))
            ++i;
        rootLength = i;
        for (char16_t c : path.substr(0, i))
            root += IsSeparator(c) ? u'\\' : c;
    }
    std::vector<UString> parts;
    size_t start = rootLength;
    while (start < path.size()) {
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        const UString part(path.substr(start, end - start));
        start = end + 1;
        if (part.empty() || part == u".")
            continue;
        if (part == u"..") {
            if (parts.empty())
                return {};
            parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    UString out = root;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0 || (!out.empty() && out.back() != u'\\'))
            out += u'\\';
        out += parts[i];
    }
    return out;
}

bool IsSameFolder(const UString& a, const UString& b)
{
    const UString na = NormalisedFullPath(a), nb = NormalisedFullPath(b);
    if (na.empty() || nb.empty())
        return false;
    if (SamePath(na, nb))
        return true;
    IPlatform& platform = Platform();
    if (!platform.DirectoryExists(na) || !platform.DirectoryExists(nb))
        return false;
    const UString name = FreeTestName(na);
    const UString probe = IncludeTrailingPathDelimiter(na) + name;
    if (name.empty() || !platform.CreateEmptyFile(probe))
        return false;
    const bool same = platform.FileExists(IncludeTrailingPathDelimiter(nb) + name);
    platform.DeleteFile(probe);
    return same;
}

bool IsFolderInside(const UString& inner, const UString& outer)
{
    const UString ni = NormalisedFullPath(inner), no = NormalisedFullPath(outer);
    if (ni.empty() || no.empty())
        return false;
    if (IsBelowFolder(ni, no))
        return true;
    for (UString parent = ParentOf(ni); !parent.empty(); parent = ParentOf(parent)) {
        if (Platform().DirectoryExists(parent) && IsSameFolder(parent, no))
            return true;
    }
    return false;
}
