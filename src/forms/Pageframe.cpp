#include "forms/Pageframe.h"

#include <chrono>

#include "app/App.h"
#include "base/Paths.h"
#include "language/Language_subroutines.h"
#include "platform/Platform.h"

namespace pageframe {

namespace {

template <class T>
T* Place(TForm& form, TWinControl& parent, UStringView name, int left, int top, int width, int height)
{
    T* control = new T(&form);
    control->SetName(UString(name));
    control->SetParent(&parent);
    control->SetBounds(left, top, width, height);
    return control;
}

}  // namespace

TFont PageFont()
{
    TFont font;
    font.Name = u"Tahoma";
    font.Height = -11;
    font.Color = clWindowText;
    return font;
}

void InitWindow(TForm& form, UStringView name, UStringView designCaption, TFormBorderStyle border, unsigned borderIcons,
                int clientWidth, int clientHeight)
{
    form.SetName(UString(name));
    form.SetCaption(UString(designCaption));
    form.SetBorderStyle(border);
    form.SetBorderIcons(borderIcons);
    form.SetPosition(poDesktopCenter);
    form.SetColor(clBtnFace);
    form.SetFont(PageFont());
    form.SetClientSize(clientWidth, clientHeight);
}

void InitPageWindow(TForm& form, UStringView name, UStringView designCaption)
{
    InitWindow(form, name, designCaption, bsDialog, BorderIcon::SystemMenu, kPageWidth, kPageHeight);
}

TPanel* NewPanel(TForm& form, TWinControl& parent, UStringView name, TAlign align, int left, int top, int width,
                 int height)
{
    auto* panel = Place<TPanel>(form, parent, name, left, top, width, height);
    panel->SetBevelOuter(bvNone);
    panel->SetAlign(align);
    return panel;
}

TLabel* NewLabel(TForm& form, TWinControl& parent, UStringView name, int left, int top, int width, int height,
                 bool wordWrap)
{
    auto* label = Place<TLabel>(form, parent, name, left, top, width, height);
    label->SetAutoSize(false);
    label->SetWordWrap(wordWrap);
    label->SetBounds(left, top, width, height);
    label->SetCaption(UString(name));
    return label;
}

TButton* NewButton(TForm& form, TWinControl& parent, UStringView name, int left, int top, int width, int tabOrder)
{
    auto* button = Place<TButton>(form, parent, name, left, top, width, kButtonHeight);
    button->SetCaption(UString(name));
    if (tabOrder >= 0)
        button->SetTabOrder(tabOrder);
    return button;
}

void SetKeyButtons(TButton* forward, TButton* cancel)
{
    if (forward)
        forward->SetDefault(true);
    if (cancel)
        cancel->SetCancel(true);
}

TCheckBox* NewCheckBox(TForm& form, TWinControl& parent, UStringView name, int left, int top, int width, int height)
{
    auto* box = Place<TCheckBox>(form, parent, name, left, top, width, height);
    box->SetCaption(UString(name));
    return box;
}

TRadioButton* NewRadioButton(TForm& form, TWinControl& parent, UStringView name, int left, int top, int width,
                             int height)
{
    auto* button = Place<TRadioButton>(form, parent, name, left, top, width, height);
    button->SetCaption(UString(name));
    return button;
}

TProgressBar* NewProgressBar(TForm& form, TWinControl& parent, UStringView name, int left, int top, int width,
                             int height)
{
    auto* bar = Place<TProgressBar>(form, parent, name, left, top, width, height);
    bar->SetRange(0, 100);
    bar->SetPosition(0);
    return bar;
}

TImage* NewImage(TForm& form, TWinControl& parent, UStringView name, TAlign align, int left, int top, int width,
                 int height)
{
    auto* image = Place<TImage>(form, parent, name, left, top, width, height);
    image->SetAlign(align);
    return image;
}

void MakeBold(TControl& control)
{
    TFont font = control.Font();
    font.Bold = true;
    control.SetFont(font);
}

TitleBand NewTitleBand(TForm& form, bool withTitleText)
{
    TitleBand band;
    band.p_Top = NewPanel(form, form, u"p_Top", alTop, 0, 0, form.ClientWidth(), kTopBandHeight);
    // Of two overlapping windows without a tab stop the one made first lies on top:
    // the title text comes before the picture that the fallback spreads under it.
    if (withTitleText) {
        band.lb_Title = Place<TLabel>(form, *band.p_Top, u"lb_Title", 56, 26, 0, 0);
        band.lb_Title->SetCaption(u"Title");
    }
    band.im_Title = NewImage(form, *band.p_Top, u"im_Title", alRight, form.ClientWidth() - kTopBandHeight, 0,
                             kTopBandHeight, kTopBandHeight);
    band.im_Title->SetAutoSize(true);
    return band;
}

SideBand NewSideBand(TForm& form)
{
    SideBand band;
    band.p_Left =
        NewPanel(form, form, u"p_Left", alLeft, 0, 0, kLeftBandWidth, form.ClientHeight() - kBottomBandHeight);
    band.im_Left =
        NewImage(form, *band.p_Left, u"im_Left", alClient, 0, 0, band.p_Left->Width(), band.p_Left->Height());
    band.im_Left->SetCenter(true);
    return band;
}

TPanel* NewClientBand(TForm& form, bool white)
{
    TPanel* panel = NewPanel(form, form, u"p_Client", alClient, 0, 0, form.ClientWidth(), form.ClientHeight());
    if (white)
        panel->SetColor(clWhite);
    return panel;
}

TPanel* NewBottomBand(TForm& form, bool bevelLine)
{
    const int top = form.ClientHeight() - kBottomBandHeight;
    TPanel* panel = NewPanel(form, form, u"p_Bottom", alBottom, 0, top, form.ClientWidth(), kBottomBandHeight);
    if (bevelLine) {
        panel->SetBevelEdges(BevelEdge::Top);
        panel->SetBevelOuter(bvLowered);
    }
    return panel;
}

TLabel* NewVersionLabel(TForm& form, TPanel& bottom)
{
    TLabel* label = NewLabel(form, bottom, u"lb_Version", 10, 35, 33, 13, false);
    TFont font = PageFont();
    font.Height = -8;
    font.Color = kVersionColor;
    label->SetFont(font);
    return label;
}

void StopWorkerBeforeGoing(const std::shared_ptr<TThreadControl>& worker, UStringView what)
{
    if (!worker || worker->Finished())
        return;
    worker->Suspend();
    if (!worker->WaitUntilPaused(std::chrono::seconds(60)))
        Platform().DebugOutput(u"The " + UString(what) + u" did not reach a safe point before its page went");
}

UString ProgramFolder() { return ExtractFilePath(Platform().ExecutablePath()); }

bool LoadTitlePicture(TForm& form, const TitleBand& band)
{
    const UString path = GetPicturePath(ProgramFolder(), App.LanguageName, u"Title.bmp");
    if (band.lb_Title)
        band.lb_Title->SetVisible(false);
    // A file that is there but no picture counts as missing: the title text is
    // better than an empty band.
    if (!path.empty() && band.im_Title->LoadPicture(path))
        return true;
    if (band.lb_Title) {
        band.lb_Title->SetLeft(30);
        band.lb_Title->SetTop(26);
        band.lb_Title->SetColor(clWhite);
        band.lb_Title->SetVisible(true);
        band.im_Title->SetAutoSize(false);
        band.im_Title->SetWidth(form.Width());
        band.im_Title->FillSurface(clWhite);
    }
    return false;
}

bool LoadSidePicture(const SideBand& band)
{
    const UString path = GetPicturePath(ProgramFolder(), App.LanguageName, u"Left.bmp");
    return !path.empty() && band.im_Left->LoadPicture(path);
}

}  // namespace pageframe
