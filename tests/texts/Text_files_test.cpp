#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "language/Language_management.h"
#include "language/Language_subroutines.h"
#include "platform/Platform.h"
#include "toolkit/TextFile.h"
#include "xlsx/ZipBuilder.h"
#ifndef _WIN32
#include "support/SimFixture.h"
#endif

namespace {

// A scratch folder of the machine the tests run on: a simulated machine on the
// host, a real temporary folder under Windows.
class TextFiles : public ::testing::Test {
protected:
    TextFiles()
    {
#ifdef _WIN32
        auto dir = std::filesystem::temp_directory_path() /
                   ("setup-texts-" + std::to_string(Platform().CurrentProcessId()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        hostDir_ = dir;
        root_ = FromWide(dir.wstring()) + u"\\";
#else
        sim_ = std::make_unique<ScopedSimMachine>();
        root_ = u"C:\\Scratch\\";
        sim_->machine().MakeFolders(u"C:\\Scratch");
#endif
        SetStartupUi({[this](const UString& text, const UString&) { messages.push_back(text); }, [] {}});
    }
    ~TextFiles() override
    {
        SetStartupUi({});
        ResetStartupTerminateRequest();
#ifdef _WIN32
        std::error_code ec;
        std::filesystem::remove_all(hostDir_, ec);
#endif
    }
    // Writes a file below the scratch folder, making its folders.
    void Put(const UString& relative, const std::string& bytes)
    {
        UString path = root_;
        for (size_t at = relative.find(u'\\'); at != UString::npos; at = relative.find(u'\\', at + 1)) {
            Platform().CreateDirectory(root_ + relative.substr(0, at));
        }
        path += relative;
        ASSERT_TRUE(Platform().WriteWholeFile(path, bytes)) << ToUtf8(path);
    }
    UString Load(uint16_t language)
    {
        return texts.LoadTexts(root_ + u"Texts\\", language, u"InstallWizard", u"Install", u"");
    }

    UString root_;
    std::vector<UString> messages;
    TlanguageManagement texts;

private:
#ifdef _WIN32
    std::filesystem::path hostDir_;
#else
    std::unique_ptr<ScopedSimMachine> sim_;
#endif
};

const char* kShared = R"(<sst><si><t>Ident</t></si><si><t>English</t></si><si><t>German</t></si>)"
                      R"(<si><t>[InstallWizard]</t></si><si><t>ProductName</t></si><si><t>Ostrel</t></si>)"
                      R"(<si><t>Ostrel DE</t></si><si><t>Empty</t></si></sst>)";
const char* kRows =
    R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="s"><v>2</v></c></row>)"
    R"(<row r="2"><c r="A2" t="s"><v>3</v></c></row>)"
    R"(<row r="3"><c r="A3" t="s"><v>4</v></c><c r="B3" t="s"><v>5</v></c><c r="C3" t="s"><v>6</v></c></row>)"
    R"(<row r="4"><c r="A4" t="s"><v>7</v></c><c r="B4" t="s"><v>5</v></c></row>)";

TEST_F(TextFiles, TheWorkbookIsReadFromTheTextsFolder)
{
    Put(u"Texts\\A.xlsx", "not the one");
    Put(u"Texts\\InstallWizard.XLSX", BuildZip(WorkbookParts(SheetXml(kRows), kShared)));
    EXPECT_EQ(u"German", Load(0x0C07));
    EXPECT_EQ(u"Ostrel DE", texts.GetText(u"InstallWizard", u"ProductName"));
    EXPECT_EQ(u"", texts.GetText(u"InstallWizard", u"Empty"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(TextFiles, ADamagedWorkbookFallsBackToTheIniFile)
{
    Put(u"Texts\\InstallWizard.xlsx", BuildZip(WorkbookParts(SheetXml(kRows), kShared)).substr(0, 300));
    Put(u"Texts\\LanguageIni_InstallWizard\\Czech\\Install_Czech.ini",
        EncodeText(u"[InstallWizard]\r\nProductName = Ostrel CZ@RETURN@2\r\nA=B=C\r\nEmpty=\r\n",
                   TextEncoding::Utf16LE));
    Load(0x0405);
    EXPECT_EQ(u"Ostrel CZ\r\n2", texts.GetText(u"InstallWizard", u"ProductName"));
    EXPECT_EQ(u"B", texts.GetText(u"InstallWizard", u"A"));
    EXPECT_EQ(u"@@", texts.GetText(u"InstallWizard", u"Empty"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(TextFiles, NoWorkbookIsReported)
{
    Put(u"Texts\\installwizard.xlsx", BuildZip(WorkbookParts(SheetXml(kRows), kShared)));
    Load(0x0409);
    EXPECT_EQ(nullptr, texts.TextTable);
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(u"XLS File Not Found!! Closing...", messages[0]);
    EXPECT_TRUE(StartupTerminateRequested());
}

TEST_F(TextFiles, PicturesPreferPngAndFallBackToEnglish)
{
    Put(u"German\\Title.bmp", "bmp");
    Put(u"English\\Title.png", "png");
    EXPECT_EQ(root_ + u"German\\Title.bmp", GetPicturePath(root_, u"German", u"Title.bmp"));
    EXPECT_EQ(root_ + u"English\\Title.png", GetPicturePath(root_, u"French", u"Title.bmp"));
    EXPECT_EQ(u"", GetPicturePath(root_, u"French", u"Left.bmp"));
}

}  // namespace
