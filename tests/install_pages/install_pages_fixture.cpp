#include "install_pages/InstallPagesFixture.h"

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
                      "CopyFiles=Copying files\r\n"
                      "WriteRegOnUninstallFolder=Writing the uninstall entry\r\n"
                      "WriteRegOnBootName=Writing the start value\r\n"
                      "CreateLinks=Creating shortcuts\r\n"
                      "WriteRegOnPrivateFolder=Writing the private key\r\n"
                      "FFinish->lb_Finish_Install->Caption=Installation complete\r\n"
                      "FFinish->lb_FinishInstallNotes->Caption=%P is on your computer.\r\n"
                      "FFinish->lb_Finish_Uninstall->Caption=Removal complete\r\n"
                      "FFinish->lb_FinishUninstallNotes->Caption=%P was removed.\r\n"
                      "FFinish->lb_Finish_Upgrade->Caption=Upgrade complete\r\n"
                      "FFinish->lb_FinishUpgradeNotes->Caption=%P is up to date.\r\n"
                      "FFinish->ck_StartProgram->Caption=Start %P now\r\n"
                      "[UNINSTALL]\r\n"
                      "LINK_PROGRAMS_PUBLISHER=Brightwater Labs\r\n"
                      "LINK_PROGRAMS_FOLDER=Ostrel Suite\r\n"
                      "LINK_PROGRAMS_EXEC=Ostrel\r\n"
                      "LINK_PROGRAMS_UNIST=Uninstall Ostrel\r\n"
                      "LINK_DESKTOP=Ostrel\r\n"
                      "DISPLAY_NAME=Ostrel 2\r\n"
                      "PUBLISHER=Brightwater Labs Ltd\r\n";

}  // namespace

InstallPagesTest::InstallPagesTest()
    : SimFixture([](const std::string& folder) { return std::make_unique<GatedMachine>(folder); })
{
    headless::Reset();
    ResetStartupTerminateRequest();
    PutSetupIni();
    // A damaged workbook sends start-up to the INI texts.
    PutFile(u"C:\\Setup\\Texts\\InstallWizard.xlsx", "not a workbook");
    PutFile(u"C:\\Setup\\Texts\\LanguageIni_InstallWizard\\English\\Install_English.ini", kTexts);
    PutFile(u"C:\\Setup\\Setup.exe", "MZ setup");
    PutFile(u"C:\\Setup\\English\\Application.ico", "icon");
    PutFile(u"C:\\Setup\\Program Files\\Ostrel\\Ostrel.exe", "ostrel 2");
    PutFile(u"C:\\Setup\\Program Files\\Ostrel\\HandOver.exe", "launcher");
    PutFile(u"C:\\Setup\\Program Files\\Ostrel\\Library\\core.dll", "core");
    PutFile(u"C:\\Setup\\Program Files\\Updater\\Updater.exe", "updater");
    PutFile(u"C:\\Setup\\Program Files\\Updater\\Regedit_FileList.ini", "[Shipped]\r\nold=1\r\n");
}

InstallPagesTest::~InstallPagesTest()
{
    // The progress page stops its worker at a safe point before it goes; one held at
    // the gate must be let through to get there.
    machine().Release();
    SetCloseMainFormHandler({});
    app.reset();
    headless::Reset();
    ResetStartupTerminateRequest();
}

void InstallPagesTest::PutSetupIni(const std::string& extraLines, const std::string& programExec)
{
    PutFile(u"C:\\Setup\\Setup.ini",
            "[Setup]\r\n%PROGRAM_FILES=Ostrel\r\n%PROGRAM_FILES_OLD=OstrelOld\r\n%UPDATER_DIR=Updater\r\n"
            "%PROGRAM_EXEC=" +
                programExec +
                "\r\n%PUBLISHER=Brightwater\r\n%REG_FODLER_PROGNAME=OstrelReg\r\n"
                "%PROGRAM_VERSION=2.1.0\r\n%PROGRAM_FORMCAPTION=Ostrel Main\r\n%MANULA_EXIST=0\r\n" +
                extraLines);
}

void InstallPagesTest::SetArgument(const UString& argument)
{
    UString commandLine = u"\"C:\\Setup\\Setup.exe\"";
    if (!argument.empty())
        commandLine += u" " + argument;
    machine().SetProcess(u"C:\\Setup\\Setup.exe", commandLine);
}

void InstallPagesTest::StartToWelcome()
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
    ASSERT_EQ(Shown(), std::vector<UString>{u"FWelcome"});
    ASSERT_EQ(App.InstallState, 1);
}

void InstallPagesTest::WalkToAskInstall()
{
    ASSERT_TRUE(headless::Click(*FWelcome->bt_Next));
    ASSERT_TRUE(headless::Click(*FEULA->rb_AgreeEULA));
    ASSERT_TRUE(headless::Click(*FEULA->bt_Next));
    ASSERT_EQ(Shown(), std::vector<UString>{u"FAskInstall"});
}

void InstallPagesTest::PressInstall()
{
    ASSERT_TRUE(headless::Click(*FAskInstall->bt_Install));
    ASSERT_TRUE(FInstall->WorkerThread);
}

bool InstallPagesTest::WaitForFinishPage()
{
    return headless::RunUntil(
        [] { return FFinish->Visible() && FInstall->WorkerThread && FInstall->WorkerThread->Finished(); }, 20000ms);
}

void InstallPagesTest::InstallToFinishPage()
{
    StartToWelcome();
    WalkToAskInstall();
    PressInstall();
    ASSERT_TRUE(WaitForFinishPage());
    ASSERT_EQ(Shown(), std::vector<UString>{u"FFinish"});
}

std::vector<UString> InstallPagesTest::Shown()
{
    std::vector<UString> names;
    if (!app)
        return names;
    for (TForm* form : app->Forms())
        if (form->Visible() && form != FPrepare)
            names.push_back(form->Name());
    return names;
}
