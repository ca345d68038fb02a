#include "engine/Uninstallthread.h"

#include <exception>
#include <vector>

#include "app/App.h"
#include "base/Paths.h"
#include "engine/UninstallGuard.h"
#include "language/Text_keys.h"
#include "platform/Platform.h"
#include "toolkit/Messages.h"
#include "toolkit/Registry.h"

namespace {

constexpr uint32_t AnyFileMask = 0x1FF;
constexpr uint32_t ReparsePointBit = 0x400;
constexpr char16_t UserDataFolder[] = u"ScriptsMacros";

class LabelSink : public ITextSink {
public:
    explicit LabelSink(TLabel& label) : label_(label) {}
    void SetText(const UString& text) override { label_.SetCaption(text); }

private:
    TLabel& label_;
};

class BarSink : public IProgressSink {
public:
    explicit BarSink(TProgressBar& bar) : bar_(bar) {}
    int Position() override { return bar_.Position(); }
    void SetPosition(int position) override { bar_.SetPosition(position); }

private:
    TProgressBar& bar_;
};

// The path up to its last "\", without it; "" when it has none.
UString FolderOf(const UString& path)
{
    const size_t slash = path.rfind(u'\\');
    return slash == UString::npos ? UString() : path.substr(0, slash);
}

}  // namespace

struct TUninstallThread::Sinks {
    std::unique_ptr<LabelSink> label;
    std::unique_ptr<BarSink> bar;
};

TUninstallThread::TUninstallThread(uint64_t pageWindow, TLabel* statusLabel, TProgressBar* progressBar,
                                   UNINSTStruct_INFO info)
    : TThread(true), PageWindow(pageWindow), info_(std::move(info)), statusLabel_(statusLabel),
      progressBar_(progressBar), sinks_(std::make_unique<Sinks>())
{
    FreeOnTerminate = true;
    if (statusLabel_)
        sinks_->label = std::make_unique<LabelSink>(*statusLabel_);
    if (progressBar_)
        sinks_->bar = std::make_unique<BarSink>(*progressBar_);
}

TUninstallThread::~TUninstallThread() = default;

void TUninstallThread::Execute()
{
    if (progressBar_)
        progressBar_->SetPosition(0);
    struct Step {
        void (TUninstallThread::*run)();
        const char16_t* text;
        int position;
    };
    static constexpr Step steps[] = {
        {&TUninstallThread::RemoveRegOnBoot, u"Remove Reg on Boot!", 20},
        {&TUninstallThread::RemoveRegOnUninstallFolder, u"Remove Reg on Add/Remove Programs!", 40},
        {&TUninstallThread::RemoveLinks, u"Remove Links!", 60},
        {&TUninstallThread::RemoveRegOnPrivateFolder, u"Remove Reg on Program Folder!", 80},
        {&TUninstallThread::RemoveProgramFolder, u"Remove Program Folder!", 100},
    };
    for (const Step& step : steps) {
        CheckPause();
        // The page waits for the finish message whatever happens in a step.
        try {
            (this->*step.run)();
        } catch (const std::exception& error) {
            Trace(UString(step.text) + u" ended early: " + FromUtf8(error.what()));
        } catch (...) {
            Trace(UString(step.text) + u" ended early");
        }
        ShowStep(step.text, step.position);
    }
    PostMessageTo(PageWindow, RegisterMessage(kUninstallFinishedMessage), 0, 0);
}

void TUninstallThread::ShowStep(const UString& text, int position)
{
    if (statusLabel_)
        statusLabel_->SetCaption(text);
    if (progressBar_)
        progressBar_->SetPosition(position);
}

void TUninstallThread::Trace(const UString& text) { Platform().DebugOutput(u"Uninstall: " + text); }

void TUninstallThread::RemoveRegOnBoot()
{
    if (App.RunKey.empty()) {
        Trace(u"run-at-logon value kept: the Run key's path is not known");
        return;
    }
    DeleteUserValue(App.RunKey, false, info_.ExecOnBoot);
}

void TUninstallThread::RemoveRegOnUninstallFolder()
{
    const UString refusal = UninstallEntryRefusal(App.UninstallKey, info_.UninstRegFolder);
    if (!refusal.empty()) {
        Trace(u"uninstall entry kept: " + refusal);
        return;
    }
    DeleteMachineKey(u"", false, IncludeTrailingPathDelimiter(App.UninstallKey) + info_.UninstRegFolder);
}

void TUninstallThread::RemoveLinks()
{
    auto deleteShortcut = [this](const UString& path) {
        CheckPause();
        // Only shortcuts: a damaged record must not make this delete a program.
        if (!path.empty() && !SameText(ExtractFileExt(path), u".lnk")) {
            Trace(u"kept \"" + path + u"\": not a shortcut file");
            return;
        }
        Platform().DeleteFile(path);
    };
    deleteShortcut(info_.LINK_ProgramsExec);
    deleteShortcut(info_.LINK_ProgramUnist);
    if (!info_.LINK_ProgramsManual.empty())
        deleteShortcut(info_.LINK_ProgramsManual);
    deleteShortcut(info_.LINK_DesktopExec);

    const UString programFolder = FolderOf(info_.LINK_ProgramsExec);
    if (!programFolder.empty()) {
        const UString refusal = ShortcutFolderRefusal(programFolder);
        CheckPause();
        if (refusal.empty())
            Platform().RemoveDirectory(programFolder);
        else
            Trace(u"Start-menu folder kept: " + refusal);
    }

    const UString publisherFolder = FolderOf(programFolder);
    CheckPause();
    if (!publisherFolder.empty() && Platform().DirectoryExists(publisherFolder)) {
        const int count = CountFolderEntriesExcept(
            publisherFolder, App.GetText(textkeys::UninstallSection, textkeys::LinkProgramsFolder));
        Platform().DebugOutput(u"sProgramOnStartMenu Folder Item Count = " + IntToStr(count));
        const UString refusal = ShortcutFolderRefusal(publisherFolder);
        if (!refusal.empty()) {
            Trace(u"publisher's Start-menu folder kept: " + refusal);
        } else if (count <= 0) {
            CheckPause();
            if (Platform().RemoveDirectory(publisherFolder))
                Platform().DebugOutput(u"Remove ProgramOnStartMenu folder success!!");
            else
                Platform().DebugOutput(u"Remove ProgramOnStartMenu folder fail!!");
        }
    }
    CheckPause();
    Platform().NotifyAssociationChanged();
}

void TUninstallThread::RemoveRegOnPrivateFolder()
{
    const UString refusal = PrivateKeyRefusal(info_.KeyPath);
    if (!refusal.empty()) {
        Trace(u"private key kept: " + refusal);
        return;
    }
    TRegistry reg(KEY_READ_MASK);
    reg.SetRootKey(RegRoot::LocalMachine);
    reg.SetAccess(KEY_WRITE_MASK);
    reg.DeleteKey(info_.KeyPath);

    const UString publisherKey = PublisherKeyOf(info_.KeyPath);
    if (publisherKey.empty())
        return;
    CheckPause();
    if (!reg.OpenKey(publisherKey, false))
        return;
    // Only a key known to be empty goes: a listing that failed says nothing about
    // another product of the same publisher.
    Platform().SetLastError(WinError::Success);
    const bool hasSubKeys = reg.HasSubKeys();
    const bool listed = Platform().LastError() == WinError::Success;
    reg.CloseKey();
    if (!hasSubKeys && listed)
        reg.DeleteKey(publisherKey);
    else if (!listed)
        Trace(u"publisher's key kept: its subkeys could not be listed");
}

void TUninstallThread::RemoveProgramFolder()
{
    const UString refusal = ProgramFolderRefusal(info_.InstallDir, info_.Product);
    if (!refusal.empty()) {
        Trace(u"program folder kept: " + refusal);
        return;
    }
    DeleteProgramTree(IncludeTrailingPathDelimiter(info_.InstallDir),
                      ExtractFileName(ExcludeTrailingPathDelimiter(info_.InstallDir)), sinks_->bar.get(),
                      sinks_->label.get(), UserDataFolder);
}

void TUninstallThread::DeleteProgramTree(const UString& folder, const UString& keptName, IProgressSink* bar,
                                         ITextSink* label, const UString& skippedName)
{
    std::vector<DirEntry> entries;
    if (!Platform().ListFolder(folder, entries))
        return;
    for (const DirEntry& entry : entries) {
        if ((entry.attributes & AnyFileMask) == 0 || entry.name == u"." || entry.name == u"..")
            continue;
        const UString path = folder + entry.name;
        if (entry.attributes & FileAttr::Directory) {
            if (entry.name == skippedName)
                continue;
            // A junction or link goes alone; what it points at is not ours.
            if (!(entry.attributes & ReparsePointBit))
                DeleteProgramTree(path + u"\\", keptName, bar, label, skippedName);
            if (entry.name != keptName) {
                CheckPause();
                Platform().RemoveDirectory(path);
            }
            continue;
        }
        CheckPause();
        if (label)
            label->SetText(path);
        Platform().DeleteFile(path);
        if (bar)
            StepProgressBar(*bar);
    }
}
