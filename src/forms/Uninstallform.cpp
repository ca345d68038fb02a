#include "forms/Uninstallform.h"

#include "app/App.h"
#include "engine/Uninstallthread.h"
#include "forms/Cancelconfirmform.h"
#include "forms/Finishform.h"
#include "forms/Pageframe.h"
#include "forms/Prepareform.h"
#include "platform/Platform.h"

using namespace pageframe;

TFUninstall* FUninstall = nullptr;

TFUninstall::TFUninstall(TComponent* owner) : TForm(owner)
{
    // The one page with the default resizable frame, two pixels smaller each way.
    InitWindow(*this, u"FUninstall", u"FUninstall", bsSizeable, BorderIcon::Default, 552, 366);
    savedWindowProc_ = WindowProc;
    WindowProc = [this](TMessage& message) { PageWindowProc(message); };
    // The number stays the same for the whole session.
    finishedMessage_ = RegisterMessage(kUninstallFinishedMessage);
    const TitleBand title = NewTitleBand(*this, true);
    p_Top = title.p_Top;
    im_Title = title.im_Title;
    lb_Title = title.lb_Title;
    p_Client = NewClientBand(*this, false);
    lb_Uninstall = NewLabel(*this, *p_Client, u"lb_Uninstall", 23, 22, 507, 41, true);
    lb_UninstallProc = NewLabel(*this, *p_Client, u"lb_UninstallProc", 23, 109, 507, 24, false);
    lb_UninstallProc->SetLayout(tlBottom);
    pb_Uninstallation = NewProgressBar(*this, *p_Client, u"pb_Uninstallation", 23, 143, 507, 17);
    p_Bottom = NewBottomBand(*this, true);
    bt_Cancel = NewButton(*this, *p_Bottom, u"bt_Cancel", 455, 12, 75, -1);
    SetKeyButtons(nullptr, bt_Cancel);

    bt_Cancel->OnClick = [this](TObject* sender) { bt_CancelClick(sender); };
    OnShow = [this](TObject* sender) { FormShow(sender); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };

    App.ApplyButtonTexts(*this, App.TextSection);
    App.ApplyLabelTexts(*this, App.TextSection);
    SetCaption(App.ProductName);
    lb_Uninstall->SetCaption(App.ReplaceProductName(lb_Uninstall->Caption(), App.ProductName));
    LoadTitlePicture(*this, title);
}

TFUninstall::~TFUninstall()
{
    pageframe::StopWorkerBeforeGoing(WorkerThread, u"uninstall thread");
    if (FUninstall == this)
        FUninstall = nullptr;
}

void TFUninstall::FormShow(TObject* Sender)
{
    if (WorkerThread || !FPrepare)
        return;
    auto* thread = new TUninstallThread(Handle(), lb_UninstallProc, pb_Uninstallation, FPrepare->UninstallInfo);
    // The thread frees itself when its body returns: only its control is kept.
    WorkerThread = thread->Control();
    thread->Start();
}

void TFUninstall::bt_CancelClick(TObject* Sender)
{
    if (WorkerThread && !WorkerThread->Finished())
        WorkerThread->Suspend();
    if (FCancelConfirm)
        FCancelConfirm->Show();
}

void TFUninstall::FormCloseQuery(TObject* Sender, bool& CanClose)
{
    CanClose = false;
    bt_CancelClick(Sender);
}

void TFUninstall::PageWindowProc(TMessage& message)
{
    if (message.Msg != finishedMessage_) {
        if (savedWindowProc_)
            savedWindowProc_(message);
        return;
    }
    // Taken once, from this page's own worker, and only while the page shows: a
    // confirmed cancel has hidden it and made the cancelled page the last one, even
    // when the worker finished just before.
    if (!WorkerThread || finishReceived_ || !Visible() || WorkerThread->TerminateRequested())
        return;
    finishReceived_ = true;
    // Cancel pressed as the worker was finishing: nothing is left to cancel.
    if (FCancelConfirm && FCancelConfirm->Visible())
        FCancelConfirm->Hide();
    Hide();
    if (FFinish)
        FFinish->Show();
}
