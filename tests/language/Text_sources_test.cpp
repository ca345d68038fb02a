#include <gtest/gtest.h>

#include <string>

#include "language/Language_management.h"
#include "language/XlsxReader.h"
#include "language/LanguageSupport.h"
#include "support/SimFixture.h"
#include "toolkit/TextFile.h"

namespace {

const UString kTexts = u"C:\\Setup\\Texts\\";

template <size_t N>
std::string Bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

class TextSources : public SimFixture {
protected:
    void PutBook(const UString& name, const SheetRows& rows, const std::string& sheet = "Install")
    {
        PutFile(kTexts + name, XlsxWorkbook(rows, sheet));
    }
    void PutIni(const UString& relative, const UString& text, TextEncoding encoding = TextEncoding::Utf16LE)
    {
        PutFile(kTexts + relative, EncodeText(text, encoding));
    }
    // Loads from kTexts as start-up does, with the prefix "InstallWizard".
    UString Load(uint16_t languageId, const UString& prefix = u"InstallWizard")
    {
        return texts.LoadTexts(kTexts, languageId, prefix, u"Install", u"");
    }
    UString Text(const char16_t* key, const char16_t* section = u"InstallWizard")
    {
        return texts.GetText(section, key);
    }
    bool DebugSaid(const UString& part)
    {
        for (const UString& line : machine().JournalOf(SimJournal::Debug))
            if (line.find(part) != UString::npos)
                return true;
        return false;
    }

    StartupUiRecorder ui;
    TlanguageManagement texts;
};

const SheetRows kBook = {
    {"Ident", "English", "German", "Czech"},
    {"Top", "above every section"},
    {"[InstallWizard]"},
    {"ProductName", "Ostrel", "Ostrel DE", "Ostrel CZ"},
    {"OnlyEnglish", "english text"},
    {"Twice", "first", "erst"},
    {"Twice", "second", "zweit"},
    {"[Section"},
    {"Cut", "", "bracket kept off"},
    {"[UNINSTALL]"},
    {"DISPLAY_NAME", "Ostrel", "Ostrel Deutsch"},
};

TEST_F(TextSources, WorkbookRowsFillTheTableByLanguageColumn)
{
    PutBook(u"InstallWizard.xlsx", kBook);
    EXPECT_EQ(u"German", Load(0x0C07));
    EXPECT_EQ(u"Ostrel DE", Text(u"ProductName"));
    EXPECT_EQ(u"", Text(u"OnlyEnglish")) << "an empty cell is an empty text, found";
    EXPECT_EQ(u"zweit", Text(u"Twice"));
    EXPECT_EQ(u"Ostrel Deutsch", Text(u"DISPLAY_NAME", u"UNINSTALL"));
    EXPECT_EQ(u"bracket kept off", Text(u"Cut", u"Sectio"));
    EXPECT_EQ(u"", Text(u"Top", u""));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TextSources, LanguagesWithoutAColumnReadEnglish)
{
    PutBook(u"InstallWizard.xlsx", kBook);
    // Czech is not a workbook language: English even though the sheet has its column.
    EXPECT_EQ(u"Czech", Load(0x0405));
    EXPECT_EQ(u"Ostrel", Text(u"ProductName"));
    TlanguageManagement korean;
    korean.LoadTexts(kTexts, 0x0412, u"InstallWizard", u"Install", u"");
    EXPECT_EQ(u"english text", korean.GetText(u"InstallWizard", u"OnlyEnglish"));
}

TEST_F(TextSources, TheFirstWorkbookWithThePrefixIsChosen)
{
    PutBook(u"A.xlsx", {{"Ident", "English"}, {"[InstallWizard]"}, {"From", "A"}});
    PutBook(u"InstallWizard_v2.XLSX", {{"Ident", "English"}, {"[InstallWizard]"}, {"From", "v2"}});
    PutFile(kTexts + u"InstallWizard.xlsx.bak", "not a workbook");
    Load(0x0409);
    EXPECT_EQ(u"v2", Text(u"From"));

    std::vector<DirEntry> entries;
    ASSERT_TRUE(machine().ListFolder(kTexts, entries));
    const UString first = entries.front().name == u"A.xlsx" ? u"A" : u"v2";
    TlanguageManagement any;
    any.LoadTexts(kTexts, 0x0409, u"0", u"Install", u"");
    EXPECT_EQ(first, any.GetText(u"InstallWizard", u"From"));
}

TEST_F(TextSources, NoQualifyingWorkbookAsksToEndWithoutATable)
{
    PutBook(u"installwizard.xlsx", kBook);
    Load(0x0409);
    EXPECT_EQ(nullptr, texts.TextTable);
    EXPECT_EQ(u"@@", Text(u"ProductName"));
    ASSERT_EQ(1u, ui.messages.size());
    EXPECT_EQ(u"XLS File Not Found!! Closing...", ui.messages[0]);
    EXPECT_EQ(1, ui.terminateRequests);
    EXPECT_TRUE(StartupTerminateRequested());

    TlanguageManagement noFolder;
    noFolder.LoadTexts(u"C:\\Nowhere\\Texts\\", 0x0409, u"InstallWizard", u"Install", u"");
    EXPECT_EQ(nullptr, noFolder.TextTable);
    EXPECT_EQ(2u, ui.messages.size());
}

TEST_F(TextSources, UnreadableWorkbooksFallBackToTheIniFilesSilently)
{
    PutIni(u"LanguageIni_InstallWizard\\Czech\\Install_Czech.ini", u"[InstallWizard]\r\nProductName=Ostrel CZ\r\n");
    PutIni(u"LanguageIni_InstallWizard\\English\\Install_English.ini", u"[InstallWizard]\r\nProductName=Ostrel EN\r\n");
    const std::string good = XlsxWorkbook(kBook);
    struct Case {
        const char* what;
        std::string bytes;
        const char16_t* reason;
    } cases[] = {
        {"not a zip", "plain text", u"not a zip archive"},
        {"cut short", good.substr(0, good.size() / 2), u"not a zip archive"},
        {"no sheet Install", XlsxWorkbook(kBook, "Texte"), u"no sheet"},
        {"no column Ident", XlsxWorkbook({{"Key", "English"}}), u"no column Ident"},
    };
    for (const Case& c : cases) {
        PutFile(kTexts + u"InstallWizard.xlsx", c.bytes);
        machine().ClearJournal();
        TlanguageManagement czech;
        czech.LoadTexts(kTexts, 0x0405, u"InstallWizard", u"Install", u"");
        EXPECT_EQ(u"Ostrel CZ", czech.GetText(u"InstallWizard", u"ProductName")) << c.what;
        EXPECT_TRUE(DebugSaid(u"Excel Read Error - Pellimo : SheetName( Install ), ErrorCode( ")) << c.what;
        EXPECT_TRUE(DebugSaid(c.reason)) << c.what;
    }
    EXPECT_TRUE(ui.messages.empty());

    TlanguageManagement german;  // no German file: the English one
    german.LoadTexts(kTexts, 0x0C07, u"InstallWizard", u"Install", u"");
    EXPECT_EQ(u"Ostrel EN", german.GetText(u"InstallWizard", u"ProductName"));
}

// "English" is read only for a row whose language has no column of its own.
TEST_F(TextSources, AWorkbookWithoutEnglishServesTheLanguagesItHas)
{
    PutIni(u"LanguageIni_InstallWizard\\Czech\\Install_Czech.ini", u"[InstallWizard]\r\nProductName=Ostrel CZ\r\n");
    PutIni(u"LanguageIni_InstallWizard\\Korean\\Install_Korean.ini", u"[InstallWizard]\r\nProductName=Ostrel KO\r\n");
    PutIni(u"LanguageIni_InstallWizard\\English\\Install_English.ini", u"[InstallWizard]\r\nProductName=Ostrel EN\r\n");
    PutBook(u"InstallWizard.xlsx",
            {{"Ident", "German", "Czech"}, {"[InstallWizard]"}, {"ProductName", "Ostrel DE", "Ostrel CZ book"}});
    struct Case {
        const char* what;
        uint16_t languageId;
        const char16_t* productName;
        bool failed;
    } cases[] = {
        {"German reads its own column", 0x0C07, u"Ostrel DE", false},
        // Czech turns English at the first row, whose column is missing: the
        // fallback reads the English file, not the Czech one.
        {"Czech needs English", 0x0405, u"Ostrel EN", true},
        {"Korean has no column and stays Korean", 0x0412, u"Ostrel KO", true},
    };
    for (const Case& c : cases) {
        machine().ClearJournal();
        TlanguageManagement one;
        one.LoadTexts(kTexts, c.languageId, u"InstallWizard", u"Install", u"");
        EXPECT_EQ(UString(c.productName), one.GetText(u"InstallWizard", u"ProductName")) << c.what;
        EXPECT_EQ(c.failed, DebugSaid(u"Excel Read Error - Pellimo")) << c.what;
        EXPECT_EQ(c.failed, DebugSaid(u"no column English")) << c.what;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TextSources, IniLinesAreReadAsTheFormatSays)
{
    PutFile(kTexts + u"InstallWizard.xlsx", "damaged");
    PutIni(u"LanguageIni_InstallWizard\\English\\Install_English.ini",
           u"Before=the first section\r\n"
           u"[InstallWizard]\r\n"
           u"  MSG_201 =  first line@RETURN@second line  \r\n"
           u"A=B=C\r\n"
           u"Empty=\r\n"
           u"NoEquals\r\n"
           u"\r\n"
           u" [NotASection]\r\n"
           u"[Sec]tion]\n"
           u"InSection=yes\r"
           u"[ Spaced Name ]\r\n"
           u"Spaced=kept\r\n",
           TextEncoding::Utf8);
    Load(0x0409);
    EXPECT_EQ(u"first line\r\nsecond line", Text(u"MSG_201"));
    EXPECT_EQ(u"B", Text(u"A"));
    EXPECT_EQ(u"@@", Text(u"Empty"));
    EXPECT_EQ(u"@@", Text(u"Before", u""));
    EXPECT_EQ(u"yes", Text(u"InSection", u"Section"));
    EXPECT_EQ(u"kept", Text(u"Spaced", u" Spaced Name "));
}

TEST_F(TextSources, TheFirstSubfolderStandsInForAMissingIniFolder)
{
    PutFile(kTexts + u"InstallWizard.xlsx", "damaged");
    PutIni(u"Fallback\\English\\Install_English.ini", u"[InstallWizard]\r\nFrom=first subfolder\r\n");
    Load(0x0409);
    EXPECT_EQ(u"first subfolder", Text(u"From"));
}

TEST_F(TextSources, DamagedIniFilesAreReadAsFarAsTheyMakeSense)
{
    PutFile(kTexts + u"InstallWizard.xlsx", "damaged");
    const UString ini = kTexts + u"LanguageIni_InstallWizard\\English\\Install_English.ini";
    std::string longLine = "[InstallWizard]\r\nLong=" + std::string(1 << 20, 'x') + "\r\nAfter=read\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        const char16_t* key;
        const char16_t* expected;
    } cases[] = {
        {"NUL ends the text", Bytes("[InstallWizard]\r\nBefore=read\r\n\0After=lost\r\n"), u"After", u"@@"},
        {"NUL keeps what came before", Bytes("[InstallWizard]\r\nBefore=read\r\n\0After=lost\r\n"), u"Before", u"read"},
        {"odd UTF-16 length", EncodeText(u"[InstallWizard]\nK=v\n", TextEncoding::Utf16LE) + "\n", u"K", u"v"},
        {"invalid UTF-8", "\xEF\xBB\xBF[InstallWizard]\r\nBad=a\xC3\x28z\r\n", u"Bad", u"a\uFFFD(z"},
        {"a line of a megabyte", longLine, u"After", u"read"},
    };
    for (const Case& c : cases) {
        PutFile(ini, c.bytes);
        TlanguageManagement one;
        one.LoadTexts(kTexts, 0x0409, u"InstallWizard", u"Install", u"");
        EXPECT_EQ(UString(c.expected), one.GetText(u"InstallWizard", c.key)) << c.what;
    }
}

TEST_F(TextSources, IniFailureLeavesTheTableEmptyAndSaysWhy)
{
    PutFile(kTexts + u"InstallWizard.xlsx", "damaged");
    Load(0x0409);
    ASSERT_NE(nullptr, texts.TextTable);
    EXPECT_EQ(u"@@", Text(u"ProductName"));
    TMemIniFile table;
    EXPECT_NE(u"", LoadIniTexts(table, kTexts + u"InstallWizard.xlsx", u"English", u"Install"));
}

}  // namespace
