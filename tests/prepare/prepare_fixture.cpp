#include "prepare/PrepareFixture.h"

#include "forms/Welcomeform.h"

bool PrepareUser::OnIdle()
{
    if (!FPrepare)
        return false;
    if (pageShown_) {
        CloseMainForm();
        return true;
    }
    if (FPrepare->Timer1->Enabled()) {
        if (!sawBeforeTick) {
            sawBeforeTick = true;
            beforeTick = Snapshot(u"");
        }
        return false;
    }
    if (pressCancelWhenStuck && !pressedCancel && FPrepare->Visible() && FPrepare->bt_Cancel->Visible()) {
        pressedCancel = true;
        atPage = Snapshot(u"");
        return headless::Click(*FPrepare->bt_Cancel);
    }
    return false;
}

void PrepareUser::OnFormShown(TForm& form)
{
    if (&form == FPrepare || pageShown_)
        return;
    pageShown_ = true;
    atPage = Snapshot(form.Name());
}

PrepareSnapshot PrepareUser::Snapshot(const UString& page)
{
    PrepareSnapshot s;
    s.shownPage = page;
    s.time = headless::Now();
    s.stepCount = FPrepare->StepCount;
    s.bar = FPrepare->pb_Prepare->Position();
    s.mode = FPrepare->Mode;
    s.installState = App.InstallState;
    s.transparent = FPrepare->AlphaBlend() && FPrepare->AlphaBlendValue() == 0;
    s.uninstallInfo = FPrepare->UninstallInfo;
    if (machine)
        s.closeRequests = machine->JournalOf(SimJournal::CloseRequest);
    return s;
}

PrepareFlowTest::PrepareFlowTest()
{
    headless::Reset();
    ResetStartupTerminateRequest();
}

PrepareFlowTest::~PrepareFlowTest()
{
    headless::SetScriptedUser(nullptr);
    headless::Reset();
    ResetStartupTerminateRequest();
}

void PrepareFlowTest::PutSetupIni(const std::string& setupLines)
{
    PutFile(u"C:\\Setup\\Setup.ini", "[Setup]\r\n" + setupLines);
}

void PrepareFlowTest::PutProductSetupIni(const std::string& version, const std::string& extraLines)
{
    PutSetupIni("%PUBLISHER=Tarvel\r\n%REG_FODLER_PROGNAME=Ostrel\r\n%PROGRAM_FILES=Ostrel\r\n"
                "%PROGRAM_FILES_OLD=Ostrel_Old\r\n%PROGRAM_EXEC=Ostrel.exe\r\n%PROGRAM_FORMCAPTION=Ostrel Main\r\n"
                "%PROGRAM_VERSION=" +
                version + "\r\n" + extraLines);
}

void PrepareFlowTest::PutTexts()
{
    PutFile(u"C:\\Setup\\Texts\\InstallWizard.xlsx", "not a workbook");
    PutFile(u"C:\\Setup\\Texts\\LanguageIni_InstallWizard\\English\\Install_English.ini",
            "[InstallWizard]\r\nProductName=Ostrel\r\nMSG_101=No key can be formed.\r\n"
            "MSG_102=A newer version is installed.\r\nMSG_201=Nothing to uninstall.\r\n"
            "MSG_302=An older setup installed it.\r\nMSG_501=Remove the older version?\r\n"
            "MSG_503=Remove the same version?\r\n"
            "[UNINSTALL]\r\nLINK_PROGRAMS_PUBLISHER=Tarvel\r\nLINK_PROGRAMS_FOLDER=Ostrel Tools\r\n");
}

void PrepareFlowTest::WriteMachineValue(const UString& key, const UString& name, const UString& value)
{
    TRegistry registry(KEY_WRITE_MASK);
    registry.SetRootKey(RegRoot::LocalMachine);
    ASSERT_TRUE(registry.OpenKey(key, true));
    ASSERT_TRUE(registry.WriteString(name, value));
}

void PrepareFlowTest::PutOwnInstallation(const UString& version)
{
    WriteMachineValue(kPrivateKey, u"UninstRegFolder", u"Ostrel");
    WriteMachineValue(kUninstallEntry, u"DisplayName", u"Ostrel");
    WriteMachineValue(kUninstallEntry, u"DisplayVersion", version);
}

void PrepareFlowTest::SetArgument(const UString& argument)
{
    UString commandLine = u"\"C:\\Setup\\Setup.exe\"";
    if (!argument.empty())
        commandLine += u" " + argument;
    machine().SetProcess(u"C:\\Setup\\Setup.exe", commandLine);
}

void PrepareFlowTest::RunProgram(PrepareUser& user)
{
    user.machine = &machine();
    ConstructApp();
    headless::SetScriptedUser(&user);
    RunSetupProgram();
    headless::SetScriptedUser(nullptr);
}

std::vector<UString> PrepareFlowTest::MessageTexts()
{
    std::vector<UString> texts;
    for (const headless::MessageBoxRecord& box : headless::MessageBoxes())
        texts.push_back(box.text);
    return texts;
}
