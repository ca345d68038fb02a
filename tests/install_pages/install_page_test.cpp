#include <gtest/gtest.h>

#include "app/App.h"
#include "base/Paths.h"
#include "engine/Installthread.h"
#include "forms/Askinstallform.h"
#include "forms/Cancelconfirmform.h"
#include "forms/Cancelform.h"
#include "forms/Finishform.h"
#include "forms/Installform.h"
#include "forms/Prepareform.h"
#include "forms/Setupprogram.h"
#include "install_pages/InstallPagesFixture.h"
#include "toolkit/headless/ScriptRunner.h"

namespace {

using namespace std::chrono_literals;

constexpr char16_t kUninstallEntry[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OstrelReg";
constexpr char16_t kHeldFile[] = u"core.dll";

class InstallPage : public InstallPagesTest {
protected:
    // The walk to the progress page, its worker held inside the copy of core.dll.
    void InstallUntilHeld()
    {
        StartToWelcome();
        WalkToAskInstall();
        machine().HoldCopiesTo(kHeldFile);
        PressInstall();
        ASSERT_TRUE(headless::RunUntil([&] { return machine().Arrivals() == 1; }));
        ASSERT_EQ(Shown(), std::vector<UString>{u"FInstall"});
    }
    // Cancel (or the close box) was used while held: let the worker reach its pause.
    void ReleaseIntoPause()
    {
        machine().Release();
        ASSERT_TRUE(headless::RunUntil([] { return FInstall->WorkerThread->Paused(); }));
    }
    bool UninstallEntryWritten() { return machine().RegKeyExists(RegRoot::LocalMachine, kUninstallEntry); }
};

TEST_F(InstallPage, AskInstallLeadsThroughTheWorkToTheFinishPage)
{
    InstallUntilHeld();
    // The worker reports on the page while it works.
    EXPECT_EQ(FInstall->lb_InstallProc->Caption(), UString(installed::ProgramDir) + u"\\Library\\core.dll");
    EXPECT_FALSE(FFinish->Visible());

    machine().Release();
    ASSERT_TRUE(WaitForFinishPage());
    EXPECT_EQ(Shown(), std::vector<UString>{u"FFinish"});
    EXPECT_FALSE(app->Terminated());
    // The last status line is the last file of the kept installer, the bar at its end.
    EXPECT_EQ(FInstall->pb_Installation->Position(), 100);
    const UString keptFolder = ExtractFilePath(App.UninstallerPath);
    ASSERT_FALSE(keptFolder.empty());
    EXPECT_EQ(FInstall->lb_InstallProc->Caption().rfind(keptFolder, 0), 0u)
        << ToUtf8(FInstall->lb_InstallProc->Caption());
    // The work itself happened (its details are the engine's tests).
    EXPECT_EQ(FileText(UString(installed::ProgramDir) + u"\\Ostrel.exe"), "ostrel 2");
    EXPECT_TRUE(UninstallEntryWritten());
}

TEST_F(InstallPage, ShowingThePageAgainStartsNoSecondWorker)
{
    InstallUntilHeld();
    const std::shared_ptr<TThreadControl> worker = FInstall->WorkerThread;
    for (int i = 0; i < 2; ++i) {
        FInstall->Hide();
        FInstall->Show();
        headless::RunUntilIdle();
        EXPECT_EQ(FInstall->WorkerThread, worker);
        // A second worker would be running beside the held one.
        EXPECT_EQ(TThreadControl::RunningCount(), 1);
    }
    machine().Release();
    ASSERT_TRUE(WaitForFinishPage());

    // Shown once more after the work ended: still nothing starts.
    FInstall->Show();
    EXPECT_EQ(FInstall->WorkerThread, worker);
    EXPECT_EQ(TThreadControl::RunningCount(), 0);
    headless::RunUntilIdle();
    EXPECT_EQ(machine().Arrivals(), 1);
}

TEST_F(InstallPage, FinishMessageBeforeThePageStartedItsWorkerIsIgnored)
{
    StartToWelcome();
    // The name registered by another program, before any installation ran.
    ASSERT_TRUE(PostMessageTo(FInstall->Handle(), RegisterMessage(kInstallThreadFinished), 0, 0));
    headless::RunUntilIdle();
    EXPECT_EQ(Shown(), std::vector<UString>{u"FWelcome"});
    EXPECT_FALSE(FInstall->WorkFinished());
    WalkToAskInstall();
}

TEST_F(InstallPage, CancelPausesTheWorkAndGoingOnFinishesIt)
{
    InstallUntilHeld();
    ASSERT_TRUE(headless::Click(*FInstall->bt_Cancel));
    EXPECT_EQ(Shown(), (std::vector<UString>{u"FCancelConfirm", u"FInstall"}));
    EXPECT_TRUE(FInstall->WorkerThread->PauseRequested());
    ReleaseIntoPause();
    // Paused for real: the next steps wait.
    headless::RunUntilIdle();
    EXPECT_FALSE(UninstallEntryWritten());
    EXPECT_FALSE(FFinish->Visible());

    ASSERT_TRUE(headless::Click(*FCancelConfirm->bt_Cancel));
    ASSERT_TRUE(WaitForFinishPage());
    EXPECT_EQ(Shown(), std::vector<UString>{u"FFinish"});
    EXPECT_TRUE(UninstallEntryWritten());
    EXPECT_EQ(FInstall->pb_Installation->Position(), 100);
}

TEST_F(InstallPage, ConfirmedCancelLeavesTheWorkStoppedWhereItWas)
{
    InstallUntilHeld();
    ASSERT_TRUE(headless::Click(*FInstall->bt_Cancel));
    ReleaseIntoPause();
    const UString status = FInstall->lb_InstallProc->Caption();

    ASSERT_TRUE(headless::Click(*FCancelConfirm->bt_OK));
    EXPECT_EQ(Shown(), std::vector<UString>{u"FCancel"});
    const std::shared_ptr<TThreadControl> worker = FInstall->WorkerThread;
    EXPECT_TRUE(worker->TerminateRequested());
    headless::RunUntilIdle();
    EXPECT_TRUE(worker->Paused());
    EXPECT_FALSE(worker->Finished());
    EXPECT_EQ(FInstall->lb_InstallProc->Caption(), status);
    // What was copied stays; nothing after the pause was done.
    EXPECT_EQ(FileText(UString(installed::ProgramDir) + u"\\Library\\core.dll"), "core");
    EXPECT_FALSE(UninstallEntryWritten());
    // A finish message crossing the confirmation does not carry the abandoned
    // installation on to the finish page.
    ASSERT_TRUE(PostMessageTo(FInstall->Handle(), RegisterMessage(kInstallThreadFinished), 0, 0));
    headless::RunUntilIdle();
    EXPECT_EQ(Shown(), std::vector<UString>{u"FCancel"});

    ASSERT_TRUE(headless::Click(*FCancel->bt_OK));
    EXPECT_TRUE(app->Terminated());
    EXPECT_FALSE(FFinish->Visible());
}

// An upgrade runs the installation pages: Cancel there pauses and goes on with the
// installation page's worker as in an installation.
TEST_F(InstallPage, InAnUpgradeGoingOnResumesTheWork)
{
    SetArgument(u"upgrade");
    InstallUntilHeld();
    ASSERT_EQ(FPrepare->Mode, u"Upgrade");
    ASSERT_TRUE(headless::Click(*FInstall->bt_Cancel));
    ReleaseIntoPause();
    ASSERT_TRUE(headless::Click(*FCancelConfirm->bt_Cancel));
    ASSERT_TRUE(WaitForFinishPage());
    EXPECT_EQ(Shown(), std::vector<UString>{u"FFinish"});
    EXPECT_TRUE(UninstallEntryWritten());
}

TEST_F(InstallPage, InAnUpgradeConfirmedCancelLeavesTheWorkPaused)
{
    SetArgument(u"upgrade");
    InstallUntilHeld();
    ASSERT_TRUE(headless::Click(*FInstall->bt_Cancel));
    ReleaseIntoPause();
    ASSERT_TRUE(headless::Click(*FCancelConfirm->bt_OK));
    EXPECT_EQ(Shown(), std::vector<UString>{u"FCancel"});
    const std::shared_ptr<TThreadControl> worker = FInstall->WorkerThread;
    EXPECT_TRUE(worker->TerminateRequested());
    headless::RunUntilIdle();
    EXPECT_TRUE(worker->Paused());
    EXPECT_FALSE(worker->Finished());
    EXPECT_FALSE(UninstallEntryWritten());
}

TEST_F(InstallPage, ProgramEndingBetweenTwoSafePointsWaitsForTheWorkersPause)
{
    InstallUntilHeld();
    ASSERT_TRUE(headless::Click(*FInstall->bt_Cancel));
    ASSERT_TRUE(headless::Click(*FCancelConfirm->bt_OK));
    ASSERT_TRUE(headless::Click(*FCancel->bt_OK));
    ASSERT_TRUE(app->Terminated());
    const std::shared_ptr<TThreadControl> worker = FInstall->WorkerThread;
    // Still copying when the forms go: it must not write to the page afterwards.
    machine().Release();
    app.reset();
    EXPECT_TRUE(worker->Paused());
    EXPECT_FALSE(worker->Finished());
}

// The keyboard on the progress page and after: Esc is Cancel, Esc on the question
// goes on, Enter on the finish page is Finish.
TEST_F(InstallPage, EscAsksEscOnTheQuestionGoesOnAndEnterFinishes)
{
    InstallUntilHeld();
    ASSERT_TRUE(headless::PressEscape(*FInstall));
    EXPECT_EQ(Shown(), (std::vector<UString>{u"FCancelConfirm", u"FInstall"}));
    EXPECT_EQ(FCancelConfirm->ActiveControl(), FCancelConfirm->bt_OK);
    ReleaseIntoPause();
    ASSERT_TRUE(headless::PressEscape(*FCancelConfirm));
    ASSERT_TRUE(WaitForFinishPage());
    EXPECT_TRUE(UninstallEntryWritten());
    ASSERT_TRUE(headless::PressEnter(*FFinish));
    EXPECT_TRUE(app->Terminated());
}

TEST_F(InstallPage, CloseBoxAsksInsteadOfClosingAndClosingTheQuestionGoesOn)
{
    InstallUntilHeld();
    ASSERT_TRUE(headless::CloseWindow(*FInstall));
    EXPECT_EQ(Shown(), (std::vector<UString>{u"FCancelConfirm", u"FInstall"}));
    EXPECT_FALSE(app->Terminated());
    EXPECT_TRUE(FInstall->WorkerThread->PauseRequested());
    ReleaseIntoPause();

    ASSERT_TRUE(headless::CloseWindow(*FCancelConfirm));
    ASSERT_TRUE(WaitForFinishPage());
    EXPECT_EQ(Shown(), std::vector<UString>{u"FFinish"});
    EXPECT_TRUE(UninstallEntryWritten());
}

TEST_F(InstallPage, CancelAfterTheWorkEndedAsksNothingAndTheFinishPageFollows)
{
    InstallUntilHeld();
    machine().Release();
    // The work ends; its message waits, unhandled, in the queue.
    ASSERT_TRUE(FInstall->WorkerThread->WaitUntilFinished(20s));
    ASSERT_TRUE(FInstall->Visible());
    FInstall->bt_CancelClick(FInstall->bt_Cancel);
    EXPECT_FALSE(FCancelConfirm->Visible());
    headless::RunUntilIdle();
    EXPECT_EQ(Shown(), std::vector<UString>{u"FFinish"});
}

TEST_F(InstallPage, FinishMessageWhileTheQuestionIsOpenClosesTheQuestion)
{
    // Cancel pressed in the instant between the worker's message and its end.
    InstallUntilHeld();
    ASSERT_TRUE(headless::Click(*FInstall->bt_Cancel));
    ASSERT_TRUE(FCancelConfirm->Visible());
    ASSERT_TRUE(PostMessageTo(FInstall->Handle(), RegisterMessage(kInstallThreadFinished), 0, 0));
    headless::RunUntilIdle();
    EXPECT_EQ(Shown(), std::vector<UString>{u"FFinish"});
}

TEST_F(InstallPage, WholeProgramRunByAScriptedUserEndsOnTheFinishPage)
{
    PutSetupIni("%Exe_AfterInstall=1\r\n");
    ConstructApp();
    std::vector<UString> errors;
    std::vector<UString> journal;
    headless::ScriptRunner user(headless::ParseScript(u"FWelcome: click bt_Next\n"
                                                      u"FEULA: click rb_AgreeEULA\n"
                                                      u"FEULA: click bt_Next\n"
                                                      u"FAskInstall: click bt_Install\n"
                                                      u"FFinish: click bt_Finish\n",
                                                      errors),
                                [&](const UString& line) { journal.push_back(line); });
    ASSERT_TRUE(errors.empty());
    headless::SetScriptedUser(&user);
    RunSetupProgram();
    headless::SetScriptedUser(nullptr);

    std::vector<UString> forms;
    for (const UString& line : journal)
        if (line.rfind(u"form shown: ", 0) == 0)
            forms.push_back(line.substr(12, line.find(u' ', 12) - 12));
    EXPECT_EQ(forms,
              (std::vector<UString>{u"FPrepare", u"FWelcome", u"FEULA", u"FAskInstall", u"FInstall", u"FFinish"}));
    EXPECT_EQ(user.Remaining(), 0u);
    EXPECT_FALSE(headless::RunEndedStuck());
    EXPECT_EQ(ShellStarts(), std::vector<UString>{UString(u"open|") + installed::HandOver + u"|Ostrel.exe||1"});
    EXPECT_EQ(FileText(installed::Marker), "");
}

}  // namespace
