#pragma once
// The cancelled notice: the last page of a cancelled run; its button ends the
// program.
#include "toolkit/Forms.h"

class TFCancel : public TForm {
public:
    explicit TFCancel(TComponent* owner);
    ~TFCancel() override;
    UString ClassName() const override { return u"TFCancel"; }

    TPanel* p_Left = nullptr;
    TImage* im_Left = nullptr;
    TPanel* p_Client = nullptr;
    TLabel* lb_Cancel = nullptr;
    TLabel* lb_Notes = nullptr;
    TPanel* p_Bottom = nullptr;
    TButton* bt_OK = nullptr;

    void bt_OKClick(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
};

extern TFCancel* FCancel;
