#include "forms/Upgradeandrepairform.h"

#include "app/App.h"
#include "forms/Pageframe.h"

using namespace pageframe;

TFUpgradeAndRepair* FUpgradeAndRepair = nullptr;

TFUpgradeAndRepair::TFUpgradeAndRepair(TComponent* owner) : TForm(owner)
{
    InitPageWindow(*this, u"FUpgradeAndRepair", u"FUpgradeAndRepair");
    const TitleBand title = NewTitleBand(*this, true);
    p_Top = title.p_Top;
    im_Title = title.im_Title;
    lb_Title = title.lb_Title;
    p_Client = NewClientBand(*this, false);
    lb_Upgrade = NewLabel(*this, *p_Client, u"lb_Upgrade", 23, 22, 507, 41, true);
    lb_UpgradeProc = NewLabel(*this, *p_Client, u"lb_UpgradeProc", 23, 115, 507, 24, false);
    lb_UpgradeProc->SetLayout(tlBottom);
    lb_UpgradeProc->SetCaption(u"");
    pb_Upgrade = NewProgressBar(*this, *p_Client, u"pb_Upgrade", 23, 149, 507, 17);
    p_Bottom = NewBottomBand(*this, true);
    bt_Cancel = NewButton(*this, *p_Bottom, u"bt_Cancel", 455, 12, 75, -1);
    SetKeyButtons(nullptr, bt_Cancel);

    App.ApplyButtonTexts(*this, App.TextSection);
    App.ApplyLabelTexts(*this, App.TextSection);
    SetCaption(App.ProductName);
    LoadTitlePicture(*this, title);
}

TFUpgradeAndRepair::~TFUpgradeAndRepair()
{
    if (FUpgradeAndRepair == this)
        FUpgradeAndRepair = nullptr;
}
