#include "forms/Installform.h"

#include "app/App.h"
#include "forms/Pageframe.h"

using namespace pageframe;

TFInstall* FInstall = nullptr;

TFInstall::TFInstall(TComponent* owner) : TForm(owner)
{
    InitPageWindow(*this, u"FInstall", u"FInstall");
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
    if (FInstall == this)
        FInstall = nullptr;
}

void TFInstall::FormShow(TObject* Sender) {}

void TFInstall::bt_CancelClick(TObject* Sender) {}

void TFInstall::FormCloseQuery(TObject* Sender, bool& CanClose) {}
