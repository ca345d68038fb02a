// What the program relies on of the registry, on both machines.
#include <gtest/gtest.h>

#include "contract/contract_fixture.h"

namespace {

using Registry = ContractTest;

TEST_F(Registry, ReadsNeverCreateKeys)
{
    for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
        const UString deep = key() + u"\\A\\B";
        EXPECT_FALSE(p().RegOpenKey(root, deep, KEY_READ_MASK, false));
        EXPECT_FALSE(p().RegOpenKey(root, deep, KEY_WRITE_MASK, false));
        EXPECT_FALSE(p().RegReadString(root, deep, u"Value").has_value());
        EXPECT_FALSE(p().RegValueExists(root, deep, u"Value"));
        EXPECT_FALSE(p().RegHasSubKeys(root, deep));
        EXPECT_TRUE(p().RegSubKeyNames(root, deep).empty());
        EXPECT_TRUE(p().RegValueNames(root, deep).empty());
        EXPECT_FALSE(p().RegWriteString(root, deep, u"Value", u"x"));  // a write needs an opened key
        EXPECT_FALSE(p().RegDeleteValue(root, deep, u"Value"));
        EXPECT_FALSE(p().RegKeyExists(root, key()));
    }
}

TEST_F(Registry, StringValuesReadBackWhatWasWritten)
{
    const UString k = key() + u"\\Values";
    ASSERT_TRUE(p().RegOpenKey(RegRoot::CurrentUser, k, KEY_WRITE_MASK, true));
    const UString texts[] = {u"plain", u"", u"C:\\Program Files (x86)\\Pub\\Tool.exe \"quoted\"",
                             u"\u00E9t\u00E9 \u65E5\u672C", u"two\r\nlines"};
    int n = 0;
    for (const UString& text : texts)
        ASSERT_TRUE(p().RegWriteString(RegRoot::CurrentUser, k, u"V" + UIntToStr(n++), text));
    n = 0;
    for (const UString& text : texts)
        EXPECT_EQ(p().RegReadString(RegRoot::CurrentUser, k, u"v" + UIntToStr(n++)), text) << n;
    // Value names ignore case too: a write in other case replaces the value.
    ASSERT_TRUE(p().RegWriteString(RegRoot::CurrentUser, k, u"v0", u"again"));
    EXPECT_EQ(p().RegReadString(RegRoot::CurrentUser, k, u"V0"), u"again");
    EXPECT_EQ(p().RegValueNames(RegRoot::CurrentUser, k).size(), std::size(texts));
}

TEST_F(Registry, DeletingAValueLeavesTheOthers)
{
    ASSERT_TRUE(p().RegOpenKey(RegRoot::CurrentUser, key(), KEY_WRITE_MASK, true));
    ASSERT_TRUE(p().RegWriteString(RegRoot::CurrentUser, key(), u"Keep", u"1"));
    ASSERT_TRUE(p().RegWriteString(RegRoot::CurrentUser, key(), u"Drop", u"2"));
    EXPECT_TRUE(p().RegDeleteValue(RegRoot::CurrentUser, key(), u"DROP"));
    EXPECT_FALSE(p().RegValueExists(RegRoot::CurrentUser, key(), u"Drop"));
    EXPECT_FALSE(p().RegDeleteValue(RegRoot::CurrentUser, key(), u"Drop"));
    EXPECT_EQ(p().LastError(), WinError::FileNotFound);
    EXPECT_EQ(p().RegReadString(RegRoot::CurrentUser, key(), u"Keep"), u"1");
}

TEST_F(Registry, DeletingAKeyRemovesItsSubtreeThreeLevelsDeep)
{
    for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
        for (const UString& k : {key() + u"\\Prod\\One\\Two\\Three", key() + u"\\Prod\\Side", key() + u"\\Other"}) {
            ASSERT_TRUE(p().RegOpenKey(root, k, KEY_WRITE_MASK, true));
            ASSERT_TRUE(p().RegWriteString(root, k, u"Value", k));
        }
        ASSERT_TRUE(p().RegWriteString(root, key() + u"\\Prod", u"Value", u"top"));
        EXPECT_TRUE(p().RegDeleteKeyTree(root, key() + u"\\prod\\"));
        EXPECT_FALSE(p().RegKeyExists(root, key() + u"\\Prod"));
        EXPECT_FALSE(p().RegKeyExists(root, key() + u"\\Prod\\One\\Two\\Three"));
        EXPECT_TRUE(p().RegKeyExists(root, key() + u"\\Other"));
        EXPECT_EQ(p().RegSubKeyNames(root, key()), std::vector<UString>{u"Other"});
        EXPECT_FALSE(p().RegDeleteKeyTree(root, key() + u"\\Prod"));
    }
}

TEST_F(Registry, DeleteKeyTreeRefusesTheHiveItself)
{
    for (const UString& path : {UString(), UString(u"\\")}) {
        EXPECT_FALSE(p().RegDeleteKeyTree(RegRoot::CurrentUser, path));
        EXPECT_FALSE(p().RegDeleteKeyTree(RegRoot::LocalMachine, path));
    }
    EXPECT_TRUE(p().RegKeyExists(RegRoot::CurrentUser, u"Software"));
    EXPECT_TRUE(p().RegKeyExists(RegRoot::LocalMachine, u"Software"));
}

TEST_F(Registry, SubKeysListInOrderOfNameAndKeepTheirCase)
{
    for (const char16_t* name : {u"beta", u"Alpha", u"gamma", u"Delta"})
        ASSERT_TRUE(p().RegOpenKey(RegRoot::CurrentUser, key() + u"\\" + name, KEY_WRITE_MASK, true));
    EXPECT_TRUE(p().RegHasSubKeys(RegRoot::CurrentUser, key()));
    EXPECT_FALSE(p().RegHasSubKeys(RegRoot::CurrentUser, key() + u"\\Alpha"));
    EXPECT_EQ(p().RegSubKeyNames(RegRoot::CurrentUser, key()),
              (std::vector<UString>{u"Alpha", u"beta", u"Delta", u"gamma"}));
    // Opening in another case finds the key and makes no second one.
    EXPECT_TRUE(p().RegOpenKey(RegRoot::CurrentUser, key() + u"\\ALPHA", KEY_WRITE_MASK, true));
    EXPECT_TRUE(p().RegKeyExists(RegRoot::CurrentUser, key() + u"\\alpha"));
    EXPECT_EQ(p().RegSubKeyNames(RegRoot::CurrentUser, key()).size(), 4u);
}

// A 32-bit process sees HKEY_LOCAL_MACHINE\Software through the WOW6432Node view.
// From inside the process the 64-bit key cannot be looked at with this interface
// (it has no view flag), so both machines check what the 32-bit view shows: the
// key written as Software\X is the key Software\WOW6432Node\X. That the 64-bit
// Software\X stays untouched is shown outside the process: the simulated machine's
// registry file (sim_tests) and reg.exe under Wine (win32_platform_tests).
TEST_F(Registry, MachineSoftwareWritesLandUnderWow6432Node)
{
    ASSERT_TRUE(p().RegOpenKey(RegRoot::LocalMachine, key(), KEY_WRITE_MASK, true));
    ASSERT_TRUE(p().RegWriteString(RegRoot::LocalMachine, key(), u"Where", u"32-bit view"));
    const UString viaNode = u"Software\\WOW6432Node\\" + key().substr(UString(u"Software\\").size());
    EXPECT_TRUE(p().RegKeyExists(RegRoot::LocalMachine, viaNode));
    EXPECT_EQ(p().RegReadString(RegRoot::LocalMachine, viaNode, u"Where"), u"32-bit view");
}

// HKEY_CURRENT_USER\Software is not redirected: the run-at-logon value a 32-bit
// setup writes is the one Windows reads at logon.
TEST_F(Registry, UserRunKeyIsShared)
{
    const UString run = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    ASSERT_TRUE(p().RegOpenKey(RegRoot::CurrentUser, run, KEY_WRITE_MASK, true));
    ASSERT_TRUE(p().RegWriteString(RegRoot::CurrentUser, run, unique(), u"\"C:\\Tool.exe\""));
    EXPECT_EQ(p().RegReadString(RegRoot::CurrentUser, run, unique()), u"\"C:\\Tool.exe\"");
    EXPECT_FALSE(p().RegValueExists(RegRoot::CurrentUser,
                                    u"Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", unique()));
    EXPECT_TRUE(p().RegDeleteValue(RegRoot::CurrentUser, run, unique()));
    EXPECT_TRUE(p().RegKeyExists(RegRoot::CurrentUser, run));
}

}  // namespace
