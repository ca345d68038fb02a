#include "forms/Cancelconfirmform.h"

#include "app/App.h"
#include "forms/Pageframe.h"

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

void TFCancelConfirm::bt_OKClick(TObject* Sender) {}

void TFCancelConfirm::bt_CancelClick(TObject* Sender) {}

void TFCancelConfirm::FormCloseQuery(TObject* Sender, bool& CanClose) {}
