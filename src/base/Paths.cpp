#include "base/Paths.h"

namespace {

// Index just after the last "\" or ":", 0 when there is none.
size_t NameStart(UStringView path)
{
    const size_t hit = path.find_last_of(u"\\:");
    return hit == UStringView::npos ? 0 : hit + 1;
}

}  // namespace

UString IncludeTrailingPathDelimiter(UStringView path)
{
    UString out(path);
    if (out.empty() || out.back() != u'\\')
        out += u'\\';
    return out;
}

UString ExcludeTrailingPathDelimiter(UStringView path)
{
    UString out(path);
    if (!out.empty() && out.back() == u'\\')
        out.pop_back();
    return out;
}

UString ExtractFilePath(UStringView path) { return UString(path.substr(0, NameStart(path))); }

UString ExtractFileName(UStringView path) { return UString(path.substr(NameStart(path))); }

UString ExtractFileExt(UStringView path)
{
    const UStringView name = path.substr(NameStart(path));
    const size_t dot = name.rfind(u'.');
    return dot == UStringView::npos ? UString() : UString(name.substr(dot));
}

std::vector<UString> SplitKeyPath(UStringView path)
{
    std::vector<UString> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == UStringView::npos)
            end = path.size();
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}
