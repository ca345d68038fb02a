#pragma once
// Text helpers of the simulated machine: names compared as NTFS and the registry
// compare them, numbers as its files write them.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/UString.h"

namespace sim {

// The base conversions: lone surrogates and bad UTF-8 become U+FFFD.
inline std::string Utf8(UStringView text) { return ToUtf8(text); }
inline UString Utf16(std::string_view utf8) { return FromUtf8(utf8); }
// Little-endian UTF-16 bytes (after their mark); an odd last byte is dropped.
UString Utf16Le(std::string_view bytes);

// Upper-case mapping of one code unit as NTFS and the registry compare names:
// ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic.
char16_t FoldChar(char16_t c);
UString Fold(UStringView text);
bool SameName(UStringView a, UStringView b);

bool HasPrefix(UStringView text, UStringView prefix);

UString Hex(uint32_t value, int digits);
// Decimal, or hexadecimal after "0x"; false (value untouched) on anything else.
bool ParseUInt(std::string_view text, uint32_t& value);

}  // namespace sim
