#include <gtest/gtest.h>

#include "support/SimFixture.h"
#include "toolkit/Registry.h"
#include "util/Xfunctions.h"

namespace {

const UString UninstallKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const UString RunKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class RegistryTest : public SimFixture {
protected:
    void MakeKey(RegRoot root, const UString& path, const UString& value = u"x")
    {
        ASSERT_TRUE(machine().RegOpenKey(root, path, KEY_WRITE_MASK, true)) << ToUtf8(path);
        ASSERT_TRUE(machine().RegWriteString(root, path, u"v", value));
    }
    bool Exists(RegRoot root, const UString& path) { return machine().RegKeyExists(root, path); }
};

TEST_F(RegistryTest, ReadsNeverCreateKeys)
{
    TRegistry reg;
    reg.SetRootKey(RegRoot::LocalMachine);
    EXPECT_FALSE(reg.OpenKey(u"Software\\Pub\\Tool", false));
    EXPECT_FALSE(reg.HasOpenKey());
    EXPECT_FALSE(reg.KeyExists(u"Software\\Pub"));
    EXPECT_EQ(ReadMachineString(u"UninstallString", false, u"Software\\Pub\\Tool\\"), u"");
    EXPECT_FALSE(Exists(RegRoot::LocalMachine, u"Software\\Pub"));
}

TEST_F(RegistryTest, OpenKeyCreatesAndPathsAreRelativeToTheOpenKey)
{
    TRegistry reg(KEY_WRITE_MASK);
    reg.SetRootKey(RegRoot::LocalMachine);
    ASSERT_TRUE(reg.OpenKey(u"Software\\Pub\\", true));
    EXPECT_EQ(reg.CurrentPath(), u"Software\\Pub");
    ASSERT_TRUE(reg.OpenKey(u"Tool", true));
    EXPECT_EQ(reg.CurrentPath(), u"Software\\Pub\\Tool");
    ASSERT_TRUE(reg.WriteString(u"Version", u"1.0"));
    // A leading backslash starts again from the root.
    ASSERT_TRUE(reg.OpenKey(u"\\Software\\Pub", false));
    EXPECT_TRUE(reg.KeyExists(u"Tool"));
    EXPECT_EQ(ReadMachineString(u"Version", false, u"Software\\Pub\\Tool\\"), u"1.0");
    // A 32-bit process writes HKLM\Software into the 32-bit view.
    EXPECT_TRUE(Exists(RegRoot::LocalMachine, u"Software\\Pub\\Tool"));
}

TEST_F(RegistryTest, WritingNeedsAKeyOpenedForWriting)
{
    MakeKey(RegRoot::CurrentUser, u"Software\\Pub");
    TRegistry reg;  // KEY_READ
    ASSERT_TRUE(reg.OpenKey(u"Software\\Pub", false));
    EXPECT_EQ(reg.ReadString(u"v"), u"x");
    EXPECT_FALSE(reg.WriteString(u"v", u"y"));
    EXPECT_FALSE(reg.DeleteValue(u"v"));
    reg.SetAccess(KEY_WRITE_MASK);
    ASSERT_TRUE(reg.OpenKey(u"\\Software\\Pub", false));
    EXPECT_TRUE(reg.WriteString(u"v", u"y"));
    EXPECT_EQ(machine().RegReadString(RegRoot::CurrentUser, u"Software\\Pub", u"v"), u"y");
    EXPECT_TRUE(reg.DeleteValue(u"v"));
    EXPECT_FALSE(reg.ValueExists(u"v"));
}

TEST_F(RegistryTest, DeleteKeyRemovesThreeLevelsAndListsNamesInRegistryOrder)
{
    for (const char16_t* key :
         {u"Software\\Pub\\Tool\\A\\A1\\A2", u"Software\\Pub\\Tool\\B", u"Software\\Pub\\Tool\\C\\C1"})
        MakeKey(RegRoot::LocalMachine, key);
    MakeKey(RegRoot::LocalMachine, u"Software\\Pub\\Other");
    TRegistry reg(KEY_WRITE_MASK);
    reg.SetRootKey(RegRoot::LocalMachine);
    ASSERT_TRUE(reg.OpenKeyReadOnly(u"Software\\Pub\\Tool"));
    EXPECT_TRUE(reg.HasSubKeys());
    TStringList names;
    names.Add(u"stale");
    reg.GetKeyNames(names);
    EXPECT_EQ(names.Items(), (std::vector<UString>{u"A", u"B", u"C"}));

    DeleteMachineKey(u"Software\\Pub", false, u"Tool\\");
    EXPECT_FALSE(Exists(RegRoot::LocalMachine, u"Software\\Pub\\Tool"));
    EXPECT_TRUE(Exists(RegRoot::LocalMachine, u"Software\\Pub\\Other"));
}

// Keys shared with other programs, as the installation's callers may form them
// from a damaged record (an empty entry name, an empty parent, doubled separators).
TEST_F(RegistryTest, SharedKeysAreNeverDeleted)
{
    MakeKey(RegRoot::LocalMachine, UninstallKey + u"\\OtherProduct");
    MakeKey(RegRoot::CurrentUser, RunKey);
    MakeKey(RegRoot::LocalMachine, u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    MakeKey(RegRoot::CurrentUser, u"Software\\Classes\\.txt");
    struct Case {
        UString parent;
        UString key;
    };
    const Case cases[] = {
        {u"", u""},
        {u"", u"\\"},
        {u"", u"Software"},
        {u"", u"software\\"},
        {u"", u"Software\\WOW6432Node"},
        {u"", u"Software\\Microsoft"},
        {u"", u"Software\\Microsoft\\Windows\\CurrentVersion"},
        {u"", UninstallKey + u"\\"},
        {u"", u"SOFTWARE\\\\Microsoft\\Windows\\CurrentVersion\\UNINSTALL\\\\"},
        {u"", u"Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
        {u"", u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
        {u"Software\\Microsoft\\Windows\\CurrentVersion", u"Uninstall"},
        {u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", u""},
        {u"Software", u"\\Software"},
        {u"", u"System"},
    };
    for (const Case& c : cases)
        DeleteMachineKey(c.parent, false, c.key);
    EXPECT_TRUE(Exists(RegRoot::LocalMachine, UninstallKey + u"\\OtherProduct"));
    EXPECT_TRUE(Exists(RegRoot::LocalMachine, u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"));

    TRegistry user(KEY_WRITE_MASK);
    for (const UString& key : {RunKey, RunKey + u"\\", UString(u"Software\\Classes"), UString(u"Software")})
        EXPECT_FALSE(user.DeleteKey(key)) << ToUtf8(key);
    EXPECT_TRUE(Exists(RegRoot::CurrentUser, RunKey));
    EXPECT_TRUE(Exists(RegRoot::CurrentUser, u"Software\\Classes\\.txt"));

    // An entry below the shared key is still ours to delete.
    MakeKey(RegRoot::LocalMachine, UninstallKey + u"\\Tool");
    DeleteMachineKey(u"", false, UninstallKey + u"\\Tool");
    EXPECT_FALSE(Exists(RegRoot::LocalMachine, UninstallKey + u"\\Tool"));
}

TEST_F(RegistryTest, DeleteUserValueLeavesTheKeyAndRefusesTheDefaultValue)
{
    MakeKey(RegRoot::CurrentUser, RunKey);
    ASSERT_TRUE(machine().RegWriteString(RegRoot::CurrentUser, RunKey, u"Tool", u"C:\\Tool.exe"));
    ASSERT_TRUE(machine().RegWriteString(RegRoot::CurrentUser, RunKey, u"", u"default"));
    DeleteUserValue(RunKey + u"\\", false, u"Tool");
    DeleteUserValue(RunKey, false, u"");
    DeleteUserValue(u"Software\\Missing", false, u"Tool");
    EXPECT_FALSE(machine().RegValueExists(RegRoot::CurrentUser, RunKey, u"Tool"));
    EXPECT_TRUE(machine().RegValueExists(RegRoot::CurrentUser, RunKey, u""));
    EXPECT_TRUE(machine().RegValueExists(RegRoot::CurrentUser, RunKey, u"v"));
    EXPECT_FALSE(Exists(RegRoot::CurrentUser, u"Software\\Missing"));
}

TEST_F(RegistryTest, ReadMachineStringOfAMissingValueIsEmpty)
{
    MakeKey(RegRoot::LocalMachine, u"Software\\Pub\\Tool", u"here");
    EXPECT_EQ(ReadMachineString(u"v", false, u"Software\\Pub\\Tool\\"), u"here");
    EXPECT_EQ(ReadMachineString(u"Missing", false, u"Software\\Pub\\Tool\\"), u"");
}

TEST(ReplaceSetupPlaceholders, FormsThePrivateKeyOnlyFromBothValues)
{
    TMemIniFile ini;
    ini.WriteString(u"Setup", u"%REG_FODLER_PROGNAME", u"Tool");
    const UString tmpl = u"Software\\%PUBLISHER\\%REG_FODLER_PROGNAME\\";
    // %PUBLISHER is missing from the file.
    EXPECT_EQ(ReplaceSetupPlaceholders(ini, u"Setup", tmpl, u"%PUBLISHER", u"%REG_FODLER_PROGNAME", u"", u""), u"");
    ini.WriteString(u"Setup", u"%PUBLISHER", u"Pub");
    EXPECT_EQ(ReplaceSetupPlaceholders(ini, u"Setup", tmpl, u"%PUBLISHER", u"%REG_FODLER_PROGNAME", u"", u""),
              u"Software\\Pub\\Tool\\");
    // Values given by the caller win; every occurrence goes, exact case only.
    EXPECT_EQ(ReplaceSetupPlaceholders(ini, u"Setup", u"%PUBLISHER\\%publisher\\%PUBLISHER", u"%PUBLISHER",
                                       u"%REG_FODLER_PROGNAME", u"Given", u""),
              u"Given\\%publisher\\Given");
    EXPECT_EQ(ReplaceSetupPlaceholders(ini, u"Other", tmpl, u"%PUBLISHER", u"%REG_FODLER_PROGNAME", u"", u""), u"");
}

}  // namespace
