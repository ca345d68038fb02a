#pragma once
// A machine that has nothing but whole files in memory, for the runtime tests of
// reading and writing text files. Installed for the lifetime of the object.
#include <map>

#include "platform/Platform.h"

class FileStore : public IPlatform {
public:
    FileStore() : previous_(SetPlatform(this)) {}
    ~FileStore() override { SetPlatform(previous_); }

    std::map<UString, std::string> files;
    bool failWrites = false;

    std::optional<std::string> ReadWholeFile(const UString& path) override
    {
        const auto it = files.find(path);
        if (it == files.end())
            return std::nullopt;
        return it->second;
    }
    bool WriteWholeFile(const UString& path, const std::string& bytes) override
    {
        if (failWrites)
            return false;
        files[path] = bytes;
        return true;
    }
    bool FileExists(const UString& path) override { return files.count(path) != 0; }

    bool RegOpenKey(RegRoot, const UString&, uint32_t, bool) override { return false; }
    bool RegKeyExists(RegRoot, const UString&) override { return false; }
    std::optional<UString> RegReadString(RegRoot, const UString&, const UString&) override { return {}; }
    bool RegValueExists(RegRoot, const UString&, const UString&) override { return false; }
    bool RegWriteString(RegRoot, const UString&, const UString&, const UString&) override { return false; }
    bool RegDeleteValue(RegRoot, const UString&, const UString&) override { return false; }
    bool RegDeleteKeyTree(RegRoot, const UString&) override { return false; }
    bool RegHasSubKeys(RegRoot, const UString&) override { return false; }
    std::vector<UString> RegSubKeyNames(RegRoot, const UString&) override { return {}; }
    std::vector<UString> RegValueNames(RegRoot, const UString&) override { return {}; }
    bool ListFolder(const UString&, std::vector<DirEntry>&) override { return false; }
    bool DirectoryExists(const UString&) override { return false; }
    std::optional<uint32_t> GetAttributes(const UString&) override { return {}; }
    bool SetAttributes(const UString&, uint32_t) override { return false; }
    bool CopyFile(const UString&, const UString&, bool) override { return false; }
    bool DeleteFile(const UString&) override { return false; }
    bool CreateDirectory(const UString&) override { return false; }
    bool RemoveDirectory(const UString&) override { return false; }
    std::optional<uint64_t> GetLastWriteTime(const UString&) override { return {}; }
    bool SetLastWriteTime(const UString&, uint64_t) override { return false; }
    bool CreateEmptyFile(const UString&) override { return false; }
    bool RunAndWait(const UString&, uint32_t) override { return false; }
    bool ShellExecute(const UString&, const UString&, const UString&, const UString&, int) override { return false; }
    std::vector<ProcessEntry> ListProcesses() override { return {}; }
    bool TerminateProcess(uint32_t, uint32_t) override { return false; }
    std::vector<WindowEntry> ListTopLevelWindows() override { return {}; }
    uint64_t FindWindowByCaption(const UString&) override { return 0; }
    bool SendCloseRequest(uint64_t) override { return false; }
    uint32_t CurrentProcessId() override { return 0; }
    UString GetSpecialFolderPath(int, bool) override { return {}; }
    bool WriteShortcut(const ShortcutSpec&) override { return false; }
    void NotifyAssociationChanged() override {}
    UString EveryoneGroupName() override { return {}; }
    uint16_t SystemDefaultLangId() override { return 0; }
    uint16_t UserDefaultLangId() override { return 0; }
    WindowsVersion GetWindowsVersion() override { return {}; }
    bool IsUserAdmin() override { return false; }
    void DebugOutput(const UString&) override {}
    UString ReadProfileString(const UString&, const UString&, const UString&, const UString& d) override { return d; }
    bool WriteProfileString(const UString&, const UString&, const UString&, const UString&) override { return false; }
    UString ExecutablePath() override { return {}; }
    std::vector<UString> CommandLineArgs() override { return {}; }
    uint32_t LastError() override { return 0; }
    void SetLastError(uint32_t) override {}
    UString SystemErrorMessage(uint32_t) override { return {}; }

private:
    IPlatform* previous_;
};
