// Cancel on the uninstall progress page: the worker pauses while the question is
// open; going on finishes the removal, confirming leaves it where it stopped.
#include "uninstall_pages/UninstallPagesFixture.h"

#include <cctype>
#include <ostream>

#include "forms/Cancelconfirmform.h"
#include "forms/Cancelform.h"
#include "forms/Finishform.h"
#include "forms/Uninstallform.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/StdCtrls.h"

using namespace std::chrono_literals;

namespace {

const UString kCore = UString(installed::ProgramDir) + u"\\Library\\core.dll";
const UString kExtra = UString(installed::ProgramDir) + u"\\Library\\extra.dll";
const UString kUpdater = UString(installed::UpdaterDir) + u"\\Updater.exe";

// Each case on a machine of its own, with a fresh installation.
template <class Case>
class UninstallCancelTest : public UninstallPagesTest, public ::testing::WithParamInterface<Case> {};

struct GoOnCase {
    const char* name;
    bool closeBoxes;  // the page's and the question's close boxes, else their buttons
};
using GoOnTest = UninstallCancelTest<GoOnCase>;

struct ConfirmCase {
    const char* name;
    const char16_t* argument;
};
using ConfirmTest = UninstallCancelTest<ConfirmCase>;

struct CrossingCase {
    const char* name;
    bool confirm;  // the cancel is confirmed before the message is handled
    const char16_t* lastPage;
};
using CrossingTest = UninstallCancelTest<CrossingCase>;

// gtest prints a case by its name.
void PrintTo(const GoOnCase& c, std::ostream* os) { *os << c.name; }
void PrintTo(const ConfirmCase& c, std::ostream* os) { *os << c.name; }
void PrintTo(const CrossingCase& c, std::ostream* os) { *os << c.name; }

template <class Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    std::string name;
    for (const char ch : std::string(info.param.name))
        if (std::isalnum(static_cast<unsigned char>(ch)))
            name += ch;
    return name;
}

}  // namespace

TEST_P(GoOnTest, CancelPausesTheRemovalAndGoingOnFinishesIt)
{
    const GoOnCase c = GetParam();
    InstallProduct();
    StartRemovalHeldAt(u"core.dll", u"uninstall");
    if (c.closeBoxes)
        ASSERT_TRUE(headless::CloseWindow(*FUninstall));
    else
        ASSERT_TRUE(headless::Click(*FUninstall->bt_Cancel));
    EXPECT_TRUE(FUninstall->WorkerThread->PauseRequested());
    // The progress page stays behind the question.
    EXPECT_EQ(Shown(), (std::vector<UString>{u"FCancelConfirm", u"FUninstall"}));
    ReleaseIntoPause();

    // The file in hand went; the next one waits, and so do the line and the bar.
    EXPECT_FALSE(Exists(kCore));
    EXPECT_TRUE(Exists(kExtra));
    const UString line = FUninstall->lb_UninstallProc->Caption();
    const int position = FUninstall->pb_Uninstallation->Position();
    EXPECT_EQ(line, kCore);
    headless::RunUntilIdle();
    EXPECT_EQ(FUninstall->lb_UninstallProc->Caption(), line);
    EXPECT_EQ(FUninstall->pb_Uninstallation->Position(), position);
    EXPECT_TRUE(FUninstall->WorkerThread->Paused());

    if (c.closeBoxes)
        ASSERT_TRUE(headless::CloseWindow(*FCancelConfirm));
    else
        ASSERT_TRUE(headless::Click(*FCancelConfirm->bt_Cancel));
    EXPECT_EQ(Shown(), std::vector<UString>{u"FUninstall"});
    ASSERT_TRUE(WaitForFinishPage());
    EXPECT_EQ(Shown(), std::vector<UString>{u"FFinish"});
    EXPECT_FALSE(Exists(kExtra));
    EXPECT_FALSE(Exists(kUpdater));
    EXPECT_EQ(FUninstall->lb_UninstallProc->Caption(), u"Remove Program Folder!");
}

INSTANTIATE_TEST_SUITE_P(Answers, GoOnTest,
                         ::testing::Values(GoOnCase{"buttons", false}, GoOnCase{"close boxes", true}),
                         CaseName<GoOnCase>);

// Both uninstall modes use the same page: the question's mode table names it.
TEST_P(ConfirmTest, ConfirmedCancelStopsTheRemovalWhereItWas)
{
    const ConfirmCase c = GetParam();
    InstallProduct();
    StartRemovalHeldAt(u"core.dll", c.argument);
    ASSERT_TRUE(headless::Click(*FUninstall->bt_Cancel));
    ReleaseIntoPause();
    ASSERT_TRUE(headless::Click(*FCancelConfirm->bt_OK));
    EXPECT_EQ(Shown(), std::vector<UString>{u"FCancel"});
    EXPECT_TRUE(FUninstall->WorkerThread->TerminateRequested());

    // The records went before the files; nothing after the pause goes, and
    // nothing removed comes back.
    headless::RunUntilIdle();
    EXPECT_TRUE(FUninstall->WorkerThread->Paused());
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, installed::UninstallEntry));
    EXPECT_FALSE(Exists(installed::DesktopLink));
    EXPECT_FALSE(Exists(kCore));
    EXPECT_TRUE(Exists(kExtra));
    EXPECT_TRUE(Exists(kUpdater));

    ASSERT_TRUE(headless::Click(*FCancel->bt_OK));
    EXPECT_TRUE(app->Terminated());
    EXPECT_TRUE(Exists(kExtra));
    // The paused worker is left where it stands when the program ends.
    const auto worker = FUninstall->WorkerThread;
    app.reset();
    EXPECT_TRUE(worker->Paused());
    EXPECT_FALSE(worker->Finished());
}

INSTANTIATE_TEST_SUITE_P(Modes, ConfirmTest,
                         ::testing::Values(ConfirmCase{"uninstall", u"uninstall"},
                                           ConfirmCase{"uninstallanyway", u"uninstallanyway"}),
                         CaseName<ConfirmCase>);

TEST_P(CrossingTest, FinishMessageThatCrossesTheCancelEndsOnOnePage)
{
    const CrossingCase c = GetParam();
    InstallProduct();
    StartRemovalHeldAt(u"core.dll", u"uninstallanyway");
    // The worker ends and posts its message; Cancel is pressed before the
    // message is handled.
    machine().Release();
    ASSERT_TRUE(FUninstall->WorkerThread->WaitUntilFinished(20s));
    FUninstall->bt_CancelClick(FUninstall->bt_Cancel);
    EXPECT_TRUE(FCancelConfirm->Visible());
    if (c.confirm)
        FCancelConfirm->bt_OKClick(FCancelConfirm->bt_OK);
    headless::RunUntilIdle();
    EXPECT_EQ(Shown(), std::vector<UString>{c.lastPage});
}

INSTANTIATE_TEST_SUITE_P(Answers, CrossingTest,
                         ::testing::Values(CrossingCase{"question open", false, u"FFinish"},
                                           CrossingCase{"cancel confirmed", true, u"FCancel"}),
                         CaseName<CrossingCase>);
