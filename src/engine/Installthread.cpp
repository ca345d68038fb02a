#include "engine/Installthread.h"

#include <exception>

#include "app/App.h"
#include "base/Paths.h"
#include "engine/ControlSinks.h"
#include "language/Text_keys.h"
#include "platform/Platform.h"
#include "toolkit/Messages.h"
#include "util/PathGuard.h"

TInstallThread::TInstallThread(bool createSuspended, uint64_t pageWindow, TLabel* statusLine, TProgressBar* bar)
    : TInstallThread(createSuspended, pageWindow, static_cast<ITextSink*>(nullptr), nullptr)
{
    ownedStatus_ = std::make_unique<TCaptionSink>(statusLine);
    ownedBar_ = std::make_unique<TProgressBarSink>(bar);
    status_ = ownedStatus_.get();
    bar_ = ownedBar_.get();
}

TInstallThread::TInstallThread(bool createSuspended, uint64_t pageWindow, ITextSink* statusLine, IProgressSink* bar)
    : TThread(createSuspended), PageWindow(pageWindow), status_(statusLine), bar_(bar)
{
    FreeOnTerminate = true;
}

TInstallThread::~TInstallThread() = default;

void TInstallThread::TPausingStatus::SetText(const UString& text)
{
    owner_.CheckPause();
    owner_.SetStatus(text);
}

void TInstallThread::Execute()
{
    try {
        RunInstallation();
    } catch (const std::exception& e) {
        // The page must still leave its progress page, so the message goes out.
        Platform().DebugOutput(u"Installation stopped by an unexpected error: " + FromUtf8(e.what()));
    } catch (...) {
        Platform().DebugOutput(u"Installation stopped by an unexpected error");
    }
    ThreadSetupIni.reset();
    PostMessageTo(PageWindow, RegisterMessage(kInstallThreadFinished), 0, 0);
}

void TInstallThread::RunInstallation()
{
    if (Platform().FileExists(App.SetupIniPath))
        ThreadSetupIni = std::make_unique<TMemIniFile>(App.SetupIniPath);
    if (App.InstallState != 1)
        return;
    if (!ThreadSetupIni) {
        // Every name of the installation comes from it: there is nothing to install.
        Platform().DebugOutput(u"Nothing installed: " + App.SetupIniPath + u" was not found");
        return;
    }
    DoInstallSteps();
    CheckPause();
    WriteRegistryRecord();
}

void TInstallThread::DoInstallSteps()
{
    RegistryRecordLines = std::make_unique<TStringList>();
    const UString publisher = SetupValue(u"%PUBLISHER");
    const UString publisherFolder =
        publisher != u"OEM" ? App.GetText(textkeys::UninstallSection, textkeys::LinkProgramsPublisher) : UString();

    SetBar(0);
    BackupUserData();
    CheckPause();
    SetBar(10);
    CopyFiles();
    CheckPause();
    SetBar(0);
    WriteRegOnUninstallFolder();
    CheckPause();
    SetBar(20);
    WriteRegOnBootName();
    CheckPause();
    SetBar(40);
    CreateLinks(publisherFolder, App.GetText(textkeys::UninstallSection, textkeys::LinkProgramsFolder));
    CheckPause();
    SetBar(60);
    WriteRegOnPrivateFolder();
    CheckPause();
    SetBar(80);
    KeepInstallerCopy();
    CheckPause();
    CopyTextsToInstallerCopy();
    SetBar(100);
    CheckPause();
    SetInstallerCopyPermissions();
    CheckPause();
    RestoreUserData();
}

void TInstallThread::WriteRegistryRecord()
{
    if (!RegistryRecordLines)
        return;
    const UString path = IncludeTrailingPathDelimiter(App.UpdaterDir) + kRegistryRecordFile;
    // The file comes with the updater's payload; without it there is no record.
    if (!IsFullPath(path) || !Platform().FileExists(path))
        return;
    TMemIniFile record(path);
    record.SetStrings(*RegistryRecordLines);
    if (!record.UpdateFile())
        Platform().DebugOutput(u"Registry record not written: " + path);
}

UString TInstallThread::SetupValue(UStringView key, UStringView defaultValue) const
{
    if (!ThreadSetupIni)
        return UString(defaultValue);
    return ThreadSetupIni->ReadString(u"Setup", key, defaultValue);
}

void TInstallThread::SetStatus(const UString& text)
{
    if (status_)
        status_->SetText(text);
}

void TInstallThread::SetBar(int position)
{
    if (bar_)
        bar_->SetPosition(position);
}

void TInstallThread::AddRecordLine(UString line)
{
    if (RegistryRecordLines)
        RegistryRecordLines->Add(std::move(line));
}

bool IsPlainFolderName(UStringView name)
{
    return !name.empty() && name.find_first_of(u"\\/:") == UStringView::npos && name.find(u"..") == UStringView::npos;
}
