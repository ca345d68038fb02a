#pragma once
// Every Windows operation the program uses, behind one narrow interface with value
// types only. Two implementations: platform/win32 (the real Win32 API) and
// platform/sim (a simulated Windows machine kept in a host folder).
//
// Contract shared by both: no call throws; failure is a false, an empty optional or
// an empty string, and the reason is in LastError() (a Windows error code).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/UString.h"

enum class RegRoot { LocalMachine, CurrentUser };

// Access masks of the registry object.
constexpr uint32_t KEY_READ_MASK = 0x20019;
constexpr uint32_t KEY_WRITE_MASK = 0x20006;

// File attribute bits as Windows defines them.
namespace FileAttr {
constexpr uint32_t ReadOnly = 0x1, Hidden = 0x2, System = 0x4, Volume = 0x8, Directory = 0x10, Archive = 0x20,
                   Device = 0x40, Normal = 0x80, Temporary = 0x100;
}

// Windows error codes the callers look at.
namespace WinError {
constexpr uint32_t Success = 0, FileNotFound = 2, PathNotFound = 3, AccessDenied = 5, NotEnoughMemory = 8,
                   WriteFault = 29, SharingViolation = 32, FileExists = 80, DiskFull = 112, AlreadyExists = 183,
                   DirNotEmpty = 145, BadPathName = 161, NoMoreItems = 259, InvalidParameter = 87;
}

constexpr uint32_t CREATE_NO_WINDOW_FLAG = 0x08000000;
constexpr uint32_t CREATE_NEW_CONSOLE_FLAG = 0x00000010;

struct DirEntry {
    UString name;
    uint32_t attributes = 0;
};

struct ProcessEntry {
    UString exeName;  // bare file name, as the tool-help snapshot gives it
    uint32_t pid = 0;
};

struct WindowEntry {
    uint64_t handle = 0;
    uint32_t pid = 0;
    UString caption;
};

struct ShortcutSpec {
    UString linkPath;  // the .lnk file to write
    UString target;
    UString arguments;
    UString workingDir;  // empty: none
    UString description;
    UString iconPath;  // empty: none
    int iconIndex = 0;
};

struct WindowsVersion {
    uint32_t major = 0;  // 0 when unknown
    uint32_t minor = 0;
};

class IPlatform {
public:
    virtual ~IPlatform() = default;

    // --- registry (default view of a 32-bit process; values are REG_SZ) ---
    // Opens the key with the access mask; with create, missing keys are made.
    // Without create, a missing key fails and nothing is created.
    virtual bool RegOpenKey(RegRoot root, const UString& path, uint32_t access, bool create) = 0;
    virtual bool RegKeyExists(RegRoot root, const UString& path) = 0;
    // Missing key or value (or a value that is not a string): nullopt.
    virtual std::optional<UString> RegReadString(RegRoot root, const UString& path, const UString& name) = 0;
    virtual bool RegValueExists(RegRoot root, const UString& path, const UString& name) = 0;
    // The key must exist (open it with create first).
    virtual bool RegWriteString(RegRoot root, const UString& path, const UString& name, const UString& value) = 0;
    virtual bool RegDeleteValue(RegRoot root, const UString& path, const UString& name) = 0;
    // Deletes the key and its whole subtree. Refuses an empty path (a hive root).
    virtual bool RegDeleteKeyTree(RegRoot root, const UString& path) = 0;
    virtual bool RegHasSubKeys(RegRoot root, const UString& path) = 0;
    // In the registry's enumeration order; empty when the key is missing.
    virtual std::vector<UString> RegSubKeyNames(RegRoot root, const UString& path) = 0;
    virtual std::vector<UString> RegValueNames(RegRoot root, const UString& path) = 0;

    // --- files and folders (Windows paths) ---
    // The entries of folder\*.* in the file system's order, "." and ".." left out.
    // False when the folder is missing or unreadable.
    virtual bool ListFolder(const UString& folder, std::vector<DirEntry>& entries) = 0;
    virtual bool FileExists(const UString& path) = 0;  // a file, not a folder
    virtual bool DirectoryExists(const UString& path) = 0;
    virtual std::optional<uint32_t> GetAttributes(const UString& path) = 0;
    virtual bool SetAttributes(const UString& path, uint32_t attributes) = 0;
    // Copies content, attributes and last-write time, as CopyFileW does.
    virtual bool CopyFile(const UString& from, const UString& to, bool failIfExists) = 0;
    virtual bool DeleteFile(const UString& path) = 0;
    virtual bool CreateDirectory(const UString& path) = 0;  // parent must exist
    virtual bool RemoveDirectory(const UString& path) = 0;  // must be empty
    // FILETIME in UTC: 100 ns units since 1601-01-01.
    virtual std::optional<uint64_t> GetLastWriteTime(const UString& path) = 0;
    virtual bool SetLastWriteTime(const UString& path, uint64_t filetime) = 0;
    virtual bool CreateEmptyFile(const UString& path) = 0;  // replaces an existing file
    virtual std::optional<std::string> ReadWholeFile(const UString& path) = 0;
    virtual bool WriteWholeFile(const UString& path, const std::string& bytes) = 0;

    // --- processes and windows ---
    // CreateProcessW with no application name, then waits without limit.
    // False when the process could not be started; its exit code is not read.
    virtual bool RunAndWait(const UString& commandLine, uint32_t creationFlags) = 0;
    // ShellExecuteW; true when the shell reports success (result > 32).
    virtual bool ShellExecute(const UString& verb, const UString& file, const UString& parameters,
                              const UString& directory, int showCommand) = 0;
    virtual std::vector<ProcessEntry> ListProcesses() = 0;
    virtual bool TerminateProcess(uint32_t pid, uint32_t exitCode) = 0;
    virtual std::vector<WindowEntry> ListTopLevelWindows() = 0;
    // Exact caption; 0 when none.
    virtual uint64_t FindWindowByCaption(const UString& caption) = 0;
    // Sends WM_CLOSE and returns when the window has handled it.
    virtual bool SendCloseRequest(uint64_t window) = 0;
    virtual uint32_t CurrentProcessId() = 0;

    // --- shell ---
    // SHGetSpecialFolderPathW; empty when Windows knows no such folder.
    virtual UString GetSpecialFolderPath(int csidl, bool create) = 0;
    virtual bool WriteShortcut(const ShortcutSpec& shortcut) = 0;
    virtual void NotifyAssociationChanged() = 0;

    // --- security and system ---
    // Local name of the group with SID S-1-1-0 ("Everyone" on English Windows); empty on failure.
    virtual UString EveryoneGroupName() = 0;
    virtual uint16_t SystemDefaultLangId() = 0;
    virtual uint16_t UserDefaultLangId() = 0;
    virtual WindowsVersion GetWindowsVersion() = 0;
    virtual bool IsUserAdmin() = 0;
    virtual void DebugOutput(const UString& text) = 0;
    // GetPrivateProfileStringW of one value.
    virtual UString ReadProfileString(const UString& file, const UString& section, const UString& key,
                                      const UString& defaultValue) = 0;
    // WritePrivateProfileStringW of one value: replaced in its section, or added (with
    // the section) when missing; the file keeps its encoding. False when not written.
    virtual bool WriteProfileString(const UString& file, const UString& section, const UString& key,
                                    const UString& value) = 0;
    // Full path of the running executable (a Windows path).
    virtual UString ExecutablePath() = 0;
    // Command-line arguments after the program name, as ParamStr(1..) splits them.
    virtual std::vector<UString> CommandLineArgs() = 0;
    virtual uint32_t LastError() = 0;
    virtual void SetLastError(uint32_t code) = 0;
    // The system's message text for an error code (FormatMessageW), without the line break.
    virtual UString SystemErrorMessage(uint32_t code) = 0;
};

// The platform the program runs on. Set once at start-up (the entry point, or a test
// fixture); the previous one is returned so fixtures can restore it.
IPlatform& Platform();
IPlatform* SetPlatform(IPlatform* platform);
