// The online updater's two modes on a simulated machine: "updater" starts the
// installed copy's updater; "registry" moves the install root and rewrites the
// records and shortcuts of an installation the updater has just brought to a new
// version.
#include <gtest/gtest.h>

#include <map>

#include "prepare/PrepareFixture.h"
#include "base/Paths.h"
#include "util/FolderIdentity.h"

namespace {

const UString kPF = u"C:\\Program Files (x86)";
const UString kRoot = kPF + u"\\Ostrel";
const UString kProgram = kRoot + u"\\Ostrel\\Ostrel.exe";
const UString kMenu = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
const UString kLinks = kMenu + u"\\Tarvel\\Ostrel Tools";
const UString kDesktopLink = u"C:\\Users\\Public\\Desktop\\Ostrel.lnk";
const UString kKept = u"C:\\ProgramData\\Microsoft\\Windows\\Templates\\Ostrel\\Setup.exe";
const UString kRunKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const UString kRecordFile = kRoot + u"\\OnlineUpdater\\Regedit_FileList.ini";
const UString kOldIni = u"C:\\Setup\\Setup_old.ini";

// Setup.ini of the product Ostrel as both versions have it unless a case says otherwise.
std::map<std::string, std::string> ProductSettings(const std::string& version)
{
    return {{"%PUBLISHER", "Tarvel"},
            {"%REG_FODLER_PROGNAME", "Ostrel"},
            {"%PROGRAM_FILES", "Ostrel"},
            {"%PROGRAM_FILES_OLD", "Ostrel_Old"},
            {"%PROGRAM_EXEC", "Ostrel.exe"},
            {"%PROGRAM_FORMCAPTION", "Ostrel Main"},
            {"%PROGRAM_VERSION", version},
            {"%PROGRAM_ONBOOT", "Ostrel"},
            {"%UPDATER_DIR", "OnlineUpdater"},
            {"%UNINST_ICO", "Uninstall.ico"},
            {"%MANULA_EXIST", "1"},
            {"%MANUAL_DIR", "Manual\\"},
            {"%MANUAL_ICO", "Manual.ico"}};
}

std::string IniText(const std::map<std::string, std::string>& settings)
{
    std::string text = "[Setup]\r\n";
    for (const auto& [key, value] : settings)
        text += key + "=" + value + "\r\n";
    return text;
}

class UpdaterFlow : public PrepareFlowTest {
protected:
    void PutUpdaterTexts()
    {
        PutFile(u"C:\\Setup\\Texts\\InstallWizard.xlsx", "not a workbook");
        PutFile(u"C:\\Setup\\Texts\\LanguageIni_InstallWizard\\English\\Install_English.ini",
                "[InstallWizard]\r\nProductName=Ostrel\r\nMSG_101=No key can be formed.\r\n"
                "[UNINSTALL]\r\nLINK_PROGRAMS_PUBLISHER=Tarvel\r\nLINK_PROGRAMS_FOLDER=Ostrel Tools\r\n"
                "LINK_PROGRAMS_EXEC=Ostrel\r\nLINK_PROGRAMS_UNIST=Uninstall Ostrel\r\n"
                "LINK_PROGRAMS_MANUAL=Ostrel Manual\r\nLINK_DESKTOP=Ostrel\r\nDISPLAY_NAME=Ostrel\r\n"
                "PUBLISHER=Tarvel\r\nURL=https://tarvel.example\r\n");
    }

    // Version 1.0 of Ostrel as its installation left it, its Setup.ini now
    // Setup_old.ini beside the installer, and the new Setup.ini put there by the updater.
    void PutUpdatedInstallation(const std::map<std::string, std::string>& newSettings,
                                const std::map<std::string, std::string>& oldSettings = ProductSettings("1.0"))
    {
        PutUpdaterTexts();
        PutFile(u"C:\\Setup\\Setup.ini", IniText(newSettings));
        PutFile(kOldIni, IniText(oldSettings));
        const std::pair<const char16_t*, UString> privateValues[] = {
            {u"UninstOnAppDataDir", kKept},
            {u"Product", u"Ostrel"},
            {u"FormCaption", u"Ostrel Main"},
            {u"InstallDir", kRoot},
            {u"ExecOnBoot", u"Ostrel"},
            {u"UninstRegFolder", u"Ostrel"},
            {u"LINK_ProgramsExec", kLinks + u"\\Ostrel.lnk"},
            {u"LINK_ProgramUnist", kLinks + u"\\Uninstall Ostrel.lnk"},
            {u"LINK_ProgramsManual", kLinks + u"\\Ostrel Manual.lnk"},
            {u"LINK_DesktopExec", kDesktopLink},
            {u"OnlineUpdaterDir", kRoot + u"\\OnlineUpdater"},
        };
        for (const auto& [name, value] : privateValues)
            WriteMachineValue(kPrivateKey, name, value);
        WriteMachineValue(kUninstallEntry, u"DisplayName", u"Ostrel");
        WriteMachineValue(kUninstallEntry, u"DisplayVersion", u"1.0");
        WriteMachineValue(kUninstallEntry, u"UninstallString", u"\"" + kKept + u"\" uninstall");
        WriteUserValue(u"Ostrel", u"\"" + kProgram + u"\" Minimum");
        // Shortcuts described "old", so that a re-created one shows.
        const UString programFolder = kRoot + u"\\Ostrel\\";
        machine().MakeFolders(ExtractFilePath(kKept));
        machine().MakeFolders(kLinks);
        machine().MakeFolders(u"C:\\Users\\Public\\Desktop");
        CreateShortcutFile(kLinks + u"\\Ostrel.lnk", kProgram, u"old", kProgram, u"");
        CreateShortcutFile(kLinks + u"\\Uninstall Ostrel.lnk", kKept, u"old", programFolder + u"Uninstall.ico",
                           u"uninstall");
        CreateShortcutFile(kLinks + u"\\Ostrel Manual.lnk", programFolder + u"Manual\\English.pdf", u"old",
                           programFolder + u"Manual.ico", u"");
        CreateShortcutFile(kDesktopLink, kProgram, u"old", kProgram, u"");
        PutFile(kProgram, "program 1.1");
        PutFile(kRoot + u"\\Ostrel\\ScriptsMacros\\Mine.osm", "the user's macro");
        PutFile(kRoot + u"\\OnlineUpdater\\Upgrade.ini", "[Upgrade_Info]\r\nUpdaterName=OstrelUpdater\r\n");
        PutFile(kRoot + u"\\OnlineUpdater\\OstrelUpdater.exe", "updater");
        SetArgument(u"registry");
    }

    void WriteUserValue(const UString& name, const UString& value)
    {
        TRegistry registry(KEY_WRITE_MASK);
        registry.SetRootKey(RegRoot::CurrentUser);
        ASSERT_TRUE(registry.OpenKey(kRunKey, true));
        ASSERT_TRUE(registry.WriteString(name, value));
    }

    std::optional<UString> MachineValue(const UString& key, const UString& name)
    {
        return machine().RegReadString(RegRoot::LocalMachine, key, name);
    }
    std::optional<UString> RunValue(const UString& name)
    {
        return machine().RegReadString(RegRoot::CurrentUser, kRunKey, name);
    }
    // The description of a shortcut ("old" when it was not made anew), or "<none>".
    UString LinkDescription(const UString& link)
    {
        const std::optional<ShortcutSpec> shortcut = machine().ReadShortcut(link);
        return shortcut ? shortcut->description : u"<none>";
    }
    UString LinkTarget(const UString& link)
    {
        const std::optional<ShortcutSpec> shortcut = machine().ReadShortcut(link);
        return shortcut ? shortcut->target : u"<none>";
    }
    std::vector<UString> Started() { return machine().JournalOf(SimJournal::ShellExecute); }
    bool DebugSays(UStringView part)
    {
        for (const UString& line : machine().JournalOf(SimJournal::Debug))
            if (line.find(part) != UString::npos)
                return true;
        return false;
    }

    void Run()
    {
        machine().ClearJournal();
        PrepareUser user;
        RunProgram(user);
        EXPECT_EQ(u"", user.atPage.shownPage);
        EXPECT_FALSE(user.sawBeforeTick);
        EXPECT_FALSE(headless::RunEndedStuck());
    }
};

std::map<std::string, std::string> With(std::map<std::string, std::string> settings, const std::string& key,
                                        const std::string& value)
{
    settings[key] = value;
    return settings;
}

const UString kFinishStart = u"open|" + kRoot + u"\\OnlineUpdater\\OstrelUpdater.exe|UpdaterFinish||0";

TEST_F(UpdaterFlow, UpdaterModeStartsTheInstalledCopysUpdaterWithInstallExeRecall)
{
    PutUpdatedInstallation(ProductSettings("1.0"));
    SetArgument(u"UPDATER");
    Run();
    EXPECT_EQ(std::vector<UString>{u"open|" + kRoot + u"\\OnlineUpdater\\OstrelUpdater.exe|InstallExeRecall||0"},
              Started());
    EXPECT_TRUE(MessageTexts().empty());
    // The updater mode writes nothing.
    EXPECT_EQ(u"1.0", MachineValue(kUninstallEntry, u"DisplayVersion"));
    EXPECT_TRUE(machine().FileExists(kOldIni));
}

TEST_F(UpdaterFlow, UpdaterModeStartsNothingWithoutKeyOrUpdaterName)
{
    struct Case {
        const char* name;
        std::string upgradeIni;  // "" : no Upgrade.ini
        bool withKey;
    };
    const Case cases[] = {
        {"empty UpdaterName", "[Upgrade_Info]\r\nUpdaterName=\r\n", true},
        {"a name leading out of the folder", "[Upgrade_Info]\r\nUpdaterName=..\\..\\Evil\r\n", true},
        {"no Upgrade.ini", "", true},
        {"no private key", "[Upgrade_Info]\r\nUpdaterName=OstrelUpdater\r\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        headless::Reset();
        PutUpdatedInstallation(ProductSettings("1.0"));
        if (c.upgradeIni.empty())
            machine().DeleteFile(kRoot + u"\\OnlineUpdater\\Upgrade.ini");
        else
            PutFile(kRoot + u"\\OnlineUpdater\\Upgrade.ini", c.upgradeIni);
        if (!c.withKey)
            machine().RegDeleteKeyTree(RegRoot::LocalMachine, u"Software\\Tarvel");
        // Something at the current drive's root must not be taken for the updater.
        machine().WriteWholeFile(u"C:\\Upgrade.ini", "[Upgrade_Info]\r\nUpdaterName=Root\r\n");
        SetArgument(u"updater");
        Run();
        EXPECT_TRUE(Started().empty());
        EXPECT_TRUE(MessageTexts().empty());
    }
}

TEST_F(UpdaterFlow, NewVersionInTheSameFoldersIsRewrittenInPlaceWithoutNewShortcuts)
{
    PutUpdatedInstallation(ProductSettings("1.1"));
    Run();

    EXPECT_EQ(u"1.1", MachineValue(kUninstallEntry, u"DisplayVersion"));
    EXPECT_EQ(u"\"" + kKept + u"\" uninstall", MachineValue(kUninstallEntry, u"UninstallString"));
    EXPECT_EQ(kRoot, MachineValue(kPrivateKey, u"InstallDir"));
    EXPECT_EQ(kLinks + u"\\Ostrel.lnk", MachineValue(kPrivateKey, u"LINK_ProgramsExec"));
    EXPECT_EQ(kDesktopLink, MachineValue(kPrivateKey, u"LINK_DesktopExec"));
    EXPECT_EQ(kRoot + u"\\OnlineUpdater", MachineValue(kPrivateKey, u"OnlineUpdaterDir"));
    for (const UString& link : {kLinks + u"\\Ostrel.lnk", kLinks + u"\\Ostrel Manual.lnk", kDesktopLink})
        EXPECT_EQ(u"old", LinkDescription(link)) << ToUtf8(link);
    // Its icon is the one Setup_old.ini names: the uninstall shortcut stays too.
    EXPECT_EQ(u"old", LinkDescription(kLinks + u"\\Uninstall Ostrel.lnk"));
    // Name and program unchanged: the run value is left as the user has it.
    EXPECT_EQ(u"\"" + kProgram + u"\" Minimum", RunValue(u"Ostrel"));
    EXPECT_EQ(std::vector<UString>{kFinishStart}, Started());
    EXPECT_FALSE(machine().FileExists(kOldIni));
    EXPECT_EQ("program 1.1", FileText(kProgram));
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(UpdaterFlow, ChangedNamesReplaceTheOldEntryKeyRunValueAndShortcuts)
{
    const UString newEntry = UString(kUninstallKey) + u"OstrelNext";
    const UString newKey = u"Software\\Tarvel\\OstrelNext\\";
    PutUpdatedInstallation(
        With(With(ProductSettings("1.1"), "%REG_FODLER_PROGNAME", "OstrelNext"), "%PROGRAM_ONBOOT", "OstrelBoot"));
    Run();

    EXPECT_FALSE(machine().RegKeyExists(RegRoot::LocalMachine, kUninstallEntry));
    EXPECT_EQ(u"1.1", MachineValue(newEntry, u"DisplayVersion"));
    EXPECT_FALSE(machine().RegKeyExists(RegRoot::LocalMachine, kPrivateKey));
    EXPECT_EQ(u"OstrelNext", MachineValue(newKey, u"UninstRegFolder"));
    EXPECT_EQ(kRoot, MachineValue(newKey, u"InstallDir"));
    EXPECT_EQ(kLinks + u"\\Ostrel.lnk", MachineValue(newKey, u"LINK_ProgramsExec"));
    EXPECT_FALSE(RunValue(u"Ostrel"));
    EXPECT_EQ(u"\"" + kProgram + u"\" Minimum", RunValue(u"OstrelBoot"));
    // The shared keys stay.
    EXPECT_TRUE(machine().RegKeyExists(RegRoot::LocalMachine, kUninstallKey));
    EXPECT_TRUE(machine().RegKeyExists(RegRoot::CurrentUser, kRunKey));
}

TEST_F(UpdaterFlow, ManualAndDesktopShortcutsFollowTheConfiguration)
{
    const UString manualLink = kLinks + u"\\Ostrel Manual.lnk";
    struct Case {
        const char* name;
        std::map<std::string, std::string> oldSettings, newSettings;
        bool hadDesktopLink;
        UString manualDescription;  // "<none>": no manual shortcut left
        UString manualTarget;
        UString desktopDescription;
    };
    const std::map<std::string, std::string> base = ProductSettings("1.0");
    const Case cases[] = {
        {"manual dropped", base, With(base, "%MANULA_EXIST", "0"), true, u"<none>", u"<none>", u"old"},
        {"manual folder without backslash", base, With(base, "%MANUAL_DIR", "Manual"), true, u"Ostrel Manual",
         kRoot + u"\\Ostrel\\ManualEnglish.pdf", u"old"},
        {"the same manual folder without backslash", With(base, "%MANUAL_DIR", "Manual"),
         With(base, "%MANUAL_DIR", "Manual"), true, u"old", kRoot + u"\\Ostrel\\Manual\\English.pdf", u"old"},
        {"no desktop shortcut before", base, base, false, u"old", kRoot + u"\\Ostrel\\Manual\\English.pdf", u"Ostrel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        headless::Reset();
        PutUpdatedInstallation(c.newSettings, c.oldSettings);
        if (!c.hadDesktopLink) {
            machine().DeleteFile(kDesktopLink);
            WriteMachineValue(kPrivateKey, u"LINK_DesktopExec", u"");
        }
        Run();
        EXPECT_EQ(c.manualDescription, LinkDescription(manualLink));
        EXPECT_EQ(c.manualTarget, LinkTarget(manualLink));
        EXPECT_EQ(c.desktopDescription, LinkDescription(kDesktopLink));
        EXPECT_EQ(kProgram, LinkTarget(kDesktopLink));
        EXPECT_EQ(kDesktopLink, MachineValue(kPrivateKey, u"LINK_DesktopExec"));
        EXPECT_EQ(u"old", LinkDescription(kLinks + u"\\Ostrel.lnk"));
    }
}

TEST_F(UpdaterFlow, NewProductFolderMovesTheRootWithTheUsersMacrosAndEverythingFollows)
{
    const UString newRoot = kPF + u"\\OstrelNext";
    const UString newProgram = newRoot + u"\\OstrelNext\\Ostrel.exe";
    const UString newKept = u"C:\\ProgramData\\Microsoft\\Windows\\Templates\\OstrelNext\\Setup.exe";
    PutUpdatedInstallation(With(ProductSettings("1.1"), "%PROGRAM_FILES", "OstrelNext"));
    PutFile(newRoot + u"\\OstrelNext\\Ostrel.exe", "program 1.1");
    PutFile(u"C:\\Setup\\Setup.exe", "the installer");
    PutFile(kRoot + u"\\OnlineUpdater\\Regedit_FileList.ini", "[Records]\r\n");
    Run();

    EXPECT_EQ("the user's macro", FileText(newRoot + u"\\Ostrel\\ScriptsMacros\\Mine.osm"));
    EXPECT_EQ("updater", FileText(newRoot + u"\\OnlineUpdater\\OstrelUpdater.exe"));
    EXPECT_TRUE(machine().DirectoryExists(kRoot));
    EXPECT_TRUE(IsFolderEmpty(kRoot + u"\\"));

    EXPECT_EQ(newRoot, MachineValue(kPrivateKey, u"InstallDir"));
    EXPECT_EQ(u"OstrelNext", MachineValue(kPrivateKey, u"Product"));
    EXPECT_EQ(newRoot + u"\\OnlineUpdater", MachineValue(kPrivateKey, u"OnlineUpdaterDir"));
    EXPECT_EQ(u"\"" + newKept + u"\" uninstall", MachineValue(kUninstallEntry, u"UninstallString"));
    EXPECT_EQ(newKept, MachineValue(kPrivateKey, u"UninstOnAppDataDir"));
    // This installer, with the new Setup.ini, kept where the entry now points.
    EXPECT_TRUE(machine().FileExists(newKept));
    const UString keptFolder = u"C:\\ProgramData\\Microsoft\\Windows\\Templates\\OstrelNext\\";
    EXPECT_NE(std::string::npos, FileText(keptFolder + u"Setup.ini").find("%PROGRAM_FILES=OstrelNext\r\n"));
    EXPECT_FALSE(machine().FileExists(keptFolder + u"Setup_old.ini"));
    EXPECT_EQ(u"\"" + newProgram + u"\" Minimum", RunValue(u"Ostrel"));
    for (const UString& link : {kLinks + u"\\Ostrel.lnk", kDesktopLink}) {
        EXPECT_EQ(newProgram, LinkTarget(link)) << ToUtf8(link);
        EXPECT_EQ(u"Ostrel", LinkDescription(link)) << ToUtf8(link);
    }
    EXPECT_EQ(newKept, LinkTarget(kLinks + u"\\Uninstall Ostrel.lnk"));
    EXPECT_EQ(newRoot + u"\\OstrelNext\\Manual\\English.pdf", LinkTarget(kLinks + u"\\Ostrel Manual.lnk"));
    // The records went with the root; the updater starts from its new place.
    const UString record = newRoot + u"\\OnlineUpdater\\Regedit_FileList.ini";
    EXPECT_EQ(newRoot, machine().ReadProfileString(record, u"HKEY_LOCAL_MACHINE\\Software\\Tarvel\\Ostrel",
                                                   u"InstallDir", u"-"));
    EXPECT_EQ(newProgram,
              machine().ReadProfileString(
                  record, u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", u"Ostrel", u"-"));
    EXPECT_EQ(std::vector<UString>{u"open|" + newRoot + u"\\OnlineUpdater\\OstrelUpdater.exe|UpdaterFinish||0"},
              Started());
    EXPECT_FALSE(machine().FileExists(kOldIni));
}

TEST_F(UpdaterFlow, TheSameRootSpelledOtherwiseOrANestedRootIsNeverCopiedOrEmptied)
{
    struct Case {
        const char* name;
        UString recordedRoot;
        std::string newProductFolder;
        bool refusalNoted;
    };
    const Case cases[] = {
        {"other letter case and a trailing backslash", u"c:\\PROGRAM FILES (X86)\\ostrel\\", "Ostrel", false},
        {"forward slashes and a dot part", u"C:/Program Files (x86)/./Ostrel", "Ostrel", false},
        {"the old root inside the new, spelled with ..", kRoot + u"\\Inner\\..\\Ostrel", "Ostrel", true},
        {"old root below the new one", kPF + u"\\Outer\\Ostrel", "Outer", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        headless::Reset();
        PutUpdatedInstallation(With(ProductSettings("1.1"), "%PROGRAM_FILES", c.newProductFolder));
        WriteMachineValue(kPrivateKey, u"InstallDir", c.recordedRoot);
        const UString oldRoot = NormalisedFullPath(c.recordedRoot);
        const UString macro = u"Nested" + IntToStr(&c - cases) + u".osm";
        PutFile(oldRoot + u"\\Ostrel\\ScriptsMacros\\" + macro, "nested macro");
        Run();
        EXPECT_EQ("nested macro", FileText(oldRoot + u"\\Ostrel\\ScriptsMacros\\" + macro));
        EXPECT_EQ("the user's macro", FileText(kRoot + u"\\Ostrel\\ScriptsMacros\\Mine.osm"));
        EXPECT_EQ(c.refusalNoted, DebugSays(u"the one lies inside the other"));
        // Nothing of the old root copied into the new one.
        if (c.refusalNoted) {
            EXPECT_FALSE(machine().FileExists(kPF + u"\\" + FromUtf8(c.newProductFolder) +
                                              u"\\Ostrel\\ScriptsMacros\\" + macro));
        }
        EXPECT_FALSE(machine().FileExists(kOldIni));
    }
}

TEST_F(UpdaterFlow, AFileThatCouldNotBeCopiedKeepsTheOldRootWhole)
{
    const UString newRoot = kPF + u"\\OstrelNext";
    PutUpdatedInstallation(With(ProductSettings("1.1"), "%PROGRAM_FILES", "OstrelNext"));
    machine().FailOn(SimOp::CopyFile, kRoot + u"\\Ostrel\\ScriptsMacros\\Mine.osm", WinError::SharingViolation);
    Run();
    EXPECT_EQ("the user's macro", FileText(kRoot + u"\\Ostrel\\ScriptsMacros\\Mine.osm"));
    EXPECT_EQ("program 1.1", FileText(kProgram));
    EXPECT_TRUE(DebugSays(u"not every file reached"));
}

TEST_F(UpdaterFlow, WithoutSetupIniNothingIsRewrittenAndSetupOldIniStillGoes)
{
    PutUpdatedInstallation(ProductSettings("1.1"));
    machine().DeleteFile(u"C:\\Setup\\Setup.ini");
    Run();
    EXPECT_EQ(u"1.0", MachineValue(kUninstallEntry, u"DisplayVersion"));
    EXPECT_EQ(kRoot, MachineValue(kPrivateKey, u"InstallDir"));
    EXPECT_TRUE(Started().empty());
    EXPECT_FALSE(machine().FileExists(kOldIni));
    EXPECT_EQ(std::vector<UString>{u"No key can be formed. (101)"}, MessageTexts());
}

TEST_F(UpdaterFlow, WithoutSetupOldIniThePathsComeFromSetupIni)
{
    PutUpdatedInstallation(ProductSettings("1.1"));
    machine().DeleteFile(kOldIni);
    Run();
    EXPECT_EQ(u"1.1", MachineValue(kUninstallEntry, u"DisplayVersion"));
    EXPECT_EQ(kRoot, MachineValue(kPrivateKey, u"InstallDir"));
    EXPECT_EQ(kProgram, LinkTarget(kLinks + u"\\Ostrel.lnk"));
    EXPECT_EQ(kLinks + u"\\Ostrel.lnk", MachineValue(kPrivateKey, u"LINK_ProgramsExec"));
    EXPECT_EQ(std::vector<UString>{kFinishStart}, Started());
}

TEST_F(UpdaterFlow, RegistryModeWithAnEmptyUpdaterNameStartsNothingAndStillDeletesSetupOldIni)
{
    PutUpdatedInstallation(ProductSettings("1.1"));
    PutFile(kRoot + u"\\OnlineUpdater\\Upgrade.ini", "[Upgrade_Info]\r\nUpdaterName=\r\n");
    Run();
    EXPECT_TRUE(Started().empty());
    EXPECT_EQ(u"1.1", MachineValue(kUninstallEntry, u"DisplayVersion"));
    EXPECT_FALSE(machine().FileExists(kOldIni));
}

TEST_F(UpdaterFlow, TheRecordFileIsRewrittenWhenItExistsAndLeftAbsentOtherwise)
{
    for (const bool present : {true, false}) {
        SCOPED_TRACE(present ? "present" : "absent");
        headless::Reset();
        PutUpdatedInstallation(With(ProductSettings("1.1"), "%PROGRAM_ONBOOT", "OstrelBoot"));
        machine().DeleteFile(kRecordFile);
        if (present)
            PutFile(kRecordFile, "\xEF\xBB\xBF[HKEY_LOCAL_MACHINE\\Software\\Tarvel\\Ostrel]\r\nInstallDir=old\r\n"
                                 "Kept=as it was\r\n");
        Run();
        if (!present) {
            EXPECT_FALSE(machine().FileExists(kRecordFile));
            continue;
        }
        const std::string text = FileText(kRecordFile);
        EXPECT_EQ("\xEF\xBB\xBF", text.substr(0, 3));
        auto value = [&](const UString& section, const UString& key) {
            return machine().ReadProfileString(kRecordFile, section, key, u"<none>");
        };
        const UString privateSection = u"HKEY_LOCAL_MACHINE\\Software\\Tarvel\\Ostrel";
        EXPECT_EQ(kRoot, value(privateSection, u"InstallDir"));
        EXPECT_EQ(u"as it was", value(privateSection, u"Kept"));
        EXPECT_EQ(u"OstrelBoot", value(privateSection, u"ExecOnBoot"));
        EXPECT_EQ(u"1.1", value(u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrel",
                                u"DisplayVersion"));
        EXPECT_EQ(kProgram,
                  value(u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", u"OstrelBoot"));
    }
}

TEST(RemoveEmptyFolders, EndsAtTheTopAndNeverLeavesIt)
{
    ScopedSimMachine scope;
    SimMachine& m = scope.machine();
    const UString top = u"C:\\Menu";
    struct Case {
        const char* name;
        UString path;
        std::vector<UString> gone, kept;
    };
    const Case cases[] = {
        {"a shortcut's empty folders",
         u"C:\\Menu\\Pub\\Prog\\App.lnk",
         {u"C:\\Menu\\Pub\\Prog", u"C:\\Menu\\Pub"},
         {u"C:\\Menu"}},
        {"a folder still holding something", u"C:\\Menu\\Full\\Prog\\", {u"C:\\Menu\\Full\\Prog"}, {u"C:\\Menu\\Full"}},
        {"outside the top", u"C:\\Other\\Empty\\App.lnk", {}, {u"C:\\Other\\Empty", u"C:\\Other"}},
        {"empty path", u"", {}, {u"C:\\Menu"}},
        {"a drive root", u"C:\\", {}, {u"C:\\Menu"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const UString folder : {u"C:\\Menu\\Pub\\Prog", u"C:\\Menu\\Full\\Prog", u"C:\\Other\\Empty"})
            m.MakeFolders(folder);
        m.CreateEmptyFile(u"C:\\Menu\\Full\\other.lnk");
        TFPrepare::RemoveEmptyFolders(top, c.path);
        for (const UString& folder : c.gone)
            EXPECT_FALSE(m.DirectoryExists(folder)) << ToUtf8(folder);
        for (const UString& folder : c.kept)
            EXPECT_TRUE(m.DirectoryExists(folder)) << ToUtf8(folder);
    }
}

}  // namespace
