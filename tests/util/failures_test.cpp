#include <gtest/gtest.h>

#include "support/SimFixture.h"
#include "toolkit/Registry.h"
#include "util/UtilSinks.h"
#include "util/Xfunctions.h"

namespace {

using FailureTest = SimFixture;

// One copy, one deletion and one key opening fail; each walk goes on with the
// next entry and leaves only the failed one behind.
TEST_F(FailureTest, AFailedEntryIsSkippedAndTheWalkGoesOn)
{
    for (const char16_t* name : {u"a.txt", u"b.txt", u"c.txt"})
        PutFile(UString(u"C:\\Src\\") + name, "data");
    ASSERT_TRUE(machine().MakeFolders(u"C:\\Dst"));
    machine().FailOn(SimOp::CopyFile, u"C:\\Src\\b.txt", WinError::SharingViolation);
    RecordingLabel label;
    FakeBar bar;
    CopyFolderTree(u"C:\\Src\\", u"C:\\Dst\\", &label, &bar, u"", false);
    EXPECT_TRUE(machine().FileExists(u"C:\\Dst\\a.txt"));
    EXPECT_FALSE(machine().FileExists(u"C:\\Dst\\b.txt"));
    EXPECT_TRUE(machine().FileExists(u"C:\\Dst\\c.txt"));
    EXPECT_EQ(label.texts.size(), 3u);
    EXPECT_EQ(bar.position, 3);

    PutFile(u"C:\\Dst\\Busy\\in-use.dll");
    PutFile(u"C:\\Dst\\Free\\x.dll");
    machine().FailOn(SimOp::DeleteFile, u"C:\\Dst\\a.txt", WinError::SharingViolation);
    machine().FailOn(SimOp::DeleteFile, u"C:\\Dst\\Busy\\in-use.dll", WinError::SharingViolation);
    DeleteFolderContents(u"C:\\Dst\\", nullptr, nullptr);
    EXPECT_TRUE(machine().FileExists(u"C:\\Dst\\a.txt"));
    EXPECT_FALSE(machine().FileExists(u"C:\\Dst\\c.txt"));
    EXPECT_TRUE(machine().FileExists(u"C:\\Dst\\Busy\\in-use.dll"));  // and so its folder stays
    EXPECT_FALSE(machine().DirectoryExists(u"C:\\Dst\\Free"));

    for (const char16_t* key : {u"A\\A1", u"B\\B1", u"C"})
        ASSERT_TRUE(
            machine().RegOpenKey(RegRoot::LocalMachine, UString(u"Software\\Pub\\Tool\\") + key, KEY_WRITE_MASK, true));
    machine().FailOn(SimOp::RegOpenKey, u"HKLM\\Software\\Pub\\Tool\\B", WinError::AccessDenied);
    DeleteMachineKey(u"", false, u"Software\\Pub\\Tool");
    machine().ClearFailures();
    EXPECT_FALSE(machine().RegKeyExists(RegRoot::LocalMachine, u"Software\\Pub\\Tool\\A"));
    EXPECT_TRUE(machine().RegKeyExists(RegRoot::LocalMachine, u"Software\\Pub\\Tool\\B\\B1"));
    EXPECT_FALSE(machine().RegKeyExists(RegRoot::LocalMachine, u"Software\\Pub\\Tool\\C"));
    // The key that still holds B stays, as Windows keeps a key with subkeys.
    EXPECT_TRUE(machine().RegKeyExists(RegRoot::LocalMachine, u"Software\\Pub\\Tool"));
}

TEST_F(FailureTest, AFolderThatCannotBeListedCountsAsEmpty)
{
    PutFile(u"C:\\Menu\\x.lnk");
    machine().FailOn(SimOp::ListFolder, u"C:\\Menu", WinError::AccessDenied);
    EXPECT_EQ(CountFolderEntries(u"C:\\Menu"), 0);
    EXPECT_TRUE(IsFolderEmpty(u"C:\\Menu\\"));
    DeleteFolderContents(u"C:\\Menu", nullptr, nullptr);
    machine().ClearFailures();
    EXPECT_TRUE(machine().FileExists(u"C:\\Menu\\x.lnk"));
}

}  // namespace
