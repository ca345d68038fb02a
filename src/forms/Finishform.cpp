#include "forms/Finishform.h"

#include "app/App.h"
#include "forms/Pageframe.h"

using namespace pageframe;

TFFinish* FFinish = nullptr;

TFFinish::TFFinish(TComponent* owner) : TForm(owner)
{
    InitPageWindow(*this, u"FFinish", u"FFinish");
    const SideBand side = NewSideBand(*this);
    p_Left = side.p_Left;
    im_Left = side.im_Left;
    p_Client = NewClientBand(*this, true);
    auto title = [this](UStringView name) {
        TLabel* label = NewLabel(*this, *p_Client, name, 28, 48, 313, 33, true);
        MakeBold(*label);
        return label;
    };
    auto notes = [this](UStringView name) { return NewLabel(*this, *p_Client, name, 28, 87, 313, 65, true); };
    lb_Finish_Install = title(u"lb_Finish_Install");
    lb_FinishInstallNotes = notes(u"lb_FinishInstallNotes");
    lb_Finish_Uninstall = title(u"lb_Finish_Uninstall");
    lb_FinishUninstallNotes = notes(u"lb_FinishUninstallNotes");
    lb_Finish_Upgrade = title(u"lb_Finish_Upgrade");
    lb_FinishUpgradeNotes = notes(u"lb_FinishUpgradeNotes");
    ck_StartProgram = NewCheckBox(*this, *p_Client, u"ck_StartProgram", 40, 192, 321, 17);
    p_Bottom = NewBottomBand(*this, false);
    bt_Finish = NewButton(*this, *p_Bottom, u"bt_Finish", 443, 14, 79, -1);

    bt_Finish->OnClick = [this](TObject* sender) { bt_FinishClick(sender); };
    OnShow = [this](TObject* sender) { FormShow(sender); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };

    App.ApplyLabelTexts(*this, App.TextSection);
    App.ApplyButtonTexts(*this, App.TextSection);
    App.ApplyCheckBoxTexts(*this, App.TextSection);
    SetCaption(App.ProductName);
    for (TControl* control : {static_cast<TControl*>(lb_FinishInstallNotes), static_cast<TControl*>(lb_FinishUninstallNotes),
                              static_cast<TControl*>(lb_FinishUpgradeNotes), static_cast<TControl*>(ck_StartProgram)})
        control->SetCaption(App.ReplaceProductName(control->Caption(), App.ProductName));
    LoadSidePicture(side);
}

TFFinish::~TFFinish()
{
    if (FFinish == this)
        FFinish = nullptr;
}

void TFFinish::FormShow(TObject* Sender) {}

void TFFinish::bt_FinishClick(TObject* Sender) {}

void TFFinish::FormCloseQuery(TObject* Sender, bool& CanClose) {}
