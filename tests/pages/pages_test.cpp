#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "forms/Askinstallform.h"
#include "forms/Cancelform.h"
#include "forms/Eulaform.h"
#include "forms/FormsFixture.h"
#include "forms/Prepareform.h"
#include "forms/Welcomeform.h"
#include "forms/Wizard_path.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/TextFile.h"
#include "util/Xfunctions.h"

namespace {

// A licence as the product ships it: RTF markup saved as UTF-16LE with its mark.
std::string Utf16Rtf(const std::u16string& body)
{
    return EncodeText(u"{\\rtf1\\ansi " + body + u"}", TextEncoding::Utf16LE);
}

class WizardPages : public FormsTest {
protected:
    ~WizardPages() override { SetCloseMainFormHandler({}); }

    void Start()
    {
        PutTexts("ProductName=Ostrel\r\n");
        CreateForms();
        SetCloseMainFormHandler([] {
            if (FPrepare)
                FPrepare->Close();
        });
        FWelcome->Show();
        headless::RunUntilIdle();
    }
    void PutSetupIni(const std::string& lines) { PutFile(u"C:\\Setup\\Setup.ini", "[Setup]\r\n" + lines); }

    // The names of the visible forms.
    std::vector<UString> Shown()
    {
        std::vector<UString> names;
        for (TForm* form : app->Forms())
            if (form->Visible())
                names.push_back(form->Name());
        return names;
    }
    void ExpectShown(const UString& name) { EXPECT_EQ(Shown(), std::vector<UString>{name}); }

    // Every file of the machine with its bytes: what the pages must not change.
    std::map<std::string, std::string> MachineFiles()
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(machine().Folder()))
            if (entry.is_regular_file()) {
                std::ifstream in(entry.path(), std::ios::binary);
                std::ostringstream bytes;
                bytes << in.rdbuf();
                files[entry.path().string()] = bytes.str();
            }
        return files;
    }
};

TEST_F(WizardPages, PublisherSettingDecidesWhetherTheLicencePageIsOnThePath)
{
    struct Case {
        const char* name;
        const char* setupIni;  // nullptr: no Setup.ini
        bool skipsLicence;
    };
    const Case cases[] = {
        {"OEM", "%PUBLISHER=OEM\r\n", true},
        {"another publisher", "%PUBLISHER=Tarvel\r\n", false},
        {"lower case oem", "%PUBLISHER=oem\r\n", false},
        {"key missing", "%PROGRAM_FILES=Ostrel\r\n", true},
        {"no Setup.ini", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.setupIni)
            PutSetupIni(c.setupIni);
        else
            machine().DeleteFile(u"C:\\Setup\\Setup.ini");
        Start();
        ASSERT_TRUE(headless::Click(*FWelcome->bt_Next));
        if (c.skipsLicence) {
            ExpectShown(u"FAskInstall");
            ASSERT_TRUE(headless::Click(*FAskInstall->bt_Previous));
            ExpectShown(u"FWelcome");
        } else {
            ExpectShown(u"FEULA");
            EXPECT_FALSE(FEULA->bt_Next->Enabled());
            ASSERT_TRUE(headless::Click(*FEULA->rb_AgreeEULA));
            ASSERT_TRUE(headless::Click(*FEULA->bt_Next));
            ExpectShown(u"FAskInstall");
            ASSERT_TRUE(headless::Click(*FAskInstall->bt_Previous));
            ExpectShown(u"FEULA");
            // The choice survived the round trip.
            EXPECT_TRUE(FEULA->rb_AgreeEULA->Checked());
            EXPECT_TRUE(FEULA->bt_Next->Enabled());
            ASSERT_TRUE(headless::Click(*FEULA->bt_Previous));
            ExpectShown(u"FWelcome");
        }
        app.reset();
        headless::Reset();
    }
}

TEST_F(WizardPages, PublisherIsReadWhenTheButtonIsPressedNotAtStartUp)
{
    PutSetupIni("%PUBLISHER=Tarvel\r\n");
    Start();
    PutSetupIni("%PUBLISHER=OEM\r\n");
    ASSERT_TRUE(headless::Click(*FWelcome->bt_Next));
    ExpectShown(u"FAskInstall");
}

TEST_F(WizardPages, LicenceComesFromTheLanguageFolderOrEnglish)
{
    struct Case {
        const char* name;
        const char16_t* language;
        bool ownFolder;  // a licence in the language's folder too
        const char16_t* expected;
    };
    const Case cases[] = {
        {"ChineseT with its own", u"ChineseT", true, u"tw licence"},
        {"ChineseT without", u"ChineseT", false, u"en licence"},
        {"Swedish has no code", u"Swedish", true, u"en licence"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PutFile(u"C:\\Setup\\EULA\\en\\Service.rtf", Utf16Rtf(u"en licence"));
        if (c.ownFolder) {
            PutFile(u"C:\\Setup\\EULA\\tw\\Service.rtf", Utf16Rtf(u"tw licence"));
            PutFile(u"C:\\Setup\\EULA\\Swedish\\Service.rtf", Utf16Rtf(u"sv licence"));
        } else {
            machine().DeleteFile(u"C:\\Setup\\EULA\\tw\\Service.rtf");
        }
        PutTexts("ProductName=Ostrel\r\n");
        ConstructApp();
        App.LanguageName = c.language;
        app = std::make_unique<TApplication>();
        app->Initialize();
        CreateSetupForms(*app);
        EXPECT_TRUE(FEULA->re_EULA->IsRtf());
        EXPECT_EQ(FEULA->re_EULA->Text(), c.expected);
        app.reset();
        headless::Reset();
    }
}

TEST_F(WizardPages, NoLicenceLeavesTheViewEmptyAndTheUserCanStillAgree)
{
    Start();
    ASSERT_TRUE(headless::Click(*FWelcome->bt_Next));
    ExpectShown(u"FEULA");
    EXPECT_TRUE(FEULA->re_EULA->Text().empty());
    EXPECT_TRUE(FEULA->rb_DisapproveOfEULA->Checked());
    ASSERT_TRUE(headless::Click(*FEULA->rb_AgreeEULA));
    EXPECT_TRUE(headless::Click(*FEULA->bt_Next));
}

TEST_F(WizardPages, AgreeThenDisapproveDisablesNextAgain)
{
    Start();
    ASSERT_TRUE(headless::Click(*FWelcome->bt_Next));
    ASSERT_TRUE(headless::Click(*FEULA->rb_AgreeEULA));
    EXPECT_TRUE(FEULA->bt_Next->Enabled());
    ASSERT_TRUE(headless::Click(*FEULA->rb_DisapproveOfEULA));
    EXPECT_FALSE(FEULA->bt_Next->Enabled());
    EXPECT_FALSE(headless::Click(*FEULA->bt_Next));
    // Clicking the selected one again changes nothing.
    headless::Click(*FEULA->rb_DisapproveOfEULA);
    EXPECT_FALSE(FEULA->bt_Next->Enabled());
    ExpectShown(u"FEULA");
}

TEST_F(WizardPages, PrintingAsksWithPlainOptionsAndPrintsTheWholeLicenceOnlyWhenConfirmed)
{
    PutFile(u"C:\\Setup\\EULA\\en\\Service.rtf", Utf16Rtf(u"First\\par Second \\u228?"));
    Start();
    ASSERT_TRUE(headless::Click(*FWelcome->bt_Next));

    headless::QueuePrintDialogAnswer(false);
    ASSERT_TRUE(headless::Click(*FEULA->bt_PrintEULA));
    ASSERT_EQ(headless::PrintDialogs().size(), 1u);
    EXPECT_EQ(headless::PrintDialogs()[0].options, 0u);
    EXPECT_EQ(headless::PrintDialogs()[0].range, prAllPages);
    EXPECT_EQ(headless::PrintDialogs()[0].owner, FEULA->Handle());
    EXPECT_TRUE(headless::PrintJobs().empty());
    ExpectShown(u"FEULA");

    headless::QueuePrintDialogAnswer(true, u"Office");
    ASSERT_TRUE(headless::Click(*FEULA->bt_PrintEULA));
    ASSERT_EQ(headless::PrintJobs().size(), 1u);
    EXPECT_EQ(headless::PrintJobs()[0].title, u"EULA Of Ostrel");
    EXPECT_EQ(headless::PrintJobs()[0].printer, u"Office");
    EXPECT_EQ(headless::PrintJobs()[0].text, FEULA->re_EULA->Text());
    EXPECT_NE(FEULA->re_EULA->Text().find(u"Second \u00E4"), UString::npos);
}

TEST_F(WizardPages, CancelOnEachFirstPageEndsOnTheCancelledPageAndChangesNothing)
{
    PutSetupIni("%PUBLISHER=Tarvel\r\n");
    for (const UString page : {u"FWelcome", u"FEULA", u"FAskInstall"}) {
        SCOPED_TRACE(ToUtf8(page));
        Start();
        if (page != u"FWelcome") {
            ASSERT_TRUE(headless::Click(*FWelcome->bt_Next));
            if (page == u"FAskInstall") {
                ASSERT_TRUE(headless::Click(*FEULA->rb_AgreeEULA));
                ASSERT_TRUE(headless::Click(*FEULA->bt_Next));
            }
        }
        ExpectShown(page);
        const auto before = MachineFiles();
        TButton* cancel = page == u"FWelcome" ? FWelcome->bt_Cancel
                          : page == u"FEULA"  ? FEULA->bt_Cancel
                                              : FAskInstall->bt_Cancel;
        ASSERT_TRUE(headless::Click(*cancel));
        ExpectShown(u"FCancel");
        EXPECT_FALSE(app->Terminated());
        ASSERT_TRUE(headless::Click(*FCancel->bt_OK));
        EXPECT_TRUE(app->Terminated());
        EXPECT_TRUE(MachineFiles() == before);
        app.reset();
        headless::Reset();
    }
}

TEST_F(WizardPages, CloseBoxOnEachPageEndsTheProgram)
{
    PutSetupIni("%PUBLISHER=Tarvel\r\n");
    for (const UString page : {u"FWelcome", u"FEULA", u"FAskInstall", u"FCancel"}) {
        SCOPED_TRACE(ToUtf8(page));
        Start();
        TForm* form = FWelcome;
        if (page != u"FWelcome") {
            FWelcome->Hide();
            form = page == u"FEULA"         ? static_cast<TForm*>(FEULA)
                   : page == u"FAskInstall" ? static_cast<TForm*>(FAskInstall)
                                            : static_cast<TForm*>(FCancel);
            form->Show();
            headless::RunUntilIdle();
        }
        ASSERT_TRUE(headless::CloseWindow(*form));
        EXPECT_TRUE(app->Terminated());
        app.reset();
        headless::Reset();
    }
}

// The keyboard alone takes a user through the first pages, as on Windows.
TEST_F(WizardPages, EnterAndEscWalkThePagesAsTheirButtonsDo)
{
    PutSetupIni("%PUBLISHER=Tarvel\r\n");
    Start();
    // Each page starts at its first enabled control in tab order.
    EXPECT_EQ(FWelcome->ActiveControl(), FWelcome->bt_Next);
    ASSERT_TRUE(headless::PressEnter(*FWelcome));
    ExpectShown(u"FEULA");
    EXPECT_EQ(FEULA->ActiveControl(), FEULA->re_EULA);
    // Next is disabled until the user agrees: Enter does nothing yet.
    ASSERT_TRUE(headless::PressEnter(*FEULA));
    ExpectShown(u"FEULA");
    ASSERT_TRUE(headless::Click(*FEULA->rb_AgreeEULA));
    ASSERT_TRUE(headless::PressEnter(*FEULA));
    ExpectShown(u"FAskInstall");
    // Tab to Install and Enter presses the focused button.
    EXPECT_EQ(FAskInstall->ActiveControl(), FAskInstall->bt_Previous);
    ASSERT_TRUE(headless::PressTab(*FAskInstall));
    EXPECT_EQ(FAskInstall->ActiveControl(), FAskInstall->bt_Install);
    ASSERT_TRUE(headless::PressTab(*FAskInstall, true));
    ASSERT_TRUE(headless::PressEnter(*FAskInstall));
    ExpectShown(u"FEULA");
    // Esc is the page's Cancel; on the cancelled page, which has none, the close box.
    ASSERT_TRUE(headless::PressEscape(*FEULA));
    ExpectShown(u"FCancel");
    EXPECT_FALSE(app->Terminated());
    ASSERT_TRUE(headless::PressEscape(*FCancel));
    EXPECT_TRUE(app->Terminated());
}

TEST(LicenceFile, DecodedAsUtf16RtfOrKeptAsPlainRtf)
{
    // UTF-16LE RTF: markup narrowed, characters beyond ASCII escaped.
    LicenceDocument wide = DecodeLicence(EncodeText(u"{\\rtf1 K\u00F6ln \u4E2D}", TextEncoding::Utf16LE));
    EXPECT_TRUE(wide.rtf);
    EXPECT_EQ(wide.bytes, "{\\rtf1 K\\u246?ln \\u20013?}");
    // Without the byte-order mark as well.
    std::string noMark = EncodeText(u"{\\rtf1 x}", TextEncoding::Utf16LE).substr(2);
    EXPECT_EQ(DecodeLicence(noMark).bytes, "{\\rtf1 x}");
    // Ordinary 7-bit RTF, odd or even length, stays as it is.
    for (const std::string& plain :
         {std::string("{\\rtf1\\ansi\\ansicpg1252 K\\'f6ln}"), std::string("{\\rtf1\\ansi\\ansicpg1252 K\\'f6ln }")}) {
        LicenceDocument doc = DecodeLicence(plain);
        EXPECT_TRUE(doc.rtf);
        EXPECT_EQ(doc.bytes, plain);
    }
    // UTF-16 text that is no RTF is text.
    EXPECT_FALSE(DecodeLicence(EncodeText(u"Terms", TextEncoding::Utf16LE)).rtf);
}

}  // namespace
