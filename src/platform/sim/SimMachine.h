#pragma once
// A simulated Windows machine kept in one host folder, shared by every process that
// opens the same folder:
//   drive_c/        drive C: (C:\A\B is drive_c/A/B)
//   registry.reg    the registry in regedit's export format
//   machine.ini     languages, version, administrator, Everyone's name, special
//                   folders, the simulated process, running processes and windows,
//                   failures that child processes must see too
//   attributes.txt  file attributes other than the defaults
//   journal.txt     one line per effect Linux cannot make real, "kind: text"
//   machine.lock    the lock that serialises changes between processes
// What it models by default: a 64-bit Windows 10 (English, administrator) running
// this program as a 32-bit process.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace sim {
struct HostPath;
class CachedFile;
class SimFileSystem;
class SimRegistry;
struct SimSettings;
}  // namespace sim

// Operations a test can make fail on purpose.
enum class SimOp {
    ListFolder,
    Exists,  // FileExists and DirectoryExists answer false
    GetAttributes,
    SetAttributes,
    CopyFile,  // matches the source or the target path
    DeleteFile,
    CreateDirectory,
    RemoveDirectory,
    GetLastWriteTime,
    SetLastWriteTime,
    ReadFile,
    WriteFile,  // CreateEmptyFile and WriteWholeFile
    RegOpenKey,
    RegReadValue,  // RegReadString and RegValueExists
    RegWriteValue,
    RegDeleteValue,
    RegDeleteKey,
    RegEnumKey,        // RegHasSubKeys, RegSubKeyNames, RegValueNames
    RunProcess,        // target: the program as written in the command line, or its file name
    ShellExecute,      // target: the file
    TerminateProcess,  // target: the executable name
    SendCloseRequest,  // target: the window caption
    WriteShortcut,     // target: the .lnk path
    SpecialFolder,     // target: the CSIDL in hex, "0x0026"
    EveryoneName,      // target: "*"
};

struct SimFailOptions {
    int times = -1;           // how many calls fail; -1: every call
    bool persistent = false;  // kept in machine.ini, so processes started later fail too
};

// Journal kinds.
namespace SimJournal {
inline constexpr char16_t Run[] = u"run";                     // "0x08000000 icacls.exe ..."
inline constexpr char16_t ShellExecute[] = u"shell-execute";  // "verb|file|parameters|directory|show"
inline constexpr char16_t ShellNotify[] = u"shell-notify";    // "association changed"
inline constexpr char16_t CloseRequest[] = u"close-request";  // "<caption>"
inline constexpr char16_t ProcessEnded[] = u"process-ended";  // "<exe name> <pid>"
inline constexpr char16_t Debug[] = u"debug";                 // the text
}  // namespace SimJournal

class SimMachine : public IPlatform {
public:
    // Opens the machine kept in `folder` (an absolute or relative host path), making
    // a fresh one when the folder holds none.
    explicit SimMachine(const std::string& folder);
    ~SimMachine() override;
    SimMachine(const SimMachine&) = delete;
    SimMachine& operator=(const SimMachine&) = delete;

    // --- for tests and the host entry point ---
    const std::string& Folder() const { return folder_; }
    // The host path a Windows path maps to (existing components in their stored
    // case); empty for a path outside drive C:.
    std::string HostPath(const UString& windowsPath);
    std::string RegistryFile() const;
    // Creates a Windows path's missing folders.
    bool MakeFolders(const UString& windowsPath);

    void SetLanguages(uint16_t systemLangId, uint16_t userLangId);
    void SetWindowsVersion(uint32_t major, uint32_t minor);
    void SetAdministrator(bool admin);
    void SetEveryoneName(const UString& name);
    // An empty path makes the folder unknown.
    void SetSpecialFolder(int csidl, const UString& path);
    // Whether the registry shows the 32-bit view of a 64-bit Windows (the default).
    void SetWow64(bool wow64);
    // The simulated process: its executable and its whole command line (program
    // name first). Kept in machine.ini.
    void SetProcess(const UString& executable, const UString& commandLine);
    void SetCurrentDirectory(const UString& folder);
    // The same, for this object only: a child process started by RunAndWait learns
    // who it is from its environment, while machine.ini describes the first process.
    void SetProcessIdentity(const UString& executable, const UString& commandLine, const UString& currentDirectory);

    // A running process of another program; returns its id.
    uint32_t AddProcess(const UString& exeName);
    // A top-level window of that process. A close request ends the process and its
    // windows unless the window ignores it. Returns the handle.
    uint64_t AddWindow(uint32_t pid, const UString& caption, bool ignoresClose = false);
    bool ProcessRunning(uint32_t pid);

    std::vector<UString> Journal();
    // The texts of the journal lines of one kind, in order.
    std::vector<UString> JournalOf(UStringView kind);
    void ClearJournal();

    // Makes the operation fail with `error` when it acts on `target`: a Windows path,
    // or a key as "HKLM\Software\X" / "HKCU\...", compared without regard to case;
    // "*" matches every target of that kind.
    void FailOn(SimOp op, const UString& target, uint32_t error, SimFailOptions options = {});
    // For value operations: only the value `valueName` of the key.
    void FailOnValue(SimOp op, const UString& key, const UString& valueName, uint32_t error,
                     SimFailOptions options = {});
    void ClearFailures();

    std::optional<ShortcutSpec> ReadShortcut(const UString& linkPath);
    uint64_t DirectoryScans() const;

    // --- IPlatform ---
    bool RegOpenKey(RegRoot root, const UString& path, uint32_t access, bool create) override;
    bool RegKeyExists(RegRoot root, const UString& path) override;
    std::optional<UString> RegReadString(RegRoot root, const UString& path, const UString& name) override;
    bool RegValueExists(RegRoot root, const UString& path, const UString& name) override;
    bool RegWriteString(RegRoot root, const UString& path, const UString& name, const UString& value) override;
    bool RegDeleteValue(RegRoot root, const UString& path, const UString& name) override;
    bool RegDeleteKeyTree(RegRoot root, const UString& path) override;
    bool RegHasSubKeys(RegRoot root, const UString& path) override;
    std::vector<UString> RegSubKeyNames(RegRoot root, const UString& path) override;
    std::vector<UString> RegValueNames(RegRoot root, const UString& path) override;

    bool ListFolder(const UString& folder, std::vector<DirEntry>& entries) override;
    bool FileExists(const UString& path) override;
    bool DirectoryExists(const UString& path) override;
    std::optional<uint32_t> GetAttributes(const UString& path) override;
    bool SetAttributes(const UString& path, uint32_t attributes) override;
    bool CopyFile(const UString& from, const UString& to, bool failIfExists) override;
    bool DeleteFile(const UString& path) override;
    bool CreateDirectory(const UString& path) override;
    bool RemoveDirectory(const UString& path) override;
    std::optional<uint64_t> GetLastWriteTime(const UString& path) override;
    bool SetLastWriteTime(const UString& path, uint64_t filetime) override;
    bool CreateEmptyFile(const UString& path) override;
    std::optional<std::string> ReadWholeFile(const UString& path) override;
    bool WriteWholeFile(const UString& path, const std::string& bytes) override;

    bool RunAndWait(const UString& commandLine, uint32_t creationFlags) override;
    bool ShellExecute(const UString& verb, const UString& file, const UString& parameters, const UString& directory,
                      int showCommand) override;
    std::vector<ProcessEntry> ListProcesses() override;
    bool TerminateProcess(uint32_t pid, uint32_t exitCode) override;
    std::vector<WindowEntry> ListTopLevelWindows() override;
    uint64_t FindWindowByCaption(const UString& caption) override;
    bool SendCloseRequest(uint64_t window) override;
    uint32_t CurrentProcessId() override;

    UString GetSpecialFolderPath(int csidl, bool create) override;
    bool WriteShortcut(const ShortcutSpec& shortcut) override;
    void NotifyAssociationChanged() override;

    UString EveryoneGroupName() override;
    uint16_t SystemDefaultLangId() override;
    uint16_t UserDefaultLangId() override;
    WindowsVersion GetWindowsVersion() override;
    bool IsUserAdmin() override;
    void DebugOutput(const UString& text) override;
    UString ReadProfileString(const UString& file, const UString& section, const UString& key,
                              const UString& defaultValue) override;
    bool WriteProfileString(const UString& file, const UString& section, const UString& key,
                            const UString& value) override;
    UString ExecutablePath() override;
    std::vector<UString> CommandLineArgs() override;
    uint32_t LastError() override;
    void SetLastError(uint32_t code) override;
    UString SystemErrorMessage(uint32_t code) override;

private:
    struct Failure;
    // Settings as machine.ini holds them now.
    sim::SimSettings Settings();
    // Reads machine.ini again under the machine lock, changes it and writes it back.
    void UpdateSettings(const std::function<void(sim::SimSettings&)>& change);
    void LoadSettingsLocked();
    void SaveSettingsLocked();

    // What every file operation asks of machine.ini, read without copying it.
    struct SettingsGlance {
        bool administrator = true;
        bool anyFailure = false;  // planned here or stored in machine.ini
    };
    SettingsGlance Glance();

    // 0, or the error a planned failure gives this call.
    uint32_t PlannedFailure(SimOp op, const UString& target, const UString& valueName = {});
    uint32_t PlannedFileFailure(SimOp op, const UString& path);
    uint32_t PlannedFileFailure(SimOp op, const UString& path, const SettingsGlance& glance);
    uint32_t PlannedKeyFailure(SimOp op, RegRoot root, const UString& path, const UString& valueName = {});
    // Sets LastError and returns whether the call succeeded.
    bool Done(uint32_t error);
    uint32_t Resolve(const UString& path, sim::HostPath& out);
    void Log(UStringView kind, UStringView text);
    UString CurrentDirectory();
    bool RunHostProgram(const std::string& hostPath, const UString& program, const UString& commandLine);

    std::string folder_;
    std::string lockFile_;
    std::string settingsFile_;
    std::string journalFile_;
    std::unique_ptr<sim::SimFileSystem> files_;
    std::unique_ptr<sim::SimRegistry> registry_;

    std::mutex settingsMutex_;
    std::unique_ptr<sim::SimSettings> settings_;
    std::unique_ptr<sim::CachedFile> settingsCache_;

    std::mutex failuresMutex_;
    std::vector<Failure> failures_;

    std::mutex identityMutex_;
    bool hasIdentity_ = false;
    UString identityExe_, identityCommandLine_, identityCurrentDir_;
};
