// Whole installations on a simulated 64-bit Windows 10.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "app/App.h"
#include "base/Paths.h"
#include "engine_install/InstallFixture.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

using InstallRunTest = InstallFixture;

UString In(UStringView folder, UStringView rest) { return UString(folder) + u"\\" + UString(rest); }

const UString kKeptSetup = In(KeptCopy, u"Setup.exe");
const UString kProgramExe = In(ProgramDir, u"Ostrel.exe");

// Sorted, as FilesBelow gives them.
std::vector<UString> ExpectedPayload()
{
    std::vector<UString> files = {
        In(Program, u"Ostrel\\Manual\\English.pdf"),        In(Program, u"Ostrel\\Ostrel.exe"),
        In(Program, u"Ostrel\\ScriptsMacros\\default.mac"), In(Program, u"OstrelOld\\legacy.dll"),
        In(Program, u"Updater\\Regedit_FileList.ini"),      In(Program, u"Updater\\Updater.exe")};
    std::sort(files.begin(), files.end());
    return files;
}

TEST_F(InstallRunTest, CopiesThePayloadAndKeepsTheInstallerWithoutIt)
{
    WritePackage();
    const InstallRun run = RunInstall();
    ASSERT_TRUE(run.threadFinished);

    EXPECT_EQ(ExpectedPayload(), FilesBelow(Program));
    EXPECT_EQ("ostrel 2", FileText(kProgramExe));
    EXPECT_EQ((std::vector<UString>{In(KeptCopy, u"English\\Application.ico"), In(KeptCopy, u"Setup.exe"),
                                    In(KeptCopy, u"Setup.ini"), In(KeptCopy, u"Texts\\InstallWizard.xlsx")}),
              FilesBelow(KeptCopy));
    EXPECT_EQ(kKeptSetup, App.UninstallerPath);
    EXPECT_EQ(In(Program, u"Updater\\"), App.UpdaterDir);
    EXPECT_EQ(u"", App.BackupDir);
    EXPECT_THAT(DebugLines(), Contains(u"sBackupProgPath : " + UString(Templates) + u"\\OstrelReg\\ScriptsMacros"));
}

// The payload goes to the program folders only, however the package spells its folder.
class PayloadSpellingTest : public InstallFixture, public ::testing::WithParamInterface<const char16_t*> {};

TEST_P(PayloadSpellingTest, TheKeptInstallerLeavesOutThePayload)
{
    WritePackage(GetParam());
    ASSERT_TRUE(RunInstall().threadFinished);
    EXPECT_EQ(ExpectedPayload(), FilesBelow(Program));
    EXPECT_EQ((std::vector<UString>{In(KeptCopy, u"English\\Application.ico"), In(KeptCopy, u"Setup.exe"),
                                    In(KeptCopy, u"Setup.ini"), In(KeptCopy, u"Texts\\InstallWizard.xlsx")}),
              FilesBelow(KeptCopy));
}

INSTANTIATE_TEST_SUITE_P(Spellings, PayloadSpellingTest,
                         ::testing::Values(u"Program Files", u"program files", u"PROGRAM files"));

TEST_F(InstallRunTest, AnInstallerWithTextsOnlyInThePayloadGivesItsCopyTheWorkbook)
{
    Set("%PROGRAM_DATA", "Data\\");
    WritePackage();
    ASSERT_TRUE(machine().DeleteFile(u"C:\\Setup\\Texts\\InstallWizard.xlsx"));
    ASSERT_TRUE(machine().RemoveDirectory(u"C:\\Setup\\Texts"));
    PutFile(u"C:\\Setup\\program files\\Ostrel\\Data\\Forms\\Texts\\InstallWizard.xlsx", "payload workbook");
    ASSERT_TRUE(RunInstall().threadFinished);
    EXPECT_EQ("payload workbook", FileText(In(KeptCopy, u"Texts\\InstallWizard.xlsx")));
    EXPECT_FALSE(machine().DirectoryExists(In(KeptCopy, u"program files")));
}

TEST_F(InstallRunTest, WritesTheUninstallEntryTheRunValueAndThePrivateKeyInOrder)
{
    WritePackage();
    ASSERT_TRUE(RunInstall().threadFinished);

    EXPECT_THAT(KeyValues(RegRoot::LocalMachine, UninstallEntry),
                ElementsAre(u"DisplayName=Ostrel 2", u"UninstallString=\"" + kKeptSetup + u"\" uninstall",
                            u"DisplayIcon=" + In(KeptCopy, u"English\\Application.ico"), u"DisplayVersion=2.1.0",
                            u"Publisher=Brightwater Labs Ltd", u"URLInfoAbout=https://brightwater.example/ostrel"));
    EXPECT_EQ(u"\"" + kProgramExe + u"\" Minimum",
              machine().RegReadString(RegRoot::CurrentUser, RunKey, u"OstrelTray").value_or(u"<missing>"));
    EXPECT_THAT(KeyValues(RegRoot::LocalMachine, PrivateKey),
                ElementsAre(u"UninstOnAppDataDir=" + kKeptSetup, u"Product=Ostrel", u"FormCaption=Ostrel Main",
                            u"InstallDir=" + UString(Program), u"ExecOnBoot=OstrelTray", u"UninstRegFolder=OstrelReg",
                            u"LINK_ProgramsExec=" + In(StartMenu, u"Ostrel.lnk"),
                            u"LINK_ProgramUnist=" + In(StartMenu, u"Uninstall Ostrel.lnk"),
                            u"LINK_ProgramsManual=" + In(StartMenu, u"Ostrel Manual.lnk"),
                            u"LINK_DesktopExec=C:\\Users\\Public\\Desktop\\Ostrel Desktop.lnk",
                            u"OnlineUpdaterDir=" + In(Program, u"Updater")));
}

TEST_F(InstallRunTest, TheRecordFileHoldsExactlyTheThreeRecords)
{
    WritePackage();
    const InstallRun run = RunInstall();
    const std::string expected =
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OstrelReg]\r\n"
        "DisplayName=Ostrel 2\r\n"
        "UninstallString=\"C:\\ProgramData\\Microsoft\\Windows\\Templates\\Ostrel\\Setup.exe\" uninstall\r\n"
        "DisplayIcon=C:\\ProgramData\\Microsoft\\Windows\\Templates\\Ostrel\\English\\Application.ico\r\n"
        "DisplayVersion=2.1.0\r\n"
        "Publisher=Brightwater Labs Ltd\r\n"
        "URLInfoAbout=https://brightwater.example/ostrel\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
        "OstrelTray=C:\\Program Files (x86)\\Ostrel\\Ostrel\\Ostrel.exe\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Brightwater\\OstrelReg]\r\n"
        "UninstOnAppDataDir=C:\\ProgramData\\Microsoft\\Windows\\Templates\\Ostrel\\Setup.exe\r\n"
        "Product=Ostrel\r\n"
        "FormCaption=Ostrel Main\r\n"
        "InstallDir=C:\\Program Files (x86)\\Ostrel\r\n"
        "ExecOnBoot=OstrelTray\r\n"
        "UninstRegFolder=OstrelReg\r\n"
        "LINK_ProgramsExec=C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Brightwater Labs\\Ostrel "
        "Suite\\Ostrel.lnk\r\n"
        "LINK_ProgramUnist=C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Brightwater Labs\\Ostrel "
        "Suite\\Uninstall Ostrel.lnk\r\n"
        "LINK_ProgramsManual=C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Brightwater Labs\\Ostrel "
        "Suite\\Ostrel Manual.lnk\r\n"
        "LINK_DesktopExec=C:\\Users\\Public\\Desktop\\Ostrel Desktop.lnk\r\n"
        "OnlineUpdaterDir=C:\\Program Files (x86)\\Ostrel\\Updater\r\n"
        "\r\n";
    EXPECT_EQ(expected, FileText(In(Program, u"Updater\\Regedit_FileList.ini")));
    // Written before the page hears of the end.
    EXPECT_EQ(expected, run.recordAtFinish);
}

TEST_F(InstallRunTest, TheRecordFileKeepsTheEncodingItCameIn)
{
    WritePackage();
    PutFile(u"C:\\Setup\\program files\\Updater\\Regedit_FileList.ini", std::string("\xFF\xFE[\0O\0]\0\r\0\n\0", 12));
    ASSERT_TRUE(RunInstall().threadFinished);
    const std::string record = FileText(In(Program, u"Updater\\Regedit_FileList.ini"));
    ASSERT_GE(record.size(), 4u);
    EXPECT_EQ(std::string("\xFF\xFE[\0", 4), record.substr(0, 4));
    EXPECT_EQ(std::string::npos, record.find(std::string("O\0]\0", 4)));
}

TEST_F(InstallRunTest, NoRecordFileIsMadeWhenThePayloadBringsNone)
{
    WritePackage();
    ASSERT_TRUE(machine().DeleteFile(u"C:\\Setup\\program files\\Updater\\Regedit_FileList.ini"));
    ASSERT_TRUE(RunInstall().threadFinished);
    EXPECT_FALSE(machine().FileExists(In(Program, u"Updater\\Regedit_FileList.ini")));
    EXPECT_THAT(KeyValues(RegRoot::LocalMachine, PrivateKey), Not(IsEmpty()));
}

TEST_F(InstallRunTest, ShortcutsLeadToTheProgramTheUninstallerAndTheManual)
{
    WritePackage();
    ASSERT_TRUE(RunInstall().threadFinished);

    struct Expected {
        UString link, target, arguments, description, icon;
    };
    const Expected expected[] = {
        {In(StartMenu, u"Ostrel.lnk"), kProgramExe, u"", u"Ostrel", kProgramExe},
        {In(StartMenu, u"Uninstall Ostrel.lnk"), kKeptSetup, u"uninstall", u"Uninstall Ostrel",
         In(ProgramDir, u"Uninstall.ico")},
        {In(StartMenu, u"Ostrel Manual.lnk"), In(ProgramDir, u"Manual\\English.pdf"), u"", u"Ostrel Manual",
         In(ProgramDir, u"Manual.ico")},
        {u"C:\\Users\\Public\\Desktop\\Ostrel Desktop.lnk", kProgramExe, u"", u"Ostrel", kProgramExe},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(ToUtf8(e.link));
        const auto link = machine().ReadShortcut(e.link);
        ASSERT_TRUE(link.has_value());
        EXPECT_EQ(e.target, link->target);
        EXPECT_EQ(e.arguments, link->arguments);
        EXPECT_EQ(e.description, link->description);
        EXPECT_EQ(e.icon, link->iconPath);
        EXPECT_EQ(0, link->iconIndex);
        EXPECT_EQ(ExtractFilePath(e.target), link->workingDir);
    }
    EXPECT_EQ(In(StartMenu, u"Ostrel.lnk"), App.LinkProgramsExecPath);
    EXPECT_EQ(u"C:\\Users\\Public\\Desktop\\Ostrel Desktop.lnk", App.LinkDesktopPath);
}

// A later uninstallation finds the Start-menu folders through the recorded paths,
// so a shortcut that could not be saved is recorded all the same.
TEST_F(InstallRunTest, AShortcutThatCouldNotBeSavedIsRecordedAndSaidSo)
{
    WritePackage();
    const UString program = In(StartMenu, u"Ostrel.lnk");
    const UString desktop = u"C:\\Users\\Public\\Desktop\\Ostrel Desktop.lnk";
    machine().FailOn(SimOp::WriteShortcut, program, WinError::AccessDenied);
    machine().FailOn(SimOp::WriteShortcut, desktop, WinError::AccessDenied);
    ASSERT_TRUE(RunInstall().threadFinished);

    EXPECT_FALSE(machine().FileExists(program));
    EXPECT_TRUE(machine().FileExists(In(StartMenu, u"Uninstall Ostrel.lnk")));
    EXPECT_EQ(program, App.LinkProgramsExecPath);
    EXPECT_EQ(desktop, App.LinkDesktopPath);
    const std::vector<UString> values = KeyValues(RegRoot::LocalMachine, PrivateKey);
    EXPECT_THAT(values, Contains(u"LINK_ProgramsExec=" + program));
    EXPECT_THAT(values, Contains(u"LINK_DesktopExec=" + desktop));
    EXPECT_THAT(DebugLines(), Contains(u"Shortcut not saved: " + program));
    EXPECT_THAT(DebugLines(), Contains(u"Shortcut not saved: " + desktop));
}

// The status line's file paths become "file"; the rest stays as it was shown.
std::vector<UString> Steps(const std::vector<UString>& events)
{
    std::vector<UString> out;
    for (const UString& e : events)
        out.push_back(StartsWith(e, u"text:C:\\") ? UString(u"file") : e);
    return out;
}

TEST_F(InstallRunTest, StatusLineAndBarFollowTheSteps)
{
    WritePackage();
    const InstallRun run = RunInstall();
    std::vector<UString> expected = {u"bar:0", u"bar:10", u"bar:0", u"text:Copying files"};
    for (int i = 1; i <= 6; ++i) {
        expected.push_back(u"file");
        expected.push_back(u"bar:" + IntToStr(i));
    }
    for (const char16_t* e :
         {u"bar:0", u"bar:20", u"bar:40", u"bar:60", u"bar:80", u"bar:0", u"text:Writing the uninstall entry",
          u"bar:20", u"text:Writing the start value", u"bar:40", u"text:Creating shortcuts", u"bar:60",
          u"text:Writing the private key", u"bar:80"})
        expected.push_back(e);
    for (int i = 81; i <= 84; ++i) {
        expected.push_back(u"file");
        expected.push_back(u"bar:" + IntToStr(i));
    }
    expected.push_back(u"bar:100");
    EXPECT_THAT(Steps(run.events), ElementsAreArray(expected));

    // The file paths are the copies' targets: the payload, then the kept installer.
    std::vector<UString> files;
    for (const UString& e : run.events)
        if (StartsWith(e, u"text:C:\\"))
            files.push_back(e.substr(5));
    ASSERT_EQ(10u, files.size());
    std::vector<UString> payload(files.begin(), files.begin() + 6);
    std::sort(payload.begin(), payload.end());
    EXPECT_EQ(ExpectedPayload(), payload);
    for (size_t i = 6; i < files.size(); ++i)
        EXPECT_TRUE(StartsWith(files[i], UString(KeptCopy) + u"\\")) << ToUtf8(files[i]);
}

TEST_F(InstallRunTest, TheFinishMessageComesOnceAndLast)
{
    WritePackage();
    const InstallRun run = RunInstall();
    EXPECT_TRUE(run.threadFinished);
    EXPECT_EQ(1, run.finishMessages);
    EXPECT_EQ(run.events.size(), run.eventsAtFinish);
}

TEST_F(InstallRunTest, NothingIsInstalledUnlessTheInstallationWasAllowed)
{
    for (int state : {0, 2, 4}) {
        SCOPED_TRACE(state);
        WritePackage();
        App.InstallState = state;
        const InstallRun run = RunInstall();
        EXPECT_TRUE(run.threadFinished);
        EXPECT_EQ(1, run.finishMessages);
        EXPECT_THAT(run.events, IsEmpty());
        EXPECT_FALSE(machine().DirectoryExists(Program));
        EXPECT_FALSE(machine().RegKeyExists(RegRoot::LocalMachine, UninstallEntry));
        EXPECT_FALSE(machine().RegKeyExists(RegRoot::LocalMachine, PrivateKey));
        EXPECT_EQ(u"", App.UninstallerPath);
    }
}

TEST_F(InstallRunTest, OemPublisherManualAbsentAndNoStartValue)
{
    Set("%PUBLISHER", "OEM");
    Set("%MANULA_EXIST", "0");
    Set("%PROGRAM_ONBOOT", "");
    WritePackage();
    ASSERT_TRUE(RunInstall().threadFinished);

    const UString kept = u"C:\\ProgramData\\Microsoft\\Windows\\Templates\\OEM\\Ostrel\\Setup.exe";
    EXPECT_EQ(kept, App.UninstallerPath);
    EXPECT_TRUE(machine().FileExists(kept));
    const UString menu = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Ostrel Suite";
    EXPECT_TRUE(machine().ReadShortcut(In(menu, u"Ostrel.lnk")).has_value());
    EXPECT_FALSE(machine().ReadShortcut(In(menu, u"Ostrel Manual.lnk")).has_value());
    EXPECT_FALSE(machine().RegValueExists(RegRoot::CurrentUser, RunKey, u"OstrelTray"));

    const UString privateKey = u"Software\\OEM\\OstrelReg";
    const std::vector<UString> values = KeyValues(RegRoot::LocalMachine, privateKey);
    EXPECT_THAT(values, Contains(u"ExecOnBoot="));
    EXPECT_THAT(values, Contains(u"LINK_ProgramUnist=" + In(menu, u"Uninstall Ostrel.lnk")));
    EXPECT_TRUE(std::none_of(values.begin(), values.end(),
                             [](const UString& v) { return StartsWith(v, u"LINK_ProgramsManual="); }));
    const std::string record = FileText(In(Program, u"Updater\\Regedit_FileList.ini"));
    EXPECT_EQ(std::string::npos, record.find("CurrentVersion\\Run]"));
    EXPECT_EQ(std::string::npos, record.find("LINK_ProgramsManual"));
    EXPECT_NE(std::string::npos, record.find("[HKEY_LOCAL_MACHINE\\Software\\OEM\\OstrelReg]\r\n"));
}

TEST_F(InstallRunTest, AFileThatCannotBeCopiedIsSkippedAndTheRestGoesOn)
{
    WritePackage();
    const UString manual = In(ProgramDir, u"Manual\\English.pdf");
    machine().FailOn(SimOp::CopyFile, manual, WinError::AccessDenied);
    const InstallRun run = RunInstall();
    EXPECT_TRUE(run.threadFinished);
    EXPECT_EQ(1, run.finishMessages);
    std::vector<UString> expected = ExpectedPayload();
    std::erase(expected, manual);
    EXPECT_EQ(expected, FilesBelow(Program));
    EXPECT_TRUE(machine().FileExists(kKeptSetup));
    EXPECT_THAT(KeyValues(RegRoot::LocalMachine, PrivateKey), Not(IsEmpty()));
    EXPECT_NE(std::string::npos, run.recordAtFinish.find("[HKEY_LOCAL_MACHINE\\Software\\Brightwater\\OstrelReg]"));
}

TEST_F(InstallRunTest, PausedBetweenFilesTheCopyGoesOnWithTheNextFile)
{
    WritePackage();
    std::shared_ptr<TThreadControl> control;
    int texts = 0;
    log.OnText = [&](const UString& text) {
        if (StartsWith(text, UString(Program)) && ++texts == 3)
            control->Suspend();
    };
    std::vector<UString> whilePaused, laterWhilePaused;
    UString lastShown;
    std::thread user;
    const InstallRun run = RunInstall([&](std::shared_ptr<TThreadControl> c) {
        control = c;
        user = std::thread([&] {
            while (!control->PauseRequested() && !control->Finished())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ASSERT_TRUE(control->WaitUntilPaused(std::chrono::seconds(10)));
            whilePaused = FilesBelow(Program);
            lastShown = log.Events().back();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            laterWhilePaused = FilesBelow(Program);
            control->Resume();
        });
    });
    user.join();
    EXPECT_TRUE(run.threadFinished);
    EXPECT_EQ(3u, whilePaused.size());
    EXPECT_EQ(whilePaused, laterWhilePaused);
    EXPECT_TRUE(StartsWith(lastShown, u"bar:3")) << ToUtf8(lastShown);
    EXPECT_EQ(ExpectedPayload(), FilesBelow(Program));
}

}  // namespace
