#include <gtest/gtest.h>

#include "forms/Askinstallform.h"
#include "forms/Cancelconfirmform.h"
#include "forms/Cancelform.h"
#include "forms/Eulaform.h"
#include "forms/Finishform.h"
#include "forms/Installform.h"
#include "forms/Prepareform.h"
#include "forms/Uninstallconfirmform.h"
#include "forms/Uninstallform.h"
#include "forms/Welcomeform.h"
#include "forms/FormsFixture.h"
#include "language/Language_elementsproperty.h"

namespace {

using FormTexts = FormsTest;

TControl* ControlOf(TForm& form, UStringView name) { return dynamic_cast<TControl*>(form.FindComponent(name)); }

TEST_F(FormTexts, FormKeyWinsOverTheSharedControlKeyAndGapsShowTheDesignedName)
{
    PutTexts("ProductName=Ostrel\r\n"
             "bt_Cancel->Caption=Cancel\r\n"
             "bt_OK->Caption=OK\r\n"
             "FCancel->bt_OK->Caption=Close\r\n"
             "FCancel->bt_OK->Hint=Ends the program\r\n"
             "bt_OK->Hint=Shared hint\r\n"
             // A stored "@@" counts as missing: the shared key is tried next.
             "FCancelConfirm->bt_OK->Caption=@@\r\n"
             // Stored "@@" under both keys: the designed caption stays.
             "bt_Install->Caption=@@\r\n");
    CreateForms();

    for (TForm* form : std::vector<TForm*>{FPrepare, FWelcome, FAskInstall, FEULA, FInstall, FCancelConfirm,
                                           FUninstallConfirm, FUninstall}) {
        SCOPED_TRACE(ToUtf8(form->Name()));
        EXPECT_EQ(u"Cancel", ControlOf(*form, u"bt_Cancel")->Caption());
    }
    EXPECT_EQ(u"Close", FCancel->bt_OK->Caption());
    EXPECT_EQ(u"Ends the program", FCancel->bt_OK->Hint());
    EXPECT_EQ(u"OK", FCancelConfirm->bt_OK->Caption());
    EXPECT_EQ(u"Shared hint", FCancelConfirm->bt_OK->Hint());
    EXPECT_EQ(u"OK", FUninstallConfirm->bt_OK->Caption());
    EXPECT_EQ(u"", FUninstallConfirm->bt_Cancel->Hint());

    EXPECT_EQ(u"bt_Install", FAskInstall->bt_Install->Caption());
    EXPECT_EQ(u"bt_Next", FWelcome->bt_Next->Caption());
    EXPECT_EQ(u"lb_AskInstall", FAskInstall->lb_AskInstall->Caption());
    EXPECT_EQ(u"rb_AgreeEULA", FEULA->rb_AgreeEULA->Caption());
    EXPECT_EQ(u"ck_StartProgram", FFinish->ck_StartProgram->Caption());
}

TEST_F(FormTexts, FormAndControlNamesAreComparedWithoutRegardToCase)
{
    PutTexts("ProductName=Ostrel\r\nfwelcome->BT_NEXT->caption=Next >\r\n");
    CreateForms();
    EXPECT_EQ(u"Next >", FWelcome->bt_Next->Caption());
    EXPECT_EQ(u"bt_Next", FEULA->bt_Next->Caption());
}

TEST_F(FormTexts, MacrosAreExpandedInCaptionsAndHints)
{
    PutTexts("ProductName=Ostrel\r\n"
             "lb_Notes->Caption=Four%B4blanks%R1next line\r\n"
             "lb_Cancel->Hint=a%B2b\r\n");
    CreateForms();
    EXPECT_EQ(u"Four    blanks\rnext line", FCancel->lb_Notes->Caption());
    EXPECT_EQ(u"a  b", FCancel->lb_Cancel->Hint());
}

TEST_F(FormTexts, EachPageTakesOnlyTheKindsOfControlItsDesignApplies)
{
    PutTexts("ProductName=Ostrel\r\n"
             "lb_Version->Caption=from the table\r\n"
             "rb_AgreeEULA->Caption=I agree\r\n"
             "ck_StartProgram->Caption=Start now\r\n"
             "lb_Title->Caption=Heading\r\n");
    CreateForms();
    // The licence page applies no label texts; both version labels show the
    // installer's version, set after the constructor.
    EXPECT_EQ(u"V1.0", FEULA->lb_Version->Caption());
    EXPECT_EQ(u"V1.0", FWelcome->lb_Version->Caption());
    EXPECT_EQ(u"I agree", FEULA->rb_AgreeEULA->Caption());
    EXPECT_EQ(u"Start now", FFinish->ck_StartProgram->Caption());
    EXPECT_EQ(u"Heading", FAskInstall->lb_Title->Caption());
    EXPECT_EQ(u"Heading", FUninstall->lb_Title->Caption());
}

TEST_F(FormTexts, ProductNameReplacesPercentPOnlyWhereEachPageDoesIt)
{
    // Every control text the pages look up carries "%P".
    const char* names[] = {"lb_Prepare",
                           "lb_PrepareProc",
                           "lb_Welcome",
                           "lb_StartInstallation",
                           "lb_AskInstall",
                           "lb_Title",
                           "lb_Install",
                           "lb_InstallProc",
                           "lb_FinishInstallNotes",
                           "lb_Finish_Install",
                           "lb_FinishUninstallNotes",
                           "lb_Finish_Uninstall",
                           "lb_FinishUpgradeNotes",
                           "lb_Finish_Upgrade",
                           "ck_StartProgram",
                           "lb_Notes",
                           "lb_Cancel",
                           "lb_CancelConfirm",
                           "lb_UninstallConfirm",
                           "lb_Uninstall",
                           "lb_UninstallProc",
                           "bt_Next",
                           "bt_Cancel",
                           "rb_AgreeEULA"};
    std::string lines = "ProductName=Ostrel\r\nFPrepare->Caption=Preparing %P\r\n";
    for (const char* name : names)
        lines += std::string(name) + "->Caption=" + name + " %P\r\n";
    PutTexts(lines);
    CreateForms();

    struct Case {
        TForm* form;
        const char16_t* control;
        bool replaced;
    };
    const Case cases[] = {
        {FPrepare, u"lb_Prepare", true},
        {FPrepare, u"lb_PrepareProc", false},
        {FWelcome, u"lb_Welcome", true},
        {FWelcome, u"lb_StartInstallation", true},
        {FWelcome, u"bt_Next", false},
        {FAskInstall, u"lb_AskInstall", false},
        {FAskInstall, u"lb_Title", false},
        {FEULA, u"rb_AgreeEULA", false},
        {FInstall, u"lb_Install", false},
        {FInstall, u"lb_InstallProc", false},
        {FFinish, u"lb_FinishInstallNotes", true},
        {FFinish, u"lb_FinishUninstallNotes", true},
        {FFinish, u"lb_FinishUpgradeNotes", true},
        {FFinish, u"ck_StartProgram", true},
        {FFinish, u"lb_Finish_Install", false},
        {FCancel, u"lb_Notes", true},
        {FCancel, u"lb_Cancel", false},
        {FCancelConfirm, u"lb_CancelConfirm", false},
        {FUninstallConfirm, u"lb_UninstallConfirm", false},
        {FUninstall, u"lb_Uninstall", true},
        {FUninstall, u"lb_UninstallProc", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.form->Name()) + "." + ToUtf8(c.control));
        const UString expected = UString(c.control) + (c.replaced ? u" Ostrel" : u" %P");
        EXPECT_EQ(expected, ControlOf(*c.form, c.control)->Caption());
    }
    // The preparation form's caption is taken as it stands.
    EXPECT_EQ(u"Preparing %P", FPrepare->Caption());
}

TEST_F(FormTexts, CaptionsAreTheProductNameAndThePreparationFormsOwnKeyTakenAsItStands)
{
    PutTexts("ProductName=Ostrel%B2Suite\r\nFPrepare->Caption=Prepare%B2it\r\n");
    CreateForms();
    EXPECT_EQ(u"Prepare%B2it", FPrepare->Caption());
    for (TForm* form : app->Forms())
        if (form != FPrepare) {
            EXPECT_EQ(u"Ostrel%B2Suite", form->Caption()) << ToUtf8(form->Name());
        }
}

TEST_F(FormTexts, WithoutProductNameOrPreparationCaptionTheMarkerShows)
{
    PutTexts("bt_Cancel->Caption=Cancel\r\n");
    CreateForms();
    for (TForm* form : app->Forms())
        EXPECT_EQ(u"@@", form->Caption()) << ToUtf8(form->Name());
    EXPECT_EQ(u"Cancel", FWelcome->bt_Cancel->Caption());
}

// A label of a kind of its own: the appliers compare the class name exactly.
class TLinkLabel : public TLabel {
public:
    using TLabel::TLabel;
    UString ClassName() const override { return u"TLinkLabel"; }
};

TEST_F(FormTexts, AppliersTouchOnlyTheirExactClassAndOnlyControlsTheFormOwns)
{
    PutTexts("ProductName=Ostrel\r\n"
             "lb_Plain->Caption=plain\r\n"
             "lb_Link->Caption=link\r\n"
             "bt_Go->Caption=Go\r\n"
             "TFTest->lb_Other->Caption=not mine\r\n");
    ConstructApp();
    app = std::make_unique<TApplication>();
    TForm* form = nullptr;
    app->CreateForm(form);
    form->SetName(u"TFTest");
    auto* plain = new TLabel(form);
    plain->SetName(u"lb_Plain");
    auto* link = new TLinkLabel(form);
    link->SetName(u"lb_Link");
    link->SetCaption(u"designed");
    auto* button = new TButton(form);
    button->SetName(u"bt_Go");
    // Sits on the form but belongs to another owner.
    TForm* other = nullptr;
    app->CreateForm(other);
    auto* foreign = new TLabel(other);
    foreign->SetName(u"lb_Other");
    foreign->SetParent(form);

    App.ApplyLabelTexts(*form, App.TextSection);
    EXPECT_EQ(u"plain", plain->Caption());
    EXPECT_EQ(u"designed", link->Caption());
    EXPECT_EQ(u"", button->Caption());
    EXPECT_EQ(u"", foreign->Caption());
    App.ApplyButtonTexts(*form, App.TextSection);
    EXPECT_EQ(u"Go", button->Caption());
    ApplyControlTexts(App, *form, u"TLinkLabel", App.TextSection);
    EXPECT_EQ(u"link", link->Caption());
}

TEST(ControlTextKeys, FormNameThenControlNameThenProperty)
{
    EXPECT_EQ(u"FWelcome->bt_Next->Caption", ControlTextKey(u"FWelcome", u"bt_Next", u"Caption"));
    EXPECT_EQ(u"bt_Next->Hint", ControlTextKey(u"", u"bt_Next", u"Hint"));
}

}  // namespace
