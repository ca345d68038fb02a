#include "forms/Uninstallform.h"

#include "app/App.h"
#include "forms/Pageframe.h"

using namespace pageframe;

TFUninstall* FUninstall = nullptr;

TFUninstall::TFUninstall(TComponent* owner) : TForm(owner)
{
    // The one page with the default resizable frame, two pixels smaller each way.
    InitWindow(*this, u"FUninstall", u"FUninstall", bsSizeable, BorderIcon::Default, 552, 366);
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
    if (FUninstall == this)
        FUninstall = nullptr;
}

void TFUninstall::FormShow(TObject* Sender) {}

void TFUninstall::bt_CancelClick(TObject* Sender) {}

void TFUninstall::FormCloseQuery(TObject* Sender, bool& CanClose) {}
