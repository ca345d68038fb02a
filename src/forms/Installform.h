#pragma once
// The installation progress page: showing it starts the install thread, which
// writes the status line and the bar; the thread's finish message leads to the
// finish page.
#include <memory>

#include "toolkit/Forms.h"

class TFInstall : public TForm {
public:
    explicit TFInstall(TComponent* owner);
    ~TFInstall() override;
    UString ClassName() const override { return u"TFInstall"; }

    TPanel* p_Top = nullptr;
    TImage* im_Title = nullptr;
    TLabel* lb_Title = nullptr;
    TPanel* p_Client = nullptr;
    TLabel* lb_Install = nullptr;
    TLabel* lb_InstallProc = nullptr;
    TProgressBar* pb_Installation = nullptr;
    TPanel* p_Bottom = nullptr;
    TButton* bt_Cancel = nullptr;

    // The install thread frees itself when it ends; its control outlives it. Empty
    // until the page is first shown.
    std::shared_ptr<TThreadControl> WorkerThread;

    void FormShow(TObject* Sender);
    void bt_CancelClick(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
};

extern TFInstall* FInstall;
