// Folder permissions by Windows version, and the product folders that are never
// emptied or re-permissioned.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "app/App.h"
#include "engine_install/InstallFixture.h"

using ::testing::Contains;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

struct VersionCase {
    uint32_t major;
    const char16_t* everyone;
    std::vector<UString> commands;  // without the creation flags
    std::vector<int> bars;          // between the copy and the uninstall entry
};

const UString P = u"\"C:\\Program Files (x86)\\Ostrel\"";
const UString K = u"\"C:\\ProgramData\\Microsoft\\Windows\\Templates\\Ostrel\"";

std::vector<VersionCase> VersionCases()
{
    auto icacls = [](const UString& everyone) {
        return std::vector<UString>{
            u"icacls.exe " + P + u" /reset /T",
            u"icacls.exe " + P + u" /inheritance:r /T",
            u"icacls.exe " + P + u" /grant SYSTEM:(OI)(CI)F /T",
            u"icacls.exe " + P + u" /grant " + everyone + u":(OI)(CI)F /T",
            u"icacls.exe " + K + u" /reset /T",
            u"icacls.exe " + K + u" /inheritance:r /T",
            u"icacls.exe " + K + u" /grant " + everyone + u":(OI)(CI)F /T",
            u"icacls.exe " + K + u" /grant SYSTEM:(OI)(CI)F /T",
        };
    };
    return {
        {10, u"Everyone", icacls(u"Everyone"), {0, 20, 40, 60, 80}},
        // Unquoted even with blanks, as the tool is given it.
        {6, u"Tout le monde", icacls(u"Tout le monde"), {0, 20, 40, 60, 80}},
        {5, u"Jeder", {u"cmd.exe /c echo y|cacls " + P + u" /G \"Jeder\":F /T"}, {0, 80}},
        {4, u"Everyone", {}, {}},
        {11, u"Everyone", {}, {}},
        {0, u"Everyone", {}, {}},
    };
}

void PrintTo(const VersionCase& c, std::ostream* os) { *os << "Windows " << c.major; }

class PermissionsByVersion : public InstallFixture, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(PermissionsByVersion, CommandLinesAndBar)
{
    const VersionCase& c = GetParam();
    machine().SetWindowsVersion(c.major, 0);
    machine().SetEveryoneName(c.everyone);
    WritePackage();
    const InstallRun run = RunInstall();
    ASSERT_TRUE(run.threadFinished);

    std::vector<UString> expected;
    for (const UString& line : c.commands)
        expected.push_back(u"0x08000000 " + line);
    EXPECT_THAT(Commands(), ElementsAreArray(expected));

    // The bar from the last payload file to the uninstall entry's own 0.
    const auto first = std::find(run.events.begin(), run.events.end(), u"bar:6");
    const auto last = std::find(run.events.begin(), run.events.end(), u"text:Writing the uninstall entry");
    ASSERT_TRUE(first != run.events.end() && last != run.events.end() && first < last);
    std::vector<int> bars;
    for (auto it = first + 1; it + 1 < last; ++it)
        bars.push_back(std::stoi(ToUtf8(it->substr(4))));
    EXPECT_THAT(bars, ElementsAreArray(c.bars));
}

INSTANTIATE_TEST_SUITE_P(Versions, PermissionsByVersion, ::testing::ValuesIn(VersionCases()),
                         [](const auto& info) { return "Windows" + std::to_string(info.param.major); });

TEST(PermissionCommandLine, NamesAreTakenAsTheyAre)
{
    EXPECT_EQ(u"icacls.exe \"C:\\A %E\" /grant %R:(OI)(CI)F /T",
              PermissionCommandLine(PermissionCommand::GrantEveryone, u"C:\\A %E", u"%R"));
    EXPECT_EQ(PermissionTool::Icacls, PermissionToolFor(10));
    EXPECT_EQ(PermissionTool::Cacls, PermissionToolFor(5));
    EXPECT_EQ(PermissionTool::None, PermissionToolFor(7));
}

using PermissionsTest = InstallFixture;

TEST_F(PermissionsTest, AnUnknownEveryoneGroupGetsNoGrantOfAnEmptyName)
{
    WritePackage();
    machine().FailOn(SimOp::EveryoneName, u"*", WinError::AccessDenied);
    ASSERT_TRUE(RunInstall().threadFinished);
    for (const UString& line : Commands())
        EXPECT_EQ(UString::npos, line.find(u"/grant :")) << ToUtf8(line);
    EXPECT_EQ(6u, Commands().size());
}

struct UnsafeCase {
    const char* programFiles;
    const char16_t* bystander;  // a file an emptied InstallRootDir would take along
};

void PrintTo(const UnsafeCase& c, std::ostream* os) { *os << "%PROGRAM_FILES=\"" << c.programFiles << "\""; }

class UnsafeProductFolder : public InstallFixture, public ::testing::WithParamInterface<UnsafeCase> {};

TEST_P(UnsafeProductFolder, NothingIsEmptiedOrRepermissioned)
{
    const UnsafeCase& c = GetParam();
    Set("%PROGRAM_FILES", c.programFiles);
    WritePackage();
    PutFile(c.bystander, "someone else's");
    ASSERT_TRUE(RunInstall().threadFinished);

    EXPECT_EQ("someone else's", FileText(c.bystander));
    EXPECT_THAT(Commands(), IsEmpty());
    const UString reason = u"%PROGRAM_FILES \"" + FromUtf8(c.programFiles) + u"\" is not a plain folder name";
    const std::vector<UString> lines = DebugLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const UString& l) {
        return StartsWith(l, u"Permissions of ") && EndsWith(l, u" not set: " + reason);
    }));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const UString& l) {
        return StartsWith(l, u"Folder of the kept installer ") && EndsWith(l, u" not emptied: " + reason);
    }));
}

INSTANTIATE_TEST_SUITE_P(
    Names, UnsafeProductFolder,
    ::testing::Values(UnsafeCase{"", u"C:\\Program Files (x86)\\Other\\keep.txt"},
                      UnsafeCase{"..", u"C:\\Program Files (x86)\\Other\\keep.txt"},
                      UnsafeCase{"Other\\Ostrel", u"C:\\Program Files (x86)\\Other\\Ostrel\\keep.txt"},
                      UnsafeCase{"Other/Ostrel", u"C:\\Program Files (x86)\\Other\\Ostrel\\keep.txt"},
                      UnsafeCase{"Ostrel..", u"C:\\Program Files (x86)\\Ostrel..\\keep.txt"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(PermissionsTest, AProductFolderNamedLikeASystemFolderIsLeftAlone)
{
    Set("%PROGRAM_FILES", "Common Files");
    WritePackage();
    const UString shared = u"C:\\Program Files (x86)\\Common Files\\Shared.dll";
    PutFile(shared, "shared");
    ASSERT_TRUE(RunInstall().threadFinished);
    EXPECT_EQ("shared", FileText(shared));
    for (const UString& line : Commands())
        EXPECT_EQ(UString::npos, line.find(u"Program Files (x86)\\Common Files")) << ToUtf8(line);
    EXPECT_THAT(DebugLines(),
                Contains(u"Product folder not emptied: C:\\Program Files (x86)\\Common Files is a system folder or "
                         u"holds one"));
}

TEST_F(PermissionsTest, AnInstallRootOtherThanTheNamedFolderIsLeftAlone)
{
    WritePackage();
    // As a preparation form with another Program Files folder would leave it.
    App.ProgramFilesDir = u"C:\\Program Files";
    const UString old = u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\old.dll";
    PutFile(old, "old");
    ASSERT_TRUE(RunInstall().threadFinished);
    EXPECT_EQ("old", FileText(old));
    for (const UString& line : Commands())
        EXPECT_EQ(UString::npos, line.find(u"Program Files (x86)\\Ostrel\"")) << ToUtf8(line);
}

}  // namespace
