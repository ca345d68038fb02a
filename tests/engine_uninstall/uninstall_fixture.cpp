#include "engine_uninstall/UninstallFixture.h"

#include <chrono>

#include "base/Paths.h"

using namespace std::chrono_literals;

void UninstallTest::SetUp()
{
    headless::Reset();
    app = std::make_unique<TApplication>();
    app->Initialize();
    app->CreateForm(page);
    bar = new TProgressBar(page);
    bar->SetParent(page);
    label = new RecordingLabel(page, bar);
    label->SetParent(page);
    const uint32_t finished = RegisterMessage(kUninstallFinishedMessage);
    page->WindowProc = [this, finished, saved = page->WindowProc](TMessage& m) {
        if (m.Msg == finished) {
            ++finishMessages;
            finishParametersZero = finishParametersZero && m.WParam == 0 && m.LParam == 0;
            return;
        }
        saved(m);
    };

    App.RunKey = kRun;
    App.UninstallKey = UString(kUninstall) + u"\\";
    App.PrivateKeyTemplate = u"Software\\%PUBLISHER\\%REG_FODLER_PROGNAME\\";
    App.TextTable = std::make_unique<TMemIniFile>();
    App.TextTable->WriteString(u"UNINSTALL", u"LINK_PROGRAMS_FOLDER", u"Prod Tools");
}

void UninstallTest::TearDown()
{
    app.reset();
    headless::Reset();
    App.TextTable.reset();
    App.Paths() = STRUCT_AppPath{};
}

UNINSTStruct_INFO UninstallTest::Record() const
{
    UNINSTStruct_INFO info;
    info.Product = u"Prod";
    info.FormCaption = u"Prod Main";
    info.InstallDir = kRoot;
    info.ExecOnBoot = u"ProdAgent";
    info.UninstRegFolder = u"ProdReg";
    info.UninstOnAppDataDir = kKeptCopy;
    info.LINK_ProgramsExec = UString(kProgramMenu) + u"\\Prod.lnk";
    info.LINK_ProgramUnist = UString(kProgramMenu) + u"\\Uninstall Prod.lnk";
    info.LINK_ProgramsManual = UString(kProgramMenu) + u"\\Prod Manual.lnk";
    info.LINK_DesktopExec = kDesktopLink;
    info.OnlineUpdaterDir = UString(kRoot) + u"\\Updater";
    info.KeyPath = u"Software\\Pub\\ProdReg\\";
    return info;
}

void UninstallTest::WriteValue(RegRoot root, const UString& path, const UString& name, const UString& value)
{
    ASSERT_TRUE(machine().RegOpenKey(root, path, KEY_WRITE_MASK, true));
    ASSERT_TRUE(machine().RegWriteString(root, path, name, value));
}

void UninstallTest::Install()
{
    const UNINSTStruct_INFO info = Record();
    WriteValue(RegRoot::CurrentUser, kRun, info.ExecOnBoot,
               u"\"C:\\Program Files (x86)\\Prod\\Prod\\Prod.exe\" Minimum");
    WriteValue(RegRoot::CurrentUser, kRun, u"SomeoneElse", u"other.exe");
    const UString entry = UString(kUninstall) + u"\\" + info.UninstRegFolder;
    WriteValue(RegRoot::LocalMachine, entry, u"DisplayName", u"Prod");
    WriteValue(RegRoot::LocalMachine, entry, u"UninstallString", u"\"" + info.UninstOnAppDataDir + u"\" uninstall");
    WriteValue(RegRoot::LocalMachine, entry + u"\\Extra", u"Note", u"below the entry");
    WriteValue(RegRoot::LocalMachine, UString(kUninstall) + u"\\OtherApp", u"DisplayName", u"Other App");

    const UString privateKey = ExcludeTrailingPathDelimiter(info.KeyPath);
    const std::pair<UStringView, UString> values[] = {{u"UninstOnAppDataDir", info.UninstOnAppDataDir},
                                                      {u"Product", info.Product},
                                                      {u"FormCaption", info.FormCaption},
                                                      {u"InstallDir", info.InstallDir},
                                                      {u"ExecOnBoot", info.ExecOnBoot},
                                                      {u"UninstRegFolder", info.UninstRegFolder},
                                                      {u"LINK_ProgramsExec", info.LINK_ProgramsExec},
                                                      {u"LINK_ProgramUnist", info.LINK_ProgramUnist},
                                                      {u"LINK_ProgramsManual", info.LINK_ProgramsManual},
                                                      {u"LINK_DesktopExec", info.LINK_DesktopExec},
                                                      {u"OnlineUpdaterDir", info.OnlineUpdaterDir}};
    for (const auto& [name, value] : values)
        WriteValue(RegRoot::LocalMachine, privateKey, UString(name), value);

    for (const UString& link :
         {info.LINK_ProgramsExec, info.LINK_ProgramUnist, info.LINK_ProgramsManual, info.LINK_DesktopExec})
        PutFile(link, "link");
    PutFile(info.UninstOnAppDataDir, "MZ kept installer");
    PutFile(ExtractFilePath(info.UninstOnAppDataDir) + u"Setup.ini", "[Setup]\n");
}

void UninstallTest::InstallFiles(const std::vector<UString>& relativePaths)
{
    for (const UString& path : relativePaths)
        PutFile(UString(kRoot) + u"\\" + path, "data");
}

std::shared_ptr<TThreadControl> UninstallTest::StartUninstall(const UNINSTStruct_INFO& info, bool paused)
{
    auto* thread = new TUninstallThread(page->Handle(), label, bar, info);
    std::shared_ptr<TThreadControl> control = thread->Control();
    if (paused)
        thread->Suspend();
    thread->Start();
    return control;
}

bool UninstallTest::WaitForFinishMessage()
{
    return headless::RunUntil([this] { return finishMessages > 0; }, 20s);
}

void UninstallTest::Uninstall(const UNINSTStruct_INFO& info)
{
    std::shared_ptr<TThreadControl> control = StartUninstall(info, false);
    ASSERT_TRUE(WaitForFinishMessage());
    ASSERT_TRUE(control->WaitUntilFinished(10s));
    headless::RunUntilIdle();
    EXPECT_EQ(finishMessages, 1);
    EXPECT_TRUE(finishParametersZero);
    EXPECT_TRUE(control->FatalMessage().empty());
}

bool UninstallTest::HasDebugLineWith(UStringView part)
{
    for (const UString& line : DebugLines())
        if (line.find(part) != UString::npos)
            return true;
    return false;
}
