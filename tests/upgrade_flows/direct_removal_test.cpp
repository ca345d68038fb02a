// The direct removal of an early version that cannot remove itself: it keeps the
// user's data as an uninstallation does, and a damaged record never turns it against
// what the installation does not own.
#include "app/App.h"
#include "forms/Prepareform.h"
#include "toolkit/Dialogs.h"
#include "upgrade_flows/UpgradeFixture.h"

namespace {

const PackageSpec kOldSnapdesk{u"C:\\Old", "17.08.0002", "Tarvel_Snapdesk"};
const PackageSpec kNewSnapdesk{u"C:\\New", "17.09.0001", "Tarvel_Snapdesk"};

}  // namespace

TEST_F(UpgradeTest, DirectRemovalKeepsTheDataFolderOfTheDataVariant)
{
    PackageSpec oldPackage = kOldSnapdesk, newPackage = kNewSnapdesk;
    oldPackage.product = newPackage.product = "Vintrel";
    oldPackage.extraSetupLines = newPackage.extraSetupLines = "%PROGRAM_DATA=Data\\\r\n";
    InstallFrom(oldPackage);
    const UString programDir = upgraded::ProgramDir("Vintrel");
    PutFile(programDir + u"\\Data\\Deep\\user.dat", "the user's data");
    PutFile(programDir + u"\\Library\\core.dll", "old library");

    PutPackage(newPackage);
    headless::QueueMessageBoxAnswer(ID::Yes);
    StartSetup(newPackage);
    ASSERT_EQ(Shown(), std::vector<UString>{u"FWelcome"});
    EXPECT_FALSE(Exists(programDir + u"\\Version.txt"));
    EXPECT_FALSE(Exists(programDir + u"\\Library"));
    EXPECT_EQ(FileText(programDir + u"\\Data\\Deep\\user.dat"), "the user's data");
    EXPECT_EQ(FileText(programDir + u"\\ScriptsMacros\\mine.mac"), "the user's macro");

    WalkInstallPages();
    EXPECT_EQ(FileText(programDir + u"\\Version.txt"), "17.09.0001");
    EXPECT_EQ(FileText(programDir + u"\\Data\\Deep\\user.dat"), "the user's data");
}

TEST_F(UpgradeTest, ADamagedRecordLeadsTheDirectRemovalToNothingItDoesNotOwn)
{
    InstallFrom(kOldSnapdesk);
    const UString privateKey = u"Software\\Brightwater\\Tarvel_Snapdesk";
    const UString others = UString(upgraded::ProgramFiles) + u"\\Other\\Other.exe";
    PutFile(others, "another program");
    WriteMachineValue(UString(upgraded::UninstallKey) + u"Other", u"DisplayName", u"Other");
    WriteMachineValue(u"Software\\Brightwater\\Other", u"Product", u"Other");
    // Values that name the shared keys and folders, or nothing.
    WriteMachineValue(privateKey, u"UninstRegFolder", u" ");
    WriteMachineValue(privateKey, u"InstallDir", upgraded::ProgramFiles);
    WriteMachineValue(privateKey, u"Product", u"Program Files (x86)");
    WriteMachineValue(privateKey, u"LINK_ProgramsExec", others);
    WriteMachineValue(privateKey, u"LINK_DesktopExec",
                      u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\x.lnk");

    PutPackage(kNewSnapdesk);
    headless::QueueMessageBoxAnswer(ID::Yes);
    StartSetup(kNewSnapdesk);
    ASSERT_EQ(Shown(), std::vector<UString>{u"FWelcome"});
    EXPECT_EQ(FileText(others), "another program");
    EXPECT_TRUE(KeyExists(UString(upgraded::UninstallKey) + u"Other"));
    EXPECT_TRUE(KeyExists(u"Software\\Brightwater\\Other"));
    EXPECT_TRUE(machine().DirectoryExists(u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"));
    // The damaged values named no folder of this product: its files stay too.
    EXPECT_EQ(FileText(upgraded::VersionFile), "17.08.0002");
    // The private key itself is formed from Setup.ini, not read: it goes.
    EXPECT_FALSE(KeyExists(privateKey));
}
