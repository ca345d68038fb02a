#pragma once
// What the wizard's forms share: building controls from a layout, the window of a
// page, its bands (title band, side picture, client area, button band), the version
// label, the localised pictures with the title fallback, and the stop of a progress
// page's worker.
//
// Every builder makes a control owned by the form (so the form-text appliers find
// it, in the order the layout creates them), named, on its parent, at its bounds.
// Labels, buttons and boxes start with their own name as caption, which is what a
// page shows for a text the text source lacks.
#include <memory>

#include "toolkit/Forms.h"
#include "toolkit/Thread.h"

namespace pageframe {

// Size of the client area of a page, at 96 dpi.
constexpr int kPageWidth = 554;
constexpr int kPageHeight = 368;
constexpr int kTopBandHeight = 65;
constexpr int kLeftBandWidth = 185;
constexpr int kBottomBandHeight = 50;
constexpr int kButtonHeight = 25;
// The version label's colour: red 0x1C, green 0x46, blue 0x60.
constexpr TColor kVersionColor = 6309404;

// The page font: Tahoma, 11 pixels, regular, window-text colour.
TFont PageFont();

// A window of the program's own: component name, design caption, frame, client
// area, centred on the desktop, button-face background, the page font.
void InitWindow(TForm& form, UStringView name, UStringView designCaption, TFormBorderStyle border, unsigned borderIcons,
                int clientWidth, int clientHeight);
// The window of a wizard page: dialog border with the close box only, 554 x 368.
void InitPageWindow(TForm& form, UStringView name, UStringView designCaption);

TPanel* NewPanel(TForm& form, TWinControl& parent, UStringView name, TAlign align, int left, int top, int width,
                 int height);
// A fixed-size label (its bounds do not follow its text).
TLabel* NewLabel(TForm& form, TWinControl& parent, UStringView name, int left, int top, int width, int height,
                 bool wordWrap);
TButton* NewButton(TForm& form, TWinControl& parent, UStringView name, int left, int top, int width, int tabOrder);
// The keyboard's buttons: Enter presses forward when no push button has the focus,
// Esc presses cancel; either may be absent (Esc then acts as the close box).
void SetKeyButtons(TButton* forward, TButton* cancel);
TCheckBox* NewCheckBox(TForm& form, TWinControl& parent, UStringView name, int left, int top, int width, int height);
TRadioButton* NewRadioButton(TForm& form, TWinControl& parent, UStringView name, int left, int top, int width,
                             int height);
TProgressBar* NewProgressBar(TForm& form, TWinControl& parent, UStringView name, int left, int top, int width,
                             int height);
TImage* NewImage(TForm& form, TWinControl& parent, UStringView name, TAlign align, int left, int top, int width,
                 int height);
// The same font made bold.
void MakeBold(TControl& control);

struct TitleBand {
    TPanel* p_Top = nullptr;
    TImage* im_Title = nullptr;  // right-aligned, sized to its picture
    TLabel* lb_Title = nullptr;  // only on pages with a title text
};
struct SideBand {
    TPanel* p_Left = nullptr;
    TImage* im_Left = nullptr;  // fills the band, picture centred
};

// The bands, in the order a page makes them: the top or left band first, then the
// client area, then the button band.
TitleBand NewTitleBand(TForm& form, bool withTitleText);
SideBand NewSideBand(TForm& form);
// White on the side-picture pages, button face on the others.
TPanel* NewClientBand(TForm& form, bool white);
// On the title-band pages a bevel line runs along its top edge.
TPanel* NewBottomBand(TForm& form, bool bevelLine);
// lb_Version in the button band: fixed 33 x 13, Tahoma 8 pixels, red-brown.
TLabel* NewVersionLabel(TForm& form, TPanel& bottom);

// The folder of the running executable, with its trailing backslash: where the
// language folders with the pictures lie.
UString ProgramFolder();

// "Title.bmp" of the user's language (or English) into the title band. When there
// is none (or it cannot be read) and the band has a title text, the text is shown
// at 30, 26 on a white band; without one the band stays empty. True when a picture
// was loaded.
bool LoadTitlePicture(TForm& form, const TitleBand& band);
// "Left.bmp" into the side band; without one the band stays empty.
bool LoadSidePicture(const SideBand& band);

// A progress page's worker writes the page's status line and bar. Before they go
// (the program ends from the cancelled page, say, while a file is still being
// worked on), the worker must stand at a safe point, where nothing resumes it any
// more; `what` names it in the debug output when it does not get there in time.
void StopWorkerBeforeGoing(const std::shared_ptr<TThreadControl>& worker, UStringView what);

}  // namespace pageframe
