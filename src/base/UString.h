#pragma once
// The program's one string type: UTF-16 code units, as Windows keeps them.
// Conversions to UTF-8 and wchar_t happen only at the edges; the ANSI code page
// is base/Codepage.h.
#include <cstdint>
#include <string>
#include <string_view>

using UString = std::u16string;
using UStringView = std::u16string_view;

// Invalid input (lone surrogates, bad UTF-8) becomes U+FFFD; never throws.
std::string ToUtf8(UStringView text);
UString FromUtf8(std::string_view text);
// Where wchar_t is UTF-16 (Windows) the code units pass unchanged, so a name the
// system gave names the same file when handed back; elsewhere invalid input
// becomes U+FFFD as above.
std::wstring ToWide(UStringView text);
UString FromWide(std::wstring_view text);
// Appends the UTF-8 form of one code point; a surrogate or a value beyond U+10FFFF
// becomes U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

// Case-insensitive comparison as INI section and key names need it.
bool SameText(UStringView a, UStringView b);
int CompareText(UStringView a, UStringView b);
// Lower-cases A to Z only, as the command line is compared.
UString LowerAZ(UStringView text);
// Removes leading and trailing blanks and control characters (code units <= U+0020).
UString Trim(UStringView text);
UString TrimLeft(UStringView text);
UString TrimRight(UStringView text);

UString IntToStr(long long value);
UString UIntToStr(unsigned long long value);
// Replaces every occurrence of `from` (not empty) by `to`.
UString ReplaceAll(UStringView text, UStringView from, UStringView to);
bool StartsWith(UStringView text, UStringView prefix);
bool EndsWith(UStringView text, UStringView suffix);

// The value of a hexadecimal digit (either case), -1 for any other character.
constexpr int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// The index-th field (from 0) of `text` split at `delimiter`, trimmed; empty when
// the text has fewer fields.
UString GetDelimitedField(UStringView text, char16_t delimiter, int index);
