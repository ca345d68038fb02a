#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "language/Language_management.h"
#include "support/SimFixture.h"
#include "toolkit/StringList.h"

namespace {

const char16_t* const kLanguages[] = {u"ChineseT",   u"ChineseS", u"English",  u"Russian", u"German",
                                      u"Turkish",    u"Dutch",    u"French",   u"Italian", u"Polish",
                                      u"Portuguese", u"Spanish",  u"Japanese", u"Korean"};

// The keys the program asks for besides the control texts.
const char16_t* const kProgramKeys[] = {u"ProductName",
                                        u"MSG_001",
                                        u"MSG_101",
                                        u"MSG_102",
                                        u"MSG_201",
                                        u"MSG_302",
                                        u"MSG_501",
                                        u"MSG_502",
                                        u"MSG_503",
                                        u"FPrepare->Caption",
                                        u"CopyFiles",
                                        u"WriteRegOnUninstallFolder",
                                        u"WriteRegOnBootName",
                                        u"CreateLinks",
                                        u"WriteRegOnPrivateFolder"};
const char16_t* const kUninstallKeys[] = {u"DISPLAY_NAME",
                                          u"PUBLISHER",
                                          u"URL",
                                          u"LINK_PROGRAMS_PUBLISHER",
                                          u"LINK_PROGRAMS_FOLDER",
                                          u"LINK_PROGRAMS_EXEC",
                                          u"LINK_PROGRAMS_UNIST",
                                          u"LINK_PROGRAMS_MANUAL",
                                          u"LINK_DESKTOP"};

// The package's texts as the build made them (target demo_texts), copied into the
// machine beside the setup.
class DemoTexts : public SimFixture {
protected:
    void SetUp() override
    {
        const char* build = SETUP_BINARY_DIR;
        ASSERT_NE(nullptr, build);
        const std::string root = std::string(build) + "/demo/package/Texts/";
        PutHostFile(root + "InstallWizard.xlsx", u"C:\\Setup\\Texts\\InstallWizard.xlsx");
        for (const char16_t* language : kLanguages) {
            const UString lang(language);
            PutHostFile(root + "LanguageIni_InstallWizard/" + ToUtf8(lang) + "/Install_" + ToUtf8(lang) + ".ini",
                        u"C:\\Setup\\Texts\\LanguageIni_InstallWizard\\" + lang + u"\\Install_" + lang + u".ini");
        }
    }
    void PutHostFile(const std::string& from, const UString& to)
    {
        std::ifstream in(from, std::ios::binary);
        ASSERT_TRUE(in) << from << " is missing: build the demo_texts target";
        std::stringstream bytes;
        bytes << in.rdbuf();
        PutFile(to, bytes.str());
    }
};

TEST_F(DemoTexts, WorkbookAndIniFilesGiveTheSameCompleteTexts)
{
    for (const char16_t* language : kLanguages) {
        TMemIniFile fromBook, fromIni;
        LoadWorkbookTexts(fromBook, u"C:\\Setup\\Texts\\InstallWizard.xlsx", language, u"Install");
        ASSERT_EQ(u"", LoadIniTexts(fromIni, u"C:\\Setup\\Texts\\InstallWizard.xlsx", language, u"Install"));
        EXPECT_TRUE(machine().JournalOf(SimJournal::Debug).empty()) << "the workbook read without failure";

        for (const char16_t* section : {u"InstallWizard", u"UNINSTALL"}) {
            TStringList keys;
            fromBook.ReadSection(section, keys);
            EXPECT_GT(keys.Count(), 5) << ToUtf8(section);
            for (const UString& key : keys) {
                UString text = fromBook.ReadString(section, key, u"@@");
                EXPECT_NE(u"", text) << ToUtf8(language) << " " << ToUtf8(key);
                EXPECT_EQ(text, fromIni.ReadString(section, key, u"@@")) << ToUtf8(language) << " " << ToUtf8(key);
            }
        }
        for (const char16_t* key : kProgramKeys)
            EXPECT_TRUE(fromBook.ValueExists(u"InstallWizard", key)) << ToUtf8(language) << " " << ToUtf8(key);
        for (const char16_t* key : kUninstallKeys)
            EXPECT_TRUE(fromBook.ValueExists(u"UNINSTALL", key)) << ToUtf8(language) << " " << ToUtf8(key);
    }
}

TEST_F(DemoTexts, StartUpReadsTheSystemLanguage)
{
    machine().SetLanguages(0x0411, 0x0411);
    TlanguageManagement texts;
    texts.LoadTexts(u"C:\\Setup\\Texts\\", 0, u"InstallWizard", u"Install", u"");
    EXPECT_EQ(u"Ostrel", texts.GetText(u"InstallWizard", u"ProductName"));
    EXPECT_EQ(u"キャンセル", texts.GetText(u"InstallWizard", u"bt_Cancel->Caption"));
    EXPECT_NE(UString::npos, texts.GetText(u"InstallWizard", u"MSG_501").find(u"\r\n"));
}

}  // namespace
