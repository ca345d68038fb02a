#pragma once
// The last page before anything changes on the machine: its Install button opens
// the installation progress page.
#include "toolkit/Forms.h"

class TFAskInstall : public TForm {
public:
    explicit TFAskInstall(TComponent* owner);
    ~TFAskInstall() override;
    UString ClassName() const override { return u"TFAskInstall"; }

    TPanel* p_Top = nullptr;
    TImage* im_Title = nullptr;
    TLabel* lb_Title = nullptr;
    TPanel* p_Client = nullptr;
    TLabel* lb_AskInstall = nullptr;
    TPanel* p_Bottom = nullptr;
    TButton* bt_Previous = nullptr;
    TButton* bt_Install = nullptr;
    TButton* bt_Cancel = nullptr;

    void bt_PreviousClick(TObject* Sender);
    void bt_InstallClick(TObject* Sender);
    void bt_CancelClick(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
};

extern TFAskInstall* FAskInstall;
