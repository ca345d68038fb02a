// Operations made to fail on purpose.
#include <gtest/gtest.h>

#include "support/SimFixture.h"

namespace {

using Failures = SimFixture;

TEST_F(Failures, OnlyTheChosenPathFails)
{
    PutFile(u"C:\\x\\a.txt", "a");
    PutFile(u"C:\\x\\b.txt", "b");
    machine().FailOn(SimOp::CopyFile, u"C:\\x\\a.txt", WinError::SharingViolation);
    machine().FailOn(SimOp::DeleteFile, u"c:\\X\\B.TXT", WinError::AccessDenied);
    EXPECT_FALSE(machine().CopyFile(u"C:\\x\\a.txt", u"C:\\x\\a2.txt", false));
    EXPECT_EQ(machine().LastError(), WinError::SharingViolation);
    EXPECT_FALSE(machine().FileExists(u"C:\\x\\a2.txt"));
    EXPECT_FALSE(machine().CopyFile(u"C:\\x\\b.txt", u"C:\\x\\.\\a.txt", false));  // as a target too
    EXPECT_TRUE(machine().CopyFile(u"C:\\x\\b.txt", u"C:\\x\\b2.txt", false));
    EXPECT_FALSE(machine().DeleteFile(u"C:\\x\\b.txt"));
    EXPECT_EQ(machine().LastError(), WinError::AccessDenied);
    EXPECT_TRUE(machine().FileExists(u"C:\\x\\b.txt"));
    EXPECT_TRUE(machine().DeleteFile(u"C:\\x\\b2.txt"));
    machine().ClearFailures();
    EXPECT_TRUE(machine().CopyFile(u"C:\\x\\a.txt", u"C:\\x\\a2.txt", false));
}

TEST_F(Failures, KeysAndValuesFailByName)
{
    const UString key = u"Software\\Pub\\Tool";
    ASSERT_TRUE(machine().RegOpenKey(RegRoot::LocalMachine, key, KEY_WRITE_MASK, true));
    ASSERT_TRUE(machine().RegWriteString(RegRoot::LocalMachine, key, u"A", u"1"));
    ASSERT_TRUE(machine().RegWriteString(RegRoot::LocalMachine, key, u"B", u"2"));
    machine().FailOn(SimOp::RegOpenKey, u"HKEY_LOCAL_MACHINE\\Software\\Pub\\Tool\\", WinError::AccessDenied);
    machine().FailOnValue(SimOp::RegReadValue, u"HKLM\\Software\\Pub\\Tool", u"b", WinError::AccessDenied);
    EXPECT_FALSE(machine().RegOpenKey(RegRoot::LocalMachine, key, KEY_READ_MASK, false));
    EXPECT_EQ(machine().LastError(), WinError::AccessDenied);
    EXPECT_TRUE(machine().RegOpenKey(RegRoot::LocalMachine, u"Software\\Pub", KEY_READ_MASK, false));
    EXPECT_TRUE(machine().RegOpenKey(RegRoot::CurrentUser, u"Software", KEY_READ_MASK, false));
    EXPECT_EQ(machine().RegReadString(RegRoot::LocalMachine, key, u"A"), u"1");
    EXPECT_FALSE(machine().RegReadString(RegRoot::LocalMachine, key, u"B").has_value());
    EXPECT_EQ(machine().LastError(), WinError::AccessDenied);
}

TEST_F(Failures, AFailureCanBeLimitedToSomeCalls)
{
    machine().FailOn(SimOp::WriteFile, u"*", WinError::DiskFull, {.times = 2});
    EXPECT_FALSE(machine().WriteWholeFile(u"C:\\one.txt", "x"));
    EXPECT_EQ(machine().LastError(), WinError::DiskFull);
    EXPECT_FALSE(machine().CreateEmptyFile(u"C:\\two.txt"));
    EXPECT_TRUE(machine().WriteWholeFile(u"C:\\three.txt", "x"));
}

TEST_F(Failures, APersistentFailureReachesOtherProcesses)
{
    machine().FailOn(SimOp::RegDeleteKey, u"HKCU\\Software\\Pub", WinError::AccessDenied,
                     {.times = 1, .persistent = true});
    ASSERT_TRUE(machine().RegOpenKey(RegRoot::CurrentUser, u"Software\\Pub", KEY_WRITE_MASK, true));
    SimMachine child(machine().Folder());  // a process started later opens the same machine
    EXPECT_FALSE(child.RegDeleteKeyTree(RegRoot::CurrentUser, u"Software\\Pub"));
    EXPECT_EQ(child.LastError(), WinError::AccessDenied);
    EXPECT_TRUE(machine().RegDeleteKeyTree(RegRoot::CurrentUser, u"Software\\Pub"));  // used up
}

TEST_F(Failures, EveryKindOfOperationCanFail)
{
    PutFile(u"C:\\f\\a.txt");
    const uint32_t pid = machine().AddProcess(u"Tool.exe");
    const uint64_t window = machine().AddWindow(pid, u"Tool");
    const uint32_t e = WinError::AccessDenied;
    machine().FailOn(SimOp::ListFolder, u"C:\\f", e);
    machine().FailOn(SimOp::Exists, u"C:\\f\\a.txt", e);
    machine().FailOn(SimOp::GetAttributes, u"C:\\f\\a.txt", e);
    machine().FailOn(SimOp::SetAttributes, u"C:\\f\\a.txt", e);
    machine().FailOn(SimOp::CreateDirectory, u"C:\\f\\d", e);
    machine().FailOn(SimOp::RemoveDirectory, u"C:\\f", e);
    machine().FailOn(SimOp::GetLastWriteTime, u"C:\\f\\a.txt", e);
    machine().FailOn(SimOp::SetLastWriteTime, u"C:\\f\\a.txt", e);
    machine().FailOn(SimOp::ReadFile, u"C:\\f\\a.txt", e);
    machine().FailOn(SimOp::RunProcess, u"icacls.exe", e);
    machine().FailOn(SimOp::ShellExecute, u"C:\\f\\a.txt", e);
    machine().FailOn(SimOp::TerminateProcess, u"Tool.exe", e);
    machine().FailOn(SimOp::SendCloseRequest, u"Tool", e);
    machine().FailOn(SimOp::WriteShortcut, u"C:\\f\\a.lnk", e);
    machine().FailOn(SimOp::SpecialFolder, u"0x0026", e);
    machine().FailOn(SimOp::EveryoneName, u"*", e);
    machine().FailOn(SimOp::RegEnumKey, u"HKCU\\Software", e);
    machine().FailOn(SimOp::RegWriteValue, u"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", e);

    std::vector<DirEntry> entries;
    EXPECT_FALSE(machine().ListFolder(u"C:\\f\\", entries));
    EXPECT_FALSE(machine().FileExists(u"C:\\f\\a.txt"));
    EXPECT_FALSE(machine().GetAttributes(u"C:\\f\\a.txt"));
    EXPECT_FALSE(machine().SetAttributes(u"C:\\f\\a.txt", FileAttr::Normal));
    EXPECT_FALSE(machine().CreateDirectory(u"C:\\f\\d"));
    EXPECT_FALSE(machine().RemoveDirectory(u"C:\\f"));
    EXPECT_FALSE(machine().GetLastWriteTime(u"C:\\f\\a.txt"));
    EXPECT_FALSE(machine().SetLastWriteTime(u"C:\\f\\a.txt", 0));
    EXPECT_FALSE(machine().ReadWholeFile(u"C:\\f\\a.txt"));
    EXPECT_FALSE(machine().RunAndWait(u"icacls.exe C:\\f /reset", 0));
    EXPECT_FALSE(machine().ShellExecute(u"open", u"C:\\f\\a.txt", u"", u"", 1));
    EXPECT_FALSE(machine().TerminateProcess(pid, 0));
    EXPECT_FALSE(machine().SendCloseRequest(window));
    ShortcutSpec link;
    link.linkPath = u"C:\\f\\a.lnk";
    link.target = u"C:\\f\\a.txt";
    EXPECT_FALSE(machine().WriteShortcut(link));
    EXPECT_EQ(machine().GetSpecialFolderPath(0x26, false), u"");
    EXPECT_EQ(machine().EveryoneGroupName(), u"");
    EXPECT_TRUE(machine().RegSubKeyNames(RegRoot::CurrentUser, u"Software").empty());
    EXPECT_FALSE(machine().RegWriteString(RegRoot::CurrentUser, u"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                          u"x", u"y"));
    EXPECT_EQ(machine().LastError(), e);
    EXPECT_TRUE(machine().ProcessRunning(pid));
    EXPECT_TRUE(machine().Journal().empty());
}

}  // namespace
