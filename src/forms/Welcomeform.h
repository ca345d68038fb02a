#pragma once
// The welcome page: the first page of an installation.
#include "toolkit/Forms.h"

class TFWelcome : public TForm {
public:
    explicit TFWelcome(TComponent* owner);
    ~TFWelcome() override;
    UString ClassName() const override { return u"TFWelcome"; }

    TPanel* p_Left = nullptr;
    TImage* im_Left = nullptr;
    TPanel* p_Client = nullptr;
    TLabel* lb_Welcome = nullptr;
    TLabel* lb_StartInstallation = nullptr;
    TPanel* p_Bottom = nullptr;
    TLabel* lb_Version = nullptr;
    TButton* bt_Next = nullptr;
    TButton* bt_Cancel = nullptr;

    // Runs once the constructor has finished.
    void FormCreate(TObject* Sender);
    void bt_NextClick(TObject* Sender);
    void bt_CancelClick(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
};

extern TFWelcome* FWelcome;
