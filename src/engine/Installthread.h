#pragma once
// The installation worker: puts a previous installation's user data aside, copies
// the payload, opens the product folder's permissions, writes the uninstall entry,
// the run-at-logon value, the shortcuts and the private key, keeps a copy of the
// installer for uninstalling, brings the user data back, records the registry
// values in the updater's "Regedit_FileList.ini" and, last of all, posts the
// registered message kInstallThreadFinished to the page's window.
//
// It reads and writes the fields of App (paths, InstallState, SetupIni, texts);
// nothing else may change them while it runs. Nothing is reported to the user: a
// file, key, value, shortcut or command that fails is skipped, and the reason of
// every refusal goes to the debug output.
//
// Pausing: Suspend() takes effect between steps and between files (before a file's
// path reaches the status line and before it is copied), never inside an operation.
#include <cstdint>
#include <memory>
#include <vector>

#include "base/UString.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/StringList.h"
#include "toolkit/Thread.h"
#include "util/Xfunctions.h"

// Registered (RegisterMessage) by the worker and by the page that waits for it.
inline constexpr char16_t kInstallThreadFinished[] = u"INSTALL_THREAD_FINISHED";
// The record file in the updater folder; written only when the payload brought it.
inline constexpr char16_t kRegistryRecordFile[] = u"Regedit_FileList.ini";

enum class PermissionCommand { CaclsGrant, Reset, NoInherit, GrantSystem, GrantEveryone };

class TInstallThread : public TThread {
public:
    // The page's window, status line and bar (either may be null). The thread frees
    // itself when its body returns: keep Control(), not the pointer.
    TInstallThread(bool createSuspended, uint64_t pageWindow, TLabel* statusLine, TProgressBar* bar);
    // The same with any sinks, which must outlive the thread.
    TInstallThread(bool createSuspended, uint64_t pageWindow, ITextSink* statusLine, IProgressSink* bar);
    ~TInstallThread() override;

    uint64_t PageWindow = 0;
    // Setup.ini as it is when the work starts; absent when there is none.
    std::unique_ptr<TMemIniFile> ThreadSetupIni;
    // The registry record's lines, in the order the registry steps add them.
    std::unique_ptr<TStringList> RegistryRecordLines;

    // The work, in the order Execute runs it. They run on the calling thread; the
    // steps need ThreadSetupIni (absent: every key reads "") and RegistryRecordLines
    // (absent: no lines are kept).

    // Loads ThreadSetupIni; when App.InstallState is 1 and Setup.ini exists, runs
    // the steps and writes the record file.
    void RunInstallation();
    void DoInstallSteps();

    // Files and permissions.
    void BackupUserData();
    void CopyFiles();
    void KeepInstallerCopy();
    void CopyTextsToInstallerCopy();
    void SetInstallerCopyPermissions();
    void RestoreUserData();

    // Registry records; each adds its record lines.
    void WriteRegOnUninstallFolder();
    void WriteRegOnBootName();
    void WriteRegOnPrivateFolder();

    // The Start-menu and desktop shortcuts, below the publisher and program folders
    // (either may be empty).
    void CreateLinks(const UString& publisherFolder, const UString& programFolder);

protected:
    void Execute() override;

private:
    // The status line as the copies see it: each file's path waits at the safe
    // point first.
    class TPausingStatus : public ITextSink {
    public:
        explicit TPausingStatus(TInstallThread& owner) : owner_(owner) {}
        void SetText(const UString& text) override;

    private:
        TInstallThread& owner_;
    };

    UString SetupValue(UStringView key, UStringView defaultValue = u"") const;
    void SetStatus(const UString& text);
    void SetBar(int position);
    void AddRecordLine(UString line);
    void WriteRegistryRecord();
    // "" when InstallRootDir is a folder this installation may empty and
    // re-permission; otherwise why not.
    UString ProductFolderRefusal() const;
    // Runs one permission command and waits for it; a command that needs the
    // Everyone group's name is skipped when that name is unknown.
    void RunPermission(PermissionCommand command, const UString& folder, const UString& everyone);
    // IncludeTrailingPathDelimiter(App.InstallDir) + %PROGRAM_DATA (the "Vintrel"
    // variant's data folder), "" when %PROGRAM_DATA is no plain folder name.
    UString VintrelDataFolder() const;
    // Empties and re-creates the kept installer's folder (that of
    // App.UninstallerPath, one level below top) when it is this installation's own.
    void PrepareKeptCopyFolder(const UString& top, const UString& folder);
    bool KeptInPlace(const UString& folder) const;

    ITextSink* status_ = nullptr;
    IProgressSink* bar_ = nullptr;
    std::unique_ptr<ITextSink> ownedStatus_;
    std::unique_ptr<IProgressSink> ownedBar_;
    TPausingStatus copyStatus_{*this};
    // The kept installer's folder, when this run prepared it empty.
    UString keptCopyFolder_;
    // User-data folders that could not be put aside whole and so stay where they are.
    std::vector<UString> keptInPlace_;
};

// A name that stays one folder below its parent: not empty, no "\", "/", ":" or "..".
bool IsPlainFolderName(UStringView name);

// The local name of the group with SID S-1-1-0 ("Everyone" on English Windows); ""
// when the system cannot name it.
UString GetEveryoneGroupName();

// The Windows tools that set folder permissions, by major version: 5 has cacls,
// 6 and 10 icacls, any other none.
enum class PermissionTool { None, Cacls, Icacls };
PermissionTool PermissionToolFor(uint32_t windowsMajorVersion);

// The command line for a folder (no trailing "\") and the Everyone group's name.
UString PermissionCommandLine(PermissionCommand command, const UString& folder, const UString& everyone);
