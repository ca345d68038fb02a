#include "forms/Cancelconfirmform.h"

#include "app/App.h"
#include "forms/Cancelform.h"
#include "forms/Installform.h"
#include "forms/Pageframe.h"
#include "forms/Prepareform.h"
#include "forms/Uninstallform.h"
#include "toolkit/Thread.h"

using namespace pageframe;

TFCancelConfirm* FCancelConfirm = nullptr;

TFCancelConfirm::TFCancelConfirm(TComponent* owner) : TForm(owner)
{
    InitWindow(*this, u"FCancelConfirm", u"FCancelConfirm", bsDialog, BorderIcon::SystemMenu, 501, 151);
    lb_CancelConfirm = NewLabel(*this, *this, u"lb_CancelConfirm", 0, 0, 501, 109, true);
    lb_CancelConfirm->SetAlign(alTop);
    lb_CancelConfirm->SetAlignment(taCenter);
    lb_CancelConfirm->SetLayout(tlCenter);
    bt_OK = NewButton(*this, *this, u"bt_OK", 131, 115, 120, -1);
    bt_Cancel = NewButton(*this, *this, u"bt_Cancel", 266, 115, 120, -1);
    SetKeyButtons(bt_OK, bt_Cancel);

    bt_OK->OnClick = [this](TObject* sender) { bt_OKClick(sender); };
    bt_Cancel->OnClick = [this](TObject* sender) { bt_CancelClick(sender); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };

    App.ApplyLabelTexts(*this, App.TextSection);
    App.ApplyButtonTexts(*this, App.TextSection);
    SetCaption(App.ProductName);
}

TFCancelConfirm::~TFCancelConfirm()
{
    if (FCancelConfirm == this)
        FCancelConfirm = nullptr;
}

namespace {

struct ProgressJob {
    TForm* page = nullptr;
    std::shared_ptr<TThreadControl> worker;
};

// The progress page of the mode and its worker. An upgrade runs the installation
// pages, so its worker is the installation page's.
ProgressJob JobOfMode()
{
    if (!FPrepare)
        return {};
    const UString& mode = FPrepare->Mode;
    if ((mode == u"Install" || mode == u"Upgrade") && FInstall)
        return {FInstall, FInstall->WorkerThread};
    if ((mode == u"Uninstall" || mode == u"UninstallAnyway") && FUninstall)
        return {FUninstall, FUninstall->WorkerThread};
    return {};
}

// A worker that has ended has freed itself: nothing may be asked of it.
bool StillRunning(const std::shared_ptr<TThreadControl>& worker) { return worker && !worker->Finished(); }

}  // namespace

void TFCancelConfirm::bt_OKClick(TObject* Sender)
{
    const ProgressJob job = JobOfMode();
    if (job.page) {
        // Left paused: the work stops where it was.
        if (StillRunning(job.worker))
            job.worker->Terminate();
        job.page->Hide();
    }
    Hide();
    FCancel->Show();
}

void TFCancelConfirm::bt_CancelClick(TObject* Sender)
{
    Hide();
    const ProgressJob job = JobOfMode();
    if (StillRunning(job.worker))
        job.worker->Resume();
}

void TFCancelConfirm::FormCloseQuery(TObject* Sender, bool& CanClose)
{
    CanClose = false;
    bt_CancelClick(Sender);
}
