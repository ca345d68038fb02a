// Processes, windows, tools and the journal of the simulated machine.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/SimFixture.h"

namespace {

using Processes = SimFixture;

constexpr char16_t kChildKey[] = u"Software\\ChildTest";

// Runs only as the child that Processes.AChildProcessSharesTheMachine starts: this
// test program, copied into the machine and run through RunAndWait.
TEST(SimChild, AnswersItsParent)
{
    if (!std::getenv("SIM_CHILD_TEST"))
        GTEST_SKIP() << "runs only as a child process";
    IPlatform& p = Platform();
    const auto seen = p.RegReadString(RegRoot::LocalMachine, kChildKey, u"FromParent");
    p.RegWriteString(RegRoot::LocalMachine, kChildKey, u"SeenByChild", seen.value_or(u"<none>"));
    p.RegWriteString(RegRoot::LocalMachine, kChildKey, u"ChildExe", p.ExecutablePath());
    UString args;
    for (const UString& a : p.CommandLineArgs())
        args += u"[" + a + u"]";
    p.RegWriteString(RegRoot::LocalMachine, kChildKey, u"ChildArgs", args);
    p.DebugOutput(u"child done");
}

TEST_F(Processes, AChildProcessSharesTheMachine)
{
    ASSERT_TRUE(machine().MakeFolders(u"C:\\Program Files (x86)\\Tool"));
    const std::string copy = machine().HostPath(u"C:\\Program Files (x86)\\Tool\\Setup.exe");
    std::filesystem::copy_file("/proc/self/exe", copy);
    ::chmod(copy.c_str(), 0755);

    ASSERT_TRUE(machine().RegOpenKey(RegRoot::LocalMachine, kChildKey, KEY_WRITE_MASK, true));
    ASSERT_TRUE(machine().RegWriteString(RegRoot::LocalMachine, kChildKey, u"FromParent", u"hello"));
    ::setenv("SIM_CHILD_TEST", "1", 1);
    const UString line = u"\"C:\\Program Files (x86)\\Tool\\setup.exe\" --gtest_filter=SimChild.* \"two words\"";
    const bool ran = machine().RunAndWait(line, CREATE_NEW_CONSOLE_FLAG);
    ::unsetenv("SIM_CHILD_TEST");
    ASSERT_TRUE(ran);
    EXPECT_EQ(machine().RegReadString(RegRoot::LocalMachine, kChildKey, u"SeenByChild"), u"hello");
    // The module path as the command line named it; arguments as ParamStr splits them.
    EXPECT_EQ(machine().RegReadString(RegRoot::LocalMachine, kChildKey, u"ChildExe"),
              u"C:\\Program Files (x86)\\Tool\\setup.exe");
    EXPECT_EQ(machine().RegReadString(RegRoot::LocalMachine, kChildKey, u"ChildArgs"),
              u"[--gtest_filter=SimChild.*][two words]");
    const auto journal = machine().Journal();
    ASSERT_GE(journal.size(), 2u);
    EXPECT_EQ(journal[0], u"run: 0x00000010 " + line);
    EXPECT_EQ(journal.back(), u"debug: child done");
}

// Without quotes CreateProcessW tries "C:\Program" first, then the longer runs of
// the line, and finds the program all the same.
TEST_F(Processes, AnUnquotedProgramPathWithBlanksIsFound)
{
    ASSERT_TRUE(machine().MakeFolders(u"C:\\Program Files (x86)\\Tool"));
    const std::string copy = machine().HostPath(u"C:\\Program Files (x86)\\Tool\\Setup.exe");
    std::filesystem::copy_file("/proc/self/exe", copy);
    ::chmod(copy.c_str(), 0755);
    EXPECT_TRUE(machine().RunAndWait(u"C:\\Program Files (x86)\\Tool\\Setup --gtest_filter=None", 0));
    EXPECT_EQ(machine().JournalOf(SimJournal::Run).size(), 1u);
}

TEST_F(Processes, WindowsToolsAreJournalledAndSucceed)
{
    const UString lines[] = {
        u"icacls.exe \"C:\\Program Files (x86)\\Tool\" /grant Everyone:(OI)(CI)F /T",
        u"cmd.exe /c echo Y| cacls \"C:\\Program Files (x86)\\Tool\" /T /E /G Everyone:F",
        u"TAKEOWN /f \"C:\\Program Files (x86)\\Tool\" /r /d y",
        u"C:\\Windows\\System32\\icacls.exe C:\\x /reset",
    };
    for (const UString& line : lines)
        EXPECT_TRUE(machine().RunAndWait(line, CREATE_NO_WINDOW_FLAG));
    const auto runs = machine().JournalOf(SimJournal::Run);
    ASSERT_EQ(runs.size(), std::size(lines));
    for (size_t i = 0; i < runs.size(); ++i)
        EXPECT_EQ(runs[i], u"0x08000000 " + lines[i]);
}

TEST_F(Processes, AnythingElseFailsToStart)
{
    PutFile(u"C:\\Tool\\notes.exe", "MZ not for this host");
    const struct {
        const char16_t* line;
        uint32_t error;
    } cases[] = {
        {u"\"C:\\Tool\\missing.exe\" /x", WinError::FileNotFound},
        {u"unknown.exe", WinError::FileNotFound},
        {u"C:\\Tool\\notes.exe", 193},  // ERROR_BAD_EXE_FORMAT
        {u"   ", WinError::FileNotFound},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(machine().RunAndWait(c.line, 0));
        EXPECT_EQ(machine().LastError(), c.error);
    }
    EXPECT_TRUE(machine().JournalOf(SimJournal::Run).empty());
}

TEST_F(Processes, ACloseRequestEndsTheProcessUnlessItsWindowIgnoresIt)
{
    const uint32_t first = machine().AddProcess(u"Tool.exe");
    const uint32_t second = machine().AddProcess(u"Tool.exe");
    const uint64_t polite = machine().AddWindow(first, u"Tool - Document");
    const uint64_t stubborn = machine().AddWindow(second, u"Tool - Busy", true);
    EXPECT_EQ(machine().FindWindowByCaption(u"Tool - Busy"), stubborn);
    EXPECT_EQ(machine().FindWindowByCaption(u"Tool"), 0u);

    SimMachine other(machine().Folder());  // another process of the machine sees the same
    EXPECT_TRUE(other.SendCloseRequest(polite));
    EXPECT_TRUE(other.SendCloseRequest(stubborn));
    EXPECT_FALSE(machine().ProcessRunning(first));
    EXPECT_TRUE(machine().ProcessRunning(second));
    EXPECT_EQ(machine().ListTopLevelWindows().size(), 1u);
    EXPECT_FALSE(machine().SendCloseRequest(polite));

    EXPECT_TRUE(machine().TerminateProcess(second, 0));
    EXPECT_FALSE(machine().ProcessRunning(second));
    EXPECT_TRUE(machine().ListTopLevelWindows().empty());
    EXPECT_FALSE(machine().TerminateProcess(second, 0));
    EXPECT_EQ(machine().Journal(), (std::vector<UString>{
                                       u"close-request: Tool - Document",
                                       u"process-ended: Tool.exe " + UIntToStr(first),
                                       u"close-request: Tool - Busy",
                                       u"process-ended: Tool.exe " + UIntToStr(second),
                                   }));
}

TEST_F(Processes, TheProcessListHoldsThisProgramAndTheAddedOnes)
{
    machine().SetProcess(u"C:\\Setup\\Setup.exe", u"\"C:\\Setup\\Setup.exe\" uninstall");
    const uint32_t tool = machine().AddProcess(u"Tool.exe");
    const auto list = machine().ListProcesses();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].exeName, u"Setup.exe");
    EXPECT_EQ(list[0].pid, machine().CurrentProcessId());
    EXPECT_EQ(list[1].exeName, u"Tool.exe");
    EXPECT_EQ(list[1].pid, tool);
    EXPECT_FALSE(machine().TerminateProcess(machine().CurrentProcessId(), 0));
    EXPECT_EQ(machine().CommandLineArgs(), std::vector<UString>{u"uninstall"});
}

TEST_F(Processes, ShellEffectsAreJournalledInOrder)
{
    PutFile(u"C:\\Tool\\HandOver.exe");
    machine().DebugOutput(u"first\r\nline");
    EXPECT_TRUE(machine().ShellExecute(u"open", u"C:\\Tool\\HandOver.exe", u"-start", u"C:\\Tool", 1));
    EXPECT_FALSE(machine().ShellExecute(u"open", u"C:\\Tool\\Missing.exe", u"", u"", 1));
    EXPECT_EQ(machine().LastError(), WinError::FileNotFound);
    machine().NotifyAssociationChanged();
    EXPECT_EQ(machine().Journal(), (std::vector<UString>{
                                       u"debug: first  line",
                                       u"shell-execute: open|C:\\Tool\\HandOver.exe|-start|C:\\Tool|1",
                                       u"shell-execute: open|C:\\Tool\\Missing.exe|||1",
                                       u"shell-notify: association changed",
                                   }));
    machine().ClearJournal();
    EXPECT_TRUE(machine().Journal().empty());
}

}  // namespace
