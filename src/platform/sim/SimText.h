#pragma once
// Text helpers of the simulated machine. The platform layer sits below the toolkit,
// so it carries its own UTF-8 conversion and case folding.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/UString.h"

namespace sim {

// Lone surrogates and bad UTF-8 become U+FFFD.
std::string Utf8(UStringView text);
UString Utf16(std::string_view utf8);

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
