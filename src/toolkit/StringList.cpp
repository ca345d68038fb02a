#include "toolkit/StringList.h"

int TStringList::Add(UString item)
{
    items_.push_back(std::move(item));
    return Count() - 1;
}

void TStringList::Insert(int index, UString item)
{
    // Out-of-range positions clamp to the ends rather than corrupt the list.
    if (index < 0)
        index = 0;
    if (index > Count())
        index = Count();
    items_.insert(items_.begin() + index, std::move(item));
}

void TStringList::Delete(int index)
{
    if (index >= 0 && index < Count())
        items_.erase(items_.begin() + index);
}

int TStringList::IndexOf(UStringView item) const
{
    for (int i = 0; i < Count(); ++i) {
        if (items_[static_cast<size_t>(i)] == item)
            return i;
    }
    return -1;
}

UString TStringList::Text() const
{
    size_t size = 0;
    for (const UString& item : items_)
        size += item.size() + 2;
    UString out;
    out.reserve(size);
    for (const UString& item : items_) {
        out += item;
        out += u"\r\n";
    }
    return out;
}

void TStringList::SetText(UStringView text)
{
    items_.clear();
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            ++i;
            continue;
        }
        items_.emplace_back(text.substr(start, i - start));
        i += (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        items_.emplace_back(text.substr(start));
}

bool TStringList::LoadFromFile(const UString& path)
{
    DecodedText decoded;
    if (!ReadTextFile(path, decoded))
        return false;
    SetText(decoded.text);
    encoding_ = decoded.encoding;
    return true;
}

bool TStringList::SaveToFile(const UString& path, TextEncoding encoding) const
{
    return WriteTextFile(path, Text(), encoding);
}
