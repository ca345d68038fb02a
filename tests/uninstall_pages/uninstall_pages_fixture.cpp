#include "uninstall_pages/UninstallPagesFixture.h"

#include <filesystem>

#include "app/App.h"
#include "forms/Askinstallform.h"
#include "forms/Eulaform.h"
#include "forms/Finishform.h"
#include "forms/Installform.h"
#include "forms/Prepareform.h"
#include "forms/Setupprogram.h"
#include "forms/Uninstallconfirmform.h"
#include "forms/Uninstallform.h"
#include "forms/Welcomeform.h"
#include "language/Language_management.h"
#include "toolkit/StdCtrls.h"
#include "util/Xfunctions.h"

using namespace std::chrono_literals;

namespace {

const char kTexts[] = "[InstallWizard]\r\n"
                      "ProductName=Ostrel\r\n"
                      "FUninstallConfirm->lb_UninstallConfirm->Caption=Remove Ostrel?\r\n"
                      "FUninstall->lb_Uninstall->Caption=%P is being removed.\r\n"
                      "FUninstall->lb_UninstallProc->Caption=Waiting\r\n"
                      "FFinish->lb_Finish_Install->Caption=Installation complete\r\n"
                      "FFinish->lb_Finish_Uninstall->Caption=Removal complete\r\n"
                      "FFinish->lb_FinishUninstallNotes->Caption=%P was removed.\r\n"
                      "[UNINSTALL]\r\n"
                      "LINK_PROGRAMS_PUBLISHER=Brightwater Labs\r\n"
                      "LINK_PROGRAMS_FOLDER=Ostrel Suite\r\n"
                      "LINK_PROGRAMS_EXEC=Ostrel\r\n"
                      "LINK_PROGRAMS_UNIST=Uninstall Ostrel\r\n"
                      "LINK_DESKTOP=Ostrel\r\n"
                      "DISPLAY_NAME=Ostrel 2\r\n"
                      "PUBLISHER=Brightwater Labs Ltd\r\n";

}  // namespace

UninstallPagesTest::UninstallPagesTest()
    : SimFixture([](const std::string& folder) { return std::make_unique<GatedMachine>(folder); })
{
    headless::Reset();
    ResetStartupTerminateRequest();
    PutFile(u"C:\\Setup\\Setup.ini",
            "[Setup]\r\n%PROGRAM_FILES=Ostrel\r\n%PROGRAM_FILES_OLD=OstrelOld\r\n%UPDATER_DIR=Updater\r\n"
            "%PROGRAM_EXEC=Ostrel.exe\r\n%PUBLISHER=Brightwater\r\n%REG_FODLER_PROGNAME=OstrelReg\r\n"
            "%PROGRAM_VERSION=2.1.0\r\n%PROGRAM_FORMCAPTION=Ostrel Main\r\n%MANULA_EXIST=0\r\n");
    // A damaged workbook sends start-up to the INI texts.
    PutFile(u"C:\\Setup\\Texts\\InstallWizard.xlsx", "not a workbook");
    PutFile(u"C:\\Setup\\Texts\\LanguageIni_InstallWizard\\English\\Install_English.ini", kTexts);
    PutFile(u"C:\\Setup\\Setup.exe", "MZ setup");
    PutFile(u"C:\\Setup\\English\\Application.ico", "icon");
    PutFile(u"C:\\Setup\\program files\\Ostrel\\Ostrel.exe", "ostrel 2");
    PutFile(u"C:\\Setup\\program files\\Ostrel\\HandOver.exe", "launcher");
    PutFile(u"C:\\Setup\\program files\\Ostrel\\Library\\core.dll", "core");
    PutFile(u"C:\\Setup\\program files\\Ostrel\\Library\\extra.dll", "extra");
    PutFile(u"C:\\Setup\\program files\\Updater\\Updater.exe", "updater");
}

UninstallPagesTest::~UninstallPagesTest()
{
    // The progress page stops its worker at a safe point before it goes; one held at
    // the gate must be let through to get there.
    machine().Release();
    headless::SetScriptedUser(nullptr);
    SetCloseMainFormHandler({});
    app.reset();
    headless::Reset();
    ResetStartupTerminateRequest();
}

void UninstallPagesTest::WriteValue(RegRoot root, const UString& key, const UString& name, const UString& value)
{
    ASSERT_TRUE(machine().RegOpenKey(root, key, KEY_WRITE_MASK, true));
    ASSERT_TRUE(machine().RegWriteString(root, key, name, value));
}

void UninstallPagesTest::CreateProgram()
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

void UninstallPagesTest::InstallProduct()
{
    machine().SetProcess(u"C:\\Setup\\Setup.exe", u"\"C:\\Setup\\Setup.exe\"");
    CreateProgram();
    ASSERT_EQ(Shown(), std::vector<UString>{u"FWelcome"});
    ASSERT_TRUE(headless::Click(*FWelcome->bt_Next));
    ASSERT_TRUE(headless::Click(*FEULA->rb_AgreeEULA));
    ASSERT_TRUE(headless::Click(*FEULA->bt_Next));
    ASSERT_TRUE(headless::Click(*FAskInstall->bt_Install));
    ASSERT_TRUE(headless::RunUntil(
        [] { return FFinish->Visible() && FInstall->WorkerThread && FInstall->WorkerThread->Finished(); }, 20000ms));
    ASSERT_TRUE(headless::Click(*FFinish->bt_Finish));
    ASSERT_TRUE(app->Terminated());
    SetCloseMainFormHandler({});
    app.reset();
    headless::Reset();
    ResetStartupTerminateRequest();
    ASSERT_TRUE(Exists(UString(installed::ProgramDir) + u"\\Ostrel.exe"));
    ASSERT_TRUE(KeyExists(RegRoot::LocalMachine, installed::UninstallEntry));
    PutFile(installed::UserMacro, "the user's macro");
}

UString UninstallPagesTest::KeptInstaller()
{
    const UString command =
        machine().RegReadString(RegRoot::LocalMachine, installed::UninstallEntry, u"UninstallString").value_or(u"");
    // "\"<kept copy>\" uninstall"
    const size_t close = command.find(u'"', 1);
    if (command.empty() || command[0] != u'"' || close == UString::npos)
        return u"";
    return command.substr(1, close - 1);
}

void UninstallPagesTest::StartUninstaller(const UString& argument)
{
    const UString kept = KeptInstaller();
    ASSERT_FALSE(kept.empty());
    machine().SetProcess(kept, u"\"" + kept + u"\" " + argument);
    headless::SetScriptedUser(&shownForms);
    CreateProgram();
}

bool UninstallPagesTest::WaitForFinishPage()
{
    return headless::RunUntil(
        [] { return FFinish->Visible() && FUninstall->WorkerThread && FUninstall->WorkerThread->Finished(); }, 20000ms);
}

void UninstallPagesTest::StartRemovalHeldAt(const UString& fileName, const UString& argument)
{
    machine().HoldDeletionsOf(fileName);
    StartUninstaller(argument);
    if (FUninstallConfirm->Visible()) {
        ASSERT_TRUE(headless::Click(*FUninstallConfirm->bt_OK));
    }
    ASSERT_TRUE(FUninstall->WorkerThread);
    ASSERT_TRUE(headless::RunUntil([this] { return machine().Arrivals() == 1; }, 20000ms));
}

void UninstallPagesTest::ReleaseIntoPause()
{
    machine().Release();
    ASSERT_TRUE(FUninstall->WorkerThread->WaitUntilPaused(20s));
    ASSERT_TRUE(FUninstall->WorkerThread->Paused());
}

std::vector<UString> UninstallPagesTest::Shown()
{
    std::vector<UString> names;
    if (!app)
        return names;
    for (TForm* form : app->Forms())
        if (form->Visible() && form != FPrepare)
            names.push_back(form->Name());
    return names;
}
