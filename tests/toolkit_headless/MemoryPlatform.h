#pragma once
// A platform that only has files, held in memory: enough for the toolkit, which
// reads pictures and documents through the platform.
#include <map>

#include "platform/Platform.h"

class MemoryPlatform : public IPlatform {
public:
    std::map<UString, std::string> files;

    bool RegOpenKey(RegRoot, const UString&, uint32_t, bool) override { return false; }
    bool RegKeyExists(RegRoot, const UString&) override { return false; }
    std::optional<UString> RegReadString(RegRoot, const UString&, const UString&) override { return std::nullopt; }
    bool RegValueExists(RegRoot, const UString&, const UString&) override { return false; }
    bool RegWriteString(RegRoot, const UString&, const UString&, const UString&) override { return false; }
    bool RegDeleteValue(RegRoot, const UString&, const UString&) override { return false; }
    bool RegDeleteKeyTree(RegRoot, const UString&) override { return false; }
    bool RegHasSubKeys(RegRoot, const UString&) override { return false; }
    std::vector<UString> RegSubKeyNames(RegRoot, const UString&) override { return {}; }
    std::vector<UString> RegValueNames(RegRoot, const UString&) override { return {}; }
    bool ListFolder(const UString&, std::vector<DirEntry>&) override { return false; }
    bool FileExists(const UString& p) override { return files.count(p) > 0; }
    bool DirectoryExists(const UString&) override { return false; }
    std::optional<uint32_t> GetAttributes(const UString&) override { return std::nullopt; }
    bool SetAttributes(const UString&, uint32_t) override { return false; }
    bool CopyFile(const UString&, const UString&, bool) override { return false; }
    bool DeleteFile(const UString& p) override { return files.erase(p) > 0; }
    bool CreateDirectory(const UString&) override { return false; }
    bool RemoveDirectory(const UString&) override { return false; }
    std::optional<uint64_t> GetLastWriteTime(const UString&) override { return std::nullopt; }
    bool SetLastWriteTime(const UString&, uint64_t) override { return false; }
    bool CreateEmptyFile(const UString& p) override
    {
        files[p].clear();
        return true;
    }
    std::optional<std::string> ReadWholeFile(const UString& p) override
    {
        auto it = files.find(p);
        if (it == files.end())
            return std::nullopt;
        return it->second;
    }
    bool WriteWholeFile(const UString& p, const std::string& b) override
    {
        files[p] = b;
        return true;
    }
    bool RunAndWait(const UString&, uint32_t) override { return false; }
    bool ShellExecute(const UString&, const UString&, const UString&, const UString&, int) override { return false; }
    std::vector<ProcessEntry> ListProcesses() override { return {}; }
    bool TerminateProcess(uint32_t, uint32_t) override { return false; }
    std::vector<WindowEntry> ListTopLevelWindows() override { return {}; }
    uint64_t FindWindowByCaption(const UString&) override { return 0; }
    bool SendCloseRequest(uint64_t) override { return false; }
    uint32_t CurrentProcessId() override { return 1; }
    UString GetSpecialFolderPath(int, bool) override { return {}; }
    bool WriteShortcut(const ShortcutSpec&) override { return false; }
    void NotifyAssociationChanged() override {}
    UString EveryoneGroupName() override { return u"Everyone"; }
    uint16_t SystemDefaultLangId() override { return 0x409; }
    uint16_t UserDefaultLangId() override { return 0x409; }
    WindowsVersion GetWindowsVersion() override { return {10, 0}; }
    bool IsUserAdmin() override { return true; }
    void DebugOutput(const UString&) override {}
    UString ReadProfileString(const UString&, const UString&, const UString&, const UString& d) override { return d; }
    bool WriteProfileString(const UString&, const UString&, const UString&, const UString&) override { return false; }
    UString ExecutablePath() override { return u"C:\\Setup\\Setup.exe"; }
    std::vector<UString> CommandLineArgs() override { return {}; }
    uint32_t LastError() override { return 0; }
    void SetLastError(uint32_t) override {}
    UString SystemErrorMessage(uint32_t) override { return {}; }
};
