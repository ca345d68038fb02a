#include "base/Codepage.h"

#include <array>

namespace {

// Windows-1252 bytes 0x80 to 0x9F. The five bytes the code page leaves undefined
// map to the C1 control of the same value, as MultiByteToWideChar does.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::string ToAnsi(UStringView text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        char byte = '?';
        for (size_t k = 0; k < kHigh.size(); ++k) {
            if (kHigh[k] == c) {
                byte = static_cast<char>(0x80 + k);
                break;
            }
        }
        // One "?" for a whole character outside the plane, not one per half.
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            ++i;
        out += byte;
    }
    return out;
}

UString FromAnsi(std::string_view bytes)
{
    UString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out += (b >= 0x80 && b <= 0x9F) ? kHigh[b - 0x80] : static_cast<char16_t>(b);
    }
    return out;
}
