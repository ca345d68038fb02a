// The installation's file steps: user data put aside and brought back, the payload,
// the kept installer copy and the folder permissions.
#include <algorithm>
#include <array>
#include <vector>

#include "app/App.h"
#include "app/Utils_fileexecution.h"
#include "base/Paths.h"
#include "engine/Installthread.h"
#include "engine/UninstallGuard.h"
#include "language/Text_keys.h"
#include "platform/Platform.h"
#include "util/PathGuard.h"

namespace {

constexpr uint32_t AnyFileMask = 0x1FF;
constexpr uint32_t ReparsePointBit = 0x400;

UString ExeFolder() { return ExtractFilePath(Platform().ExecutablePath()); }

void Debug(const UString& text) { Platform().DebugOutput(text); }

// The entries the file-tree operations see: the same ones they copy and delete.
std::vector<DirEntry> TreeEntries(const UString& folder, bool& listed)
{
    std::vector<DirEntry> entries;
    listed = Platform().ListFolder(IncludeTrailingPathDelimiter(folder), entries);
    std::erase_if(entries, [](const DirEntry& e) {
        return (e.attributes & AnyFileMask) == 0 || e.name == u"." || e.name == u"..";
    });
    return entries;
}

// Every file of source's tree is in target at the same place with the same time
// (a copy keeps the last-write time), so source may go without losing anything.
bool TreeIsCopiedTo(const UString& source, const UString& target)
{
    bool listed = false;
    const std::vector<DirEntry> entries = TreeEntries(source, listed);
    if (!listed)
        return false;
    const UString from = IncludeTrailingPathDelimiter(source);
    const UString to = IncludeTrailingPathDelimiter(target);
    for (const DirEntry& entry : entries) {
        if (entry.attributes & FileAttr::Directory) {
            // Links are neither copied nor followed when emptying: nothing to check.
            if (entry.attributes & ReparsePointBit)
                continue;
            if (!Platform().DirectoryExists(to + entry.name) || !TreeIsCopiedTo(from + entry.name, to + entry.name))
                return false;
            continue;
        }
        if (!Platform().FileExists(to + entry.name))
            return false;
        const auto a = Platform().GetLastWriteTime(from + entry.name);
        const auto b = Platform().GetLastWriteTime(to + entry.name);
        if (a && b && *a != *b)
            return false;
    }
    return true;
}

bool HoldsAny(const UString& folder, const std::vector<UString>& kept)
{
    return std::any_of(kept.begin(), kept.end(), [&](const UString& k) { return IsBelowFolder(k, folder); });
}

bool IsAny(const UString& folder, const std::vector<UString>& kept)
{
    return std::any_of(kept.begin(), kept.end(), [&](const UString& k) { return SamePath(k, folder); });
}

// DeleteFolderContents that leaves the kept folders and the folders that hold them.
void EmptyFolderKeeping(const UString& folder, const std::vector<UString>& kept)
{
    if (!HoldsAny(folder, kept)) {
        DeleteFolderContents(folder, nullptr, nullptr);
        return;
    }
    if (!IsSafeFolderToChange(folder))
        return;
    bool listed = false;
    for (const DirEntry& entry : TreeEntries(folder, listed)) {
        const UString path = IncludeTrailingPathDelimiter(folder) + entry.name;
        if (IsAny(path, kept))
            continue;
        const bool isLink = (entry.attributes & ReparsePointBit) != 0;
        if (entry.attributes & FileAttr::Directory) {
            if (HoldsAny(path, kept)) {
                if (!isLink)
                    EmptyFolderKeeping(path, kept);
                continue;
            }
            if (!isLink)
                DeleteFolderContents(path, nullptr, nullptr);
            Platform().RemoveDirectory(path);
            continue;
        }
        Platform().DeleteFile(path);
    }
}

// Creates the folders from below top down to path, one level at a time. Unlike
// CreateFolderPath it takes a last part with a dot for a folder.
void CreateFoldersBelow(const UString& top, const UString& path)
{
    const UString base = IncludeTrailingPathDelimiter(top);
    if (!IsFullPath(base) || !IsBelowFolder(path, top))
        return;
    UString current = ExcludeTrailingPathDelimiter(base);
    const UString rest = ExcludeTrailingPathDelimiter(path).substr(base.size() - 1);
    size_t start = 1;
    while (start <= rest.size()) {
        size_t end = rest.find(u'\\', start);
        if (end == UString::npos)
            end = rest.size();
        current += u"\\" + rest.substr(start, end - start);
        if (!Platform().DirectoryExists(current))
            Platform().CreateDirectory(current);
        start = end + 1;
    }
}

// One level, only when missing; a trailing "\" does not matter.
void CreateFolderIfMissing(const UString& path)
{
    const UString folder = ExcludeTrailingPathDelimiter(path);
    if (IsSafeFolderToChange(folder) && !Platform().DirectoryExists(folder))
        Platform().CreateDirectory(folder);
}

// A payload subfolder of the installer; the empty name is the payload folder itself.
UString PayloadFolder(const UString& name)
{
    const UString payload = ExeFolder() + u"Program Files\\";
    return name.empty() ? payload : payload + name + u"\\";
}

// The payload folder as the installer's folder spells it: Windows finds
// "Program Files" under any letter case, and the kept copy must leave it out
// whichever one the package uses.
UString PayloadFolderName()
{
    bool listed = false;
    for (const DirEntry& entry : TreeEntries(ExeFolder(), listed))
        if ((entry.attributes & FileAttr::Directory) && SameText(entry.name, u"Program Files"))
            return entry.name;
    return u"Program Files";
}

uint32_t WindowsMajorVersion() { return Platform().GetWindowsVersion().major; }

struct PermissionTemplate {
    PermissionCommand command;
    UStringView text;  // %R the folder, %E the Everyone group's name
};

constexpr std::array<PermissionTemplate, 5> PermissionTemplates = {{
    {PermissionCommand::CaclsGrant, u"cmd.exe /c echo y|cacls \"%R\" /G \"%E\":F /T"},
    {PermissionCommand::Reset, u"icacls.exe \"%R\" /reset /T"},
    {PermissionCommand::NoInherit, u"icacls.exe \"%R\" /inheritance:r /T"},
    {PermissionCommand::GrantSystem, u"icacls.exe \"%R\" /grant SYSTEM:(OI)(CI)F /T"},
    {PermissionCommand::GrantEveryone, u"icacls.exe \"%R\" /grant %E:(OI)(CI)F /T"},
}};

bool NeedsEveryone(PermissionCommand command)
{
    return command == PermissionCommand::CaclsGrant || command == PermissionCommand::GrantEveryone;
}

}  // namespace

PermissionTool PermissionToolFor(uint32_t windowsMajorVersion)
{
    switch (windowsMajorVersion) {
    case 5:
        return PermissionTool::Cacls;
    case 6:
    case 10:
        return PermissionTool::Icacls;
    default:
        return PermissionTool::None;
    }
}

UString PermissionCommandLine(PermissionCommand command, const UString& folder, const UString& everyone)
{
    UStringView text;
    for (const PermissionTemplate& t : PermissionTemplates)
        if (t.command == command)
            text = t.text;
    // One pass, so that a name holding "%R" or "%E" stays as it is.
    UString line;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && (text[i + 1] == u'R' || text[i + 1] == u'E')) {
            line += text[i + 1] == u'R' ? folder : everyone;
            ++i;
        } else {
            line += text[i];
        }
    }
    return line;
}

UString GetEveryoneGroupName() { return Platform().EveryoneGroupName(); }

UString TInstallThread::ProductFolderRefusal() const
{
    const UString name = App.SetupValue(u"%PROGRAM_FILES");
    if (!IsPlainFolderName(name))
        return u"%PROGRAM_FILES \"" + name + u"\" is not a plain folder name";
    if (!IsFullPath(App.ProgramFilesDir))
        return u"the Program Files folder \"" + App.ProgramFilesDir + u"\" is not a full path";
    const UString expected = ExcludeTrailingPathDelimiter(App.ProgramFilesDir) + u"\\" + name;
    if (!SamePath(App.InstallRootDir, expected) || !IsBelowFolder(App.InstallRootDir, App.ProgramFilesDir) ||
        !IsSafeFolderToChange(App.InstallRootDir))
        return App.InstallRootDir + u" is not the folder " + name + u" of " + App.ProgramFilesDir;
    // "Common Files" and the like are no product's own.
    if (IsSystemFolderOrAbove(App.InstallRootDir))
        return App.InstallRootDir + u" is a system folder or holds one";
    return {};
}

UString TInstallThread::VintrelDataFolder() const
{
    const UString data = ExcludeTrailingPathDelimiter(SetupValue(u"%PROGRAM_DATA"));
    if (!IsPlainFolderName(data)) {
        Debug(u"No data folder: %PROGRAM_DATA \"" + data + u"\" is not a plain folder name");
        return {};
    }
    return IncludeTrailingPathDelimiter(App.InstallDir) + data;
}

bool TInstallThread::KeptInPlace(const UString& folder) const
{
    return IsAny(ExcludeTrailingPathDelimiter(folder), keptInPlace_);
}

void TInstallThread::BackupUserData()
{
    const UString templates = IncludeTrailingPathDelimiter(GetSpecialFolderPath(21));
    const UString name = SetupValue(u"%REG_FODLER_PROGNAME");
    const UString product = App.SetupValue(u"%PROGRAM_FILES");
    const UString oldProduct = App.SetupValue(u"%PROGRAM_FILES_OLD");
    const bool vintrel = product == u"Vintrel";

    UString backup = templates + name + u"\\ScriptsMacros";
    UString s1 = App.ProgramFilesDir + u"\\" + product + u"\\ScriptsMacros";
    const UString s1Old = App.ProgramFilesDir + u"\\" + oldProduct + u"\\ScriptsMacros";
    UString s2 = IncludeTrailingPathDelimiter(App.InstallDir) + u"ScriptsMacros";
    const UString s2Old = IncludeTrailingPathDelimiter(App.OldInstallDir) + u"ScriptsMacros";
    if (vintrel) {
        backup = templates + name;
        s1.clear();
        s2 = VintrelDataFolder();
    }

    // The backup folder is emptied after the restore: it must be our own folder.
    const bool canBackup = IsPlainFolderName(name) && IsFullPath(templates);
    if (!canBackup)
        Debug(u"Nothing put aside: %REG_FODLER_PROGNAME \"" + name + u"\" is not a plain folder name below " +
              templates);

    if (!App.BackupDir.empty() && Platform().DirectoryExists(App.BackupDir)) {
        if (IsBelowFolder(App.BackupDir, templates))
            DeleteFolderContents(App.BackupDir, nullptr, nullptr);
        else
            Debug(u"Old backup not emptied: " + App.BackupDir + u" is not below " + templates);
    }

    auto present = [](const UString& folder) {
        return !folder.empty() && IsSafeFolderToChange(folder) && Platform().DirectoryExists(folder);
    };
    std::vector<UString> copied;
    auto putAside = [&](const UString& source) {
        CopyFolderTree(source, backup, nullptr, nullptr, u"", false);
        copied.push_back(source);
    };
    bool putAsideAny = false;
    // A folder and its old-layout twin, the twin only after the folder itself.
    auto putAsidePair = [&](const UString& folder, const UString& oldFolder) {
        if (!present(folder) || !canBackup)
            return false;
        CreateFoldersBelow(templates, backup);
        putAside(folder);
        if (present(oldFolder))
            putAside(oldFolder);
        App.BackupDir = backup + u"\\";
        putAsideAny = true;
        return true;
    };
    putAsidePair(s1, s1Old);
    const bool programFolderToEmpty = putAsidePair(s2, s2Old);
    if (!putAsideAny)
        App.BackupDir.clear();

    // A user-data folder goes only when the backup holds all of it now, after the
    // last copy into the backup.
    keptInPlace_.clear();
    for (const UString& folder : {s1, s2, s2Old}) {
        const bool saved =
            std::find(copied.begin(), copied.end(), folder) != copied.end() && TreeIsCopiedTo(folder, backup);
        if (present(folder) && !saved && !IsAny(folder, keptInPlace_)) {
            keptInPlace_.push_back(ExcludeTrailingPathDelimiter(folder));
            Debug(u"User data left in place: " + folder);
        }
    }

    const UString refusal = ProductFolderRefusal();
    if (!refusal.empty()) {
        // Nothing was emptied, so nothing stays in place in a folder that was.
        keptInPlace_.clear();
        if (Platform().DirectoryExists(App.InstallRootDir))
            Debug(u"Product folder not emptied: " + refusal);
    } else {
        if (programFolderToEmpty && IsBelowFolder(App.InstallDir, App.InstallRootDir))
            EmptyFolderKeeping(ExcludeTrailingPathDelimiter(App.InstallDir), keptInPlace_);
        if (Platform().DirectoryExists(App.InstallRootDir))
            EmptyFolderKeeping(ExcludeTrailingPathDelimiter(App.InstallRootDir), keptInPlace_);
    }
    Debug(u"sBackupProgPath : " + backup);
}

void TInstallThread::CopyFiles()
{
    SetBar(0);
    SetStatus(App.GetText(App.TextSection, textkeys::CopyFiles));
    CreateFolderIfMissing(App.InstallRootDir);
    CreateFolderIfMissing(App.InstallDir);
    CreateFolderIfMissing(App.OldInstallDir);

    // User data that stayed in place wins over payload files of the same name, as
    // it does when it is brought back from the backup; everything else is replaced.
    CopyFolderTreeKeeping(PayloadFolder(SetupValue(u"%PROGRAM_FILES")), IncludeTrailingPathDelimiter(App.InstallDir),
                          &copyStatus_, bar_, keptInPlace_);
    CopyFolderTreeKeeping(PayloadFolder(SetupValue(u"%PROGRAM_FILES_OLD")),
                          IncludeTrailingPathDelimiter(App.OldInstallDir), &copyStatus_, bar_, keptInPlace_);
    const UString updater = SetupValue(u"%UPDATER_DIR");
    App.UpdaterDir = IncludeTrailingPathDelimiter(App.InstallRootDir + u"\\" + updater);
    CreateFolderIfMissing(App.UpdaterDir);
    CopyFolderTreeKeeping(PayloadFolder(updater), App.UpdaterDir, &copyStatus_, bar_, keptInPlace_);
    CheckPause();

    const PermissionTool tool = PermissionToolFor(WindowsMajorVersion());
    if (tool == PermissionTool::None)
        return;
    const UString root = ExcludeTrailingPathDelimiter(App.InstallRootDir);
    const UString refusal = ProductFolderRefusal();
    if (!refusal.empty()) {
        Debug(u"Permissions of " + root + u" not set: " + refusal);
        return;
    }
    if (tool == PermissionTool::Cacls) {
        SetBar(0);
        RunPermission(PermissionCommand::CaclsGrant, root, GetEveryoneGroupName());
        SetBar(80);
        return;
    }
    SetBar(0);
    RunPermission(PermissionCommand::Reset, root, {});
    SetBar(20);
    RunPermission(PermissionCommand::NoInherit, root, {});
    SetBar(40);
    RunPermission(PermissionCommand::GrantSystem, root, {});
    SetBar(60);
    RunPermission(PermissionCommand::GrantEveryone, root, GetEveryoneGroupName());
    SetBar(80);
}

void TInstallThread::RunPermission(PermissionCommand command, const UString& folder, const UString& everyone)
{
    CheckPause();
    const UString line = PermissionCommandLine(command, folder, everyone);
    if (NeedsEveryone(command) && everyone.empty()) {
        Debug(u"Permission command skipped, the Everyone group has no name: " + line);
        return;
    }
    if (!RunAndWait(line, CREATE_NO_WINDOW_FLAG))
        Debug(u"Permission command did not start: " + line);
}

void TInstallThread::KeepInstallerCopy()
{
    const UString target = ExtractFilePath(App.UninstallerPath);
    if (!IsFullPath(target)) {
        Debug(u"Installer copy not kept: no folder in \"" + App.UninstallerPath + u"\"");
        return;
    }
    CopyFolderTree(ExeFolder(), target, &copyStatus_, bar_, PayloadFolderName(), false);
}

void TInstallThread::CopyTextsToInstallerCopy()
{
    const UString exe = ExeFolder();
    TStringList names;
    if (ListFolderEntries(exe + u"Texts\\", u"File", u".xlsx", names, u"") > 0)
        return;
    const UString payloadTexts = exe + u"program files\\" + SetupValue(u"%PROGRAM_FILES") + u"\\" +
                                 App.SetupValue(u"%PROGRAM_DATA") + u"Forms\\Texts\\";
    if (ListFolderEntries(payloadTexts, u"File", u".xlsx", names, u"") < 1)
        return;
    const UString kept = ExtractFilePath(App.UninstallerPath);
    if (!IsFullPath(kept))
        return;
    // An installer that read its texts from the payload has no Texts folder of its
    // own to have been copied.
    CreateFolderIfMissing(kept + u"Texts");
    Platform().CopyFile(payloadTexts + names[0], kept + u"Texts\\" + names[0], false);
}

void TInstallThread::SetInstallerCopyPermissions()
{
    if (PermissionToolFor(WindowsMajorVersion()) != PermissionTool::Icacls)
        return;
    if (keptCopyFolder_.empty()) {
        Debug(u"Permissions of the kept installer not set: this installation did not prepare its folder");
        return;
    }
    const UString root =
        ExcludeTrailingPathDelimiter(ExtractFilePath(ExcludeTrailingPathDelimiter(App.UninstallerPath)));
    RunPermission(PermissionCommand::Reset, root, {});
    RunPermission(PermissionCommand::NoInherit, root, {});
    const UString everyone = GetEveryoneGroupName();
    RunPermission(PermissionCommand::GrantEveryone, root, everyone);
    RunPermission(PermissionCommand::GrantSystem, root, {});
}

void TInstallThread::RestoreUserData()
{
    if (App.BackupDir.empty())
        return;
    const UString backup = App.BackupDir;
    bool complete = true;
    if (App.SetupValue(u"%PROGRAM_FILES") == u"Vintrel") {
        const UString data = VintrelDataFolder();
        if (data.empty() || KeptInPlace(data)) {
            complete = false;
        } else {
            CreateFolderIfMissing(data);
            CopyFolderTree(backup, data + u"\\", nullptr, nullptr, u"", false);
            complete = TreeIsCopiedTo(backup, data);
        }
    } else {
        // The folder that holds the backup's "ScriptsMacros" goes into both program
        // folders, so that each gets "ScriptsMacros" back.
        const UString holder = ExtractFilePath(ExcludeTrailingPathDelimiter(backup));
        for (const UString& target : {App.InstallDir, App.OldInstallDir}) {
            const UString into = IncludeTrailingPathDelimiter(target);
            if (KeptInPlace(into + u"ScriptsMacros")) {
                complete = false;
                continue;
            }
            CopyFolderTree(holder, into, nullptr, nullptr, u"", false);
            complete = TreeIsCopiedTo(holder, into) && complete;
        }
    }
    if (!complete) {
        Debug(u"Backup kept: " + backup + u" was not brought back whole");
        return;
    }
    const UString templates = GetSpecialFolderPath(21);
    if (IsBelowFolder(backup, templates))
        DeleteFolderContents(backup, nullptr, nullptr);
    else
        Debug(u"Backup not emptied: " + backup + u" is not below " + templates);
}
