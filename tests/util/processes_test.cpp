#include <gtest/gtest.h>

#include "support/SimFixture.h"
#include "util/Xfunctions.h"

namespace {

class ProcessTest : public SimFixture {
protected:
    std::vector<UString> Debug() { return machine().JournalOf(SimJournal::Debug); }
};

TEST_F(ProcessTest, KillEndsEveryInstanceOfTheExactName)
{
    const uint32_t first = machine().AddProcess(u"Tool.exe");
    const uint32_t second = machine().AddProcess(u"Tool.exe");
    const uint32_t lower = machine().AddProcess(u"tool.exe");
    KillProcessByName(u"Tool.exe");
    EXPECT_FALSE(machine().ProcessRunning(first));
    EXPECT_FALSE(machine().ProcessRunning(second));
    EXPECT_TRUE(machine().ProcessRunning(lower));
    EXPECT_TRUE(Debug().empty());
}

TEST_F(ProcessTest, StopWithTerminateTellsEachOutcome)
{
    machine().AddProcess(u"Tool.exe");
    machine().AddProcess(u"Tool.exe");
    machine().FailOn(SimOp::TerminateProcess, u"Tool.exe", WinError::AccessDenied, {.times = 1});
    StopProcessByName(u"Tool.exe", true);
    EXPECT_EQ(Debug(), (std::vector<UString>{u"Delete Process Fail!", u"Delete Process Success!"}));

    machine().ClearJournal();
    StopProcessByName(u"Missing.exe", true);
    StopProcessByName(u"", true);
    EXPECT_TRUE(Debug().empty());
}

TEST_F(ProcessTest, StopWithoutTerminateAsksEveryWindowOfEveryInstance)
{
    const uint32_t first = machine().AddProcess(u"Tool.exe");
    const uint32_t second = machine().AddProcess(u"Tool.exe");
    const uint32_t windowless = machine().AddProcess(u"Tool.exe");
    const uint32_t stubborn = machine().AddProcess(u"Tool.exe");
    const uint32_t other = machine().AddProcess(u"Other.exe");
    machine().AddWindow(first, u"Tool 1");
    machine().AddWindow(second, u"Tool 2");
    machine().AddWindow(stubborn, u"Tool 3", true);
    machine().AddWindow(other, u"Other");
    StopProcessByName(u"Tool.exe", false);
    EXPECT_EQ(machine().JournalOf(SimJournal::CloseRequest), (std::vector<UString>{u"Tool 1", u"Tool 2", u"Tool 3"}));
    EXPECT_TRUE(machine().ProcessRunning(windowless));
    EXPECT_TRUE(machine().ProcessRunning(stubborn));
    EXPECT_TRUE(machine().ProcessRunning(other));
    // The two that accepted the request ended of their own accord.
    EXPECT_FALSE(machine().ProcessRunning(first));
    EXPECT_FALSE(machine().ProcessRunning(second));
}

TEST_F(ProcessTest, ThisProgramIsNeverEnded)
{
    machine().SetProcess(u"C:\\Pkg\\Setup.exe", u"C:\\Pkg\\Setup.exe uninstall");
    machine().AddWindow(machine().CurrentProcessId(), u"Setup");
    KillProcessByName(u"Setup.exe");
    StopProcessByName(u"Setup.exe", true);
    StopProcessByName(u"Setup.exe", false);
    EXPECT_TRUE(Debug().empty());
    EXPECT_TRUE(machine().JournalOf(SimJournal::CloseRequest).empty());
}

TEST(CloseWindowsOfProcess, StopsAtANullWindow) { EXPECT_FALSE(CloseWindowsOfProcess(WindowEntry{0, 7, u""}, 7)); }

TEST(CloseMainForm, CallsTheInstalledHandler)
{
    CloseMainForm();  // none installed: nothing happens
    int calls = 0;
    SetCloseMainFormHandler([&] { ++calls; });
    CloseMainForm();
    SetCloseMainFormHandler(nullptr);
    CloseMainForm();
    EXPECT_EQ(calls, 1);
}

}  // namespace
