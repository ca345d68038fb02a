// Drive C: of the simulated machine: how Windows paths map to the host folder.
#include <gtest/gtest.h>

#include <sys/stat.h>

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

TEST_F(Files, OnlyFullPathsOfDriveCExist)
{
    const struct {
        const char16_t* path;
        uint32_t error;
    } cases[] = {
        {u"D:\\x.txt", WinError::PathNotFound},
        {u"\\\\server\\share\\x.txt", WinError::PathNotFound},
        {u"x.txt", WinError::BadPathName},
        {u"\\x.txt", WinError::BadPathName},
        {u"C:x.txt", WinError::BadPathName},
        {u"", WinError::BadPathName},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(machine().WriteWholeFile(c.path, "x"));
        EXPECT_EQ(machine().LastError(), c.error);
        EXPECT_EQ(machine().HostPath(c.path), "");
    }
}

}  // namespace
