#include <gtest/gtest.h>

#include "language/Language_management.h"
#include "language/Language_subroutines.h"
#include "support/SimFixture.h"

namespace {

TEST(LanguageNames, IdentifiersMapOnAllSixteenBits)
{
    struct Case {
        uint16_t id;
        const char16_t* name;
    } cases[] = {
        {0x0C0A, u"Spanish"}, {0x040A, u"English"}, {0x0804, u"ChineseS"}, {0x0404, u"ChineseT"},
        {0x0C04, u"ChineseT"}, {0x1004, u"ChineseT"}, {0x1404, u"English"}, {0x0407, u"German"},
        {0x4001, u"Arabic"}, {0x500A, u"Spanish"}, {0x0409, u"English"}, {0x0000, u"English"},
        {0x0405, u"Czech"}, {0x083E, u"Malay"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UString(c.name), LanguageNameForId(c.id)) << std::hex << c.id;

    EXPECT_EQ(0x2C0A, LanguageIdFromName(u"Spanish"));
    EXPECT_EQ(0x0C07, LanguageIdFromName(u"German"));
    EXPECT_EQ(0x0409, LanguageIdFromName(u"german"));
    EXPECT_EQ(0x0409, LanguageIdFromName(u"English"));
    EXPECT_EQ(0x0409, LanguageIdFromName(u"Klingon"));
    for (const char16_t* name :
         {u"Arabic", u"Azerbaijan", u"Bulgarian", u"ChineseS", u"ChineseT", u"Croatian", u"Czech", u"Danish",
          u"Dutch", u"English", u"Estonian", u"Finnish", u"French", u"German", u"Greek", u"Hungarian",
          u"Indonesian", u"Italian", u"Japanese", u"Korean", u"Macedonian", u"Malay", u"Norwegian", u"Persian",
          u"Polish", u"Portuguese", u"Romanian", u"Russian", u"Slovak", u"Spanish", u"Swedish", u"Thai",
          u"Turkish", u"Vietnamese"})
        EXPECT_EQ(UString(name), LanguageNameForId(LanguageIdFromName(name))) << ToUtf8(name);
}

class LanguageOfMachine : public SimFixture {};

TEST_F(LanguageOfMachine, SystemLanguageForStartUpAndUserLanguageForIdZero)
{
    machine().SetLanguages(0x0C0A, 0x0407);
    EXPECT_EQ(u"Spanish", GetSystemLanguageName(u""));
    EXPECT_EQ(u"Thai", GetSystemLanguageName(u"Thai"));
    TlanguageManagement texts;
    EXPECT_EQ(u"German", texts.LanguageNameFromId(0));
    EXPECT_EQ(u"Korean", texts.LanguageNameFromId(0x0412));
}

TEST_F(LanguageOfMachine, PicturesPreferPngThenTheLanguageThenEnglish)
{
    const UString root = u"C:\\Setup\\";
    PutFile(root + u"German\\Title.bmp");
    PutFile(root + u"English\\Title.png");
    PutFile(root + u"English\\Title.bmp");
    PutFile(root + u"English\\Left.bmp");
    PutFile(root + u"French\\Left.png");
    PutFile(root + u"French\\Left.bmp");
    PutFile(root + u"German\\Plain");
    PutFile(root + u"Odd.bmp\\German\\Title.png");
    PutFile(root + u"Odd.bmp\\German\\Title.bmp");
    struct Case {
        UString folder;
        const char16_t* language;
        const char16_t* file;
        UString expected;
    } cases[] = {
        {root, u"German", u"Title.bmp", root + u"German\\Title.bmp"},
        {root, u"Czech", u"Title.bmp", root + u"English\\Title.png"},
        {root, u"French", u"Left.bmp", root + u"French\\Left.png"},
        {root, u"German", u"Left.bmp", root + u"English\\Left.bmp"},
        {root, u"German", u"Plain", root + u"German\\Plain"},
        {root, u"German", u"Missing.bmp", u""},
        // The folder's own ".bmp" turns into ".png" too, so only the plain path is found.
        {root + u"Odd.bmp\\", u"German", u"Title.bmp", root + u"Odd.bmp\\German\\Title.bmp"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, GetPicturePath(c.folder, c.language, c.file)) << ToUtf8(c.file);
}

}  // namespace
