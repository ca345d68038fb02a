// Two spellings of one folder, and folders inside others, as the move of an install
// root must tell them apart.
#include <gtest/gtest.h>

#include "support/SimFixture.h"
#include "util/FolderIdentity.h"

namespace {

using FolderIdentity = SimFixture;

TEST(NormalisedFullPath, ResolvesSeparatorsDotsAndTrailingBackslashes)
{
    const std::pair<UString, UString> cases[] = {
        {u"C:\\A\\B\\", u"C:\\A\\B"},
        {u"C:/A/./B", u"C:\\A\\B"},
        {u"C:\\A\\X\\..\\B", u"C:\\A\\B"},
        {u"C:\\A\\\\B", u"C:\\A\\B"},
        {u"C:\\", u"C:\\"},
        {u"C:\\A\\..", u"C:\\"},
        {u"\\\\server\\share\\A\\..\\B", u"\\\\server\\share\\B"},
        {u"C:\\..\\A", u""},
        {u"A\\B", u""},
        {u"", u""},
    };
    for (const auto& [path, normalised] : cases)
        EXPECT_EQ(normalised, NormalisedFullPath(path)) << ToUtf8(path);
}

TEST_F(FolderIdentity, SpellingsOfOneFolderAreTheSameAndNestingIsSeen)
{
    machine().MakeFolders(u"C:\\Program Files (x86)\\Ostrel\\Ostrel");
    machine().MakeFolders(u"C:\\Program Files (x86)\\Other");
    struct Case {
        UString a, b;
        bool same, aInsideB;
    };
    const Case cases[] = {
        {u"C:\\Program Files (x86)\\Ostrel", u"c:\\PROGRAM FILES (X86)\\ostrel\\", true, false},
        {u"C:\\Program Files (x86)\\Ostrel", u"C:/Program Files (x86)/./Other/../Ostrel", true, false},
        {u"C:\\Program Files (x86)\\Ostrel", u"C:\\Program Files (x86)\\Other", false, false},
        {u"C:\\Program Files (x86)\\ostrel\\Ostrel", u"C:\\Program Files (x86)\\Ostrel\\", false, true},
        // Not there yet: only the spelling can tell.
        {u"C:\\Program Files (x86)\\New\\", u"C:\\Program Files (x86)\\New", true, false},
        {u"C:\\Program Files (x86)\\New\\Deeper", u"C:\\Program Files (x86)\\new", false, true},
        {u"", u"", false, false},
        {u"relative", u"relative", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.a) + " | " + ToUtf8(c.b));
        EXPECT_EQ(c.same, IsSameFolder(c.a, c.b));
        EXPECT_EQ(c.same, IsSameFolder(c.b, c.a));
        EXPECT_EQ(c.aInsideB, IsFolderInside(c.a, c.b));
        EXPECT_FALSE(IsFolderInside(c.b, c.a));
    }
    // The test file of the comparison never stays.
    std::vector<DirEntry> entries;
    ASSERT_TRUE(machine().ListFolder(u"C:\\Program Files (x86)\\Ostrel", entries));
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(u"Ostrel", entries[0].name);
}

TEST_F(FolderIdentity, AFolderThatCannotTakeTheTestFileIsComparedBySpellingOnly)
{
    machine().MakeFolders(u"C:\\Data\\A");
    machine().FailOn(SimOp::WriteFile, u"*", WinError::AccessDenied);
    EXPECT_TRUE(IsSameFolder(u"C:\\Data\\A", u"c:\\data\\a\\"));
    EXPECT_FALSE(IsSameFolder(u"C:\\Data\\A", u"C:\\Data"));
}

}  // namespace
