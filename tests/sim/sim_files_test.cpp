// Drive C: of the simulated machine: how Windows paths map to the host folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/SimFixture.h"

namespace {

using Files = SimFixture;

TEST_F(Files, WindowsPathsMapBelowDriveC)
{
    PutFile(u"C:\\Apps\\Tool\\a.txt", "x");
    EXPECT_EQ(machine().HostPath(u"C:\\Apps\\Tool\\a.txt"), machine().Folder() + "/drive_c/Apps/Tool/a.txt");
    EXPECT_EQ(machine().HostPath(u"c:/apps/TOOL/A.TXT"), machine().Folder() + "/drive_c/Apps/Tool/a.txt");
}

TEST_F(Files, DotDotNeverLeavesTheMachine)
{
    const struct {
        const char16_t* path;
        const char* host;
    } cases[] = {
        {u"C:\\..\\..\\etc\\passwd", "/drive_c/etc/passwd"},
        {u"C:\\Apps\\..\\..\\..\\x", "/drive_c/x"},
        {u"C:\\Apps\\.\\Tool\\..\\b", "/drive_c/Apps/b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(machine().HostPath(c.path), machine().Folder() + c.host);
}

TEST_F(Files, NamesRefuseTheCharactersWindowsRefuses)
{
    ASSERT_TRUE(machine().MakeFolders(u"C:\\Dir"));
    for (const char16_t* name : {u"a<b", u"a>b", u"a:b", u"a\"b", u"a|b", u"a?b", u"a*b", u"a\x01b", u"a\x1F"}) {
        const UString path = UString(u"C:\\Dir\\") + name;
        EXPECT_FALSE(machine().WriteWholeFile(path, "x")) << ToUtf8(path);
        EXPECT_EQ(machine().LastError(), 123u) << ToUtf8(path);  // ERROR_INVALID_NAME
    }
    // Everything else is a name, also beyond ASCII, and the fast ways take it as well.
    for (const char16_t* name : {u"a#b+c{d}~", u"Caf\u00e9 \u4e2d.txt", u"x;y=z[1]"}) {
        const UString path = UString(u"C:\\Dir\\") + name;
        ASSERT_TRUE(machine().WriteWholeFile(path, "x")) << ToUtf8(path);
        EXPECT_TRUE(machine().FileExists(path)) << ToUtf8(path);
        EXPECT_TRUE(machine().DeleteFile(path)) << ToUtf8(path);
        EXPECT_FALSE(machine().FileExists(path)) << ToUtf8(path);
    }
}

TEST_F(Files, OnlyFullPathsOfDriveCExist)
{
    const struct {
        const char16_t* path;
        uint32_t error;
    } cases[] = {
        {u"D:\\x.txt", WinError::PathNotFound}, {u"\\\\server\\share\\x.txt", WinError::PathNotFound},
        {u"x.txt", WinError::BadPathName},      {u"\\x.txt", WinError::BadPathName},
        {u"C:x.txt", WinError::BadPathName},    {u"", WinError::BadPathName},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(machine().WriteWholeFile(c.path, "x"));
        EXPECT_EQ(machine().LastError(), c.error);
        EXPECT_EQ(machine().HostPath(c.path), "");
    }
}

// A folder of 100,000 entries: the exact name is found without reading the folder;
// a name in other case reads it once, and the index then serves later look-ups.
TEST_F(Files, AnExactNameNeedsNoFolderScan)
{
    ASSERT_TRUE(machine().MakeFolders(u"C:\\Big"));
    const std::string host = machine().HostPath(u"C:\\Big");
    for (int i = 0; i < 100000; ++i)
        ::close(::open((host + "/File" + std::to_string(i) + ".txt").c_str(), O_CREAT | O_WRONLY, 0644));
    const uint64_t before = machine().DirectoryScans();
    EXPECT_TRUE(machine().FileExists(u"C:\\Big\\File77777.txt"));
    EXPECT_TRUE(machine().FileExists(u"C:\\Big\\File99999.txt"));
    EXPECT_EQ(machine().DirectoryScans(), before);

    EXPECT_TRUE(machine().FileExists(u"C:\\Big\\FILE5.TXT"));
    EXPECT_TRUE(machine().FileExists(u"C:\\Big\\file6.txt"));
    EXPECT_EQ(machine().DirectoryScans(), before + 1);
    // A file made by this machine joins the index without another scan.
    ASSERT_TRUE(machine().WriteWholeFile(u"C:\\Big\\Added.txt", "x"));
    EXPECT_TRUE(machine().FileExists(u"C:\\Big\\ADDED.TXT"));
    EXPECT_EQ(machine().DirectoryScans(), before + 1);
}

TEST_F(Files, ADeletedFileLeavesTheCaseIndex)
{
    PutFile(u"C:\\Dir\\One.txt");
    PutFile(u"C:\\Dir\\Two.txt");
    ASSERT_TRUE(machine().FileExists(u"C:\\Dir\\ONE.TXT"));  // the folder is indexed now
    ASSERT_TRUE(machine().DeleteFile(u"C:\\Dir\\One.txt"));
    EXPECT_FALSE(machine().FileExists(u"C:\\Dir\\ONE.TXT"));
    EXPECT_EQ(machine().LastError(), WinError::FileNotFound);
    // Through a file, not a folder: the path is missing, not the file.
    EXPECT_FALSE(machine().DeleteFile(u"C:\\Dir\\Two.txt\\x"));
    EXPECT_EQ(machine().LastError(), WinError::PathNotFound);
    ASSERT_TRUE(machine().WriteWholeFile(u"C:\\Dir\\ONE.TXT", "x"));
    EXPECT_EQ(machine().HostPath(u"C:\\Dir\\one.txt"), machine().HostPath(u"C:\\Dir") + "/ONE.TXT");
}

TEST_F(Files, ANameChangedBehindTheMachineIsFoundAgain)
{
    PutFile(u"C:\\Dir\\One.txt");
    EXPECT_TRUE(machine().FileExists(u"C:\\Dir\\ONE.TXT"));
    const std::string host = machine().HostPath(u"C:\\Dir");
    std::filesystem::rename(host + "/One.txt", host + "/Two.txt");
    EXPECT_FALSE(machine().FileExists(u"C:\\Dir\\ONE.TXT"));
    EXPECT_TRUE(machine().FileExists(u"C:\\Dir\\two.TXT"));
}

TEST_F(Files, AttributesAreSharedByEveryProcessOfTheMachine)
{
    PutFile(u"C:\\Dir\\f.txt");
    ASSERT_TRUE(machine().SetAttributes(u"C:\\Dir\\F.TXT", FileAttr::ReadOnly | FileAttr::Hidden));
    SimMachine other(machine().Folder());
    EXPECT_EQ(other.GetAttributes(u"C:\\Dir\\f.txt"), FileAttr::ReadOnly | FileAttr::Hidden);
    std::vector<DirEntry> entries;
    ASSERT_TRUE(other.ListFolder(u"C:\\Dir", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].attributes, FileAttr::ReadOnly | FileAttr::Hidden);
    EXPECT_FALSE(other.DeleteFile(u"C:\\Dir\\f.txt"));
    ASSERT_TRUE(other.SetAttributes(u"C:\\Dir\\f.txt", FileAttr::Normal));
    EXPECT_TRUE(machine().DeleteFile(u"C:\\Dir\\f.txt"));
    // A new file of the same name starts with the defaults.
    PutFile(u"C:\\Dir\\f.txt");
    EXPECT_EQ(machine().GetAttributes(u"C:\\Dir\\f.txt"), FileAttr::Archive);
}

TEST_F(Files, AStandardUserCannotChangeProgramFiles)
{
    machine().SetAdministrator(false);
    EXPECT_FALSE(machine().CreateDirectory(u"C:\\Program Files (x86)\\Tool"));
    EXPECT_EQ(machine().LastError(), WinError::AccessDenied);
    EXPECT_FALSE(machine().WriteWholeFile(u"C:\\Windows\\x.ini", "x"));
    EXPECT_FALSE(machine().RegOpenKey(RegRoot::LocalMachine, u"Software\\Pub", KEY_WRITE_MASK, true));
    EXPECT_EQ(machine().LastError(), WinError::AccessDenied);
    EXPECT_TRUE(machine().CreateDirectory(u"C:\\Users\\User\\Documents\\Mine"));
    EXPECT_TRUE(machine().RegOpenKey(RegRoot::CurrentUser, u"Software\\Pub", KEY_WRITE_MASK, true));
}

}  // namespace
