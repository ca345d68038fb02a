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

    void FormShow(TObject* Sender);
    void bt_FinishClick(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
};

extern TFFinish* FFinish;
