#pragma once
// The uninstall confirmation: asks whether to remove the installation.
#include "toolkit/Forms.h"

class TFUninstallConfirm : public TForm {
public:
    explicit TFUninstallConfirm(TComponent* owner);
    ~TFUninstallConfirm() override;
    UString ClassName() const override { return u"TFUninstallConfirm"; }

    TLabel* lb_UninstallConfirm = nullptr;
    TButton* bt_OK = nullptr;
    TButton* bt_Cancel = nullptr;

    void bt_OKClick(TObject* Sender);
    void bt_CancelClick(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
};

extern TFUninstallConfirm* FUninstallConfirm;
