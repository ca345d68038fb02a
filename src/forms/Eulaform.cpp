#include "forms/Eulaform.h"

#include "app/App.h"
#include "platform/Platform.h"
#include "toolkit/Dialogs.h"
#include "forms/Askinstallform.h"
#include "forms/Cancelform.h"
#include "forms/Pageframe.h"
#include "forms/Welcomeform.h"
#include "forms/Wizard_path.h"
#include "util/Xfunctions.h"

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
    SetKeyButtons(bt_Next, bt_Cancel);
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

    // Read once: the user's choice and the text stay while the page is hidden.
    const UString code = GetEulaLanguageCode(App.LanguageName);
    const UString fallback = GetEulaLanguageCode(u"English");
    const UString path = FindLanguageFile(ProgramFolder() + u"EULA\\", fallback, code, u"Service.rtf");
    re_EULA->Clear();
    if (!path.empty() && Platform().FileExists(path))
        LoadLicence(*re_EULA, path);
    rb_DisapproveOfEULA->SetChecked(true);
}

TFEULA::~TFEULA()
{
    if (FEULA == this)
        FEULA = nullptr;
}

void TFEULA::FormCreate(TObject* Sender) { lb_Version->SetCaption(App.Version); }

UString TFEULA::GetEulaLanguageCode(const UString& languageName)
{
    static const char16_t* const kCodes[][2] = {
        {u"ChineseT", u"tw"}, {u"ChineseS", u"cn"},   {u"English", u"en"}, {u"Dutch", u"nl"},    {u"German", u"de"},
        {u"Spanish", u"es"},  {u"French", u"fr"},     {u"Italian", u"it"}, {u"Japanese", u"jp"}, {u"Korean", u"kr"},
        {u"Polish", u"pl"},   {u"Portuguese", u"pt"}, {u"Turkish", u"tr"}, {u"Russian", u"ru"},
    };
    for (const auto& row : kCodes)
        if (languageName == row[0])
            return row[1];
    return u"en";
}

void TFEULA::rb_AgreeEULAClick(TObject* Sender)
{
    if (rb_DisapproveOfEULA->Checked())
        bt_Next->SetEnabled(false);
    else if (rb_AgreeEULA->Checked())
        bt_Next->SetEnabled(true);
}

void TFEULA::bt_NextClick(TObject* Sender)
{
    Hide();
    FAskInstall->Show();
}

void TFEULA::bt_PreviousClick(TObject* Sender)
{
    Hide();
    FWelcome->Show();
}

void TFEULA::bt_CancelClick(TObject* Sender)
{
    Hide();
    FCancel->Show();
}

void TFEULA::bt_PrintEULAClick(TObject* Sender)
{
    PrintDialog1->Options = 0;
    PrintDialog1->PrintRange = prAllPages;
    if (PrintDialog1->Execute(Handle()))
        re_EULA->Print(u"EULA Of Ostrel");
}

void TFEULA::FormCloseQuery(TObject* Sender, bool& CanClose)
{
    CanClose = false;
    CloseMainForm();
}
