#include "base/UString.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendUtf16(UString& out, char32_t cp)
{
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

// Next code point of UTF-16 text; a lone surrogate gives U+FFFD.
char32_t NextUtf16(UStringView text, size_t& i)
{
    const char32_t c = text[i++];
    if (IsHighSurrogate(c)) {
        if (i < text.size() && IsLowSurrogate(text[i]))
            return 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
        return kReplacement;
    }
    return IsLowSurrogate(c) ? kReplacement : c;
}

// Simple one-to-one case folding to lower case: ASCII, Latin-1, Latin Extended-A,
// basic Greek and Cyrillic. Enough for section and key names, which are ASCII in
// practice; no locale is involved, so both machines agree.
char16_t FoldCase(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
    if (c < 0x100)
        return (c >= 0xC0 && c <= 0xDE && c != 0xD7) ? static_cast<char16_t>(c + 0x20) : c;
    if (c < 0x180) {
        if (c == 0x130)
            return u'i';
        if (c == 0x178)
            return 0xFF;
        const bool evenUpper = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1))
            return static_cast<char16_t>(c + 1);
        return c;
    }
    if (c >= 0x386 && c <= 0x3AB) {
        if (c >= 0x391 && c != 0x3A2)
            return static_cast<char16_t>(c + 0x20);
        switch (c) {
        case 0x386:
            return 0x3AC;
        case 0x388:
        case 0x389:
        case 0x38A:
            return static_cast<char16_t>(c + 0x25);
        case 0x38C:
            return 0x3CC;
        case 0x38E:
        case 0x38F:
            return static_cast<char16_t>(c + 0x3F);
        default:
            return c;
        }
    }
    if (c == 0x3C2)  // final sigma is the same letter as sigma
        return 0x3C3;
    if (c >= 0x400 && c <= 0x52F) {
        if (c <= 0x40F)
            return static_cast<char16_t>(c + 0x50);
        if (c <= 0x42F)
            return static_cast<char16_t>(c + 0x20);
        if (c == 0x4C0)
            return 0x4CF;
        const bool evenUpper = (c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0);
        const bool oddUpper = c >= 0x4C1 && c <= 0x4CE;
        if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1))
            return static_cast<char16_t>(c + 1);
    }
    return c;
}

bool IsBlank(char16_t c) { return c <= 0x20; }

template <typename Unsigned>
UString Digits(Unsigned value)
{
    char16_t buffer[24];
    size_t n = 0;
    do {
        buffer[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    UString out;
    while (n > 0)
        out += buffer[--n];
    return out;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = kReplacement;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string ToUtf8(UStringView text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
        AppendUtf8(out, NextUtf16(text, i));
    return out;
}

UString FromUtf8(std::string_view text)
{
    UString out;
    out.reserve(text.size());
    const size_t n = text.size();
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    for (size_t i = 0; i < n;) {
        const unsigned char b0 = byte(i);
        if (b0 < 0x80) {
            out += static_cast<char16_t>(b0);
            ++i;
            continue;
        }
        // Length and the allowed range of the second byte, which rules out overlong
        // forms, encoded surrogates and values beyond U+10FFFF.
        size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            length = 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            length = 3;
            if (b0 == 0xE0)
                low = 0xA0;
            if (b0 == 0xED)
                high = 0x9F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            length = 4;
            if (b0 == 0xF0)
                low = 0x90;
            if (b0 == 0xF4)
                high = 0x8F;
        }
        if (length == 0) {
            out += kReplacement;
            ++i;
            continue;
        }
        char32_t cp = b0 & (0xFF >> (length + 1));
        size_t k = 1;
        for (; k < length && i + k < n; ++k) {
            const unsigned char b = byte(i + k);
            if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF))
                break;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (k < length) {
            // One replacement for the broken sequence; the byte that broke it starts anew.
            out += kReplacement;
            i += k;
            continue;
        }
        AppendUtf16(out, cp);
        i += length;
    }
    return out;
}

std::wstring ToWide(UStringView text)
{
    if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
        // Windows: the same code units, passed on unchanged so that any name the
        // system gave us names the same file when handed back.
        return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
    } else {
        std::wstring out;
        out.reserve(text.size());
        for (size_t i = 0; i < text.size();)
            out += static_cast<wchar_t>(NextUtf16(text, i));
        return out;
    }
}

UString FromWide(std::wstring_view text)
{
    if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
        return UString(reinterpret_cast<const char16_t*>(text.data()), text.size());
    } else {
        UString out;
        out.reserve(text.size());
        for (wchar_t w : text) {
            const auto cp = static_cast<char32_t>(w);
            const bool valid = cp <= 0x10FFFF && !IsHighSurrogate(cp) && !IsLowSurrogate(cp);
            AppendUtf16(out, valid ? cp : kReplacement);
        }
        return out;
    }
}

bool SameText(UStringView a, UStringView b) { return a.size() == b.size() && CompareText(a, b) == 0; }

int CompareText(UStringView a, UStringView b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const char16_t x = FoldCase(a[i]), y = FoldCase(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

UString LowerAZ(UStringView text)
{
    UString out(text);
    for (char16_t& c : out) {
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c + 0x20);
    }
    return out;
}

UString Trim(UStringView text) { return TrimRight(TrimLeft(text)); }

UString TrimLeft(UStringView text)
{
    size_t start = 0;
    while (start < text.size() && IsBlank(text[start]))
        ++start;
    return UString(text.substr(start));
}

UString TrimRight(UStringView text)
{
    size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    return UString(text.substr(0, end));
}

UString IntToStr(long long value)
{
    if (value < 0) {
        // Negated in unsigned arithmetic, so the smallest value is safe too.
        return u"-" + Digits(0ULL - static_cast<unsigned long long>(value));
    }
    return Digits(static_cast<unsigned long long>(value));
}

UString UIntToStr(unsigned long long value) { return Digits(value); }

UString ReplaceAll(UStringView text, UStringView from, UStringView to)
{
    if (from.empty())
        return UString(text);
    UString out;
    out.reserve(text.size());
    size_t pos = 0;
    for (;;) {
        const size_t hit = text.find(from, pos);
        if (hit == UStringView::npos)
            break;
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

bool StartsWith(UStringView text, UStringView prefix) { return text.substr(0, prefix.size()) == prefix; }

bool EndsWith(UStringView text, UStringView suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

UString GetDelimitedField(UStringView text, char16_t delimiter, int index)
{
    if (index < 0)
        return {};
    size_t start = 0;
    for (int field = 0; field < index; ++field) {
        const size_t hit = text.find(delimiter, start);
        if (hit == UStringView::npos)
            return {};  // the text ends before that field begins
        start = hit + 1;
    }
    const size_t end = text.find(delimiter, start);
    return Trim(text.substr(start, end == UStringView::npos ? UStringView::npos : end - start));
}
