#pragma once
// The uninstall progress page: showing it starts the uninstall thread, which writes
// the status line and the bar; the thread's finish message leads to the finish page.
#include <cstdint>
#include <functional>
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

    // The first show starts the uninstall thread; later shows start none.
    void FormShow(TObject* Sender);
    // Pauses a running worker and asks whether to cancel.
    void bt_CancelClick(TObject* Sender);
    // The close box acts as Cancel.
    void FormCloseQuery(TObject* Sender, bool& CanClose);

private:
    // In front of the toolkit's procedure: catches the worker's finish message and
    // passes every other message on unchanged.
    void PageWindowProc(TMessage& message);

    std::function<void(TMessage&)> savedWindowProc_;
    uint32_t finishedMessage_ = 0;
    bool finishReceived_ = false;
};

extern TFUninstall* FUninstall;
