#include "forms/Installform.h"

#include "app/App.h"
#include "engine/Installthread.h"
#include "forms/Cancelconfirmform.h"
#include "forms/Finishform.h"
#include "forms/Pageframe.h"
#include "platform/Platform.h"

using namespace pageframe;

TFInstall* FInstall = nullptr;

TFInstall::TFInstall(TComponent* owner) : TForm(owner)
{
    InitPageWindow(*this, u"FInstall", u"FInstall");
    savedWindowProc_ = WindowProc;
    WindowProc = [this](TMessage& message) { PageWindowProc(message); };
    const TitleBand title = NewTitleBand(*this, true);
    p_Top = title.p_Top;
    im_Title = title.im_Title;
    lb_Title = title.lb_Title;
    p_Client = NewClientBand(*this, false);
    lb_Install = NewLabel(*this, *p_Client, u"lb_Install", 23, 22, 507, 41, true);
    lb_InstallProc = NewLabel(*this, *p_Client, u"lb_InstallProc", 23, 115, 507, 24, false);
    lb_InstallProc->SetLayout(tlBottom);
    lb_InstallProc->SetCaption(u"");
    pb_Installation = NewProgressBar(*this, *p_Client, u"pb_Installation", 23, 149, 507, 17);
    p_Bottom = NewBottomBand(*this, true);
    bt_Cancel = NewButton(*this, *p_Bottom, u"bt_Cancel", 455, 12, 75, -1);
    SetKeyButtons(nullptr, bt_Cancel);

    bt_Cancel->OnClick = [this](TObject* sender) { bt_CancelClick(sender); };
    OnShow = [this](TObject* sender) { FormShow(sender); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };

    App.ApplyButtonTexts(*this, App.TextSection);
    SetCaption(App.ProductName);
    App.ApplyLabelTexts(*this, App.TextSection);
    LoadTitlePicture(*this, title);
}

TFInstall::~TFInstall()
{
    pageframe::StopWorkerBeforeGoing(WorkerThread, u"install thread");
    if (FInstall == this)
        FInstall = nullptr;
}

void TFInstall::FormShow(TObject* Sender)
{
    if (WorkerThread)
        return;
    auto* thread = new TInstallThread(true, Handle(), lb_InstallProc, pb_Installation);
    // The thread frees itself when its body returns: only its control is kept.
    WorkerThread = thread->Control();
    thread->Start();
}

bool TFInstall::WorkFinished() const { return finishReceived_ || (WorkerThread && WorkerThread->Finished()); }

void TFInstall::bt_CancelClick(TObject* Sender)
{
    // Without a worker there is no work to pause or to ask about.
    if (!WorkerThread || WorkFinished())
        return;
    WorkerThread->Suspend();
    if (FCancelConfirm)
        FCancelConfirm->Show();
}

void TFInstall::FormCloseQuery(TObject* Sender, bool& CanClose)
{
    CanClose = false;
    bt_CancelClick(Sender);
}

void TFInstall::PageWindowProc(TMessage& message)
{
    static const uint32_t finished = RegisterMessage(kInstallThreadFinished);
    if (message.Msg != finished) {
        if (savedWindowProc_)
            savedWindowProc_(message);
        return;
    }
    // Taken once, and only after this page started its worker. An installation the
    // user abandoned (paused for good) is not carried on to the finish page by a
    // message that crossed the confirmation.
    if (!WorkerThread || finishReceived_ || WorkerThread->TerminateRequested())
        return;
    finishReceived_ = true;
    HandOverToFinishPage();
}

void TFInstall::HandOverToFinishPage()
{
    // Cancel pressed in the instant the worker was posting: the question is moot now.
    if (FCancelConfirm && FCancelConfirm->Visible())
        FCancelConfirm->Hide();
    Hide();
    if (FFinish)
        FFinish->Show();
}
