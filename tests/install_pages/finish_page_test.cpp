#include <gtest/gtest.h>

#include "app/App.h"
#include "forms/Finishform.h"
#include "forms/Prepareform.h"
#include "forms/Welcomeform.h"
#include "install_pages/InstallPagesFixture.h"
#include "toolkit/StdCtrls.h"

namespace {

class FinishPage : public InstallPagesTest {
protected:
    // The finish page shown in `mode` by the page that ran the last worker, here
    // straight from the welcome page; the program folder exists.
    void ShowFinishPage(const UString& mode)
    {
        PutFile(UString(installed::ProgramDir) + u"\\Ostrel.exe", "ostrel 2");
        FPrepare->Mode = mode;
        FWelcome->Hide();
        FFinish->Show();
        headless::RunUntilIdle();
    }
    // Ends one case of a table: the program is gone, the next case starts afresh.
    void EndCase()
    {
        app.reset();
        headless::Reset();
        machine().ClearJournal();
        machine().DeleteFile(installed::Marker);
    }
    std::vector<UString> Started(const UString& file, const UString& parameters)
    {
        return {u"open|" + UString(installed::ProgramDir) + u"\\" + file + u"|" + parameters + u"||1"};
    }
};

TEST_F(FinishPage, InstallationEndsWithTheStartBoxAndTheLauncherStartsTheProgram)
{
    PutSetupIni("%Exe_AfterInstall=1\r\n");
    InstallToFinishPage();
    EXPECT_TRUE(FFinish->lb_Finish_Install->Visible());
    EXPECT_EQ(FFinish->lb_FinishInstallNotes->Caption(), u"Ostrel is on your computer.");
    EXPECT_TRUE(FFinish->ck_StartProgram->Visible());
    EXPECT_TRUE(FFinish->ck_StartProgram->Checked());
    EXPECT_EQ(FileText(installed::Marker), "");
    EXPECT_TRUE(ShellStarts().empty());

    ASSERT_TRUE(headless::Click(*FFinish->bt_Finish));
    EXPECT_EQ(ShellStarts(), Started(u"HandOver.exe", u"Ostrel.exe"));
    EXPECT_TRUE(app->Terminated());
}

TEST_F(FinishPage, StartBoxFollowsExeAfterInstallAsSetupIniSaysWhenThePageShows)
{
    struct Case {
        const char* name;
        const char* line;  // nullptr: no Setup.ini when the page shows
        bool checkedBefore;
        bool checked;
    };
    const Case cases[] = {
        {"1", "%Exe_AfterInstall=1\r\n", false, true},
        {"yes", "%Exe_AfterInstall=yes\r\n", false, false},
        {"0 unchecks a checked box", "%Exe_AfterInstall=0\r\n", true, false},
        {"key missing", "", true, false},
        {"no Setup.ini keeps the state", nullptr, true, true},
        {"no Setup.ini, unchecked", nullptr, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PutSetupIni();
        StartToWelcome();
        // Read afresh: not the copy taken at start-up.
        if (c.line)
            PutSetupIni(c.line);
        else
            machine().DeleteFile(u"C:\\Setup\\Setup.ini");
        FFinish->ck_StartProgram->SetChecked(c.checkedBefore);
        ShowFinishPage(u"Install");
        EXPECT_EQ(FFinish->ck_StartProgram->Checked(), c.checked);
        EndCase();
    }
}

TEST_F(FinishPage, MarkerIsEmptiedReplacedAndNeverClaimedForNoInstallation)
{
    struct Case {
        const char* name;
        int installState;
        bool failWrite;
        const char* expected;
    };
    const Case cases[] = {
        {"old text replaced", 1, false, ""},
        {"installation not allowed", 2, false, "<missing>"},
        {"write fails", 1, true, "<missing>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartToWelcome();
        if (!c.failWrite && c.installState == 1)
            PutFile(installed::Marker, "left by an earlier run");
        if (c.failWrite)
            machine().FailOn(SimOp::WriteFile, installed::Marker, 5);
        App.InstallState = c.installState;
        ShowFinishPage(u"Install");
        EXPECT_EQ(FileText(installed::Marker), c.expected);
        EXPECT_TRUE(FFinish->Visible());
        machine().ClearFailures();
        EndCase();
    }
}

TEST_F(FinishPage, ProgramStartsThroughTheLauncherExceptOnWindows50)
{
    struct Case {
        const char* name;
        uint32_t major, minor;
        const char* programExec;  // nullptr: no Setup.ini when Finish is pressed
        std::vector<UString> expected;
    };
    const std::vector<Case> cases = {
        {"2000 starts it directly", 5, 0, "Tool.exe", Started(u"Tool.exe", u"Tool.exe")},
        {"XP", 5, 1, "Tool.exe", Started(u"HandOver.exe", u"Tool.exe")},
        {"7", 6, 1, "Tool.exe", Started(u"HandOver.exe", u"Tool.exe")},
        {"10", 10, 0, "Tool.exe", Started(u"HandOver.exe", u"Tool.exe")},
        {"version unknown", 0, 0, "Tool.exe", Started(u"HandOver.exe", u"Tool.exe")},
        {"no Setup.ini", 10, 0, nullptr, Started(u"HandOver.exe", u"")},
        {"2000, name in a subfolder", 5, 0, "bin\\Tool.exe", Started(u"bin\\Tool.exe", u"bin\\Tool.exe")},
        // A direct start never leaves the program folder, nor opens the folder itself.
        {"2000, name climbing out", 5, 0, "..\\..\\Windows\\notepad.exe", {}},
        {"2000, absolute name", 5, 0, "C:\\Windows\\notepad.exe", {}},
        {"2000, no name", 5, 0, nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        machine().SetWindowsVersion(c.major, c.minor);
        PutSetupIni("%Exe_AfterInstall=1\r\n", c.programExec ? c.programExec : "Ostrel.exe");
        StartToWelcome();
        ShowFinishPage(u"Install");
        ASSERT_TRUE(FFinish->ck_StartProgram->Checked());
        if (!c.programExec)
            machine().DeleteFile(u"C:\\Setup\\Setup.ini");
        machine().ClearJournal();
        ASSERT_TRUE(headless::Click(*FFinish->bt_Finish));
        EXPECT_EQ(ShellStarts(), c.expected);
        EXPECT_TRUE(app->Terminated());
        EndCase();
    }
}

TEST_F(FinishPage, UncheckedBoxOrTheCloseBoxEndsTheProgramStartingNothing)
{
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box, box checked" : "Finish, box unchecked");
        PutSetupIni(closeBox ? "%Exe_AfterInstall=1\r\n" : "%Exe_AfterInstall=0\r\n");
        StartToWelcome();
        ShowFinishPage(u"Install");
        EXPECT_EQ(FFinish->ck_StartProgram->Checked(), closeBox);
        if (closeBox)
            ASSERT_TRUE(headless::CloseWindow(*FFinish));
        else
            ASSERT_TRUE(headless::Click(*FFinish->bt_Finish));
        EXPECT_TRUE(ShellStarts().empty());
        EXPECT_TRUE(app->Terminated());
        EndCase();
    }
}

TEST_F(FinishPage, TextsFollowTheMode)
{
    struct Case {
        UString mode;
        bool install, uninstall, upgrade, box;
    };
    const Case cases[] = {
        {u"Install", true, false, false, true},
        {u"Uninstall", false, true, false, false},
        {u"UninstallAnyway", false, true, false, false},
        {u"Upgrade", false, false, true, false},
        // Any other mode leaves the page as it was made.
        {u"install", true, true, true, true},
    };
    PutSetupIni("%Exe_AfterInstall=1\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.mode));
        StartToWelcome();
        ShowFinishPage(c.mode);
        EXPECT_EQ(FFinish->lb_Finish_Install->Visible(), c.install);
        EXPECT_EQ(FFinish->lb_FinishInstallNotes->Visible(), c.install);
        EXPECT_EQ(FFinish->lb_Finish_Uninstall->Visible(), c.uninstall);
        EXPECT_EQ(FFinish->lb_FinishUninstallNotes->Visible(), c.uninstall);
        EXPECT_EQ(FFinish->lb_Finish_Upgrade->Visible(), c.upgrade);
        EXPECT_EQ(FFinish->lb_FinishUpgradeNotes->Visible(), c.upgrade);
        EXPECT_EQ(FFinish->ck_StartProgram->Visible(), c.box);
        // Only a finished installation leaves its marker and may start the program.
        const bool installed = c.mode == u"Install";
        EXPECT_EQ(FileText(installed::Marker), installed ? "" : "<missing>");
        FFinish->ck_StartProgram->SetChecked(true);
        ASSERT_TRUE(headless::Click(*FFinish->bt_Finish));
        EXPECT_EQ(ShellStarts().size(), installed ? 1u : 0u);
        EXPECT_TRUE(app->Terminated());
        EndCase();
    }
}

TEST_F(FinishPage, UninstallAndUpgradeTextsCarryTheProductName)
{
    StartToWelcome();
    EXPECT_EQ(FFinish->lb_Finish_Uninstall->Caption(), u"Removal complete");
    EXPECT_EQ(FFinish->lb_FinishUninstallNotes->Caption(), u"Ostrel was removed.");
    EXPECT_EQ(FFinish->lb_FinishUpgradeNotes->Caption(), u"Ostrel is up to date.");
    EXPECT_EQ(FFinish->ck_StartProgram->Caption(), u"Start Ostrel now");
}

TEST_F(FinishPage, UpgradeRunsTheInstallationPagesAndEndsWithTheUpgradeTexts)
{
    PutSetupIni("%Exe_AfterInstall=1\r\n");
    SetArgument(u"upgrade");
    InstallToFinishPage();
    EXPECT_EQ(FPrepare->Mode, u"Upgrade");
    EXPECT_TRUE(FFinish->lb_Finish_Upgrade->Visible());
    EXPECT_FALSE(FFinish->lb_Finish_Install->Visible());
    EXPECT_FALSE(FFinish->ck_StartProgram->Visible());
    EXPECT_EQ(FileText(installed::Marker), "<missing>");
    ASSERT_TRUE(headless::Click(*FFinish->bt_Finish));
    EXPECT_TRUE(ShellStarts().empty());
    EXPECT_TRUE(app->Terminated());
}

}  // namespace
