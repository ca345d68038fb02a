#include <gtest/gtest.h>

#include <algorithm>

#include "support/SimFixture.h"
#include "util/UtilSinks.h"
#include "util/Xfunctions.h"

namespace {

using FileTreeTest = SimFixture;

TEST_F(FileTreeTest, CopyLeavesOutTheSkippedFolderAtEveryDepth)
{
    const struct {
        UString skipped;
        bool deepSkipCopied;
    } cases[] = {{u"Skip", false}, {u"", true}, {u"skip", true}};
    for (const auto& c : cases) {
        PutFile(u"C:\\Src\\top.txt", "top");
        PutFile(u"C:\\Src\\A\\B\\keep.txt", "keep");
        PutFile(u"C:\\Src\\A\\B\\Skip\\deep.txt", "deep");
        ASSERT_TRUE(machine().MakeFolders(u"C:\\Src\\A\\Empty"));
        ASSERT_TRUE(machine().MakeFolders(u"C:\\Dst"));
        RecordingLabel label;
        FakeBar bar;
        CopyFolderTree(u"C:\\Src\\", u"C:\\Dst\\", &label, &bar, c.skipped, false);
        SCOPED_TRACE(ToUtf8(c.skipped));
        EXPECT_EQ(FileText(u"C:\\Dst\\top.txt"), "top");
        EXPECT_EQ(FileText(u"C:\\Dst\\A\\B\\keep.txt"), "keep");
        EXPECT_TRUE(machine().DirectoryExists(u"C:\\Dst\\A\\Empty"));
        EXPECT_EQ(machine().DirectoryExists(u"C:\\Dst\\A\\B\\Skip"), c.deepSkipCopied);
        EXPECT_EQ(machine().FileExists(u"C:\\Dst\\A\\B\\Skip\\deep.txt"), c.deepSkipCopied);
        EXPECT_EQ(bar.position, c.deepSkipCopied ? 3 : 2);
        std::vector<UString> shown = label.texts;
        std::sort(shown.begin(), shown.end());
        std::vector<UString> expected = {u"C:\\Dst\\A\\B\\keep.txt", u"C:\\Dst\\top.txt"};
        if (c.deepSkipCopied)
            expected.insert(expected.begin(), u"C:\\Dst\\A\\B\\Skip\\deep.txt");
        EXPECT_EQ(shown, expected);
        DeleteFolderContents(u"C:\\Dst", nullptr, nullptr);
    }
}

TEST_F(FileTreeTest, CopyOverAReadOnlyFileGivesANormalFile)
{
    PutFile(u"C:\\Src\\app.dll", "new");
    PutFile(u"C:\\Dst\\app.dll", "old");
    PutFile(u"C:\\Src\\readonly.dll", "source");
    ASSERT_TRUE(machine().SetAttributes(u"C:\\Dst\\app.dll", FileAttr::ReadOnly | FileAttr::Hidden));
    ASSERT_TRUE(machine().SetAttributes(u"C:\\Src\\readonly.dll", FileAttr::ReadOnly));

    CopyFolderTree(u"C:\\Src\\", u"C:\\Dst\\", nullptr, nullptr, u"", false);
    EXPECT_EQ(FileText(u"C:\\Dst\\app.dll"), "new");
    EXPECT_EQ(machine().GetAttributes(u"C:\\Dst\\app.dll"), FileAttr::Normal);
    EXPECT_EQ(machine().GetAttributes(u"C:\\Dst\\readonly.dll"), FileAttr::Normal);

    // Refused because the target exists: the target still loses read-only.
    ASSERT_TRUE(machine().WriteWholeFile(u"C:\\Dst\\app.dll", "mine"));
    ASSERT_TRUE(machine().SetAttributes(u"C:\\Dst\\app.dll", FileAttr::ReadOnly));
    CopyFolderTree(u"C:\\Src\\", u"C:\\Dst\\", nullptr, nullptr, u"", true);
    EXPECT_EQ(FileText(u"C:\\Dst\\app.dll"), "mine");
    EXPECT_EQ(machine().GetAttributes(u"C:\\Dst\\app.dll"), FileAttr::Normal);
}

TEST(StepProgressBar, WrapsAfterAHundred)
{
    const std::pair<int, int> cases[] = {{0, 1}, {50, 51}, {99, 100}, {100, 1}};
    for (auto [before, after] : cases) {
        FakeBar bar;
        bar.position = before;
        StepProgressBar(bar);
        EXPECT_EQ(bar.position, after) << before;
    }
}

TEST_F(FileTreeTest, DeleteContentsShowsOnlyTheTopFilesAndKeepsTheFolder)
{
    PutFile(u"C:\\F\\a.txt");
    PutFile(u"C:\\F\\sub\\b.txt");
    PutFile(u"C:\\F\\sub\\deeper\\c.txt");
    RecordingLabel label;
    FakeBar bar;
    DeleteFolderContents(u"C:\\F", &label, &bar);
    EXPECT_EQ(label.texts, std::vector<UString>{u"C:\\F\\a.txt"});
    EXPECT_EQ(bar.position, 1);
    EXPECT_TRUE(machine().DirectoryExists(u"C:\\F"));
    EXPECT_FALSE(machine().DirectoryExists(u"C:\\F\\sub"));
    EXPECT_FALSE(machine().FileExists(u"C:\\F\\a.txt"));
}

TEST_F(FileTreeTest, CountsAndEmptiness)
{
    PutFile(u"C:\\Menu\\x.lnk");
    PutFile(u"C:\\Menu\\y.lnk");
    PutFile(u"C:\\Menu\\A\\z.lnk");
    ASSERT_TRUE(machine().MakeFolders(u"C:\\Menu\\B"));
    ASSERT_TRUE(machine().MakeFolders(u"C:\\Empty"));
    EXPECT_EQ(CountFolderEntries(u"C:\\Menu"), 4);
    EXPECT_EQ(CountFolderEntries(u"C:\\Menu\\"), 4);
    EXPECT_EQ(CountFolderEntriesExcept(u"C:\\Menu", u"A"), 3);
    EXPECT_EQ(CountFolderEntriesExcept(u"C:\\Menu\\", u"a"), 4);
    EXPECT_EQ(CountFolderEntriesExcept(u"C:\\Menu", u"x.lnk"), 4);  // files always count
    EXPECT_EQ(CountFolderEntries(u"C:\\Missing"), 0);
    EXPECT_FALSE(IsFolderEmpty(u"C:\\Menu\\"));
    EXPECT_TRUE(IsFolderEmpty(u"C:\\Empty\\"));
    EXPECT_TRUE(IsFolderEmpty(u"C:\\Missing\\"));
}

TEST_F(FileTreeTest, CreateFolderPathMakesTheMissingFoldersBelowTheTop)
{
    ASSERT_TRUE(machine().MakeFolders(u"C:\\Data"));
    CreateFolderPath(u"C:\\Data\\One\\Two\\file.txt", u"C:\\Data\\");
    EXPECT_TRUE(machine().DirectoryExists(u"C:\\Data\\One\\Two"));
    EXPECT_FALSE(machine().DirectoryExists(u"C:\\Data\\One\\Two\\file.txt"));

    // A dot in the last part makes it a file name.
    CreateFolderPath(u"C:\\Data\\App.old", u"C:\\Data");
    EXPECT_FALSE(machine().DirectoryExists(u"C:\\Data\\App.old"));

    // The top folder itself is never made.
    CreateFolderPath(u"C:\\Top\\Below", u"C:\\Top");
    EXPECT_FALSE(machine().DirectoryExists(u"C:\\Top"));
}

TEST_F(FileTreeTest, PrepareFolderPathEmptiesTheBranchBelowTheTop)
{
    PutFile(u"C:\\T\\Prod\\old.exe");
    PutFile(u"C:\\T\\Prod\\Sub\\old.dll");
    PutFile(u"C:\\T\\beside.txt");
    PrepareFolderPath(u"C:\\T\\Prod", u"C:\\T", true);
    EXPECT_TRUE(machine().DirectoryExists(u"C:\\T\\Prod"));
    EXPECT_TRUE(IsFolderEmpty(u"C:\\T\\Prod\\"));
    EXPECT_TRUE(machine().FileExists(u"C:\\T\\beside.txt"));

    // One level deeper: the sibling of the path below the top goes too, and a
    // missing top is made.
    PutFile(u"C:\\T\\Prod\\sibling.txt");
    PrepareFolderPath(u"C:\\T\\Prod\\Setup\\Setup.exe", u"C:\\T\\", true);
    EXPECT_TRUE(machine().DirectoryExists(u"C:\\T\\Prod\\Setup"));
    EXPECT_FALSE(machine().FileExists(u"C:\\T\\Prod\\sibling.txt"));
    PrepareFolderPath(u"C:\\New\\Prod", u"C:\\New", false);
    EXPECT_TRUE(machine().DirectoryExists(u"C:\\New\\Prod"));

    // Without clearing, existing content stays.
    PutFile(u"C:\\T\\Prod\\Setup\\keep.txt");
    PrepareFolderPath(u"C:\\T\\Prod\\Setup\\More", u"C:\\T", false);
    EXPECT_TRUE(machine().DirectoryExists(u"C:\\T\\Prod\\Setup\\More"));
    EXPECT_TRUE(machine().FileExists(u"C:\\T\\Prod\\Setup\\keep.txt"));
}

TEST_F(FileTreeTest, FindLanguageFileFallsBackToTheFallbackFolder)
{
    const UString base = u"C:\\Pkg\\EULA\\";
    EXPECT_EQ(FindLanguageFile(base, u"English", u"German", u"Service.rtf"), u"");
    PutFile(base + u"English\\Service.rtf");
    EXPECT_EQ(FindLanguageFile(base, u"English", u"German", u"Service.rtf"), base + u"English\\Service.rtf");
    PutFile(base + u"German\\Service.rtf");
    EXPECT_EQ(FindLanguageFile(base, u"English", u"German", u"Service.rtf"), base + u"German\\Service.rtf");
}

}  // namespace
