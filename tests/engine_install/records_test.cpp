// What the installation writes into the registry when Setup.ini or the package
// lacks something, and what it leaves of others.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "app/App.h"
#include "engine_install/InstallFixture.h"
#include "base/Paths.h"

using ::testing::Contains;
using ::testing::IsEmpty;

namespace {

using RecordsTest = InstallFixture;

const UString kUninstallKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Without either name the records would land in keys every program shares.
TEST_F(RecordsTest, AMissingNameWritesNothingIntoSharedKeys)
{
    for (const char* key : {"%REG_FODLER_PROGNAME", "%PUBLISHER"}) {
        SCOPED_TRACE(key);
        Set("%REG_FODLER_PROGNAME", "OstrelReg");
        Set("%PUBLISHER", "Brightwater");
        Set(key, "");
        WritePackage();
        ASSERT_TRUE(RunInstall().threadFinished);
        for (const UString& shared :
             {UString(), UString(u"Software"), kUninstallKey, UString(u"Software\\Brightwater")})
            EXPECT_THAT(KeyValues(RegRoot::LocalMachine, shared), IsEmpty()) << ToUtf8(shared);
        const std::vector<UString> lines = DebugLines();
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const UString& l) {
            return StartsWith(l, u"Private key not written: ");
        })) << "the private key needs both names";
    }
}

TEST_F(RecordsTest, TheKeptInstallerGoesToTheFolderSetupIniNames)
{
    Set("%INSTALL_BACKUP_DIR", "CSIDL_COMMON_APPDATA");
    WritePackage();
    ASSERT_TRUE(RunInstall().threadFinished);
    const UString kept = u"C:\\ProgramData\\Ostrel\\Setup.exe";
    EXPECT_EQ(kept, App.UninstallerPath);
    EXPECT_TRUE(machine().FileExists(kept));
    EXPECT_THAT(KeyValues(RegRoot::LocalMachine, UninstallEntry),
                Contains(u"UninstallString=\"" + kept + u"\" uninstall"));
    EXPECT_THAT(KeyValues(RegRoot::LocalMachine, UninstallEntry),
                Contains(u"DisplayIcon=C:\\ProgramData\\Ostrel\\English\\Application.ico"));
    EXPECT_FALSE(machine().DirectoryExists(KeptCopy));
}

TEST_F(RecordsTest, WithoutTheApplicationIconTheEntryShowsTheProgramsIcon)
{
    WritePackage();
    ASSERT_TRUE(machine().DeleteFile(u"C:\\Setup\\English\\Application.ico"));
    ASSERT_TRUE(RunInstall().threadFinished);
    EXPECT_THAT(KeyValues(RegRoot::LocalMachine, UninstallEntry),
                Contains(u"DisplayIcon=" + UString(ProgramDir) + u"\\Ostrel.exe"));
}

TEST_F(RecordsTest, ValuesOthersPutIntoTheUninstallEntryStay)
{
    WritePackage();
    ASSERT_TRUE(machine().RegOpenKey(RegRoot::LocalMachine, UninstallEntry, KEY_WRITE_MASK, true));
    ASSERT_TRUE(machine().RegWriteString(RegRoot::LocalMachine, UninstallEntry, u"EstimatedSize", u"4096"));
    ASSERT_TRUE(machine().RegWriteString(RegRoot::LocalMachine, UninstallEntry, u"DisplayName", u"Ostrel 1"));
    ASSERT_TRUE(RunInstall().threadFinished);
    const std::vector<UString> values = KeyValues(RegRoot::LocalMachine, UninstallEntry);
    EXPECT_THAT(values, Contains(u"EstimatedSize=4096"));
    EXPECT_THAT(values, Contains(u"DisplayName=Ostrel 2"));
}

}  // namespace
