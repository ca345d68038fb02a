#include "forms/Uninstallconfirmform.h"

#include "app/App.h"
#include "forms/Cancelform.h"
#include "forms/Pageframe.h"
#include "forms/Uninstallform.h"
#include "util/Xfunctions.h"

using namespace pageframe;

TFUninstallConfirm* FUninstallConfirm = nullptr;

TFUninstallConfirm::TFUninstallConfirm(TComponent* owner) : TForm(owner)
{
    InitWindow(*this, u"FUninstallConfirm", u"FUninstallConfirm", bsSizeable, BorderIcon::Default, 281, 107);
    lb_UninstallConfirm = NewLabel(*this, *this, u"lb_UninstallConfirm", 20, 3, 241, 69, true);
    lb_UninstallConfirm->SetMargins(TMargins{20, 3, 20, 3});
    lb_UninstallConfirm->SetAlignWithMargins(true);
    lb_UninstallConfirm->SetAlign(alTop);
    lb_UninstallConfirm->SetAlignment(taCenter);
    lb_UninstallConfirm->SetLayout(tlCenter);
    bt_OK = NewButton(*this, *this, u"bt_OK", 53, 73, 80, -1);
    bt_Cancel = NewButton(*this, *this, u"bt_Cancel", 150, 73, 80, -1);
    SetKeyButtons(bt_OK, bt_Cancel);

    bt_OK->OnClick = [this](TObject* sender) { bt_OKClick(sender); };
    bt_Cancel->OnClick = [this](TObject* sender) { bt_CancelClick(sender); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };

    App.ApplyLabelTexts(*this, App.TextSection);
    App.ApplyButtonTexts(*this, App.TextSection);
    SetCaption(App.ProductName);
}

TFUninstallConfirm::~TFUninstallConfirm()
{
    if (FUninstallConfirm == this)
        FUninstallConfirm = nullptr;
}

void TFUninstallConfirm::bt_OKClick(TObject* Sender)
{
    Hide();
    FUninstall->Show();
}

void TFUninstallConfirm::bt_CancelClick(TObject* Sender)
{
    // Nothing has been removed yet.
    Hide();
    FCancel->Show();
}

void TFUninstallConfirm::FormCloseQuery(TObject* Sender, bool& CanClose)
{
    CanClose = false;
    CloseMainForm();
}
