#include <gtest/gtest.h>

#include "language/Language_management.h"
#include "language/Language_subroutines.h"
#include "support/SimFixture.h"

namespace {

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
