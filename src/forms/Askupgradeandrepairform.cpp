#include "forms/Askupgradeandrepairform.h"

#include "app/App.h"
#include "forms/Pageframe.h"

using namespace pageframe;

TFAskUpgradeAndRepair* FAskUpgradeAndRepair = nullptr;

TFAskUpgradeAndRepair::TFAskUpgradeAndRepair(TComponent* owner) : TForm(owner)
{
    InitPageWindow(*this, u"FAskUpgradeAndRepair", u"FAskUpgradeAndRepair");
    const TitleBand title = NewTitleBand(*this, true);
    p_Top = title.p_Top;
    im_Title = title.im_Title;
    lb_Title = title.lb_Title;
    p_Client = NewClientBand(*this, false);
    lb_AskUpgradeAndRepair = NewLabel(*this, *p_Client, u"lb_AskUpgradeAndRepair", 23, 11, 507, 73, true);
    p_Bottom = NewBottomBand(*this, true);
    bt_Upgrade = NewButton(*this, *p_Bottom, u"bt_Upgrade", 362, 12, 79, 0);
    bt_Cancel = NewButton(*this, *p_Bottom, u"bt_Cancel", 455, 12, 75, 1);
    SetKeyButtons(bt_Upgrade, bt_Cancel);

    App.ApplyLabelTexts(*this, App.TextSection);
    App.ApplyButtonTexts(*this, App.TextSection);
    SetCaption(App.ProductName);
    LoadTitlePicture(*this, title);
}

TFAskUpgradeAndRepair::~TFAskUpgradeAndRepair()
{
    if (FAskUpgradeAndRepair == this)
        FAskUpgradeAndRepair = nullptr;
}
