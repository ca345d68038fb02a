#include <gtest/gtest.h>

#include "toolkit/RichText.h"

TEST(RtfToPlainText, KeepsTheTextAndDropsTheTables)
{
    struct Case {
        const char* what;
        std::string rtf;
        UString text;
    } cases[] = {
        {"plain", "{\\rtf1 Hello}", u"Hello"},
        {"paragraphs", "{\\rtf1 One\\par Two\\line Three}", u"One\r\nTwo\r\nThree"},
        {"tables left out",
         "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red0\\green0\\blue0;}{\\*\\generator W;}\\f0 Text}",
         u"Text"},
        {"escapes", "{\\rtf1 a\\{b\\}c\\\\d}", u"a{b}c\\d"},
        {"hex bytes", "{\\rtf1 caf\\'e9}", u"caf\u00e9"},
        {"unicode with fallback", "{\\rtf1\\uc1 \\u20013?\\u25991?}", u"\u4e2d\u6587"},
        {"negative unicode", "{\\rtf1 \\u-3913?}", u"\uf0b7"},
        {"tab", "{\\rtf1 a\\tab b}", u"a\tb"},
        {"unbalanced", "{\\rtf1 cut off\\par", u"cut off\r\n"},
        {"trailing backslash", "{\\rtf1 x\\", u"x"},
        {"bad hex", "{\\rtf1 a\\'zz b}", u"a b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RtfToPlainText(c.rtf), c.text) << c.what;
    EXPECT_TRUE(LooksLikeRtf("  {\\rtf1}"));
    EXPECT_FALSE(LooksLikeRtf("plain text"));
}
