#include <algorithm>
#include <filesystem>

#include "app/App.h"
#include "engine_install/InstallFixture.h"
#include "toolkit/Forms.h"
#include "toolkit/headless/Headless.h"

using namespace std::chrono_literals;

void ProgressLog::SetText(const UString& text)
{
    if (OnText)
        OnText(text);
    std::lock_guard g(lock_);
    events_.push_back(u"text:" + text);
}

int ProgressLog::Position()
{
    std::lock_guard g(lock_);
    return position_;
}

void ProgressLog::SetPosition(int position)
{
    std::lock_guard g(lock_);
    position_ = position;
    events_.push_back(u"bar:" + IntToStr(position));
}

std::vector<UString> ProgressLog::Events()
{
    std::lock_guard g(lock_);
    return events_;
}

namespace {

void ResetApp()
{
    App.TextTable.reset();
    App.TextVariant.clear();
    App.SetupIni.reset();
    App.Paths() = STRUCT_AppPath{};
    App.Info() = STRUCT_AppInfo{};
}

const std::vector<std::pair<UString, std::vector<std::pair<UString, UString>>>> kTexts = {
    {u"InstallWizard",
     {{u"ProductName", u"Ostrel"},
      {u"CopyFiles", u"Copying files"},
      {u"WriteRegOnUninstallFolder", u"Writing the uninstall entry"},
      {u"WriteRegOnBootName", u"Writing the start value"},
      {u"CreateLinks", u"Creating shortcuts"},
      {u"WriteRegOnPrivateFolder", u"Writing the private key"}}},
    {u"UNINSTALL",
     {{u"LINK_PROGRAMS_PUBLISHER", u"Brightwater Labs"},
      {u"LINK_PROGRAMS_FOLDER", u"Ostrel Suite"},
      {u"LINK_PROGRAMS_EXEC", u"Ostrel"},
      {u"LINK_PROGRAMS_UNIST", u"Uninstall Ostrel"},
      {u"LINK_PROGRAMS_MANUAL", u"Ostrel Manual"},
      {u"LINK_DESKTOP", u"Ostrel Desktop"},
      {u"DISPLAY_NAME", u"Ostrel 2"},
      {u"PUBLISHER", u"Brightwater Labs Ltd"},
      {u"URL", u"https://brightwater.example/ostrel"}}},
};

}  // namespace

InstallFixture::InstallFixture(const ScopedSimMachine::MachineMaker& make) : SimFixture(make)
{
    setup_ = {
        {"%PROGRAM_FILES", "Ostrel"},      {"%PROGRAM_FILES_OLD", "OstrelOld"},
        {"%UPDATER_DIR", "Updater"},       {"%PROGRAM_EXEC", "Ostrel.exe"},
        {"%PUBLISHER", "Brightwater"},     {"%REG_FODLER_PROGNAME", "OstrelReg"},
        {"%PROGRAM_VERSION", "2.1.0"},     {"%PROGRAM_FORMCAPTION", "Ostrel Main"},
        {"%PROGRAM_ONBOOT", "OstrelTray"}, {"%MANULA_EXIST", "1"},
        {"%MANUAL_DIR", "Manual\\"},       {"%MANUAL_ICO", "Manual.ico"},
        {"%UNINST_ICO", "Uninstall.ico"},
    };
}

InstallFixture::~InstallFixture() { ResetApp(); }

void InstallFixture::WritePackage(const UString& payloadFolder)
{
    std::string ini = "[Setup]\r\n";
    for (const auto& [key, value] : setup_)
        if (!value.empty())
            ini += key + "=" + value + "\r\n";
    PutFile(u"C:\\Setup\\Setup.ini", ini);
    PutFile(u"C:\\Setup\\Setup.exe", "MZ setup");
    PutFile(u"C:\\Setup\\Texts\\InstallWizard.xlsx", "workbook");
    PutFile(u"C:\\Setup\\English\\Application.ico", "icon");
    const UString payload = u"C:\\Setup\\" + payloadFolder + u"\\";
    PutFile(payload + u"Ostrel\\Ostrel.exe", "ostrel 2");
    PutFile(payload + u"Ostrel\\Manual\\English.pdf", "manual");
    PutFile(payload + u"Ostrel\\ScriptsMacros\\default.mac", "payload default");
    PutFile(payload + u"OstrelOld\\legacy.dll", "legacy");
    PutFile(payload + u"Updater\\Updater.exe", "updater");
    PutFile(payload + u"Updater\\Regedit_FileList.ini", "[Shipped]\r\nold=1\r\n");
    PrepareApp();
}

void InstallFixture::PrepareApp()
{
    ResetApp();
    App.TextTable = std::make_unique<TMemIniFile>();
    for (const auto& [section, keys] : kTexts)
        for (const auto& [key, text] : keys)
            App.TextTable->WriteString(section, key, text);
    App.SetupIniPath = u"C:\\Setup\\Setup.ini";
    App.SetupIni = std::make_unique<TMemIniFile>(App.SetupIniPath);
    App.TextSection = u"InstallWizard";
    App.LanguageName = u"English";
    App.ProductName = App.GetText(App.TextSection, u"ProductName");
    App.Version = u"V1.0";
    App.RunKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    App.PrivateKeyTemplate = u"Software\\%PUBLISHER\\%REG_FODLER_PROGNAME\\";
    App.UninstallKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    const UString product = App.SetupValue(u"%PROGRAM_FILES");
    App.ProgramFilesDir = GetSpecialFolderPath(38);
    App.InstallRootDir = App.ProgramFilesDir + u"\\" + product;
    App.InstallDir = App.InstallRootDir + u"\\" + product;
    App.OldInstallDir = App.InstallRootDir + u"\\" + App.SetupValue(u"%PROGRAM_FILES_OLD");
    App.ProgramExePath = App.InstallDir + u"\\" + App.SetupValue(u"%PROGRAM_EXEC");
    App.InstallState = 1;
}

InstallRun InstallFixture::RunInstall(const std::function<void(std::shared_ptr<TThreadControl>)>& beforeStart)
{
    InstallRun run;
    headless::Reset();
    {
        TApplication app;
        app.Initialize();
        TForm* page = nullptr;
        app.CreateForm(page);
        const uint32_t finished = RegisterMessage(kInstallThreadFinished);
        page->WindowProc = [&, saved = page->WindowProc](TMessage& m) {
            if (m.Msg != finished) {
                saved(m);
                return;
            }
            ++run.finishMessages;
            run.eventsAtFinish = log.Events().size();
            run.recordAtFinish = FileText(App.UpdaterDir + kRegistryRecordFile);
            EXPECT_EQ(0u, m.WParam);
            EXPECT_EQ(0, m.LParam);
        };
        auto* thread = new TInstallThread(true, page->Handle(), static_cast<ITextSink*>(&log), &log);
        std::shared_ptr<TThreadControl> control = thread->Control();
        if (beforeStart)
            beforeStart(control);
        thread->Start();
        run.threadFinished = headless::RunUntil([&] { return run.finishMessages > 0 && control->Finished(); }, 20000ms);
        // Anything posted after the message would show here.
        headless::RunUntilIdle();
    }
    headless::Reset();
    run.events = log.Events();
    return run;
}

std::vector<UString> InstallFixture::FilesBelow(const UString& folder)
{
    std::vector<UString> out;
    const std::string host = machine().HostPath(folder);
    std::error_code ec;
    if (host.empty() || !std::filesystem::is_directory(host, ec))
        return out;
    for (auto it = std::filesystem::recursive_directory_iterator(host, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file())
            continue;
        std::string rel = std::filesystem::relative(it->path(), host).string();
        std::replace(rel.begin(), rel.end(), '/', '\\');
        out.push_back(folder + u"\\" + FromUtf8(rel));
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<UString> InstallFixture::KeyValues(RegRoot root, const UString& key)
{
    std::vector<UString> out;
    for (const UString& name : machine().RegValueNames(root, key))
        out.push_back(name + u"=" + machine().RegReadString(root, key, name).value_or(u"<not a string>"));
    return out;
}
