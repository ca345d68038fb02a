#pragma once
// The uninstall progress page: showing it starts the uninstall thread, which writes
// the status line and the bar; the thread's finish message leads to the finish page.
#include <memory>

#include "toolkit/Forms.h"

class TFUninstall : public TForm {
public:
    explicit TFUninstall(TComponent* owner);
    ~TFUninstall() override;
    UString ClassName() const override { return u"TFUninstall"; }

    TPanel* p_Top = nullptr;
    TImage* im_Title = nullptr;
    TLabel* lb_Title = nullptr;
    TPanel* p_Client = nullptr;
    TLabel* lb_Uninstall = nullptr;
    TLabel* lb_UninstallProc = nullptr;
    TProgressBar* pb_Uninstallation = nullptr;
    TPanel* p_Bottom = nullptr;
    TButton* bt_Cancel = nullptr;

    // The uninstall thread frees itself when it ends; its control outlives it.
    // Empty until the page is first shown.
    std::shared_ptr<TThreadControl> WorkerThread;

    void FormShow(TObject* Sender);
    void bt_CancelClick(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
};

extern TFUninstall* FUninstall;
