#include "forms/Prepareform.h"

#include "app/App.h"
#include "forms/Pageframe.h"

using namespace pageframe;

TFPrepare* FPrepare = nullptr;

TFPrepare::TFPrepare(TComponent* owner) : TForm(owner)
{
    // A dialog of its own size, without title-bar buttons.
    InitWindow(*this, u"FPrepare", u"FPrepare", bsDialog, 0, 381, 148);
    lb_Prepare = NewLabel(*this, *this, u"lb_Prepare", 24, 22, 330, 42, true);
    lb_PrepareProc = NewLabel(*this, *this, u"lb_PrepareProc", 24, 74, 330, 17, true);
    bt_Cancel = NewButton(*this, *this, u"bt_Cancel", 279, 97, 75, -1);
    pb_Prepare = NewProgressBar(*this, *this, u"pb_Prepare", 24, 98, 249, 23);
    Timer1 = new TTimer(this);
    Timer1->SetName(u"Timer1");
    Timer1->SetEnabled(false);

    bt_Cancel->OnClick = [this](TObject* sender) { bt_CancelClick(sender); };
    Timer1->OnTimer = [this](TObject* sender) { Timer1Timer(sender); };
    OnShow = [this](TObject* sender) { FormShow(sender); };

    App.ApplyLabelTexts(*this, App.TextSection);
    App.ApplyButtonTexts(*this, App.TextSection);
    // Taken as it stands: no macros, and "@@" when the text is missing.
    SetCaption(App.GetText(App.TextSection, Name() + u"->Caption"));
    lb_Prepare->SetCaption(App.ReplaceProductName(lb_Prepare->Caption(), App.ProductName));
}

TFPrepare::~TFPrepare()
{
    if (FPrepare == this)
        FPrepare = nullptr;
}

void TFPrepare::FormShow(TObject* Sender) {}

void TFPrepare::Timer1Timer(TObject* Sender) {}

void TFPrepare::bt_CancelClick(TObject* Sender)
{
    Close();
}

void TFPrepare::DecideInstall() {}
