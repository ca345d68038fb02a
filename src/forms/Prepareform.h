#pragma once
// The preparation form: the first form created and so the main form of the whole
// run; closing it ends the program. It shows a small dialog with a progress bar
// while it reads the command line and the installed state, then hands over to the
// first page, or ends the program.
#include <cstdint>
#include <memory>

#include "engine/UninstallInfo.h"
#include "toolkit/Forms.h"
#include "toolkit/MemIniFile.h"

class TFPrepare : public TForm {
public:
    explicit TFPrepare(TComponent* owner);
    ~TFPrepare() override;
    UString ClassName() const override { return u"TFPrepare"; }

    TLabel* lb_Prepare = nullptr;
    TLabel* lb_PrepareProc = nullptr;
    TButton* bt_Cancel = nullptr;
    TProgressBar* pb_Prepare = nullptr;
    TTimer* Timer1 = nullptr;

    // "Install", "Upgrade", "Uninstall" or "UninstallAnyway"; empty in the updater
    // and registry modes.
    UString Mode;
    // Preparation steps done so far; the bar shows StepCount times the step size.
    int32_t StepCount = 0;
    bool PrivateKeyFound = false;
    bool UninstallEntryFound = false;
    UString InstalledVersion;
    // The version this installer brings (%PROGRAM_VERSION).
    UString SetupVersion;
    UString UpdaterPath;
    UString RegisteredInstallDir;
    UString TargetInstallDir;
    UString OldUninstallerCopy;
    UNINSTStruct_INFO PreviousInfo;
    UNINSTStruct_INFO UninstallInfo;
    // A second reader of Setup.ini, for the registry mode only.
    std::unique_ptr<TMemIniFile> SetupIniCopy;

    void FormShow(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void bt_CancelClick(TObject* Sender);
    void DecideInstall();
};

extern TFPrepare* FPrepare;
