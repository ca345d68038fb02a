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
    // until the page is first shown; set once, so the page starts one worker only.
    std::shared_ptr<TThreadControl> WorkerThread;

    // Starts the install thread the first time the page shows; later shows start
    // nothing.
    void FormShow(TObject* Sender);
    // While the work runs: pauses it (at its next safe point) and asks
    // FCancelConfirm. Once the work has finished: nothing, the finish page follows.
    void bt_CancelClick(TObject* Sender);
    // Refuses the close and acts as bt_CancelClick.
    void FormCloseQuery(TObject* Sender, bool& CanClose);

    // The work has finished: the worker ended or its finish message arrived.
    bool WorkFinished() const;

private:
    // Sees every message of the page's window before the toolkit: the worker's
    // finish message hands over to the finish page and goes no further.
    void PageWindowProc(TMessage& message);
    void HandOverToFinishPage();

    std::function<void(TMessage&)> savedWindowProc_;
    bool finishReceived_ = false;
};

extern TFInstall* FInstall;
