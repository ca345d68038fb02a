// The installation's three registry records and the lines that record them.
#include <vector>

#include "app/App.h"
#include "base/Paths.h"
#include "engine/Installthread.h"
#include "engine/UninstallGuard.h"
#include "language/Text_keys.h"
#include "platform/Platform.h"
#include "toolkit/Registry.h"
#include "util/PathGuard.h"

namespace {

struct RegValue {
    UString name;
    UString data;
};

void Debug(const UString& text) { Platform().DebugOutput(text); }

// The record's section: the key's full registry path.
UString SectionLine(UStringView rootName, const UString& keyPath)
{
    return u"[" + UString(rootName) + u"\\" + ExcludeTrailingPathDelimiter(keyPath) + u"]";
}

// A key opened for writing, created when missing; closed when it goes.
class TWriteKey {
public:
    TWriteKey(RegRoot root, const UString& path)
    {
        registry_.SetRootKey(root);
        registry_.SetAccess(KEY_WRITE_MASK);
        open_ = registry_.OpenKey(path, true);
    }
    bool Open() const { return open_; }
    TRegistry& Registry() { return registry_; }

private:
    TRegistry registry_;
    bool open_ = false;
};

}  // namespace

void TInstallThread::WriteRegOnUninstallFolder()
{
    const UString name = SetupValue(u"%REG_FODLER_PROGNAME");
    const UString keyPath = App.UninstallKey + name;
    // Without a name the values would land in the Uninstall key every program
    // shares; and what the uninstallation would refuse to remove is not written.
    UString refusal = UninstallEntryRefusal(App.UninstallKey, name);
    if (refusal.empty() && IsProtectedRegistryKey(keyPath))
        refusal = u"\"" + keyPath + u"\" is a shared key";
    if (!refusal.empty()) {
        Debug(u"Uninstall entry not written: " + refusal);
        return;
    }
    TWriteKey key(RegRoot::LocalMachine, keyPath);
    if (!key.Open())
        return;
    SetStatus(App.GetText(App.TextSection, textkeys::WriteRegOnUninstallFolder));
    std::vector<RegValue> values;
    auto write = [&](const UString& valueName, const UString& data) {
        key.Registry().WriteString(valueName, data);
        values.push_back({valueName, data});
    };
    write(u"DisplayName", App.GetText(textkeys::UninstallSection, textkeys::DisplayName));

    const UString root =
        GetSpecialFolderPath(CsidlFromName(SetupValue(u"%INSTALL_BACKUP_DIR", u"CSIDL_COMMON_TEMPLATES")));
    const UString publisher = SetupValue(u"%PUBLISHER");
    const UString folder = SetupValue(u"%PROGRAM_FILES");
    UString top;
    if (publisher == u"OEM") {
        App.UninstallerPath = IncludeTrailingPathDelimiter(root) + publisher + u"\\" + folder + u"\\Setup.exe";
        top = IncludeTrailingPathDelimiter(root) + publisher;
    } else {
        App.UninstallerPath = IncludeTrailingPathDelimiter(root) + folder + u"\\Setup.exe";
        top = ExcludeTrailingPathDelimiter(root);
    }
    PrepareKeptCopyFolder(top, folder);

    write(u"UninstallString", u"\"" + App.UninstallerPath + u"\" uninstall");
    const UString exeFolder = ExtractFilePath(Platform().ExecutablePath());
    // Tested here, registered where the kept copy will have it.
    write(u"DisplayIcon",
          Platform().FileExists(exeFolder + u"English\\Application.ico")
              ? IncludeTrailingPathDelimiter(ExtractFilePath(App.UninstallerPath)) + u"English\\Application.ico"
              : App.ProgramExePath);
    write(u"DisplayVersion", SetupValue(u"%PROGRAM_VERSION"));
    write(u"Publisher", App.GetText(textkeys::UninstallSection, textkeys::Publisher));
    write(u"URLInfoAbout", App.GetText(textkeys::UninstallSection, textkeys::Url));

    AddRecordLine(SectionLine(u"HKEY_LOCAL_MACHINE", keyPath));
    for (const RegValue& v : values)
        AddRecordLine(v.name + u"=" + v.data);
}

void TInstallThread::PrepareKeptCopyFolder(const UString& top, const UString& folder)
{
    keptCopyFolder_.clear();
    const UString keptFolder = ExcludeTrailingPathDelimiter(ExtractFilePath(App.UninstallerPath));
    const UString exeFolder = ExtractFilePath(Platform().ExecutablePath());
    UString refusal;
    if (!IsPlainFolderName(folder))
        refusal = u"%PROGRAM_FILES \"" + folder + u"\" is not a plain folder name";
    else if (!IsFullPath(IncludeTrailingPathDelimiter(top)) || !IsBelowFolder(keptFolder, top))
        refusal = u"it is not below \"" + top + u"\"";
    else if (SamePath(exeFolder, keptFolder) || IsBelowFolder(exeFolder, keptFolder))
        refusal = u"the running installer lies in it";
    else if (IsSystemFolderOrAbove(keptFolder))
        refusal = u"it is a system folder or holds one";
    if (!refusal.empty()) {
        Debug(u"Folder of the kept installer " + keptFolder + u" not emptied: " + refusal);
        if (IsSafeFolderToChange(keptFolder) && IsBelowFolder(keptFolder, top))
            CreateFolderPath(App.UninstallerPath, top);
        return;
    }
    // The file's path, so that a folder name with a dot is taken as a folder.
    PrepareFolderPath(App.UninstallerPath, top, true);
    keptCopyFolder_ = keptFolder;
}

void TInstallThread::WriteRegOnBootName()
{
    TWriteKey key(RegRoot::CurrentUser, App.RunKey);
    if (!key.Open())
        return;
    SetStatus(App.GetText(App.TextSection, textkeys::WriteRegOnBootName));
    const UString name = SetupValue(u"%PROGRAM_ONBOOT");
    if (name.empty())
        return;
    if (!key.Registry().KeyExists(name))
        key.Registry().WriteString(name, u"\"" + App.ProgramExePath + u"\" Minimum");
    AddRecordLine(SectionLine(u"HKEY_CURRENT_USER", App.RunKey));
    AddRecordLine(name + u"=" + App.ProgramExePath);
}

void TInstallThread::WriteRegOnPrivateFolder()
{
    const TMemIniFile none;
    const UString path =
        ReplaceSetupPlaceholders(ThreadSetupIni ? *ThreadSetupIni : none, u"Setup", App.PrivateKeyTemplate,
                                 u"%PUBLISHER", u"%REG_FODLER_PROGNAME", u"", u"");
    // Empty when a name is missing: the values would land in HKEY_LOCAL_MACHINE itself.
    const UString refusal = PrivateKeyRefusal(path);
    if (!refusal.empty()) {
        Debug(u"Private key not written: " + refusal);
        return;
    }
    TWriteKey key(RegRoot::LocalMachine, path);
    if (!key.Open())
        return;
    SetStatus(App.GetText(App.TextSection, textkeys::WriteRegOnPrivateFolder));

    std::vector<RegValue> values = {
        {u"UninstOnAppDataDir", App.UninstallerPath},
        {u"Product", SetupValue(u"%PROGRAM_FILES")},
        {u"FormCaption", SetupValue(u"%PROGRAM_FORMCAPTION")},
        {u"InstallDir", App.InstallRootDir},
        {u"ExecOnBoot", SetupValue(u"%PROGRAM_ONBOOT")},
        {u"UninstRegFolder", SetupValue(u"%REG_FODLER_PROGNAME")},
        {u"LINK_ProgramsExec", App.LinkProgramsExecPath},
        {u"LINK_ProgramUnist", App.LinkProgramsUninstPath},
    };
    if (SetupValue(u"%MANULA_EXIST") == u"1")
        values.push_back({u"LINK_ProgramsManual", App.LinkProgramsManualPath});
    values.push_back({u"LINK_DesktopExec", App.LinkDesktopPath});
    values.push_back(
        {u"OnlineUpdaterDir", IncludeTrailingPathDelimiter(App.InstallRootDir) + SetupValue(u"%UPDATER_DIR")});

    AddRecordLine(SectionLine(u"HKEY_LOCAL_MACHINE", path));
    for (const RegValue& v : values) {
        key.Registry().WriteString(v.name, v.data);
        AddRecordLine(v.name + u"=" + v.data);
    }
}
