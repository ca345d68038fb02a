#include <gtest/gtest.h>

#include <algorithm>

#include "app/Utils_fileexecution.h"
#include "support/SimFixture.h"

namespace {

class ListFolderEntriesTest : public SimFixture {
protected:
    void SetUp() override
    {
        for (const char16_t* file : {u"Book.xlsx", u"OLD.XLSX", u"a.b.xlsx", u"Book.xlsx.bak", u"NoDot", u"read.me"})
            PutFile(UString(u"C:\\Texts\\") + file);
        for (const char16_t* folder : {u"Folder.xlsx", u"Sub"})
            ASSERT_TRUE(machine().MakeFolders(UString(u"C:\\Texts\\") + folder));
    }
};

TEST_F(ListFolderEntriesTest, ByKindExtensionAndExcludedName)
{
    using Names = std::vector<UString>;
    const struct {
        UString kind, extension, excluded;
        Names expected;
    } cases[] = {
        {u"File", u".xlsx", u"", {u"Book.xlsx", u"Folder.xlsx", u"OLD.XLSX", u"a.b.xlsx"}},
        {u"File", u".XLSX", u"Book.xlsx", {u"Folder.xlsx", u"OLD.XLSX", u"a.b.xlsx"}},
        {u"File", u".xlsx", u"book.xlsx", {u"Book.xlsx", u"Folder.xlsx", u"OLD.XLSX", u"a.b.xlsx"}},
        {u"File", u"", u"", {u"NoDot", u"Sub"}},
        {u"Folder", u".xlsx", u"", {u"Folder.xlsx", u"Sub"}},
        {u"Folder", u"", u"Sub", {u"Folder.xlsx"}},
        {u"file", u".xlsx", u"", {}},
        {u"FOLDER", u"", u"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.kind + u" " + c.extension + u" " + c.excluded));
        TStringList list;
        list.Add(u"kept");
        EXPECT_EQ(ListFolderEntries(u"C:\\Texts", c.kind, c.extension, list, c.excluded),
                  static_cast<int>(c.expected.size()));
        ASSERT_GE(list.Count(), 1);
        EXPECT_EQ(list[0], u"kept");
        Names found(list.Items().begin() + 1, list.Items().end());
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.expected);
    }
}

TEST_F(ListFolderEntriesTest, AMissingFolderListsNothing)
{
    TStringList list;
    list.Add(u"kept");
    EXPECT_EQ(ListFolderEntries(u"C:\\Missing\\", u"File", u".xlsx", list, u""), 0);
    EXPECT_EQ(list.Items(), std::vector<UString>{u"kept"});
}

using RunAndWaitTest = SimFixture;

TEST_F(RunAndWaitTest, StartsOnlyWhatExists)
{
    EXPECT_FALSE(RunAndWait(u"C:\\Nowhere\\tool.exe /x", CREATE_NO_WINDOW_FLAG));
    EXPECT_FALSE(RunAndWait(u"", CREATE_NO_WINDOW_FLAG));
    EXPECT_TRUE(
        RunAndWait(u"icacls.exe \"C:\\Program Files (x86)\\Tool\" /grant Everyone:(OI)(CI)F", CREATE_NO_WINDOW_FLAG));
    EXPECT_EQ(
        machine().JournalOf(SimJournal::Run),
        std::vector<UString>{u"0x08000000 icacls.exe \"C:\\Program Files (x86)\\Tool\" /grant Everyone:(OI)(CI)F"});
}

}  // namespace
