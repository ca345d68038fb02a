#pragma once
// The platform of Setup.exe: every operation is the Win32 call of the same purpose.
// Stateless apart from COM, which is initialised on each calling thread as needed, so
// one object serves the user-interface thread and the workers at once.
//
// This header stays free of <windows.h>: several IPlatform methods share their names
// with Win32 macros (CopyFile, DeleteFile, RegOpenKey ...). The implementation files
// include Win32Api.h after it, which removes those macros.
#include "platform/Platform.h"

class Win32Platform final : public IPlatform {
public:
    // --- registry (Win32Registry.cpp) ---
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

    // --- files and folders (Win32Files.cpp) ---
    // Paths must be full ("C:\..." or "\\server\..."): a relative or empty path would
    // act on the current folder or the root of the current drive, so it fails with
    // WinError::BadPathName.
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

    // --- processes and windows (Win32Processes.cpp) ---
    bool RunAndWait(const UString& commandLine, uint32_t creationFlags) override;
    bool ShellExecute(const UString& verb, const UString& file, const UString& parameters, const UString& directory,
                      int showCommand) override;
    std::vector<ProcessEntry> ListProcesses() override;
    // Also waits a few seconds for the process to be gone, so that its executable can
    // be replaced right after.
    bool TerminateProcess(uint32_t pid, uint32_t exitCode) override;
    std::vector<WindowEntry> ListTopLevelWindows() override;
    // An empty caption finds nothing (FindWindowW would take any untitled window).
    uint64_t FindWindowByCaption(const UString& caption) override;
    // Gives up on a window whose thread does not respond instead of hanging.
    bool SendCloseRequest(uint64_t window) override;
    uint32_t CurrentProcessId() override;

    // --- shell (Win32Shell.cpp) ---
    UString GetSpecialFolderPath(int csidl, bool create) override;
    // True only when the link file was saved; LastError() then says why not.
    bool WriteShortcut(const ShortcutSpec& shortcut) override;
    void NotifyAssociationChanged() override;

    // --- security and system (Win32System.cpp) ---
    UString EveryoneGroupName() override;
    uint16_t SystemDefaultLangId() override;
    uint16_t UserDefaultLangId() override;
    WindowsVersion GetWindowsVersion() override;
    bool IsUserAdmin() override;
    // Leaves LastError() as it was.
    void DebugOutput(const UString& text) override;
    UString ReadProfileString(const UString& file, const UString& section, const UString& key,
                              const UString& defaultValue) override;
    bool WriteProfileString(const UString& file, const UString& section, const UString& key,
                            const UString& value) override;
    UString ExecutablePath() override;
    std::vector<UString> CommandLineArgs() override;
    uint32_t LastError() override;
    void SetLastError(uint32_t code) override;
    // Leaves LastError() as it was; empty for a code Windows has no text for.
    UString SystemErrorMessage(uint32_t code) override;
};
