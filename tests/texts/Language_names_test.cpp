#include <gtest/gtest.h>

#include "language/Language_subroutines.h"

namespace {

TEST(LanguageNames, IdentifiersMapOnAllSixteenBits)
{
    struct Case {
        uint16_t id;
        const char16_t* name;
    } cases[] = {
        {0x0C0A, u"Spanish"},  {0x040A, u"English"},  {0x0804, u"ChineseS"}, {0x0404, u"ChineseT"},
        {0x0C04, u"ChineseT"}, {0x1004, u"ChineseT"}, {0x1404, u"English"},  {0x0407, u"German"},
        {0x4001, u"Arabic"},   {0x500A, u"Spanish"},  {0x0409, u"English"},  {0x0000, u"English"},
        {0x0405, u"Czech"},    {0x083E, u"Malay"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UString(c.name), LanguageNameForId(c.id)) << std::hex << c.id;

    EXPECT_EQ(0x2C0A, LanguageIdFromName(u"Spanish"));
    EXPECT_EQ(0x0C07, LanguageIdFromName(u"German"));
    EXPECT_EQ(0x0409, LanguageIdFromName(u"german"));
    EXPECT_EQ(0x0409, LanguageIdFromName(u"English"));
    EXPECT_EQ(0x0409, LanguageIdFromName(u"Klingon"));
    for (const char16_t* name :
         {u"Arabic", u"Azerbaijan", u"Bulgarian",  u"ChineseS", u"ChineseT",   u"Croatian",  u"Czech",
          u"Danish", u"Dutch",      u"English",    u"Estonian", u"Finnish",    u"French",    u"German",
          u"Greek",  u"Hungarian",  u"Indonesian", u"Italian",  u"Japanese",   u"Korean",    u"Macedonian",
          u"Malay",  u"Norwegian",  u"Persian",    u"Polish",   u"Portuguese", u"Romanian",  u"Russian",
          u"Slovak", u"Spanish",    u"Swedish",    u"Thai",     u"Turkish",    u"Vietnamese"})
        EXPECT_EQ(UString(name), LanguageNameForId(LanguageIdFromName(name))) << ToUtf8(name);
}

}  // namespace
