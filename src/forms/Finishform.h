#pragma once
// The finish page: the closing texts of the mode; after an installation it offers
// to start the installed program. Its button and its close box end the program.
#include "toolkit/Forms.h"

class TFFinish : public TForm {
public:
    explicit TFFinish(TComponent* owner);
    ~TFFinish() override;
    UString ClassName() const override { return u"TFFinish"; }

    TPanel* p_Left = nullptr;
    TImage* im_Left = nullptr;
    TPanel* p_Client = nullptr;
    // One title and one note of the three pairs show at a time, on top of each other.
    TLabel* lb_Finish_Install = nullptr;
    TLabel* lb_FinishInstallNotes = nullptr;
    TLabel* lb_Finish_Uninstall = nullptr;
    TLabel* lb_FinishUninstallNotes = nullptr;
    TLabel* lb_Finish_Upgrade = nullptr;
    TLabel* lb_FinishUpgradeNotes = nullptr;
    TCheckBox* ck_StartProgram = nullptr;
    TPanel* p_Bottom = nullptr;
    TButton* bt_Finish = nullptr;

    // The texts of FPrepare's mode. After an installation (mode "Install") also the
    // check box from %Exe_AfterInstall, read afresh, and the empty marker file
    // "Installed.log" in App.InstallDir. Any other mode leaves everything as it is.
    void FormShow(TObject* Sender);
    // Starts the installed program when the box is checked after an installation
    // (through "HandOver.exe", or directly on Windows 5.0), then ends the program.
    // Nothing that fails is reported.
    void bt_FinishClick(TObject* Sender);
    // Refuses the close and ends the program without starting anything.
    void FormCloseQuery(TObject* Sender, bool& CanClose);

private:
    void ShowPair(TLabel* title, TLabel* notes);
    void StartInstalledProgram();
};

extern TFFinish* FFinish;
