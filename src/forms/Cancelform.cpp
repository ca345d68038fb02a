#include "forms/Cancelform.h"

#include "app/App.h"
#include "forms/Pageframe.h"
#include "util/Xfunctions.h"

using namespace pageframe;

TFCancel* FCancel = nullptr;

TFCancel::TFCancel(TComponent* owner) : TForm(owner)
{
    InitPageWindow(*this, u"FCancel", u"FCancel");
    const SideBand side = NewSideBand(*this);
    p_Left = side.p_Left;
    im_Left = side.im_Left;
    p_Client = NewClientBand(*this, true);
    lb_Cancel = NewLabel(*this, *p_Client, u"lb_Cancel", 34, 48, 297, 41, true);
    MakeBold(*lb_Cancel);
    lb_Notes = NewLabel(*this, *p_Client, u"lb_Notes", 34, 87, 297, 73, true);
    p_Bottom = NewBottomBand(*this, false);
    bt_OK = NewButton(*this, *p_Bottom, u"bt_OK", 447, 12, 79, -1);
    SetKeyButtons(bt_OK, nullptr);

    bt_OK->OnClick = [this](TObject* sender) { bt_OKClick(sender); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };

    App.ApplyLabelTexts(*this, App.TextSection);
    App.ApplyButtonTexts(*this, App.TextSection);
    SetCaption(App.ProductName);
    lb_Notes->SetCaption(App.ReplaceProductName(lb_Notes->Caption(), App.ProductName));
    LoadSidePicture(side);
}

TFCancel::~TFCancel()
{
    if (FCancel == this)
        FCancel = nullptr;
}

void TFCancel::bt_OKClick(TObject* Sender)
{
    // The close request is refused and ends the program instead.
    Close();
}

void TFCancel::FormCloseQuery(TObject* Sender, bool& CanClose)
{
    CanClose = false;
    CloseMainForm();
}
