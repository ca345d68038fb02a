#include "forms/Askinstallform.h"

#include "app/App.h"
#include "forms/Cancelform.h"
#include "forms/Eulaform.h"
#include "forms/Installform.h"
#include "forms/Pageframe.h"
#include "forms/Welcomeform.h"
#include "forms/Wizard_path.h"
#include "util/Xfunctions.h"

using namespace pageframe;

TFAskInstall* FAskInstall = nullptr;

TFAskInstall::TFAskInstall(TComponent* owner) : TForm(owner)
{
    InitPageWindow(*this, u"FAskInstall", u"FAskInstall");
    const TitleBand title = NewTitleBand(*this, true);
    p_Top = title.p_Top;
    im_Title = title.im_Title;
    lb_Title = title.lb_Title;
    p_Client = NewClientBand(*this, false);
    lb_AskInstall = NewLabel(*this, *p_Client, u"lb_AskInstall", 23, 11, 507, 73, true);
    p_Bottom = NewBottomBand(*this, true);
    bt_Previous = NewButton(*this, *p_Bottom, u"bt_Previous", 281, 12, 75, 0);
    bt_Install = NewButton(*this, *p_Bottom, u"bt_Install", 362, 12, 79, 1);
    bt_Cancel = NewButton(*this, *p_Bottom, u"bt_Cancel", 455, 12, 75, 2);
    SetKeyButtons(bt_Install, bt_Cancel);

    bt_Previous->OnClick = [this](TObject* sender) { bt_PreviousClick(sender); };
    bt_Install->OnClick = [this](TObject* sender) { bt_InstallClick(sender); };
    bt_Cancel->OnClick = [this](TObject* sender) { bt_CancelClick(sender); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };

    App.ApplyLabelTexts(*this, App.TextSection);
    App.ApplyButtonTexts(*this, App.TextSection);
    SetCaption(App.ProductName);
    LoadTitlePicture(*this, title);
}

TFAskInstall::~TFAskInstall()
{
    if (FAskInstall == this)
        FAskInstall = nullptr;
}

void TFAskInstall::bt_PreviousClick(TObject* Sender)
{
    const bool oem = PublisherIsOem();
    Hide();
    if (oem)
        FWelcome->Show();
    else
        FEULA->Show();
}

void TFAskInstall::bt_InstallClick(TObject* Sender)
{
    Hide();
    // Showing the progress page starts the installation.
    FInstall->Show();
}

void TFAskInstall::bt_CancelClick(TObject* Sender)
{
    Hide();
    FCancel->Show();
}

void TFAskInstall::FormCloseQuery(TObject* Sender, bool& CanClose)
{
    CanClose = false;
    CloseMainForm();
}
