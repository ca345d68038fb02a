#pragma once
// What the native toolkit's files share: the window behind each control.
#include "toolkit/win32/Win.h"

#include "toolkit/Forms.h"

namespace Gdiplus {
class GpBitmap;
}

namespace native_impl {

enum class Kind { Unknown, Form, Panel, Label, Button, CheckBox, Radio, Image, Progress, RichEdit, Static };

struct Peer {
    Kind kind = Kind::Unknown;
    HWND hwnd = nullptr;
    int id = 0;
    int dpi = 96;            // forms: the monitor's
    bool syncing = false;    // forms: taking a size the user gave the window
    void* bitmap = nullptr;  // images: the decoded picture (GpBitmap)
};

Peer* PeerOf(const TControl& control);
TControl* ControlOf(HWND hwnd);
// Makes the window (and its parents') when it does not exist; nullptr when it
// cannot exist yet (no parent form) or when called off the user-interface thread.
HWND EnsureWindow(TControl& control);

// The application's own hidden window: timers and the wake-up of the present queue.
HWND AppWindow();
constexpr UINT kWakeMessage = WM_APP + 1;

// Logical (96 dpi) pixels to the form's pixels and back.
int DpiOf(const TControl& control);
inline int Scale(int v, int dpi) { return MulDiv(v, dpi, 96); }
inline int Unscale(int v, int dpi) { return MulDiv(v, 96, dpi); }

COLORREF ColorRef(TColor color);
HBRUSH BrushFor(TColor color);
HFONT FontFor(const TFont& font, int dpi);

DWORD FormStyle(const TForm& form);
DWORD FormExStyle(const TForm& form);

void StreamRichText(TRichEdit& edit, HWND hwnd);
void FreePicture(Peer& peer);
void PaintPicture(TImage& image, Peer& peer, HDC dc, const RECT& rect);
void EnsureGdiplus();
void ShutdownGdiplus();
void ShutdownPrinting();

}  // namespace native_impl
