// Whole uninstallations: the kept installer copy started with "uninstall" or
// "uninstallanyway" after a real installation, from the preparation to the end.
#include "uninstall_pages/UninstallPagesFixture.h"

#include "forms/Cancelform.h"
#include "forms/Finishform.h"
#include "forms/Prepareform.h"
#include "forms/Uninstallconfirmform.h"
#include "forms/Uninstallform.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/StdCtrls.h"

TEST_F(UninstallPagesTest, UninstallAsksThenRemovesTheInstallationAndKeepsWhatStays)
{
    InstallProduct();
    const UString kept = KeptInstaller();
    const std::string keptBytes = FileText(kept);
    // Another product of the same publisher, and someone else's start value.
    PutFile(UString(installed::PublisherMenu) + u"\\Other Tool\\Other.lnk", "link");
    WriteValue(RegRoot::LocalMachine, UString(installed::PublisherKey) + u"\\OtherReg", u"Product", u"Other");
    WriteValue(RegRoot::CurrentUser, installed::RunKey, u"SomeoneElse", u"other.exe");
    // The product is running.
    const uint32_t product = machine().AddProcess(u"Ostrel.exe");
    machine().AddWindow(product, u"Ostrel Main");

    StartUninstaller(u"uninstall");
    ASSERT_EQ(Shown(), std::vector<UString>{u"FUninstallConfirm"});
    EXPECT_EQ(FPrepare->Mode, u"Uninstall");
    EXPECT_EQ(FUninstallConfirm->lb_UninstallConfirm->Caption(), u"Remove Ostrel?");
    EXPECT_EQ(FUninstallConfirm->Caption(), u"Ostrel");
    EXPECT_FALSE(machine().ProcessRunning(product));
    // Asking removes nothing and starts no worker.
    EXPECT_FALSE(FUninstall->WorkerThread);
    EXPECT_TRUE(KeyExists(RegRoot::LocalMachine, installed::UninstallEntry));

    ASSERT_TRUE(headless::Click(*FUninstallConfirm->bt_OK));
    EXPECT_EQ(Shown(), std::vector<UString>{u"FUninstall"});
    EXPECT_EQ(FUninstall->lb_Uninstall->Caption(), u"Ostrel is being removed.");
    ASSERT_TRUE(WaitForFinishPage());
    EXPECT_EQ(Shown(), std::vector<UString>{u"FFinish"});
    EXPECT_TRUE(FFinish->lb_Finish_Uninstall->Visible());
    EXPECT_EQ(FUninstall->lb_UninstallProc->Caption(), u"Remove Program Folder!");
    EXPECT_EQ(FUninstall->pb_Uninstallation->Position(), 100);
    EXPECT_EQ(shownForms.names, (std::vector<UString>{u"FPrepare", u"FUninstallConfirm", u"FUninstall", u"FFinish"}));

    // Gone: the records, the shortcuts with the program's Start-menu folder, the
    // files and every folder but the kept ones.
    EXPECT_FALSE(machine().RegValueExists(RegRoot::CurrentUser, installed::RunKey, u"OstrelReg"));
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, installed::UninstallEntry));
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, installed::PrivateKey));
    EXPECT_FALSE(Exists(installed::ProgramMenu));
    EXPECT_FALSE(Exists(installed::DesktopLink));
    for (const char16_t* gone : {u"\\Ostrel\\Ostrel.exe", u"\\Ostrel\\HandOver.exe", u"\\Ostrel\\Library",
                                 u"\\Ostrel\\Installed.log", u"\\Updater"})
        EXPECT_FALSE(Exists(UString(installed::Root) + gone)) << ToUtf8(gone);
    // Kept: the install root and the program's own folder, the user's macro, the
    // installer copy that runs this, and what belongs to others.
    EXPECT_TRUE(machine().DirectoryExists(installed::ProgramDir));
    EXPECT_EQ(FileText(installed::UserMacro), "the user's macro");
    EXPECT_EQ(FileText(kept), keptBytes);
    EXPECT_TRUE(Exists(UString(installed::PublisherMenu) + u"\\Other Tool\\Other.lnk"));
    EXPECT_TRUE(KeyExists(RegRoot::LocalMachine, UString(installed::PublisherKey) + u"\\OtherReg"));
    EXPECT_TRUE(ValueExists(RegRoot::CurrentUser, installed::RunKey, u"SomeoneElse"));
    EXPECT_TRUE(KeyExists(RegRoot::LocalMachine, u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));

    ASSERT_TRUE(headless::Click(*FFinish->bt_Finish));
    EXPECT_TRUE(app->Terminated());
}

TEST_F(UninstallPagesTest, UninstallAnywayStartsTheRemovalWithoutAsking)
{
    InstallProduct();
    StartUninstaller(u"UninstallAnyway");
    EXPECT_EQ(FPrepare->Mode, u"UninstallAnyway");
    // The progress page is the first page; its worker started when it showed.
    EXPECT_EQ(shownForms.names, (std::vector<UString>{u"FPrepare", u"FUninstall"}));
    EXPECT_TRUE(FUninstall->WorkerThread);
    ASSERT_TRUE(WaitForFinishPage());
    EXPECT_EQ(Shown(), std::vector<UString>{u"FFinish"});
    EXPECT_TRUE(FFinish->lb_Finish_Uninstall->Visible());
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, installed::UninstallEntry));
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, installed::PublisherKey));
    EXPECT_FALSE(Exists(installed::PublisherMenu));
    EXPECT_FALSE(Exists(UString(installed::ProgramDir) + u"\\Ostrel.exe"));
    EXPECT_FALSE(Exists(installed::UpdaterDir));
}

TEST_F(UninstallPagesTest, LeavingTheConfirmationRemovesNothing)
{
    struct Case {
        const char* name;
        bool closeBox;  // else the Cancel button
    };
    InstallProduct();
    for (const Case c : {Case{"Cancel button", false}, Case{"close box", true}}) {
        SCOPED_TRACE(c.name);
        const auto before = MachineState();
        StartUninstaller(u"uninstall");
        ASSERT_EQ(Shown(), std::vector<UString>{u"FUninstallConfirm"});
        if (c.closeBox) {
            // Closing the question ends the program at once.
            ASSERT_TRUE(headless::CloseWindow(*FUninstallConfirm));
            EXPECT_TRUE(app->Terminated());
        } else {
            ASSERT_TRUE(headless::Click(*FUninstallConfirm->bt_Cancel));
            EXPECT_EQ(Shown(), std::vector<UString>{u"FCancel"});
            EXPECT_FALSE(app->Terminated());
            ASSERT_TRUE(headless::Click(*FCancel->bt_OK));
            EXPECT_TRUE(app->Terminated());
        }
        EXPECT_FALSE(FUninstall->WorkerThread);
        EXPECT_TRUE(MachineState() == before);
        app.reset();
        headless::Reset();
    }
}

TEST_F(UninstallPagesTest, ShowingTheProgressPageAgainStartsNoSecondWorker)
{
    InstallProduct();
    StartUninstaller(u"uninstallanyway");
    ASSERT_TRUE(FUninstall->WorkerThread);
    const auto first = FUninstall->WorkerThread;
    FUninstall->Hide();
    FUninstall->Show();
    EXPECT_EQ(FUninstall->WorkerThread, first);
    ASSERT_TRUE(WaitForFinishPage());
    EXPECT_EQ(Shown(), std::vector<UString>{u"FFinish"});
}
