#include <gtest/gtest.h>

#include "forms/Askinstallform.h"
#include "forms/Askupgradeandrepairform.h"
#include "forms/Cancelconfirmform.h"
#include "forms/Cancelform.h"
#include "forms/Eulaform.h"
#include "forms/Finishform.h"
#include "forms/FormsFixture.h"
#include "forms/Installform.h"
#include "forms/Prepareform.h"
#include "forms/Uninstallconfirmform.h"
#include "forms/Uninstallform.h"
#include "forms/Upgradeandrepairform.h"
#include "forms/Welcomeform.h"
#include "util/Xfunctions.h"

namespace {

// What a person sees: the forms shown, in order; at the first pause the run is
// ended as a page ends it.
struct Observer : headless::ScriptedUser {
    std::vector<UString> shown;
    bool looked = false;

    bool OnIdle() override
    {
        if (looked)
            return false;
        looked = true;
        CloseMainForm();
        return true;
    }
    void OnFormShown(TForm& form) override { shown.push_back(form.Name()); }
};

using SetupProgram = FormsTest;

TEST_F(SetupProgram, CreatesTheTwelveFormsInOrderWithThePreparationFormAsMainForm)
{
    PutTexts("ProductName=Ostrel\r\n");
    ConstructApp();
    std::vector<UString> formNames, classNames, globalNames;
    bool mainFormIsFPrepare = false;
    bool onTaskBar = true;
    TSetupRunOptions options;
    options.endAfterForms = true;
    options.afterForms = [&](TApplication& application) {
        for (TForm* form : application.Forms()) {
            formNames.push_back(form->Name());
            classNames.push_back(form->ClassName());
            EXPECT_FALSE(form->Visible()) << ToUtf8(form->Name());
        }
        for (TForm* form :
             {static_cast<TForm*>(FPrepare), static_cast<TForm*>(FWelcome), static_cast<TForm*>(FAskInstall),
              static_cast<TForm*>(FAskUpgradeAndRepair), static_cast<TForm*>(FCancelConfirm),
              static_cast<TForm*>(FCancel), static_cast<TForm*>(FEULA), static_cast<TForm*>(FFinish),
              static_cast<TForm*>(FInstall), static_cast<TForm*>(FUpgradeAndRepair),
              static_cast<TForm*>(FUninstallConfirm), static_cast<TForm*>(FUninstall)})
            globalNames.push_back(form ? form->Name() : u"<none>");
        mainFormIsFPrepare = application.MainForm() == FPrepare && FPrepare;
        onTaskBar = application.MainFormOnTaskBar;
    };
    Observer user;
    headless::SetScriptedUser(&user);
    EXPECT_EQ(0, RunSetupProgram(options));
    headless::SetScriptedUser(nullptr);

    EXPECT_EQ((std::vector<UString>{u"FPrepare", u"FWelcome", u"FAskInstall", u"FAskUpgradeAndRepair",
                                    u"FCancelConfirm", u"FCancel", u"FEULA", u"FFinish", u"FInstall",
                                    u"FUpgradeAndRepair", u"FUninstallConfirm", u"FUninstall"}),
              formNames);
    EXPECT_EQ((std::vector<UString>{u"TFPrepare", u"TFWelcome", u"TFAskInstall", u"TFAskUpgradeAndRepair",
                                    u"TFCancelConfirm", u"TFCancel", u"TFEULA", u"TFFinish", u"TFInstall",
                                    u"TFUpgradeAndRepair", u"TFUninstallConfirm", u"TFUninstall"}),
              classNames);
    EXPECT_EQ(formNames, globalNames);
    EXPECT_TRUE(mainFormIsFPrepare);
    EXPECT_FALSE(onTaskBar);
    // Ended once the forms existed: nothing was shown, nobody was asked.
    EXPECT_TRUE(user.shown.empty());
    EXPECT_FALSE(user.looked);
    // The forms are gone with the application; their globals do not dangle.
    for (TForm* form : {static_cast<TForm*>(FPrepare), static_cast<TForm*>(FWelcome), static_cast<TForm*>(FEULA),
                        static_cast<TForm*>(FUninstall)})
        EXPECT_EQ(nullptr, form);
    EXPECT_EQ(nullptr, Application);
}

TEST_F(SetupProgram, TheLoopShowsThePreparationFormFirstAndEndsWhenItIsClosed)
{
    PutTexts("ProductName=Ostrel\r\n");
    ConstructApp();
    Observer user;
    headless::SetScriptedUser(&user);
    EXPECT_EQ(0, RunSetupProgram());
    headless::SetScriptedUser(nullptr);

    ASSERT_FALSE(user.shown.empty());
    EXPECT_EQ(u"FPrepare", user.shown.front());
    EXPECT_FALSE(headless::RunEndedStuck());
    EXPECT_EQ(nullptr, FPrepare);
    EXPECT_EQ(nullptr, Application);
}

TEST_F(SetupProgram, WithoutAdministratorRightsOnlyTheMessageShows)
{
    PutTexts("ProductName=Ostrel\r\nMSG_001=Please run as administrator\r\n");
    machine().SetAdministrator(false);
    ConstructApp();
    Observer user;
    headless::SetScriptedUser(&user);
    EXPECT_EQ(0, RunSetupProgram());
    headless::SetScriptedUser(nullptr);

    EXPECT_FALSE(user.looked);
    EXPECT_TRUE(user.shown.empty());
    const auto boxes = headless::MessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(u"Please run as administrator", boxes[0].text);
    EXPECT_EQ(MB::Ok, boxes[0].flags);
}

TEST_F(SetupProgram, WithoutTextWorkbookTheRunEndsAfterTheMessageWithoutShowingAForm)
{
    ConstructApp();
    Observer user;
    headless::SetScriptedUser(&user);
    EXPECT_EQ(0, RunSetupProgram());
    headless::SetScriptedUser(nullptr);

    EXPECT_FALSE(user.looked);
    EXPECT_TRUE(user.shown.empty());
    const auto boxes = headless::MessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(u"XLS File Not Found!! Closing...", boxes[0].text);
}

}  // namespace
