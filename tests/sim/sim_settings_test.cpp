// What a test sets about the simulated machine.
#include <gtest/gtest.h>

#include "support/SimFixture.h"

namespace {

using Settings = SimFixture;

TEST_F(Settings, FactsOfTheMachineReachEveryProcess)
{
    machine().SetLanguages(0x0407, 0x040C);
    machine().SetWindowsVersion(6, 1);
    machine().SetAdministrator(false);
    machine().SetEveryoneName(u"Jeder");
    machine().SetSpecialFolder(0x26, u"D:\\Apps");
    machine().SetSpecialFolder(0x2d, u"");
    SimMachine other(machine().Folder());
    EXPECT_EQ(other.SystemDefaultLangId(), 0x0407);
    EXPECT_EQ(other.UserDefaultLangId(), 0x040C);
    EXPECT_EQ(other.GetWindowsVersion().major, 6u);
    EXPECT_EQ(other.GetWindowsVersion().minor, 1u);
    EXPECT_FALSE(other.IsUserAdmin());
    EXPECT_EQ(other.EveryoneGroupName(), u"Jeder");
    EXPECT_EQ(other.GetSpecialFolderPath(0x26, false), u"");  // a drive the machine has not
    EXPECT_EQ(other.GetSpecialFolderPath(0x2d, false), u"");
}

TEST_F(Settings, AFreshMachineIsAnEnglishWindows10WithItsFolders)
{
    EXPECT_EQ(machine().SystemDefaultLangId(), 0x0409);
    EXPECT_EQ(machine().GetWindowsVersion().major, 10u);
    EXPECT_TRUE(machine().IsUserAdmin());
    EXPECT_EQ(machine().EveryoneGroupName(), u"Everyone");
    EXPECT_EQ(machine().GetSpecialFolderPath(0x15, false),
              u"C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Templates");
    EXPECT_EQ(machine().GetSpecialFolderPath(0x00, false), u"C:\\Users\\User\\Desktop");
}

TEST_F(Settings, AMissingSpecialFolderIsMadeOnlyWhenAsked)
{
    machine().SetSpecialFolder(0x2d, u"C:\\Templates\\Common");
    EXPECT_EQ(machine().GetSpecialFolderPath(0x2d, false), u"");
    EXPECT_FALSE(machine().DirectoryExists(u"C:\\Templates"));
    EXPECT_EQ(machine().GetSpecialFolderPath(0x2d | 0x8000, false), u"C:\\Templates\\Common");  // CSIDL_FLAG_CREATE
    EXPECT_EQ(machine().GetSpecialFolderPath(0x2d, false), u"C:\\Templates\\Common");
}

TEST_F(Settings, TheCommandLineSplitsAsParamStrDoes)
{
    const struct {
        const char16_t* line;
        std::vector<UString> args;
    } cases[] = {
        {u"\"C:\\Setup\\Setup.exe\"", {}},
        {u"\"C:\\Setup\\Setup.exe\" Uninstall", {u"Uninstall"}},
        {u"Setup.exe  \"a b\"\tc\"d e\"f \"\" x", {u"a b", u"cd ef", u"x"}},
        {u"Setup.exe C:\\path\\ \"quoted\\\"", {u"C:\\path\\", u"quoted\\"}},
    };
    for (const auto& c : cases) {
        machine().SetProcess(u"C:\\Setup\\Setup.exe", c.line);
        EXPECT_EQ(machine().CommandLineArgs(), c.args);
    }
    EXPECT_EQ(machine().ExecutablePath(), u"C:\\Setup\\Setup.exe");
}

TEST_F(Settings, ProfileStringsReadUtf16AndAnsiFiles)
{
    PutFile(u"C:\\Setup\\Utf16.ini", std::string("\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0\xE9\0\r\0\n\0", 22));
    PutFile(u"C:\\Setup\\Ansi.ini", "[S]\r\nK=caf\xE9\r\n");
    EXPECT_EQ(machine().ReadProfileString(u"C:\\Setup\\Utf16.ini", u"s", u"k", u""), u"\u00e9");
    EXPECT_EQ(machine().ReadProfileString(u"C:\\Setup\\Ansi.ini", u"S", u"K", u""), u"caf\u00e9");
}

}  // namespace
