#pragma once
// The cancel confirmation: asks, over a paused progress page, whether the job
// should really be cancelled.
#include "toolkit/Forms.h"

class TFCancelConfirm : public TForm {
public:
    explicit TFCancelConfirm(TComponent* owner);
    ~TFCancelConfirm() override;
    UString ClassName() const override { return u"TFCancelConfirm"; }

    TLabel* lb_CancelConfirm = nullptr;
    TButton* bt_OK = nullptr;
    TButton* bt_Cancel = nullptr;

    // Cancels the job.
    void bt_OKClick(TObject* Sender);
    // Goes on with the job.
    void bt_CancelClick(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
};

extern TFCancelConfirm* FCancelConfirm;
