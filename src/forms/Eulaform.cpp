#include "forms/Eulaform.h"

#include "app/App.h"
#include "forms/Pageframe.h"

using namespace pageframe;

TFEULA* FEULA = nullptr;

TFEULA::TFEULA(TComponent* owner) : TForm(owner)
{
    InitPageWindow(*this, u"FEULA", u"FEULA");
    const TitleBand title = NewTitleBand(*this, false);
    p_Top = title.p_Top;
    im_Title = title.im_Title;
    p_Client = NewClientBand(*this, false);
    re_EULA = new TRichEdit(this);
    re_EULA->SetName(u"re_EULA");
    re_EULA->SetParent(p_Client);
    re_EULA->SetBounds(14, 7, 524, 196);
    re_EULA->SetScrollBars(ssVertical);
    re_EULA->SetReadOnly(false);
    re_EULA->SetFont(PageFont());
    rb_AgreeEULA = NewRadioButton(*this, *p_Client, u"rb_AgreeEULA", 14, 210, 443, 17);
    rb_DisapproveOfEULA = NewRadioButton(*this, *p_Client, u"rb_DisapproveOfEULA", 14, 232, 443, 17);
    bt_PrintEULA = NewButton(*this, *p_Client, u"bt_PrintEULA", 463, 211, 75, -1);
    p_Bottom = NewBottomBand(*this, true);
    lb_Version = NewVersionLabel(*this, *p_Bottom);
    bt_Next = NewButton(*this, *p_Bottom, u"bt_Next", 378, 12, 79, 0);
    bt_Previous = NewButton(*this, *p_Bottom, u"bt_Previous", 297, 12, 75, 1);
    bt_Cancel = NewButton(*this, *p_Bottom, u"bt_Cancel", 463, 12, 75, 2);
    PrintDialog1 = new TPrintDialog(this);
    PrintDialog1->SetName(u"PrintDialog1");

    rb_AgreeEULA->OnClick = [this](TObject* sender) { rb_AgreeEULAClick(sender); };
    rb_DisapproveOfEULA->OnClick = [this](TObject* sender) { rb_AgreeEULAClick(sender); };
    bt_PrintEULA->OnClick = [this](TObject* sender) { bt_PrintEULAClick(sender); };
    bt_Next->OnClick = [this](TObject* sender) { bt_NextClick(sender); };
    bt_Previous->OnClick = [this](TObject* sender) { bt_PreviousClick(sender); };
    bt_Cancel->OnClick = [this](TObject* sender) { bt_CancelClick(sender); };
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };

    // No label texts here: the version label shows only what FormCreate gives it.
    App.ApplyRadioButtonTexts(*this, App.TextSection);
    App.ApplyButtonTexts(*this, App.TextSection);
    SetCaption(App.ProductName);
    LoadTitlePicture(*this, title);
}

TFEULA::~TFEULA()
{
    if (FEULA == this)
        FEULA = nullptr;
}

void TFEULA::FormCreate(TObject* Sender)
{
    lb_Version->SetCaption(App.Version);
}

void TFEULA::rb_AgreeEULAClick(TObject* Sender) {}

void TFEULA::bt_NextClick(TObject* Sender) {}

void TFEULA::bt_PreviousClick(TObject* Sender) {}

void TFEULA::bt_CancelClick(TObject* Sender) {}

void TFEULA::bt_PrintEULAClick(TObject* Sender) {}

void TFEULA::FormCloseQuery(TObject* Sender, bool& CanClose) {}
