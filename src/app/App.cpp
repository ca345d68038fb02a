#include "app/App.h"

#include "app/Utils_fileexecution.h"
#include "base/Paths.h"
#include "language/Language_subroutines.h"
#include "language/Text_keys.h"
#include "platform/Platform.h"
#include "toolkit/StringList.h"

TApp App;

void TApp::Reset()
{
    TextTable.reset();
    TextVariant.clear();
    Paths() = STRUCT_AppPath{};
    Info() = STRUCT_AppInfo{};
    SetupIni.reset();
}

UString TApp::SetupValue(UStringView key, UStringView defaultValue) const
{
    // Without Setup.ini every key reads as its default: start-up must not depend
    // on the file being there.
    if (!SetupIni)
        return UString(defaultValue);
    return SetupIni->ReadString(u"Setup", key, defaultValue);
}

void TApp::Construct()
{
    Reset();
    const UString exeFolder = ExtractFilePath(Platform().ExecutablePath());
    SetupIniPath = exeFolder + u"Setup.ini";
    if (Platform().FileExists(SetupIniPath))
        SetupIni = std::make_unique<TMemIniFile>(SetupIniPath);
    TextSection = u"InstallWizard";
    LanguageName = GetSystemLanguageName(u"");
    LanguageID = LanguageIdFromName(LanguageName);

    LoadTexts(StartupTextsFolder(), LanguageID, u"InstallWizard", u"Install", u"");
    ProductName = GetText(TextSection, textkeys::ProductName);

    RunKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    PrivateKeyTemplate = u"Software\\%PUBLISHER\\%REG_FODLER_PROGNAME\\";
    UninstallKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    BackupDir.clear();
    Version = u"V1.0";
}

UString TApp::StartupTextsFolder() const
{
    const UString exeFolder = ExtractFilePath(Platform().ExecutablePath());
    const UString productFolder = SetupValue(u"%PROGRAM_FILES");
    UString textsFolder = exeFolder + u"Texts\\";
    TStringList workbooks;
    if (ListFolderEntries(textsFolder, u"File", u".xlsx", workbooks, u"") < 1) {
        // The product's own copy of its forms' texts inside the payload; joined
        // exactly so, no separator before "Forms".
        textsFolder =
            exeFolder + u"program files\\" + productFolder + u"\\" + SetupValue(u"%PROGRAM_DATA") + u"Forms\\Texts\\";
    }
    return textsFolder;
}

void ConstructApp() { App.Construct(); }

bool AdministratorCheckPassed()
{
    if (Platform().IsUserAdmin())
        return true;
    ShowStartupMessage(App.GetText(u"InstallWizard", textkeys::Msg001), App.ProductName);
    return false;
}
