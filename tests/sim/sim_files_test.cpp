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
        {u"\\..\\y", "/drive_c/y"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(machine().HostPath(c.path), machine().Folder() + c.host);
}

TEST_F(Files, OtherDrivesAndNetworkPathsDoNotExist)
{
    for (const char16_t* path : {u"D:\\x.txt", u"\\\\server\\share\\x.txt"}) {
        EXPECT_FALSE(machine().WriteWholeFile(path, "x"));
        EXPECT_EQ(machine().LastError(), WinError::PathNotFound);
        EXPECT_EQ(machine().HostPath(path), "");
    }
}

}  // namespace
