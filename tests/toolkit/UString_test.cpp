#include "base/UString.h"

#include <gtest/gtest.h>

#include <climits>
#include <ios>
#include <utility>

#include "base/Codepage.h"

namespace {

struct Utf8Case {
    UString text;
    std::string bytes;
};

TEST(UString, Utf8ConvertsEveryPlaneBothWays)
{
    const Utf8Case cases[] = {
        {u"", ""},
        {u"Setup.ini", "Setup.ini"},
        {u"\u00E9", "\xC3\xA9"},
        {u"\u20AC", "\xE2\x82\xAC"},
        {u"\u4E2D\u6587", "\xE4\xB8\xAD\xE6\x96\x87"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},
        {u"\uFFFF", "\xEF\xBF\xBF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToUtf8(c.text), c.bytes);
        EXPECT_EQ(FromUtf8(c.bytes), c.text);
    }
}

TEST(UString, BrokenUtf8BecomesReplacementCharacters)
{
    const Utf8Case cases[] = {
        {u"\uFFFD", "\xC3"},  // cut off at the end
        {u"a\uFFFDb", "a\xE2\x82"
                      "b"},                                 // cut off inside
        {u"\uFFFD\uFFFD", "\xC0\xAF"},                      // overlong form
        {u"\uFFFD\uFFFD\uFFFD", "\xED\xA0\x80"},            // encoded surrogate
        {u"\uFFFD\uFFFD\uFFFD\uFFFD", "\xF4\x90\x80\x80"},  // beyond U+10FFFF
        {u"\uFFFDx", "\xFFx"},
        {u"\uFFFD", "\x80"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FromUtf8(c.bytes), c.text) << c.bytes;
}

TEST(UString, LoneSurrogatesBecomeReplacementInUtf8)
{
    const Utf8Case cases[] = {
        {u"a\xD800"
         u"b",
         "a\xEF\xBF\xBD"
         "b"},
        {u"\xDC00", "\xEF\xBF\xBD"},
        {u"x\xD83D", "x\xEF\xBF\xBD"},
        {u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // pair in the wrong order
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToUtf8(c.text), c.bytes);
}

TEST(UString, AppendUtf8EncodesOneCodePointAndReplacesInvalidOnes)
{
    const struct {
        char32_t codePoint;
        std::string bytes;
    } cases[] = {
        {0x41, "A"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
        {0xD800, "\xEF\xBF\xBD"},
        {0xDFFF, "\xEF\xBF\xBD"},
        {0x110000, "\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        std::string out = "x";
        AppendUtf8(out, c.codePoint);
        EXPECT_EQ(out, "x" + c.bytes) << std::hex << static_cast<uint32_t>(c.codePoint);
    }
}

TEST(UString, HexDigitReadsBothCasesAndNothingElse)
{
    const std::pair<char16_t, int> cases[] = {
        {u'0', 0},  {u'9', 9},  {u'a', 10}, {u'f', 15}, {u'A', 10}, {u'F', 15},      {u'g', -1},
        {u'G', -1}, {u'/', -1}, {u':', -1}, {u'@', -1}, {u'`', -1}, {u'\uFF10', -1},
    };
    for (const auto& [c, value] : cases)
        EXPECT_EQ(HexDigit(c), value) << static_cast<int>(c);
}

TEST(UString, WideConversionKeepsEveryCharacter)
{
    const UString text = u"C:\\Program Files\\Caf\u00E9 \u4E2D \U0001F600";
    EXPECT_EQ(FromWide(ToWide(text)), text);
    EXPECT_EQ(ToWide(u"Setup"), L"Setup");
    EXPECT_EQ(FromWide(L"\u00E9\u20AC"), u"\u00E9\u20AC");

    const UString lone = u"a\xD800";
    if constexpr (sizeof(wchar_t) == 2)
        EXPECT_EQ(FromWide(ToWide(lone)), lone);
    else
        EXPECT_EQ(FromWide(ToWide(lone)), u"a\uFFFD");
}

TEST(UString, AnsiIsWindows1252)
{
    const Utf8Case both[] = {
        {u"Soci\u00E9t\u00E9 \u00FC\u00DF\u00FF", "Soci\xE9t\xE9 \xFC\xDF\xFF"},
        {u"\u20AC", "\x80"},
        {u"\u201Equoted\u201C", "\x84quoted\x93"},
        {u"\u017D\u0178\u0152", "\x8E\x9F\x8C"},
        {u"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D"},  // undefined bytes
    };
    for (const auto& c : both) {
        EXPECT_EQ(ToAnsi(c.text), c.bytes);
        EXPECT_EQ(FromAnsi(c.bytes), c.text);
    }
    // Characters the code page lacks: a question mark each, no look-alike.
    EXPECT_EQ(ToAnsi(u"\u0100\u4E2Dx\u0416"), "??x?");
}

struct CaseCompare {
    UString a, b;
    bool same;
};

TEST(UString, SameTextIgnoresLetterCase)
{
    const CaseCompare cases[] = {
        {u"Setup", u"SETUP", true},
        {u"%program_exec", u"%PROGRAM_EXEC", true},
        {u"\u00C9COLE \u00D8", u"\u00E9cole \u00F8", true},                            // Latin-1
        {u"\u0141\u00D3D\u0179 \u0178", u"\u0142\u00F3d\u017A \u00FF", true},          // Latin Extended-A
        {u"\u03A3\u039F\u03A6\u038A\u0391", u"\u03C3\u03BF\u03C6\u03AF\u03B1", true},  // Greek
        {u"\u039F\u0394\u039F\u03A3", u"\u03BF\u03B4\u03BF\u03C2", true},              // final sigma
        {u"\u041C\u041E\u0421\u041A\u0412\u0410 \u0401", u"\u043C\u043E\u0441\u043A\u0432\u0430 \u0451", true},
        {u"Setup", u"Setup1", false},
        {u"\u00D7", u"\u00F7", false},  // multiplication and division signs are no pair
        {u"\u00DF", u"SS", false},
        {u"[", u"{", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameText(c.a, c.b), c.same) << ToUtf8(c.a) << " / " << ToUtf8(c.b);
        EXPECT_EQ(CompareText(c.a, c.b) == 0, c.same);
    }
}

TEST(UString, CompareTextOrdersFoldedText)
{
    EXPECT_LT(CompareText(u"a", u"B"), 0);
    EXPECT_GT(CompareText(u"B", u"a"), 0);
    EXPECT_LT(CompareText(u"abc", u"ABD"), 0);
    EXPECT_GT(CompareText(u"ab", u"A"), 0);
    EXPECT_LT(CompareText(u"", u"a"), 0);
}

TEST(UString, LowerAZTouchesOnlyAsciiLetters)
{
    EXPECT_EQ(LowerAZ(u"UNINSTALLAnyway"), u"uninstallanyway");
    EXPECT_EQ(LowerAZ(u"\u00C9T\u00C9 @[Z]"), u"\u00C9t\u00C9 @[z]");
}

TEST(UString, TrimRemovesBlanksAndControlCharacters)
{
    const UString text = u" \t\x01 a b\u00A0\r\n\x1F ";
    EXPECT_EQ(Trim(text), u"a b\u00A0");
    EXPECT_EQ(TrimLeft(text), u"a b\u00A0\r\n\x1F ");
    EXPECT_EQ(TrimRight(text), u" \t\x01 a b\u00A0");
    EXPECT_EQ(Trim(u" \r\n "), u"");
    EXPECT_EQ(TrimLeft(u""), u"");
}

TEST(UString, IntToStrCoversTheWholeRange)
{
    EXPECT_EQ(IntToStr(0), u"0");
    EXPECT_EQ(IntToStr(201), u"201");
    EXPECT_EQ(IntToStr(-7), u"-7");
    EXPECT_EQ(IntToStr(LLONG_MIN), u"-9223372036854775808");
    EXPECT_EQ(UIntToStr(ULLONG_MAX), u"18446744073709551615");
}

TEST(UString, ReplaceAllReplacesEveryOccurrenceOnce)
{
    EXPECT_EQ(ReplaceAll(u"One@RETURN@Two@RETURN@", u"@RETURN@", u"\r\n"), u"One\r\nTwo\r\n");
    EXPECT_EQ(ReplaceAll(u"aaa", u"aa", u"b"), u"ba");
    EXPECT_EQ(ReplaceAll(u"%P", u"%P", u"%P%P"), u"%P%P");
    EXPECT_EQ(ReplaceAll(u"text", u"", u"x"), u"text");
    EXPECT_EQ(ReplaceAll(u"", u"a", u"b"), u"");
}

TEST(UString, StartsWithAndEndsWithAreExact)
{
    EXPECT_TRUE(StartsWith(u"InstallWizard_v2.xlsx", u"InstallWizard"));
    EXPECT_FALSE(StartsWith(u"installwizard.xlsx", u"InstallWizard"));
    EXPECT_FALSE(StartsWith(u"Inst", u"InstallWizard"));
    EXPECT_TRUE(StartsWith(u"x", u""));
    EXPECT_TRUE(EndsWith(u"Setup.exe", u".exe"));
    EXPECT_FALSE(EndsWith(u"Setup.EXE", u".exe"));
    EXPECT_FALSE(EndsWith(u"e", u".exe"));
}

struct FieldCase {
    UString text;
    char16_t delimiter;
    int index;
    UString field;
};

TEST(UString, GetDelimitedFieldSplitsAndTrims)
{
    const FieldCase cases[] = {
        {u"A=B=C", u'=', 0, u"A"},
        {u"A=B=C", u'=', 1, u"B"},
        {u"A=B=C", u'=', 2, u"C"},
        {u"A=B=C", u'=', 3, u""},
        {u"  MSG_201 =  Text one@RETURN@two \t", u'=', 0, u"MSG_201"},
        {u"  MSG_201 =  Text one@RETURN@two \t", u'=', 1, u"Text one@RETURN@two"},
        {u"A=", u'=', 1, u""},
        {u"=x", u'=', 0, u""},
        {u"=x", u'=', 1, u"x"},
        {u"no delimiter", u'=', 0, u"no delimiter"},
        {u"no delimiter", u'=', 1, u""},
        {u"", u'=', 0, u""},
        {u"Win7.Home", u'.', 1, u"Home"},
        {u"a..c", u'.', 1, u""},
        {u"a..c", u'.', 2, u"c"},
        {u"\x01key\x1F=\tvalue\r\n", u'=', 1, u"value"},
        {u"A=B", u'=', -1, u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetDelimitedField(c.text, c.delimiter, c.index), c.field) << ToUtf8(c.text) << " [" << c.index << "]";
}

}  // namespace
