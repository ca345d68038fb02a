// Upgrades from a real earlier installation: the question, the removal of the old
// copy by the road its product and version take, and the new installation after it;
// or, when the old copy stays, nothing of the new version at all.
#include <cstdlib>
#include <fstream>

#include "app/App.h"
#include "forms/Prepare_previous.h"
#include "forms/Prepareform.h"
#include "toolkit/Dialogs.h"
#include "upgrade_flows/UpgradeFixture.h"

namespace {

const UString kMsg501 = u"An older version is installed. Remove it?";
const UString kMsg502 = u"The older version could not be removed.";
const UString kMsg503 = u"This version is installed. Remove it?";
const UString kPrivateKey = u"Software\\Brightwater\\OstrelReg";

// The command lines started with a console of their own: the uninstallers run.
std::vector<UString> UninstallerRuns(SimMachine& machine)
{
    std::vector<UString> runs;
    for (const UString& run : machine.JournalOf(SimJournal::Run))
        if (StartsWith(run, u"0x00000010 "))
            runs.push_back(run.substr(11));
    return runs;
}

// Files outside the new package, and the registry, that hold the new version's
// mark: what an upgrade that did not happen must never have written.
std::vector<std::string> NewVersionTraces(const std::map<std::string, std::string>& state,
                                          const std::string& newVersion)
{
    std::vector<std::string> traces;
    for (const auto& [path, bytes] : state)
        if (path.find("/drive_c/New/") == std::string::npos && bytes.find(newVersion) != std::string::npos)
            traces.push_back(path);
    return traces;
}

}  // namespace

TEST_F(UpgradeTest, TheOldKeptUninstallerRemovesTheOlderVersionThenTheNewOneInstalls)
{
    const PackageSpec oldPackage{u"C:\\Old", "0.9.0"};
    const PackageSpec newPackage{u"C:\\New", "1.0.0"};
    InstallFrom(oldPackage);
    const UString kept = KeptInstaller();
    ASSERT_FALSE(kept.empty());
    // The product is running and does not close when asked.
    const uint32_t product = machine().AddProcess(u"Ostrel.exe");
    machine().AddWindow(product, u"Ostrel Main", true);

    PutPackage(newPackage);
    headless::QueueMessageBoxAnswer(ID::Yes);
    StartSetup(newPackage);
    EXPECT_EQ(MessageTexts(), std::vector<UString>{kMsg501});
    EXPECT_EQ(UninstallerRuns(machine()), std::vector<UString>{u"\"" + kept + u"\" uninstallanyway"});
    ASSERT_EQ(Shown(), std::vector<UString>{u"FWelcome"});
    EXPECT_EQ(App.InstallState, 1);
    EXPECT_TRUE(FPrepare->AlphaBlend() && FPrepare->AlphaBlendValue() == 0);
    // The old copy is gone before the new one writes anything; the user's data stays.
    EXPECT_FALSE(KeyExists(Entry()));
    EXPECT_FALSE(KeyExists(kPrivateKey));
    EXPECT_FALSE(Exists(upgraded::VersionFile));
    EXPECT_FALSE(Exists(upgraded::ProgramMenu));
    EXPECT_EQ(FileText(upgraded::UserMacro), "the user's macro");
    EXPECT_FALSE(machine().ProcessRunning(product));

    WalkInstallPages();
    EXPECT_EQ(MachineValue(Entry(), u"DisplayVersion"), u"1.0.0");
    EXPECT_EQ(FileText(upgraded::VersionFile), "1.0.0");
    EXPECT_EQ(FileText(upgraded::ProgramDir("Ostrel") + u"\\Ostrel.exe"), "ostrel 1.0.0");
    EXPECT_EQ(FileText(upgraded::UserMacro), "the user's macro");
    EXPECT_TRUE(Exists(upgraded::ProgramMenu));
    EXPECT_EQ(KeptInstaller(), kept);
}

TEST_F(UpgradeTest, TheSameVersionIsAskedAboutWithMsg503AndRemovedAlike)
{
    const PackageSpec oldPackage{u"C:\\Old", "1.0.0"};
    const PackageSpec newPackage{u"C:\\New", "1.0.0"};
    InstallFrom(oldPackage);
    PutFile(upgraded::VersionFile, "as installed");
    PutPackage(newPackage);
    headless::QueueMessageBoxAnswer(ID::Yes);
    StartSetup(newPackage);
    EXPECT_EQ(MessageTexts(), std::vector<UString>{kMsg503});
    EXPECT_EQ(UninstallerRuns(machine()).size(), 1u);
    EXPECT_FALSE(Exists(upgraded::VersionFile));
    WalkInstallPages();
    EXPECT_EQ(FileText(upgraded::VersionFile), "1.0.0");
    EXPECT_EQ(FileText(upgraded::UserMacro), "the user's macro");
}

// No to the question, or an entry that names no uninstaller: nothing changes.
TEST_F(UpgradeTest, NoAnswerOrNoUninstallCommandChangesNothing)
{
    struct Case {
        const char* name;
        std::string installedVersion;
        bool dropUninstallString;
        UString question;
    };
    const Case cases[] = {
        {"No to MSG_501", "0.9.0", false, kMsg501},
        {"No to MSG_503", "1.0.0", false, kMsg503},
        {"Yes, but the entry names no uninstaller", "0.9.0", true, kMsg501},
    };
    const PackageSpec newPackage{u"C:\\New", "1.0.0"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Each case on the same machine, from its own earlier installation.
        const PackageSpec oldPackage{u"C:\\Old_" + FromUtf8(c.installedVersion), c.installedVersion};
        InstallFrom(oldPackage);
        if (c.dropUninstallString) {
            ASSERT_TRUE(machine().RegDeleteValue(RegRoot::LocalMachine, Entry(), u"UninstallString"));
        }
        PutPackage(newPackage);
        machine().ClearJournal();
        const auto before = MachineState();

        headless::QueueMessageBoxAnswer(c.dropUninstallString ? ID::Yes : ID::No);
        StartSetup(newPackage);
        EXPECT_EQ(MessageTexts(), std::vector<UString>{c.question});
        if (c.dropUninstallString) {
            // The form waits with its full bar; only Cancel ends the program.
            EXPECT_FALSE(app->Terminated());
            EXPECT_TRUE(FPrepare->Visible());
            EXPECT_TRUE(Shown().empty());
            PressPrepareCancel();
        } else {
            EXPECT_TRUE(app->Terminated());
            EndProgram();
        }
        EXPECT_TRUE(UninstallerRuns(machine()).empty());
        EXPECT_TRUE(machine().JournalOf(SimJournal::ProcessEnded).empty());
        EXPECT_TRUE(before == MachineState());
        // Undo this case's installation for the next one.
        ASSERT_TRUE(machine().RegDeleteKeyTree(RegRoot::LocalMachine, Entry()));
        ASSERT_TRUE(machine().RegDeleteKeyTree(RegRoot::LocalMachine, kPrivateKey));
    }
}

// The old uninstaller ends and its entry is still there: MSG_502 and the end, and
// nothing of the new version anywhere.
class FailedRemovalTest : public UpgradeTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(FailedRemovalTest, BringsMsg502AndNothingOfTheNewVersion)
{
    const std::string how = GetParam();
    const PackageSpec oldPackage{u"C:\\Old", "0.9.0"};
    const PackageSpec newPackage{u"C:\\New", "1.0.0"};
    InstallFrom(oldPackage);
    const UString kept = KeptInstaller();
    PutPackage(newPackage);
    const std::string script = machineFolder() + "/old-uninstaller-user.txt";
    if (how == "cannot start") {
        machine().FailOn(SimOp::RunProcess, kept, WinError::AccessDenied);
    } else if (how == "fails to remove its entry") {
        // Persistent, so that the old uninstaller's process meets it too.
        machine().FailOn(SimOp::RegDeleteKey, u"HKLM\\" + Entry(), WinError::AccessDenied, {-1, true});
    } else {
        // Its user presses Cancel on its preparation form.
        std::ofstream(script) << "FPrepare: click bt_Cancel\n";
        ::setenv("SETUP_SCRIPT", script.c_str(), 1);
    }
    const auto before = MachineState();

    headless::QueueMessageBoxAnswer(ID::Yes);
    StartSetup(newPackage);
    ::unsetenv("SETUP_SCRIPT");
    machine().ClearFailures();
    EXPECT_EQ(MessageTexts(), (std::vector<UString>{kMsg501, kMsg502}));
    EXPECT_TRUE(app->Terminated());
    EXPECT_TRUE(Shown().empty());
    EXPECT_NE(App.InstallState, 1);
    EXPECT_EQ(NewVersionTraces(MachineState(), "1.0.0"), std::vector<std::string>{});
    EXPECT_EQ(MachineValue(Entry(), u"DisplayVersion"), u"0.9.0");
    if (how != "fails to remove its entry") {
        EXPECT_TRUE(before == MachineState());
    }
}

INSTANTIATE_TEST_SUITE_P(OldUninstaller, FailedRemovalTest,
                         ::testing::Values("cannot start", "fails to remove its entry", "cancelled by its user"));

// The two products whose early versions cannot remove themselves.
struct ProductRoad {
    const char* name;
    std::string programName;
    std::string installedVersion;
    std::string newVersion;
    enum Road { Direct, PlacedCopy, OldUninstaller } road;
    bool placingFails = false;
};

class ProductRoadTest : public UpgradeTest, public ::testing::WithParamInterface<ProductRoad> {};

TEST_P(ProductRoadTest, RemovesTheOldCopyByItsRoadThenInstalls)
{
    const ProductRoad& c = GetParam();
    const PackageSpec oldPackage{u"C:\\Old", c.installedVersion, c.programName};
    const PackageSpec newPackage{u"C:\\New", c.newVersion, c.programName};
    InstallFrom(oldPackage);
    const UString kept = KeptInstaller(c.programName);
    const UString keptFolder = kept.substr(0, kept.rfind(u'\\'));
    const UString placed = keptFolder + u"\\Setup_20171018.exe";
    const UString privateKey = upgraded::PrivateKeys + FromUtf8(c.programName);
    WriteMachineValue(u"Software\\Brightwater\\Other", u"Product", u"Other");
    if (c.placingFails)
        machine().FailOn(SimOp::CopyFile, placed, WinError::AccessDenied);
    PutPackage(newPackage);
    machine().ClearJournal();

    headless::QueueMessageBoxAnswer(ID::Yes);
    StartSetup(newPackage);
    machine().ClearFailures();
    std::vector<UString> expectedTexts{kMsg501};
    // Where the old uninstaller is the fall-back, the developer hears why.
    if (c.placingFails && c.road == ProductRoad::OldUninstaller)
        expectedTexts.push_back(kPlaceUninstallerDeveloperMessage);
    EXPECT_EQ(MessageTexts(), expectedTexts);
    std::vector<UString> expectedRuns;
    if (c.road == ProductRoad::PlacedCopy)
        expectedRuns.push_back(u"\"" + placed + u"\" uninstallanyway");
    if (c.road == ProductRoad::OldUninstaller)
        expectedRuns.push_back(u"\"" + kept + u"\" uninstallanyway");
    EXPECT_EQ(UninstallerRuns(machine()), expectedRuns);
    EXPECT_EQ(Exists(placed), c.road == ProductRoad::PlacedCopy);
    if (c.road == ProductRoad::PlacedCopy) {
        // The placed copy took this package's texts in place of the old ones.
        EXPECT_EQ(FileText(keptFolder + u"\\Texts\\InstallWizard.xlsx"), "not a workbook " + c.newVersion);
        EXPECT_TRUE(Exists(keptFolder + u"\\Texts\\LanguageIni_InstallWizard\\English\\Install_English.ini"));
    }
    ASSERT_EQ(Shown(), std::vector<UString>{u"FWelcome"});
    EXPECT_EQ(App.InstallState, 1);
    // Every road removes the records, the shortcuts and the files, never the user's data.
    EXPECT_FALSE(KeyExists(Entry(c.programName)));
    EXPECT_FALSE(KeyExists(privateKey));
    EXPECT_TRUE(KeyExists(u"Software\\Brightwater\\Other"));
    EXPECT_FALSE(machine().RegValueExists(RegRoot::CurrentUser, upgraded::RunKey, FromUtf8(c.programName)));
    EXPECT_FALSE(Exists(upgraded::ProgramMenu));
    EXPECT_FALSE(Exists(upgraded::VersionFile));
    EXPECT_FALSE(Exists(UString(upgraded::ProgramFiles) + u"\\Ostrel\\Updater\\Updater.exe"));
    EXPECT_EQ(FileText(upgraded::UserMacro), "the user's macro");

    WalkInstallPages();
    EXPECT_EQ(MachineValue(Entry(c.programName), u"DisplayVersion"), FromUtf8(c.newVersion));
    EXPECT_EQ(FileText(upgraded::VersionFile), c.newVersion);
    EXPECT_EQ(FileText(upgraded::UserMacro), "the user's macro");
}

INSTANTIATE_TEST_SUITE_P(
    Products, ProductRoadTest,
    ::testing::Values(
        ProductRoad{"SnapdeskBelow", "Tarvel_Snapdesk", "17.08.0002", "17.09.0001", ProductRoad::Direct},
        ProductRoad{"SnapdeskAt", "Tarvel_Snapdesk", "17.08.0003", "17.09.0001", ProductRoad::PlacedCopy},
        ProductRoad{"SnapdeskAtPlacingFails", "Tarvel_Snapdesk", "17.08.0003", "17.09.0001",
                    ProductRoad::OldUninstaller, true},
        ProductRoad{"SnapdeskAbove", "Tarvel_Snapdesk", "17.08.0004", "17.09.0001", ProductRoad::OldUninstaller},
        ProductRoad{"GestorBelow", "Munde_Gestor", "17.10.0002", "17.11.0001", ProductRoad::PlacedCopy},
        ProductRoad{"GestorBelowPlacingFails", "Munde_Gestor", "17.10.0002", "17.11.0001", ProductRoad::Direct, true},
        ProductRoad{"GestorAt", "Munde_Gestor", "17.10.0003", "17.11.0001", ProductRoad::OldUninstaller}),
    [](const ::testing::TestParamInfo<ProductRoad>& info) { return std::string(info.param.name); });
