#include "platform/sim/SimText.h"

#include <charconv>

namespace sim {

UString Utf16Le(std::string_view bytes)
{
    UString out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        out += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return out;
}

char16_t FoldChar(char16_t c)
{
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? static_cast<char16_t>(c - 32) : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<char16_t>(c - 32);
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs upper/lower, with the odd run 0x139-0x148 and 0x179-0x17E.
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
            return (c & 1) == 0 ? static_cast<char16_t>(c - 1) : c;
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        return (c & 1) == 1 ? static_cast<char16_t>(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2)
        return static_cast<char16_t>(c - 32);
    if (c >= 0x430 && c <= 0x44F)
        return static_cast<char16_t>(c - 32);
    if (c >= 0x450 && c <= 0x45F)
        return static_cast<char16_t>(c - 80);
    return c;
}

UString Fold(UStringView text)
{
    UString out(text);
    for (auto& c : out)
        c = FoldChar(c);
    return out;
}

bool SameName(UStringView a, UStringView b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldChar(a[i]) != FoldChar(b[i]))
            return false;
    return true;
}

bool HasPrefix(UStringView text, UStringView prefix) { return text.substr(0, prefix.size()) == prefix; }

UString Hex(uint32_t value, int digits)
{
    static const char16_t kDigits[] = u"0123456789ABCDEF";
    UString out(static_cast<size_t>(digits), u'0');
    for (int i = digits - 1; i >= 0; --i) {
        out[static_cast<size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return out;
}

bool ParseUInt(std::string_view text, uint32_t& value)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty())
        return false;
    uint32_t v = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
    if (ec != std::errc() || ptr != text.data() + text.size())
        return false;
    value = v;
    return true;
}

}  // namespace sim
