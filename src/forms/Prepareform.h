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

    // The preparation steps of the Install and Upgrade modes: four steps of 25.
    void RunPreparationSteps();
    // purpose "": PrivateKeyFound; "updater": UpdaterPath; "updater_move_installdir":
    // RegisteredInstallDir. When no key can be formed from Setup.ini: MSG_101 and the
    // form closes. Counts one step.
    void ReadPrivateKey(const UString& purpose);
    // InstalledVersion and UninstallEntryFound from the uninstall entry's
    // DisplayVersion. Counts one step.
    void ReadInstalledVersion();
    // The paths of App for the new copy. Counts one step, except for the purpose
    // "updater_move_installdir", which sets TargetInstallDir instead.
    void ComputeInstallPaths(const UString& purpose);
    // UninstallInfo from the private key, ten steps of 10; false (nothing counted)
    // when the key cannot be formed or opened.
    bool ReadUninstallInfo();
    // PreviousInfo from the private key of that publisher and product; no steps.
    bool ReadPreviousInfo(const UString& publisher, const UString& programName);
    // An installation of this product by an older setup (an "InstallShield_" entry
    // with one of its known display names). For a product the table does not know,
    // the first named uninstall entry brings the developer message and false.
    bool FindLegacyInstallation();
    // Before a fresh installation: the Administrators take over a leftover install
    // root and Start-menu folder, which may belong to another account.
    void TakeOwnershipOfLeftovers();
    // After Yes to MSG_501 or MSG_503: removes the installed copy, then the welcome
    // page with InstallState 1. When the copy stays installed: MSG_502 and the form
    // closes. When the entry names no uninstaller: nothing, the form waits for Cancel.
    void RemovePreviousVersion();
    // Places this setup as "Setup_20171018.exe" beside the installed copy's kept
    // uninstaller (PreviousInfo), with its texts; sets OldUninstallerCopy when the
    // copy is whole. True only when the copy, an existing Texts folder there and the
    // texts all worked.
    bool PlaceNewUninstaller();
    // Copies this setup's first workbook and its language-INI folder into folder
    // (with trailing ""). False when this setup has no workbook.
    bool CopyTextsBeside(const UString& folder);
    // The run value, uninstall entry, shortcuts and private key of PreviousInfo,
    // each only where it lies within what the installation owns.
    void RemovePreviousRecords();

    // First argument "updater": the installed copy's online updater (OnlineUpdaterDir
    // of its private key, executable named by its Upgrade.ini) started with
    // "InstallExeRecall". The caller closes the form.
    void StartOnlineUpdater();
    // First argument "registry", after the updater put a new version beside this
    // installer: the install root moved where the new Setup.ini puts it, the records
    // and shortcuts rewritten, the updater started with "UpdaterFinish", Setup_old.ini
    // deleted and the form closed.
    void RunRegistryMode();
    // The uninstall entry, run value, shortcuts and private key rewritten from the new
    // Setup.ini (SetupIniCopy) where they changed, each value also recorded in
    // Regedit_FileList.ini when that file exists.
    void ReRegisterInstallation();
    void RewriteUninstallEntry();
    void RewriteRunValue();
    void RewriteShortcuts(const UString& publisherFolder, const UString& programFolder);
    void RewritePrivateKey();
    // Removes the folder of path (or path itself when its last part has no dot) and
    // its parents while they are empty and lie strictly below top.
    static void RemoveEmptyFolders(const UString& top, const UString& path);

private:
    // Copies the recorded install root to TargetInstallDir and empties it, when they
    // are different folders and neither holds the other.
    void MoveInstallRoot(const UString& recordedProduct);
    // The record file's value, when the file exists.
    void RecordValue(const UString& section, const UString& name, const UString& value);
    // Setup_old.ini, the previous version's configuration, in the registry mode.
    std::unique_ptr<TMemIniFile> oldSetupIni_;
    // Records, application and files of the previous copy, without its uninstaller;
    // the user's data stays.
    void RemovePreviousDirectly();
    void EmptyPreviousInstallDir();
    // The product's main window (%PROGRAM_FORMCAPTION) is asked to close.
    void CloseApplicationWindow();
    void AdvanceStep(int stepSize);
    // The text, then the code as " (101)", with the error icon.
    void ShowErrorMessage(const UString& messageId, const UString& code);
    // Stays the main form, invisible, until a page closes it.
    void MakeTransparent();
    // MSG_101 has closed the form: no decision may follow.
    bool preparationFailed_ = false;
};

extern TFPrepare* FPrepare;
