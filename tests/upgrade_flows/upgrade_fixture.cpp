#include "upgrade_flows/UpgradeFixture.h"

#include <sys/stat.h>

#include <filesystem>

#include "app/App.h"
#include "forms/Askinstallform.h"
#include "forms/Eulaform.h"
#include "forms/Finishform.h"
#include "forms/Installform.h"
#include "forms/Prepareform.h"
#include "forms/Setupprogram.h"
#include "forms/Welcomeform.h"
#include "language/Language_management.h"
#include "toolkit/StdCtrls.h"
#include "util/Xfunctions.h"

using namespace std::chrono_literals;

namespace {

const char kTexts[] = "[InstallWizard]\r\n"
                      "ProductName=Ostrel\r\n"
                      "MSG_501=An older version is installed. Remove it?\r\n"
                      "MSG_502=The older version could not be removed.\r\n"
                      "MSG_503=This version is installed. Remove it?\r\n"
                      "[UNINSTALL]\r\n"
                      "LINK_PROGRAMS_PUBLISHER=Brightwater Labs\r\n"
                      "LINK_PROGRAMS_FOLDER=Ostrel Suite\r\n"
                      "LINK_PROGRAMS_EXEC=Ostrel\r\n"
                      "LINK_PROGRAMS_UNIST=Uninstall Ostrel\r\n"
                      "LINK_DESKTOP=Ostrel\r\n"
                      "DISPLAY_NAME=Ostrel\r\n"
                      "PUBLISHER=Brightwater Labs Ltd\r\n";

}  // namespace

UpgradeTest::UpgradeTest()
{
    headless::Reset();
    ResetStartupTerminateRequest();
}

UpgradeTest::~UpgradeTest()
{
    headless::SetScriptedUser(nullptr);
    SetCloseMainFormHandler({});
    app.reset();
    headless::Reset();
    ResetStartupTerminateRequest();
}

UString UpgradeTest::MachineValue(const UString& key, const UString& name)
{
    return machine().RegReadString(RegRoot::LocalMachine, key, name).value_or(u"<missing>");
}

void UpgradeTest::WriteMachineValue(const UString& key, const UString& name, const UString& value)
{
    ASSERT_TRUE(machine().RegOpenKey(RegRoot::LocalMachine, key, KEY_WRITE_MASK, true));
    ASSERT_TRUE(machine().RegWriteString(RegRoot::LocalMachine, key, name, value));
}

void UpgradeTest::PutPackage(const PackageSpec& package)
{
    const UString& f = package.folder;
    PutFile(f + u"\\Setup.ini", "[Setup]\r\n%PROGRAM_FILES=" + package.product +
                                    "\r\n%PROGRAM_FILES_OLD=OstrelOld\r\n%UPDATER_DIR=Updater\r\n"
                                    "%PROGRAM_EXEC=Ostrel.exe\r\n%PUBLISHER=Brightwater\r\n%REG_FODLER_PROGNAME=" +
                                    package.programName + "\r\n%PROGRAM_VERSION=" + package.version +
                                    "\r\n%PROGRAM_FORMCAPTION=Ostrel Main\r\n%MANULA_EXIST=0\r\n" +
                                    package.extraSetupLines);
    // A damaged workbook sends start-up to the INI texts beside it.
    PutFile(f + u"\\Texts\\InstallWizard.xlsx", "not a workbook " + package.version);
    PutFile(f + u"\\Texts\\LanguageIni_InstallWizard\\English\\Install_English.ini", kTexts);
    PutFile(f + u"\\English\\Application.ico", "icon");
    const UString payload = f + u"\\program files\\" + FromUtf8(package.product);
    PutFile(payload + u"\\Ostrel.exe", "ostrel " + package.version);
    PutFile(payload + u"\\Version.txt", package.version);
    PutFile(payload + u"\\HandOver.exe", "launcher");
    PutFile(f + u"\\program files\\Updater\\Updater.exe", "updater " + package.version);
    const std::string setup = machine().HostPath(f + u"\\Setup.exe");
    std::filesystem::copy_file(SETUP_HOST_PROGRAM, setup, std::filesystem::copy_options::overwrite_existing);
    ::chmod(setup.c_str(), 0755);
}

void UpgradeTest::CreateProgram()
{
    ConstructApp();
    app = std::make_unique<TApplication>();
    app->Initialize();
    SetCloseMainFormHandler([] {
        if (FPrepare)
            FPrepare->Close();
    });
    CreateSetupForms(*app);
    FPrepare->Show();
    headless::RunUntilIdle();
    headless::AdvanceClock(1000);
}

void UpgradeTest::EndProgram()
{
    SetCloseMainFormHandler({});
    app.reset();
    headless::Reset();
    ResetStartupTerminateRequest();
}

void UpgradeTest::StartSetup(const PackageSpec& package)
{
    const UString setup = package.folder + u"\\Setup.exe";
    machine().SetProcess(setup, u"\"" + setup + u"\"");
    CreateProgram();
}

void UpgradeTest::WalkInstallPages()
{
    ASSERT_EQ(Shown(), std::vector<UString>{u"FWelcome"});
    ASSERT_TRUE(headless::Click(*FWelcome->bt_Next));
    ASSERT_TRUE(headless::Click(*FEULA->rb_AgreeEULA));
    ASSERT_TRUE(headless::Click(*FEULA->bt_Next));
    ASSERT_TRUE(headless::Click(*FAskInstall->bt_Install));
    ASSERT_TRUE(headless::RunUntil(
        [] { return FFinish->Visible() && FInstall->WorkerThread && FInstall->WorkerThread->Finished(); }, 20000ms));
    ASSERT_TRUE(headless::Click(*FFinish->bt_Finish));
    ASSERT_TRUE(app->Terminated());
    EndProgram();
}

void UpgradeTest::PressPrepareCancel()
{
    ASSERT_TRUE(FPrepare);
    ASSERT_TRUE(headless::Click(*FPrepare->bt_Cancel));
    ASSERT_TRUE(app->Terminated());
    EndProgram();
}

void UpgradeTest::InstallFrom(const PackageSpec& package)
{
    PutPackage(package);
    StartSetup(package);
    WalkInstallPages();
    const UString programDir = upgraded::ProgramDir(package.product);
    ASSERT_EQ(FileText(programDir + u"\\Version.txt"), package.version);
    ASSERT_EQ(MachineValue(Entry(package.programName), u"DisplayVersion"), FromUtf8(package.version));
    PutFile(programDir + u"\\ScriptsMacros\\mine.mac", "the user's macro");
    headless::ClearMessageBoxes();
}

UString UpgradeTest::Entry(const std::string& programName)
{
    return UString(upgraded::UninstallKey) + FromUtf8(programName);
}

UString UpgradeTest::KeptInstaller(const std::string& programName)
{
    const UString command = MachineValue(Entry(programName), u"UninstallString");
    // "\"<kept copy>\" uninstall"
    const size_t close = command.find(u'"', 1);
    if (command.empty() || command[0] != u'"' || close == UString::npos)
        return u"";
    return command.substr(1, close - 1);
}

std::vector<UString> UpgradeTest::Shown()
{
    std::vector<UString> names;
    if (!app)
        return names;
    for (TForm* form : app->Forms())
        if (form->Visible() && form != FPrepare)
            names.push_back(form->Name());
    return names;
}

std::vector<UString> UpgradeTest::MessageTexts()
{
    std::vector<UString> texts;
    for (const headless::MessageBoxRecord& box : headless::MessageBoxes())
        texts.push_back(box.text);
    return texts;
}
