// The preparation form's reading of the installed state: what this installer
// installed before, which version, where the new copy goes, and older setups of the
// same product. Everything here reads; nothing is written.
#include <iterator>

#include "app/App.h"
#include "forms/Prepare_detection.h"
#include "forms/Prepareform.h"
#include "language/Text_keys.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Registry.h"
#include "util/Xfunctions.h"

namespace {

// The private key's values in the order they are read, with the field of each.
struct RecordValue {
    const char16_t* name;
    UString UNINSTStruct_INFO::*field;
};
constexpr RecordValue kRecordValues[] = {
    {u"UninstRegFolder", &UNINSTStruct_INFO::UninstRegFolder},
    {u"UninstOnAppDataDir", &UNINSTStruct_INFO::UninstOnAppDataDir},
    {u"Product", &UNINSTStruct_INFO::Product},
    {u"FormCaption", &UNINSTStruct_INFO::FormCaption},
    {u"InstallDir", &UNINSTStruct_INFO::InstallDir},
    {u"ExecOnBoot", &UNINSTStruct_INFO::ExecOnBoot},
    {u"LINK_ProgramsExec", &UNINSTStruct_INFO::LINK_ProgramsExec},
    {u"LINK_ProgramUnist", &UNINSTStruct_INFO::LINK_ProgramUnist},
    {u"LINK_ProgramsManual", &UNINSTStruct_INFO::LINK_ProgramsManual},
    {u"LINK_DesktopExec", &UNINSTStruct_INFO::LINK_DesktopExec},
    {u"OnlineUpdaterDir", &UNINSTStruct_INFO::OnlineUpdaterDir},
};

bool SetupIniExists() { return App.SetupIni && Platform().FileExists(App.SetupIniPath); }

// The private key of Setup.ini's publisher and product; "" when either is missing.
UString ConfiguredPrivateKeyPath()
{
    if (!SetupIniExists())
        return u"";
    return ReplaceSetupPlaceholders(*App.SetupIni, u"Setup", App.PrivateKeyTemplate, u"%PUBLISHER",
                                    u"%REG_FODLER_PROGNAME", u"", u"");
}

// Fills the fields of the values the key has; an empty value keeps the field.
// After each value but the manual's shortcut, onStep (when given).
template <typename Step>
void ReadRecord(TRegistry& key, UNINSTStruct_INFO& record, Step onStep)
{
    for (const RecordValue& value : kRecordValues) {
        UString text = key.ReadString(value.name);
        if (!text.empty())
            record.*value.field = std::move(text);
        if (UStringView(value.name) != u"LINK_ProgramsManual")
            onStep();
    }
}

}  // namespace

void TFPrepare::AdvanceStep(int stepSize)
{
    ++StepCount;
    pb_Prepare->SetPosition(StepCount * stepSize);
}

void TFPrepare::ShowErrorMessage(const UString& messageId, const UString& code)
{
    ShowMessageBox(App.GetText(App.TextSection, messageId) + u" (" + code + u")", App.ProductName,
                   MB::Ok | MB::IconError);
}

void TFPrepare::RunPreparationSteps()
{
    AdvanceStep(25);
    ReadPrivateKey(u"");
    ReadInstalledVersion();
    ComputeInstallPaths(u"");
}

void TFPrepare::ReadPrivateKey(const UString& purpose)
{
    PrivateKeyFound = false;
    const UString path = ConfiguredPrivateKeyPath();
    if (!path.empty()) {
        TRegistry key(KEY_READ_MASK);
        key.SetRootKey(RegRoot::LocalMachine);
        if (key.OpenKeyReadOnly(path)) {
            if (purpose == u"updater")
                UpdaterPath = key.ReadString(u"OnlineUpdaterDir");
            else if (purpose == u"updater_move_installdir")
                RegisteredInstallDir = key.ReadString(u"InstallDir");
            else
                PrivateKeyFound = !key.ReadString(u"UninstRegFolder").empty();
        }
    } else {
        ShowErrorMessage(textkeys::Msg101, u"101");
        preparationFailed_ = true;
        Close();
    }
    AdvanceStep(25);
}

void TFPrepare::ReadInstalledVersion()
{
    InstalledVersion.clear();
    UninstallEntryFound = false;
    const UString programName = App.SetupValue(u"%REG_FODLER_PROGNAME");
    // Without a product name the path would be the shared Uninstall key itself.
    if (SetupIniExists() && !programName.empty()) {
        const UString version = ReadKeyValue(App.UninstallKey + programName, u"DisplayVersion");
        if (!version.empty()) {
            UninstallEntryFound = true;
            InstalledVersion = version;
        }
    }
    AdvanceStep(25);
}

void TFPrepare::ComputeInstallPaths(const UString& purpose)
{
    App.ProgramFilesDir = GetSpecialFolderPath(38);
    if (SetupIniExists()) {
        const UString product = App.SetupValue(u"%PROGRAM_FILES");
        const UString& pf = App.ProgramFilesDir;
        App.InstallRootDir = pf + u"\\" + product;
        App.InstallDir = pf + u"\\" + product + u"\\" + product;
        App.OldInstallDir = pf + u"\\" + product + u"\\" + App.SetupValue(u"%PROGRAM_FILES_OLD");
        App.ProgramExePath = App.InstallDir + u"\\" + App.SetupValue(u"%PROGRAM_EXEC");
        if (purpose == u"updater_move_installdir") {
            TargetInstallDir = App.InstallRootDir;
            return;
        }
    }
    AdvanceStep(25);
}

bool TFPrepare::ReadUninstallInfo()
{
    PrivateKeyFound = false;
    const UString path = ConfiguredPrivateKeyPath();
    if (path.empty())
        return false;
    TRegistry key(KEY_READ_MASK);
    key.SetRootKey(RegRoot::LocalMachine);
    if (!key.OpenKeyReadOnly(path))
        return false;
    PrivateKeyFound = true;
    UninstallInfo.KeyPath = path;
    ReadRecord(key, UninstallInfo, [this] { AdvanceStep(10); });
    return true;
}

bool TFPrepare::ReadPreviousInfo(const UString& publisher, const UString& programName)
{
    const UString path =
        FillKeyTemplate(App.PrivateKeyTemplate, u"%PUBLISHER", publisher, u"%REG_FODLER_PROGNAME", programName);
    if (path.empty())
        return false;
    TRegistry key(KEY_READ_MASK);
    key.SetRootKey(RegRoot::LocalMachine);
    if (!key.OpenKeyReadOnly(path))
        return false;
    PreviousInfo.KeyPath = path;
    ReadRecord(key, PreviousInfo, [] {});
    return true;
}

bool TFPrepare::FindLegacyInstallation()
{
    TStringList known;
    GetKnownProductNames(App.SetupValue(u"%REG_FODLER_PROGNAME"), known);
    UString names[3];
    if (known.Count() >= 3)
        for (int i = 0; i < 3; ++i)
            names[i] = known[i];

    TStringList entries;
    {
        TRegistry registry(KEY_READ_MASK);
        registry.SetRootKey(RegRoot::LocalMachine);
        if (!registry.OpenKeyReadOnly(App.UninstallKey))
            return false;
        registry.GetKeyNames(entries);
    }
    for (int i = 0; i < entries.Count(); ++i) {
        const UString& entry = entries[i];
        const UString displayName = ReadKeyValue(App.UninstallKey + entry, u"DisplayName");
        if (displayName.empty())
            continue;
        if (names[0].empty() || names[1].empty() || names[2].empty()) {
            ShowMessage(kLegacySearchDeveloperMessage);
            return false;
        }
        if (StartsWith(entry, u"InstallShield_") &&
            (displayName == names[0] || displayName == names[1] || displayName == names[2]))
            return true;
    }
    return false;
}
