#pragma once
// The machine as the setup would see it from a package folder: every operation goes
// to the platform underneath, except that the running executable is the package's
// Setup.exe, the system's language is the one being checked, the user is an
// administrator, and debug output is kept for the checker to read.
#include <cstdint>
#include <vector>

#include "platform/Platform.h"

class PackagePlatform : public IPlatform {
public:
    // packageFolder: a Windows path with its trailing backslash.
    PackagePlatform(IPlatform& inner, UString packageFolder) : inner_(inner), folder_(std::move(packageFolder)) {}

    const UString& PackageFolder() const { return folder_; }
    void SetLanguageId(uint16_t id) { languageId_ = id; }
    // Debug output since the last call, oldest first.
    std::vector<UString> TakeDebugOutput()
    {
        std::vector<UString> lines;
        lines.swap(debug_);
        return lines;
    }

    UString ExecutablePath() override { return folder_ + u"Setup.exe"; }
    uint16_t SystemDefaultLangId() override { return languageId_; }
    uint16_t UserDefaultLangId() override { return languageId_; }
    void DebugOutput(const UString& text) override { debug_.push_back(text); }
    std::vector<UString> CommandLineArgs() override { return {}; }
    bool IsUserAdmin() override { return true; }

    bool RegOpenKey(RegRoot root, const UString& path, uint32_t access, bool create) override
    {
        return inner_.RegOpenKey(root, path, access, create);
    }
    bool RegKeyExists(RegRoot root, const UString& path) override { return inner_.RegKeyExists(root, path); }
    std::optional<UString> RegReadString(RegRoot root, const UString& path, const UString& name) override
    {
        return inner_.RegReadString(root, path, name);
    }
    bool RegValueExists(RegRoot root, const UString& path, const UString& name) override
    {
        return inner_.RegValueExists(root, path, name);
    }
    bool RegWriteString(RegRoot root, const UString& path, const UString& name, const UString& value) override
    {
        return inner_.RegWriteString(root, path, name, value);
    }
    bool RegDeleteValue(RegRoot root, const UString& path, const UString& name) override
    {
        return inner_.RegDeleteValue(root, path, name);
    }
    bool RegDeleteKeyTree(RegRoot root, const UString& path) override { return inner_.RegDeleteKeyTree(root, path); }
    bool RegHasSubKeys(RegRoot root, const UString& path) override { return inner_.RegHasSubKeys(root, path); }
    std::vector<UString> RegSubKeyNames(RegRoot root, const UString& path) override
    {
        return inner_.RegSubKeyNames(root, path);
    }
    std::vector<UString> RegValueNames(RegRoot root, const UString& path) override
    {
        return inner_.RegValueNames(root, path);
    }
    bool ListFolder(const UString& folder, std::vector<DirEntry>& entries) override
    {
        return inner_.ListFolder(folder, entries);
    }
    bool FileExists(const UString& path) override { return inner_.FileExists(path); }
    bool DirectoryExists(const UString& path) override { return inner_.DirectoryExists(path); }
    std::optional<uint32_t> GetAttributes(const UString& path) override { return inner_.GetAttributes(path); }
    bool SetAttributes(const UString& path, uint32_t attributes) override
    {
        return inner_.SetAttributes(path, attributes);
    }
    bool CopyFile(const UString& from, const UString& to, bool failIfExists) override
    {
        return inner_.CopyFile(from, to, failIfExists);
    }
    bool DeleteFile(const UString& path) override { return inner_.DeleteFile(path); }
    bool CreateDirectory(const UString& path) override { return inner_.CreateDirectory(path); }
    bool RemoveDirectory(const UString& path) override { return inner_.RemoveDirectory(path); }
    std::optional<uint64_t> GetLastWriteTime(const UString& path) override { return inner_.GetLastWriteTime(path); }
    bool SetLastWriteTime(const UString& path, uint64_t filetime) override
    {
        return inner_.SetLastWriteTime(path, filetime);
    }
    bool CreateEmptyFile(const UString& path) override { return inner_.CreateEmptyFile(path); }
    std::optional<std::string> ReadWholeFile(const UString& path) override { return inner_.ReadWholeFile(path); }
    bool WriteWholeFile(const UString& path, const std::string& bytes) override
    {
        return inner_.WriteWholeFile(path, bytes);
    }
    bool RunAndWait(const UString& commandLine, uint32_t creationFlags) override
    {
        return inner_.RunAndWait(commandLine, creationFlags);
    }
    bool ShellExecute(const UString& verb, const UString& file, const UString& parameters, const UString& directory,
                      int showCommand) override
    {
        return inner_.ShellExecute(verb, file, parameters, directory, showCommand);
    }
    std::vector<ProcessEntry> ListProcesses() override { return inner_.ListProcesses(); }
    bool TerminateProcess(uint32_t pid, uint32_t exitCode) override { return inner_.TerminateProcess(pid, exitCode); }
    std::vector<WindowEntry> ListTopLevelWindows() override { return inner_.ListTopLevelWindows(); }
    uint64_t FindWindowByCaption(const UString& caption) override { return inner_.FindWindowByCaption(caption); }
    bool SendCloseRequest(uint64_t window) override { return inner_.SendCloseRequest(window); }
    uint32_t CurrentProcessId() override { return inner_.CurrentProcessId(); }
    UString GetSpecialFolderPath(int csidl, bool create) override { return inner_.GetSpecialFolderPath(csidl, create); }
    bool WriteShortcut(const ShortcutSpec& shortcut) override { return inner_.WriteShortcut(shortcut); }
    void NotifyAssociationChanged() override { inner_.NotifyAssociationChanged(); }
    UString EveryoneGroupName() override { return inner_.EveryoneGroupName(); }
    WindowsVersion GetWindowsVersion() override { return inner_.GetWindowsVersion(); }
    UString ReadProfileString(const UString& file, const UString& section, const UString& key,
                              const UString& defaultValue) override
    {
        return inner_.ReadProfileString(file, section, key, defaultValue);
    }
    bool WriteProfileString(const UString& file, const UString& section, const UString& key,
                            const UString& value) override
    {
        return inner_.WriteProfileString(file, section, key, value);
    }
    uint32_t LastError() override { return inner_.LastError(); }
    void SetLastError(uint32_t code) override { inner_.SetLastError(code); }
    UString SystemErrorMessage(uint32_t code) override { return inner_.SystemErrorMessage(code); }

private:
    IPlatform& inner_;
    UString folder_;
    uint16_t languageId_ = 0x0409;
    std::vector<UString> debug_;
};
