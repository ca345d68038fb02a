#pragma once
// The application object: what every page and worker shares — the installer's and
// the installation's paths, the registry key paths, the parsed Setup.ini, the
// language and product name, and (through its base) the text table.
#include <cstdint>
#include <memory>

#include "base/UString.h"
#include "language/Language_management.h"
#include "toolkit/MemIniFile.h"

struct STRUCT_AppPath {
    UString SetupIniPath;
    UString ProgramFilesDir;
    UString InstallRootDir;
    UString InstallDir;
    UString OldInstallDir;
    UString ProgramExePath;
    UString UninstallerPath;
    UString UpdaterDir;
    UString LinkProgramsExecPath;
    UString LinkProgramsUninstPath;
    UString LinkProgramsManualPath;
    UString LinkDesktopPath;
    UString BackupDir;
    UString RunKey;
    UString PrivateKeyTemplate;
    UString UninstallKey;
};

struct STRUCT_AppInfo {
    uint16_t LanguageID = 0;
    UString LanguageName;
    UString ProductName;
    UString TextSection;
    UString Version;
    int32_t InstallState = 0;
};

// The fields of both records are members of the object itself (App.InstallDir,
// App.ProductName); Paths() and Info() give the records whole.
class TApp : public TlanguageManagement, public STRUCT_AppPath, public STRUCT_AppInfo {
public:
    // Empty: no Setup.ini, no text table, every string empty.
    TApp() = default;

    // The start-up steps, on the current Platform(): Setup.ini beside the
    // executable, the language of the system, the texts, the product name and the
    // fixed key paths. Whatever the object held before is dropped first.
    void Construct();

    STRUCT_AppPath& Paths() { return *this; }
    const STRUCT_AppPath& Paths() const { return *this; }
    STRUCT_AppInfo& Info() { return *this; }
    const STRUCT_AppInfo& Info() const { return *this; }

    // The whole of Setup.ini as it was at start-up; absent when there was none.
    std::unique_ptr<TMemIniFile> SetupIni;

    // A key of Setup.ini's section "Setup"; the default when the file or key is
    // missing.
    UString SetupValue(UStringView key, UStringView defaultValue = u"") const;

    // Where start-up reads the texts from: "Texts\" beside the executable, or, when
    // that holds no workbook, the product's copy of its texts inside the payload.
    UString StartupTextsFolder() const;

private:
    void Reset();
};

// The one application object.
extern TApp App;

// Builds the global App on the current platform. The entry points call it first,
// before anything else runs; tests call it after setting up their machine.
void ConstructApp();

// The entry point's first step: true when the program runs with administrator
// rights; otherwise MSG_001 is shown in a plain message box and the caller ends
// the program (exit code 0) before creating any form.
bool AdministratorCheckPassed();
