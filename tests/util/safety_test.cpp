#include <gtest/gtest.h>

#include "app/Utils_fileexecution.h"
#include "support/SimFixture.h"
#include "util/PathGuard.h"
#include "util/Xfunctions.h"

namespace {

// Files in the drive's root and in the current folder, which an empty or relative
// folder argument would otherwise name.
class SafetyTest : public SimFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(machine().WriteWholeFile(u"C:\\root.txt", "root"));
        PutFile(u"C:\\Work\\current.txt", "current");
        PutFile(u"C:\\Work\\Sub\\inner.txt", "inner");
        PutFile(u"C:\\Src\\payload.txt", "payload");
        machine().SetCurrentDirectory(u"C:\\Work");
    }
    void ExpectUntouched()
    {
        EXPECT_EQ(FileText(u"C:\\root.txt"), "root");
        EXPECT_EQ(FileText(u"C:\\Work\\current.txt"), "current");
        EXPECT_EQ(FileText(u"C:\\Work\\Sub\\inner.txt"), "inner");
        EXPECT_FALSE(machine().FileExists(u"C:\\payload.txt"));
        EXPECT_FALSE(machine().FileExists(u"C:\\Work\\payload.txt"));
        EXPECT_FALSE(machine().FileExists(u"C:\\Work\\Sub\\payload.txt"));
    }
};

const UString DangerousFolders[] = {
    u"",
    u"\\",
    u".",
    u"..",
    u"Sub",
    u"Sub\\",
    u"C:",
    u"C:\\",
    u"c:/",
    u"C:Sub",
    u"\\Work",
    u"C:\\Work\\..",
    u"C:\\Work\\Sub\\..\\..\\",
    u"C:\\Work\\.\\..",
    u"C:\\Work\\ ..",
    u"C:\\...",
};

TEST_F(SafetyTest, NoRootOrCurrentFolderIsEmptiedFilledOrListed)
{
    for (const UString& folder : DangerousFolders) {
        SCOPED_TRACE(ToUtf8(folder));
        DeleteFolderContents(folder, nullptr, nullptr);
        CopyFolderTree(u"C:\\Src\\", folder, nullptr, nullptr, u"", false);
        PrepareFolderPath(folder + u"\\Sub", folder, true);
        ExpectUntouched();
    }
    for (const char16_t* folder : {u"", u"\\", u".", u"Sub", u"C:Sub"}) {
        SCOPED_TRACE(ToUtf8(folder));
        TStringList list;
        EXPECT_EQ(ListFolderEntries(folder, u"File", u".txt", list, u""), 0);
        EXPECT_EQ(CountFolderEntries(folder), 0);
        EXPECT_TRUE(IsFolderEmpty(folder));
    }
}

TEST_F(SafetyTest, CopyNeverFeedsOnItself)
{
    CopyFolderTree(u"C:\\Src\\", u"C:\\Src\\Inner\\", nullptr, nullptr, u"", false);
    CopyFolderTree(u"C:\\Src\\", u"C:\\SRC\\", nullptr, nullptr, u"", false);
    EXPECT_FALSE(machine().DirectoryExists(u"C:\\Src\\Inner"));
    CopyFolderTree(u"C:\\Src", u"C:\\Work\\Sub", nullptr, nullptr, u"", false);
    EXPECT_EQ(FileText(u"C:\\Work\\Sub\\payload.txt"), "payload");
}

TEST_F(SafetyTest, PrepareFolderPathEmptiesNothingOutsideItsTop)
{
    PutFile(u"C:\\T\\keep.txt", "keep");
    PutFile(u"C:\\T\\Prod\\old.txt", "old");
    // Not below the top: nothing happens at all.
    PrepareFolderPath(u"C:\\T\\Prod", u"C:\\Other", true);
    PrepareFolderPath(u"C:\\T\\Prod", u"", true);
    PrepareFolderPath(u"C:\\T\\Prod", u"C:\\T\\Prod", true);
    EXPECT_EQ(FileText(u"C:\\T\\Prod\\old.txt"), "old");
    // A top spelled in another case is still the top: the walk ends there.
    PrepareFolderPath(u"C:\\T\\Prod", u"c:\\t", true);
    EXPECT_FALSE(machine().FileExists(u"C:\\T\\Prod\\old.txt"));
    EXPECT_EQ(FileText(u"C:\\T\\keep.txt"), "keep");
    ExpectUntouched();
}

TEST_F(SafetyTest, CreateFolderPathStopsAtTheRoot)
{
    CreateFolderPath(u"New\\Dir", u"");
    CreateFolderPath(u"", u"");
    EXPECT_FALSE(machine().DirectoryExists(u"C:\\Work\\New"));
    // A top that is no ancestor: the walk ends at the drive's root.
    CreateFolderPath(u"C:\\A\\B", u"C:\\Elsewhere");
    EXPECT_TRUE(machine().DirectoryExists(u"C:\\A\\B"));
    EXPECT_FALSE(machine().DirectoryExists(u"C:\\Elsewhere"));
}

TEST(PathGuard, TellsFullRootAndBelowPaths)
{
    EXPECT_TRUE(IsFullPath(u"C:\\"));
    EXPECT_TRUE(IsFullPath(u"\\\\server\\share\\x"));
    EXPECT_FALSE(IsFullPath(u"\\\\server"));
    EXPECT_FALSE(IsFullPath(u"C:x"));
    EXPECT_TRUE(IsRootPath(u"\\\\server\\share\\"));
    EXPECT_FALSE(IsSafeFolderToChange(u"\\\\server\\share"));
    EXPECT_TRUE(IsSafeFolderToChange(u"\\\\server\\share\\Prod"));
    EXPECT_TRUE(IsSafeFolderToChange(u"C:\\Program Files (x86)\\Pub.Tool"));
    EXPECT_TRUE(IsBelowFolder(u"C:\\T\\Prod", u"c:\\t\\"));
    EXPECT_FALSE(IsBelowFolder(u"C:\\T2\\Prod", u"C:\\T"));
    EXPECT_FALSE(IsBelowFolder(u"C:\\T\\", u"C:\\T"));
}

}  // namespace
