#include <gtest/gtest.h>

#include <memory>

#include "app/App.h"
#include "forms/Eulaform.h"
#include "forms/Finishform.h"
#include "forms/Installform.h"
#include "forms/Prepareform.h"
#include "forms/Setupprogram.h"
#include "forms/Uninstallform.h"
#include "forms/Welcomeform.h"
#include "language/Language_management.h"
#include "toolkit/Forms.h"
#include "toolkit/win32/Native.h"

namespace {

// Window styles of Windows, for reading the frames.
constexpr uint32_t kMinimizeBox = 0x00020000, kMaximizeBox = 0x00010000, kSizingBorder = 0x00040000,
                   kVisible = 0x10000000;

// The forms as Setup.exe creates them, with real windows, texts from a table of the
// test's own (no package lies beside the test program).
class NativeForms : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetStartupUi({[](const UString&, const UString&) {}, [] {}});
        ConstructApp();
        ResetStartupTerminateRequest();
        App.TextTable = std::make_unique<TMemIniFile>();
        auto text = [](const char16_t* key, const char16_t* value) {
            App.TextTable->WriteString(u"InstallWizard", key, value);
        };
        text(u"ProductName", u"Ostrel");
        text(u"FPrepare->Caption", u"Ostrel Setup");
        text(u"bt_Next->Caption", u"&Next >");
        text(u"FWelcome->lb_Welcome->Caption", u"Welcome to %P");
        text(u"lb_Title->Caption", u"Installing");
        text(u"ck_StartProgram->Caption", u"Start %P");
        App.ProductName = App.GetText(App.TextSection, u"ProductName");
        app = std::make_unique<TApplication>();
        app->Initialize();
        CreateSetupForms(*app);
    }
    void TearDown() override
    {
        app.reset();
        SetStartupUi({});
    }
    std::unique_ptr<TApplication> app;
};

TEST_F(NativeForms, WindowsCarryTheTextsAndClientSizesOfTheLayouts)
{
    // Only pages that do nothing when shown: the others' windows are read hidden.
    FWelcome->Show();
    FEULA->Show();
    app->ProcessMessages();

    struct Case {
        TForm* form;
        const char16_t* caption;
        int width, height;
    };
    const Case cases[] = {
        {FPrepare, u"Ostrel Setup", 381, 148}, {FWelcome, u"Ostrel", 554, 368},   {FEULA, u"Ostrel", 554, 368},
        {FInstall, u"Ostrel", 554, 368},       {FUninstall, u"Ostrel", 552, 366},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.form->Name()));
        const uint64_t window = c.form->Handle();
        EXPECT_EQ(c.caption, native::TextOf(window));
        const native::Box client = native::ClientSizeOf(window);
        EXPECT_EQ(c.width, client.width);
        EXPECT_EQ(c.height, client.height);
    }
    EXPECT_TRUE(native::IsVisible(FWelcome->Handle()));
    EXPECT_FALSE(native::IsVisible(FInstall->Handle()));
    EXPECT_EQ(0u, native::StyleOf(FWelcome->Handle()) & (kMinimizeBox | kMaximizeBox | kSizingBorder));
    EXPECT_NE(0u, native::StyleOf(FUninstall->Handle()) & kSizingBorder);

    EXPECT_EQ(u"&Next >", native::TextOf(FWelcome->bt_Next->Handle()));
    EXPECT_EQ(u"Welcome to Ostrel", native::TextOf(FWelcome->lb_Welcome->Handle()));
    EXPECT_EQ(u"V1.0", native::TextOf(FWelcome->lb_Version->Handle()));
    EXPECT_EQ(u"V1.0", native::TextOf(FEULA->lb_Version->Handle()));
    EXPECT_EQ(u"bt_Cancel", native::TextOf(FWelcome->bt_Cancel->Handle()));
    EXPECT_EQ(u"Start Ostrel", native::TextOf(FFinish->ck_StartProgram->Handle()));
    EXPECT_EQ(0, native::CheckStateOf(FFinish->ck_StartProgram->Handle()));
    EXPECT_EQ(0, native::ProgressPositionOf(FInstall->pb_Installation->Handle()));

    // No picture beside the test program: the title text shows on the white band.
    EXPECT_EQ(u"Installing", native::TextOf(FInstall->lb_Title->Handle()));
    EXPECT_NE(0u, native::StyleOf(FInstall->lb_Title->Handle()) & kVisible);
    const native::Box title = native::BoundsOf(FInstall->lb_Title->Handle());
    EXPECT_EQ(30, title.left);
    EXPECT_EQ(26, title.top);
    const native::Box button = native::BoundsOf(FWelcome->bt_Next->Handle());
    EXPECT_EQ(375, button.left);
    EXPECT_EQ(14, button.top);
    EXPECT_EQ(79, button.width);
    EXPECT_EQ(25, button.height);
}

TEST_F(NativeForms, ThePreparationFormIsTheMainFormWithoutATaskbarButtonOfItsOwn)
{
    EXPECT_EQ(FPrepare, app->MainForm());
    EXPECT_FALSE(app->MainFormOnTaskBar);
    EXPECT_EQ(12u, app->Forms().size());
}

}  // namespace
