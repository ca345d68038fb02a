#include <gtest/gtest.h>

#include "support/SimFixture.h"
#include "util/Xfunctions.h"

namespace {

TEST(CsidlFromName, ExactNamesOnly)
{
    const struct {
        UString name;
        uint16_t csidl;
    } cases[] = {
        {u"CSIDL_PROGRAM_FILES", 38},
        {u"CSIDL_COMMON_PROGRAMS", 23},
        {u"CSIDL_COMMON_DESKTOPDIRECTORY", 25},
        {u"CSIDL_TEMPLATES", 21},
        {u"CSIDL_COMMON_TEMPLATES", 45},
        {u"CSIDL_WINDOWS", 36},
        {u"CSIDL_MYDOCUMENTS", 5},
        {u"CSIDL_PHOTOALBUMS", 69},
        {u"CSIDL_FLAG_CREATE", 0x8000},
        {u"CSIDL_FLAG_DONT_UNEXPAND", 0x2000},
        {u"CSIDL_FLAG_DONT_VERIFY", 0x4000},
        {u"csidl_appdata", 0},
        {u" CSIDL_APPDATA", 0},
        {u"CSIDL_APPDATA ", 0},
        {u"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CsidlFromName(c.name), c.csidl) << ToUtf8(c.name);
}

using ShellTest = SimFixture;

TEST_F(ShellTest, SpecialFoldersOfA32BitProcessOn64BitWindows)
{
    EXPECT_EQ(GetSpecialFolderPath(38), u"C:\\Program Files (x86)");
    machine().SetSpecialFolder(21, u"");
    EXPECT_EQ(GetSpecialFolderPath(21), u"");
}

TEST_F(ShellTest, ShortcutWorkingDirectoryIsTheTargetFolder)
{
    ASSERT_TRUE(machine().MakeFolders(u"C:\\Links"));
    ASSERT_TRUE(CreateShortcutFile(u"C:\\Links\\Tool.lnk", u"C:\\Apps\\Tool\\Tool.exe", u"The tool",
                                   u"C:\\Apps\\Tool\\Tool.ico", u"uninstall"));
    auto link = machine().ReadShortcut(u"C:\\Links\\Tool.lnk");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, u"C:\\Apps\\Tool\\Tool.exe");
    EXPECT_EQ(link->workingDir, u"C:\\Apps\\Tool\\");
    EXPECT_EQ(link->arguments, u"uninstall");
    EXPECT_EQ(link->description, u"The tool");
    EXPECT_EQ(link->iconPath, u"C:\\Apps\\Tool\\Tool.ico");
    EXPECT_EQ(link->iconIndex, 0);

    ASSERT_TRUE(CreateShortcutFile(u"C:\\Links\\Bare.lnk", u"Tool.exe", u"", u"", u""));
    link = machine().ReadShortcut(u"C:\\Links\\Bare.lnk");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->workingDir, u"");
    EXPECT_EQ(link->arguments, u"");
}

TEST_F(ShellTest, AShortcutThatWasNotWrittenIsReportedSo)
{
    EXPECT_FALSE(CreateShortcutFile(u"C:\\Missing\\Tool.lnk", u"C:\\Apps\\Tool.exe", u"", u"", u""));
    EXPECT_FALSE(machine().FileExists(u"C:\\Missing\\Tool.lnk"));
    EXPECT_FALSE(machine().DirectoryExists(u"C:\\Missing"));
}

}  // namespace
