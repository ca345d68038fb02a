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

    // On to the progress page, which starts the removal.
    void bt_OKClick(TObject* Sender);
    // On to the cancelled notice; nothing is removed.
    void bt_CancelClick(TObject* Sender);
    // Closing the question ends the program.
    void FormCloseQuery(TObject* Sender, bool& CanClose);
};

extern TFUninstallConfirm* FUninstallConfirm;
