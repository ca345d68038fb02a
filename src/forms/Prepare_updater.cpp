// The preparation form's two modes for the product's online updater: starting it
// from the installed copy, and, once it has put a new version in place, moving the
// install root and writing the installation's records and shortcuts anew.
#include <optional>
#include <utility>
#include <vector>

#include "app/App.h"
#include "engine/Installthread.h"
#include "engine/UninstallGuard.h"
#include "forms/Prepare_detection.h"
#include "forms/Prepareform.h"
#include "platform/Platform.h"
#include "base/Paths.h"
#include "toolkit/Registry.h"
#include "util/FolderIdentity.h"
#include "util/PathGuard.h"
#include "util/Xfunctions.h"

namespace {

constexpr int kSwHide = 0;

void Debug(const UString& text) { Platform().DebugOutput(u"Updater: " + text); }

UString Quoted(const UString& text) { return u"\"" + text + u"\""; }

bool SetupIniExists() { return App.SetupIni && Platform().FileExists(App.SetupIniPath); }

UString ValueOf(const TMemIniFile* ini, UStringView key, UStringView defaultValue = u"")
{
    return ini ? ini->ReadString(u"Setup", key, defaultValue) : UString(defaultValue);
}

// The private key of that configuration; "" when it names no publisher or product.
UString PrivateKeyPathOf(const TMemIniFile* ini)
{
    if (!ini)
        return {};
    return ReplaceSetupPlaceholders(*ini, u"Setup", App.PrivateKeyTemplate, u"%PUBLISHER", u"%REG_FODLER_PROGNAME", u"",
                                    u"");
}

// The executable Upgrade.ini in updaterFolder names, "" when there is none to start:
// no file, no name, or a name that would lead out of the folder.
UString UpdaterExecutable(const UString& updaterFolder)
{
    const UString folder = IncludeTrailingPathDelimiter(updaterFolder);
    const UString info = folder + u"Upgrade.ini";
    if (!IsFullPath(folder) || !Platform().FileExists(info)) {
        Debug(u"no updater information " + Quoted(info));
        return {};
    }
    const UString name = TMemIniFile(info).ReadString(u"Upgrade_Info", u"UpdaterName", u"");
    const bool plainName =
        name.find_first_of(u"\\/:") == UString::npos && Trim(name).find_first_not_of(u'.') != UString::npos;
    if (!plainName) {
        Debug(u"no updater to start: UpdaterName " + Quoted(name) + u" of " + Quoted(info));
        return {};
    }
    return folder + name + u".exe";
}

void StartUpdater(const UString& executable, const UString& parameter)
{
    // Its result is not awaited: the updater reports nothing back to this program.
    if (!Platform().ShellExecute(u"open", executable, parameter, u"", kSwHide))
        Debug(u"could not start " + Quoted(executable) + u" " + parameter);
}

bool IsShortcutFile(const UString& path) { return SameText(ExtractFileExt(path), u".lnk"); }

// An old shortcut named by the record: deleted only when it is one.
void DeleteShortcut(const UString& path)
{
    if (path.empty())
        return;
    if (!IsShortcutFile(path)) {
        Debug(u"kept " + Quoted(path) + u": not a shortcut file");
        return;
    }
    Platform().DeleteFile(path);
}

// The record file's section of a key: the key's full registry path.
UString SectionOf(UStringView rootName, const UString& keyPath)
{
    return UString(rootName) + u"\\" + ExcludeTrailingPathDelimiter(keyPath);
}

// Every file below source has a copy in target with its last-write time (CopyFile
// keeps it); folders that are reparse points are not followed, as the copy does not.
bool TreeCopied(const UString& source, const UString& target)
{
    std::vector<DirEntry> entries;
    if (!Platform().ListFolder(ExcludeTrailingPathDelimiter(source), entries))
        return false;
    for (const DirEntry& entry : entries) {
        if ((entry.attributes & 0x1FF) == 0)
            continue;
        const UString from = IncludeTrailingPathDelimiter(source) + entry.name;
        const UString to = IncludeTrailingPathDelimiter(target) + entry.name;
        if (entry.attributes & FileAttr::Directory) {
            if ((entry.attributes & 0x400) == 0 && !TreeCopied(from, to))
                return false;
            continue;
        }
        const std::optional<uint64_t> written = Platform().GetLastWriteTime(from);
        if (!Platform().FileExists(to) || !written || Platform().GetLastWriteTime(to) != written) {
            Debug(u"not copied: " + Quoted(from));
            return false;
        }
    }
    return true;
}

}  // namespace

void TFPrepare::StartOnlineUpdater()
{
    ReadPrivateKey(u"updater");
    // Without the key the folder would be the current drive's root.
    if (UpdaterPath.empty()) {
        Debug(u"no online updater recorded for the installed copy");
        return;
    }
    const UString executable = UpdaterExecutable(UpdaterPath);
    if (executable.empty())
        return;
    UpdaterPath = executable;
    StartUpdater(UpdaterPath, u"InstallExeRecall");
}

void TFPrepare::RunRegistryMode()
{
    const UString oldIniPath = ExtractFilePath(Platform().ExecutablePath()) + u"Setup_old.ini";
    const bool haveOldIni = Platform().FileExists(oldIniPath);
    oldSetupIni_.reset(haveOldIni ? new TMemIniFile(oldIniPath) : nullptr);
    // The previous version's key: its names may differ from the new Setup.ini's.
    const UString newKey = SetupIniExists() ? PrivateKeyPathOf(App.SetupIni.get()) : UString();
    const UString oldKey = PrivateKeyPathOf(oldSetupIni_.get());
    const bool keyRenamed = !oldKey.empty() && oldKey != newKey;

    if (haveOldIni)
        ReadPrivateKey(u"updater_move_installdir");
    // Computed even without Setup_old.ini: no record may be built from empty paths.
    ComputeInstallPaths(u"updater_move_installdir");
    if (keyRenamed && ReadPreviousInfo(ValueOf(oldSetupIni_.get(), u"%PUBLISHER"),
                                       ValueOf(oldSetupIni_.get(), u"%REG_FODLER_PROGNAME")))
        RegisteredInstallDir = PreviousInfo.InstallDir;
    if (haveOldIni && SetupIniExists()) {
        const UString product = keyRenamed ? PreviousInfo.Product : ReadKeyValue(newKey, u"Product");
        MoveInstallRoot(product);
    }

    ReadUninstallInfo();
    if (keyRenamed && !PreviousInfo.KeyPath.empty())
        UninstallInfo = PreviousInfo;

    if (!SetupIniExists()) {
        Debug(u"no re-registration: there is no Setup.ini beside " + Quoted(Platform().ExecutablePath()));
    } else if (!IsPlainFolderName(App.SetupValue(u"%PROGRAM_FILES")) ||
               !IsFullPath(IncludeTrailingPathDelimiter(App.ProgramFilesDir))) {
        Debug(u"no re-registration: %PROGRAM_FILES " + Quoted(App.SetupValue(u"%PROGRAM_FILES")) +
              u" names no folder below " + Quoted(App.ProgramFilesDir));
    } else if (UninstallInfo.KeyPath.empty()) {
        // Nothing recorded: there is no installation to write records for.
        Debug(u"no re-registration: no installation is recorded under " + Quoted(newKey));
    } else {
        ReRegisterInstallation();
    }

    if (SetupIniExists() && !TargetInstallDir.empty()) {
        const UString updaterDir =
            SetupIniCopy ? SetupIniCopy->ReadString(u"Setup", u"%UPDATER_DIR", u"") : App.SetupValue(u"%UPDATER_DIR");
        const UString executable = UpdaterExecutable(IncludeTrailingPathDelimiter(TargetInstallDir) + updaterDir);
        if (!executable.empty())
            StartUpdater(executable, u"UpdaterFinish");
    }

    SetupIniCopy.reset();
    oldSetupIni_.reset();
    if (haveOldIni && !Platform().DeleteFile(oldIniPath))
        Debug(u"could not delete " + Quoted(oldIniPath));
    Close();
}

void TFPrepare::MoveInstallRoot(const UString& recordedProduct)
{
    const UString& from = RegisteredInstallDir;
    const UString& to = TargetInstallDir;
    if (from.empty() || to.empty())
        return;
    if (IsSameFolder(from, to))
        return;
    UString refusal;
    if (IsFolderInside(to, from) || IsFolderInside(from, to))
        refusal = u"the one lies inside the other";
    else if (UString why = ProgramFolderRefusal(from, recordedProduct); !why.empty())
        refusal = why;
    else if (!IsPlainFolderName(App.SetupValue(u"%PROGRAM_FILES")) || !IsSafeFolderToChange(to) ||
             IsSystemFolderOrAbove(to))
        refusal = u"the new install folder is no plain folder below " + Quoted(App.ProgramFilesDir);
    if (!refusal.empty()) {
        Debug(u"install folder not moved from " + Quoted(from) + u" to " + Quoted(to) + u": " + refusal);
        return;
    }
    if (!Platform().DirectoryExists(to))
        Platform().CreateDirectory(to);
    CopyFolderTree(IncludeTrailingPathDelimiter(from), IncludeTrailingPathDelimiter(to), nullptr, nullptr, u"", false);
    // An incomplete copy keeps the old root whole: the installation must stay usable.
    if (!TreeCopied(from, to)) {
        Debug(u"install folder " + Quoted(from) + u" kept: not every file reached " + Quoted(to));
        return;
    }
    DeleteFolderContents(IncludeTrailingPathDelimiter(from), nullptr, nullptr);
}

void TFPrepare::RecordValue(const UString& section, const UString& name, const UString& value)
{
    const UString file = App.UpdaterDir + u"Regedit_FileList.ini";
    if (Platform().FileExists(file))
        Platform().WriteProfileString(file, section, name, value);
}

void TFPrepare::ReRegisterInstallation()
{
    SetupIniCopy = std::make_unique<TMemIniFile>(App.SetupIniPath);
    const UString publisherFolder = ValueOf(SetupIniCopy.get(), u"%PUBLISHER") != u"OEM"
                                        ? App.GetText(u"UNINSTALL", u"LINK_PROGRAMS_PUBLISHER")
                                        : UString();
    App.UpdaterDir =
        IncludeTrailingPathDelimiter(App.InstallRootDir + u"\\" + ValueOf(SetupIniCopy.get(), u"%UPDATER_DIR"));
    RewriteUninstallEntry();
    RewriteRunValue();
    RewriteShortcuts(publisherFolder, App.GetText(u"UNINSTALL", u"LINK_PROGRAMS_FOLDER"));
    RewritePrivateKey();
}

void TFPrepare::RewriteUninstallEntry()
{
    const TMemIniFile* ini = SetupIniCopy.get();
    const UString name = ValueOf(ini, u"%REG_FODLER_PROGNAME");
    const UString keyPath = App.UninstallKey + name;
    if (const UString refusal = UninstallEntryRefusal(App.UninstallKey, name); !refusal.empty()) {
        Debug(u"uninstall entry not rewritten: " + refusal);
        return;
    }
    const UString& oldName = UninstallInfo.UninstRegFolder;
    if (name != oldName) {
        // An empty or odd old name would name the Uninstall key every program shares.
        if (const UString refusal = UninstallEntryRefusal(App.UninstallKey, oldName); refusal.empty())
            DeleteMachineKey(u"", false, App.UninstallKey + oldName);
        else
            Debug(u"old uninstall entry kept: " + refusal);
    }
    TRegistry key(KEY_WRITE_MASK);
    key.SetRootKey(RegRoot::LocalMachine);
    if (!key.OpenKey(keyPath, true))
        return;

    // Where the installation keeps its copy of the installer, by the same rule.
    const UString root =
        GetSpecialFolderPath(CsidlFromName(ValueOf(ini, u"%INSTALL_BACKUP_DIR", u"CSIDL_COMMON_TEMPLATES")));
    const UString publisher = ValueOf(ini, u"%PUBLISHER");
    const UString folder = ValueOf(ini, u"%PROGRAM_FILES");
    const UString keptTop = IncludeTrailingPathDelimiter(root) + (publisher == u"OEM" ? publisher + u"\\" : u"");
    App.UninstallerPath = keptTop + folder + u"\\Setup.exe";
    const UString exeFolder = ExtractFilePath(Platform().ExecutablePath());
    // A kept installer that moved with its product folder: this installer, which
    // carries the new Setup.ini, goes to the new place, as an installation keeps it.
    if (!UninstallInfo.UninstOnAppDataDir.empty() && App.UninstallerPath != UninstallInfo.UninstOnAppDataDir &&
        !IsSameFolder(exeFolder, ExtractFilePath(App.UninstallerPath)) && IsPlainFolderName(folder) &&
        IsFullPath(IncludeTrailingPathDelimiter(root))) {
        CreateFolderPath(App.UninstallerPath, ExcludeTrailingPathDelimiter(root));
        CopyFolderTree(exeFolder, ExtractFilePath(App.UninstallerPath), nullptr, nullptr, u"program files", false);
        // Only this run needs the previous configuration.
        Platform().DeleteFile(ExtractFilePath(App.UninstallerPath) + u"Setup_old.ini");
    }

    struct Value {
        const char16_t* name;
        UString data;
    };
    const Value values[] = {
        {u"DisplayName", App.GetText(u"UNINSTALL", u"DISPLAY_NAME")},
        {u"UninstallString", u"\"" + App.UninstallerPath + u"\" uninstall"},
        {u"DisplayIcon",
         Platform().FileExists(exeFolder + u"English\\Application.ico")
             ? IncludeTrailingPathDelimiter(ExtractFilePath(App.UninstallerPath)) + u"English\\Application.ico"
             : App.ProgramExePath},
        {u"DisplayVersion", ValueOf(ini, u"%PROGRAM_VERSION")},
        {u"Publisher", App.GetText(u"UNINSTALL", u"PUBLISHER")},
        {u"URLInfoAbout", App.GetText(u"UNINSTALL", u"URL")},
    };
    for (const Value& value : values)
        key.WriteString(value.name, value.data);
    for (const Value& value : values)
        RecordValue(SectionOf(u"HKEY_LOCAL_MACHINE", keyPath), value.name, value.data);
}

void TFPrepare::RewriteRunValue()
{
    const TMemIniFile* ini = SetupIniCopy.get();
    const UString name = ValueOf(ini, u"%PROGRAM_ONBOOT");
    const UString& oldName = UninstallInfo.ExecOnBoot;
    if (name != oldName)
        DeleteUserValue(App.RunKey, false, oldName);
    if (name.empty())
        return;
    TRegistry key(KEY_WRITE_MASK);
    key.SetRootKey(RegRoot::CurrentUser);
    if (!key.OpenKey(App.RunKey, true))
        return;
    const UString oldProgram =
        IncludeTrailingPathDelimiter(IncludeTrailingPathDelimiter(UninstallInfo.InstallDir) + UninstallInfo.Product) +
        ValueOf(oldSetupIni_ ? oldSetupIni_.get() : ini, u"%PROGRAM_EXEC");
    // Unchanged, the value stays as it is, even when the user removed it.
    if (name == oldName && App.ProgramExePath == oldProgram)
        return;
    if (key.KeyExists(name))
        return;
    key.WriteString(name, u"\"" + App.ProgramExePath + u"\" Minimum");
    RecordValue(SectionOf(u"HKEY_CURRENT_USER", App.RunKey), name, App.ProgramExePath);
}

void TFPrepare::RewriteShortcuts(const UString& publisherFolder, const UString& programFolder)
{
    const TMemIniFile* ini = SetupIniCopy.get();
    const TMemIniFile* oldIni = oldSetupIni_.get();
    const UNINSTStruct_INFO& old = UninstallInfo;
    const UString installDir = IncludeTrailingPathDelimiter(App.InstallDir);
    const UString oldProgramFolder =
        IncludeTrailingPathDelimiter(IncludeTrailingPathDelimiter(old.InstallDir) + old.Product);
    const UString oldProgram = oldProgramFolder + ValueOf(oldIni ? oldIni : ini, u"%PROGRAM_EXEC");
    // A shortcut is made anew when its file or what it points at changed.
    const bool programMoved = App.ProgramExePath != oldProgram;

    const UString programs = GetSpecialFolderPath(23);
    if (IsFullPath(IncludeTrailingPathDelimiter(programs))) {
        const UString folder = CreateStartMenuFolder(programs, publisherFolder, programFolder);

        const UString execLink = folder + u"\\" + App.GetText(u"UNINSTALL", u"LINK_PROGRAMS_EXEC") + u".lnk";
        if (execLink != old.LINK_ProgramsExec || programMoved) {
            DeleteShortcut(old.LINK_ProgramsExec);
            App.LinkProgramsExecPath =
                MakeShortcut(execLink, App.ProgramExePath, App.ProductName, App.ProgramExePath, u"");
        } else {
            App.LinkProgramsExecPath = old.LINK_ProgramsExec;
        }

        const UString uninstName = App.GetText(u"UNINSTALL", u"LINK_PROGRAMS_UNIST");
        const UString uninstLink = folder + u"\\" + uninstName + u".lnk";
        const UString icon = installDir + ValueOf(ini, u"%UNINST_ICO");
        const UString oldIcon = oldIni ? oldProgramFolder + ValueOf(oldIni, u"%UNINST_ICO") : UString();
        if (uninstLink != old.LINK_ProgramUnist || icon != oldIcon || App.UninstallerPath != old.UninstOnAppDataDir) {
            DeleteShortcut(old.LINK_ProgramUnist);
            App.LinkProgramsUninstPath = MakeShortcut(uninstLink, App.UninstallerPath, uninstName, icon, u"uninstall");
        } else {
            App.LinkProgramsUninstPath = old.LINK_ProgramUnist;
        }

        if (ValueOf(ini, u"%MANULA_EXIST") == u"1") {
            const UString manualName = App.GetText(u"UNINSTALL", u"LINK_PROGRAMS_MANUAL");
            const UString manualLink = folder + u"\\" + manualName + u".lnk";
            const UString manual = installDir + ValueOf(ini, u"%MANUAL_DIR") + App.LanguageName + u".pdf";
            const UString manualIcon = installDir + ValueOf(ini, u"%MANUAL_ICO");
            // The old paths are formed as the installation formed them, so that an
            // unchanged configuration compares equal.
            const UString oldManual =
                oldIni ? oldProgramFolder + ValueOf(oldIni, u"%MANUAL_DIR") + App.LanguageName + u".pdf" : UString();
            const UString oldManualIcon = oldIni ? oldProgramFolder + ValueOf(oldIni, u"%MANUAL_ICO") : UString();
            if (manualLink != old.LINK_ProgramsManual || manual != oldManual || manualIcon != oldManualIcon) {
                DeleteShortcut(old.LINK_ProgramsManual);
                App.LinkProgramsManualPath = MakeShortcut(manualLink, manual, manualName, manualIcon, u"");
            } else {
                App.LinkProgramsManualPath = old.LINK_ProgramsManual;
            }
        } else if (!old.LINK_ProgramsManual.empty()) {
            DeleteShortcut(old.LINK_ProgramsManual);
            App.LinkProgramsManualPath.clear();
        }
        RemoveEmptyFolders(programs, ExtractFilePath(old.LINK_ProgramsExec));
    } else {
        Debug(u"no Start-menu shortcuts: the common programs folder is unknown");
    }

    const UString desktop = GetSpecialFolderPath(25);
    if (IsFullPath(IncludeTrailingPathDelimiter(desktop))) {
        const UString link = desktop + u"\\" + App.GetText(u"UNINSTALL", u"LINK_DESKTOP") + u".lnk";
        if (link != old.LINK_DesktopExec || programMoved) {
            DeleteShortcut(old.LINK_DesktopExec);
            App.LinkDesktopPath = MakeShortcut(link, App.ProgramExePath, App.ProductName, App.ProgramExePath, u"");
        } else {
            App.LinkDesktopPath = old.LINK_DesktopExec;
        }
    } else {
        Debug(u"no desktop shortcut: the common desktop folder is unknown");
    }
}

void TFPrepare::RemoveEmptyFolders(const UString& top, const UString& path)
{
    UString folder = ExcludeTrailingPathDelimiter(path);
    if (ExtractFileName(folder).find(u'.') != UString::npos)
        folder = ExcludeTrailingPathDelimiter(ExtractFilePath(folder));
    const UString topFolder = ExcludeTrailingPathDelimiter(top);
    // Only below top: an empty or foreign path ends the walk at once.
    while (!folder.empty() && IsBelowFolder(folder, topFolder) && IsSafeFolderToChange(folder)) {
        if (IsFolderEmpty(IncludeTrailingPathDelimiter(folder)))
            Platform().RemoveDirectory(folder);
        const UString parent = ExcludeTrailingPathDelimiter(ExtractFilePath(folder));
        if (parent.size() >= folder.size())
            break;
        folder = parent;
    }
}

void TFPrepare::RewritePrivateKey()
{
    const TMemIniFile* ini = SetupIniCopy.get();
    const UString path = PrivateKeyPathOf(ini);
    const UString oldPath = PrivateKeyPathOf(oldSetupIni_.get());
    if (const UString refusal = PrivateKeyRefusal(path); !refusal.empty()) {
        Debug(u"private key not rewritten: " + refusal);
        return;
    }
    if (!oldPath.empty() && oldPath != path) {
        if (const UString refusal = PrivateKeyRefusal(oldPath); refusal.empty())
            DeleteMachineKey(u"", false, oldPath);
        else
            Debug(u"old private key kept: " + refusal);
    }
    TRegistry key(KEY_WRITE_MASK);
    key.SetRootKey(RegRoot::LocalMachine);
    if (!key.OpenKey(path, true))
        return;

    std::vector<std::pair<UString, UString>> values = {
        {u"UninstOnAppDataDir", App.UninstallerPath},
        {u"Product", ValueOf(ini, u"%PROGRAM_FILES")},
        {u"FormCaption", ValueOf(ini, u"%PROGRAM_FORMCAPTION")},
        {u"InstallDir", App.InstallRootDir},
        {u"ExecOnBoot", ValueOf(ini, u"%PROGRAM_ONBOOT")},
        {u"UninstRegFolder", ValueOf(ini, u"%REG_FODLER_PROGNAME")},
        {u"LINK_ProgramsExec", App.LinkProgramsExecPath},
        {u"LINK_ProgramUnist", App.LinkProgramsUninstPath},
    };
    if (ValueOf(ini, u"%MANULA_EXIST") == u"1")
        values.emplace_back(u"LINK_ProgramsManual", App.LinkProgramsManualPath);
    values.emplace_back(u"LINK_DesktopExec", App.LinkDesktopPath);
    values.emplace_back(u"OnlineUpdaterDir",
                        IncludeTrailingPathDelimiter(App.InstallRootDir) + ValueOf(ini, u"%UPDATER_DIR"));
    for (const auto& [name, data] : values)
        key.WriteString(name, data);
    for (const auto& [name, data] : values)
        RecordValue(SectionOf(u"HKEY_LOCAL_MACHINE", path), name, data);
}
