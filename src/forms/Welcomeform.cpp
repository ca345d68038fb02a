#include "forms/Welcomeform.h"

#include "app/App.h"
#include "forms/Askinstallform.h"
#include "forms/Cancelform.h"
#include "forms/Eulaform.h"
#include "forms/Pageframe.h"
#include "forms/Wizard_path.h"
#include "util/Xfunctions.h"

using namespace pageframe;

TFWelcome* FWelcome = nullptr;

TFWelcome::TFWelcome(TComponent* owner) : TForm(owner)
{
    InitPageWindow(*this, u"FWelcome", u"Installation Wizard");
    const SideBand side = NewSideBand(*this);
    p_Left = side.p_Left;
    im_Left = side.im_Left;
    p_Client = NewClientBand(*this, true);
    lb_Welcome = NewLabel(*this, *p_Client, u"lb_Welcome", 28, 53, 313, 41, true);
    MakeBold(*lb_Welcome);
    lb_StartInstallation = NewLabel(*this, *p_Client, u"lb_StartInstallation", 28, 109, 313, 113, true);
    p_Bottom = NewBottomBand(*this, false);
    lb_Version = NewVersionLabel(*this, *p_Bottom);
    bt_Next = NewButton(*this, *p_Bottom, u"bt_Next", 375, 14, 79, 0);
    bt_Cancel = NewButton(*this, *p_Bottom, u"bt_Cancel", 462, 14, 75, 1);
    SetKeyButtons(bt_Next, bt_Cancel);

    bt_Next->OnClick = [this](TObject* sender) { bt_NextClick(sender); };
    bt_Cancel->OnClick = [this](TObject* sender) { bt_CancelClick(sender); };
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };

    SetCaption(App.ProductName);
    App.ApplyButtonTexts(*this, App.TextSection);
    App.ApplyLabelTexts(*this, App.TextSection);
    lb_Welcome->SetCaption(App.ReplaceProductName(lb_Welcome->Caption(), App.ProductName));
    lb_StartInstallation->SetCaption(App.ReplaceProductName(lb_StartInstallation->Caption(), App.ProductName));
    LoadSidePicture(side);
}

TFWelcome::~TFWelcome()
{
    if (FWelcome == this)
        FWelcome = nullptr;
}

void TFWelcome::FormCreate(TObject* Sender)
{
    // After the appliers: the label shows this installer's version whatever the
    // text source says.
    lb_Version->SetCaption(App.Version);
}

void TFWelcome::bt_NextClick(TObject* Sender)
{
    const bool oem = PublisherIsOem();
    Hide();
    if (oem)
        FAskInstall->Show();
    else
        FEULA->Show();
}

void TFWelcome::bt_CancelClick(TObject* Sender)
{
    Hide();
    FCancel->Show();
}

void TFWelcome::FormCloseQuery(TObject* Sender, bool& CanClose)
{
    CanClose = false;
    CloseMainForm();
}
