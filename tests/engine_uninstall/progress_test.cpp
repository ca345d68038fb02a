#include <chrono>
#include <thread>

#include "engine_uninstall/UninstallFixture.h"

using namespace std::chrono_literals;

namespace {

const UString kStepTexts[] = {u"Remove Reg on Boot!", u"Remove Reg on Add/Remove Programs!", u"Remove Links!",
                              u"Remove Reg on Program Folder!", u"Remove Program Folder!"};

bool IsStepText(const UString& text)
{
    return std::find(std::begin(kStepTexts), std::end(kStepTexts), text) != std::end(kStepTexts);
}

// The bar after `steps` steps from `start`: 100 is followed by 1.
int WrappedPosition(int start, int steps) { return steps == 0 ? start : (start + steps - 1) % 100 + 1; }

}  // namespace

TEST_F(UninstallTest, EachStepShowsItsTextThenItsBarPositionAndEveryFileItsPath)
{
    Install();
    std::vector<UString> files;
    for (int i = 0; i < 150; ++i)
        files.push_back(u"Prod\\f" + IntToStr(1000 + i) + u".dat");
    InstallFiles(files);
    bar->SetPosition(55);
    Uninstall(Record());

    const std::vector<RecordingLabel::Shown> shown = label->History();
    std::vector<RecordingLabel::Shown> steps, fileTexts;
    for (const auto& s : shown)
        (IsStepText(s.text) ? steps : fileTexts).push_back(s);
    // A step's text comes first, its bar position after it: each text sees the
    // position the step before set.
    ASSERT_EQ(steps.size(), 5u);
    const int before[] = {0, 20, 40, 60};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(steps[i].text, kStepTexts[i]);
        EXPECT_EQ(steps[i].position, before[i]);
    }
    EXPECT_EQ(steps[4].text, kStepTexts[4]);
    EXPECT_EQ(shown.back().text, kStepTexts[4]);

    // Each file is shown before it goes, the bar stepping from 80 to 100, then
    // wrapping to 1 and on.
    ASSERT_EQ(fileTexts.size(), 150u);
    for (size_t i = 0; i < fileTexts.size(); ++i) {
        EXPECT_EQ(fileTexts[i].text, UString(kRoot) + u"\\" + files[i]);
        EXPECT_EQ(fileTexts[i].position, WrappedPosition(80, static_cast<int>(i))) << i;
    }
    EXPECT_EQ(steps[4].position, WrappedPosition(80, 150));
    EXPECT_EQ(bar->Position(), 100);
}

TEST_F(UninstallTest, PausedBeforeTheFirstOperationRemovesNothingUntilResumed)
{
    Install();
    InstallFiles({u"Prod\\app.exe"});
    std::shared_ptr<TThreadControl> control = StartUninstall(Record(), true);
    ASSERT_TRUE(control->WaitUntilPaused(10s));
    headless::RunUntilIdle();

    EXPECT_TRUE(ValueExists(RegRoot::CurrentUser, kRun, u"ProdAgent"));
    EXPECT_TRUE(machine().FileExists(Record().LINK_ProgramsExec));
    EXPECT_TRUE(machine().FileExists(UString(kRoot) + u"\\Prod\\app.exe"));
    EXPECT_EQ(finishMessages, 0);

    control->Resume();
    ASSERT_TRUE(WaitForFinishMessage());
    EXPECT_FALSE(ValueExists(RegRoot::CurrentUser, kRun, u"ProdAgent"));
    EXPECT_FALSE(machine().FileExists(UString(kRoot) + u"\\Prod\\app.exe"));
    ASSERT_TRUE(control->WaitUntilFinished(10s));
}

TEST_F(UninstallTest, CancelAskedDuringTheShortcutsThenWithdrawnGoesOnWhereItStopped)
{
    Install();
    InstallFiles({u"Prod\\app.exe"});
    std::shared_ptr<TThreadControl> control;
    std::mutex controlMutex;
    // The page pauses the worker as the user presses Cancel: here while step 3 shows.
    label->OnText = [&](const UString& text) {
        if (text == u"Remove Links!") {
            std::lock_guard<std::mutex> lock(controlMutex);
            control->Suspend();
        }
    };
    {
        std::lock_guard<std::mutex> lock(controlMutex);
        control = StartUninstall(Record(), false);
    }
    ASSERT_TRUE(control->WaitUntilPaused(10s));

    EXPECT_FALSE(machine().FileExists(Record().LINK_ProgramsExec));
    EXPECT_TRUE(KeyExists(RegRoot::LocalMachine, u"Software\\Pub\\ProdReg"));
    EXPECT_TRUE(machine().FileExists(UString(kRoot) + u"\\Prod\\app.exe"));
    EXPECT_EQ(label->Caption(), u"Remove Links!");

    control->Resume();
    ASSERT_TRUE(WaitForFinishMessage());
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, u"Software\\Pub\\ProdReg"));
    EXPECT_FALSE(machine().FileExists(UString(kRoot) + u"\\Prod\\app.exe"));
    ASSERT_TRUE(control->WaitUntilFinished(10s));
    EXPECT_EQ(finishMessages, 1);
}

TEST_F(UninstallTest, CancelConfirmedLeavesTheRemovalWhereItWasAndNeverFinishes)
{
    Install();
    InstallFiles({u"Prod\\a.dat", u"Prod\\b.dat", u"Prod\\c.dat"});
    const UString first = UString(kRoot) + u"\\Prod\\a.dat";
    std::shared_ptr<TThreadControl> control;
    std::mutex controlMutex;
    label->OnText = [&](const UString& text) {
        if (text == first) {
            std::lock_guard<std::mutex> lock(controlMutex);
            control->Suspend();
        }
    };
    {
        std::lock_guard<std::mutex> lock(controlMutex);
        control = StartUninstall(Record(), false);
    }
    ASSERT_TRUE(control->WaitUntilPaused(10s));
    // The user confirmed: the page never resumes the thread.
    headless::RunUntil([] { return false; }, 300ms);

    // The file being shown went; the pause came before the next one.
    EXPECT_FALSE(machine().FileExists(first));
    EXPECT_TRUE(machine().FileExists(UString(kRoot) + u"\\Prod\\b.dat"));
    EXPECT_TRUE(machine().FileExists(UString(kRoot) + u"\\Prod\\c.dat"));
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, u"Software\\Pub\\ProdReg"));
    EXPECT_TRUE(control->Paused());
    EXPECT_FALSE(control->Finished());
    EXPECT_EQ(finishMessages, 0);
    EXPECT_EQ(label->Caption(), first);

    // Only so that the thread does not outlive the machine it works on.
    label->OnText = nullptr;
    control->Resume();
    ASSERT_TRUE(control->WaitUntilFinished(10s));
}
