// The rich-text view's content and printing, and the print dialog.
#include "toolkit/win32/NativeInternal.h"

#include "toolkit/Backend.h"
#include "toolkit/TextFile.h"

using namespace native_impl;

namespace {

// The printer the last confirmed print dialog chose.
HGLOBAL chosenDevMode = nullptr;
HGLOBAL chosenDevNames = nullptr;

struct StreamSource {
    const std::string* bytes;
    size_t at = 0;
};

DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read)
{
    auto* src = reinterpret_cast<StreamSource*>(cookie);
    size_t left = src->bytes->size() - src->at;
    size_t n = left < static_cast<size_t>(size) ? left : static_cast<size_t>(size);
    memcpy(buffer, src->bytes->data() + src->at, n);
    src->at += n;
    *read = static_cast<LONG>(n);
    return 0;
}

void FreeChosen()
{
    if (chosenDevMode)
        GlobalFree(chosenDevMode);
    if (chosenDevNames)
        GlobalFree(chosenDevNames);
    chosenDevMode = chosenDevNames = nullptr;
}

UString PrinterNameOf(HGLOBAL devNames)
{
    if (!devNames)
        return {};
    auto* dn = static_cast<DEVNAMES*>(GlobalLock(devNames));
    if (!dn)
        return {};
    const wchar_t* name = reinterpret_cast<const wchar_t*>(dn) + dn->wDeviceOffset;
    UString out = win::U(name, wcslen(name));
    GlobalUnlock(devNames);
    return out;
}

// A device context of the chosen printer, or of the default one.
HDC PrinterDC()
{
    if (chosenDevNames) {
        auto* dn = static_cast<DEVNAMES*>(GlobalLock(chosenDevNames));
        auto* dm = chosenDevMode ? static_cast<DEVMODEW*>(GlobalLock(chosenDevMode)) : nullptr;
        HDC dc = nullptr;
        if (dn) {
            const wchar_t* base = reinterpret_cast<const wchar_t*>(dn);
            dc = CreateDCW(base + dn->wDriverOffset, base + dn->wDeviceOffset, nullptr, dm);
        }
        if (dm)
            GlobalUnlock(chosenDevMode);
        if (dn)
            GlobalUnlock(chosenDevNames);
        return dc;
    }
    PRINTDLGW pd{};
    pd.lStructSize = sizeof(pd);
    pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!PrintDlgW(&pd))
        return nullptr;
    if (pd.hDevMode)
        GlobalFree(pd.hDevMode);
    if (pd.hDevNames)
        GlobalFree(pd.hDevNames);
    return pd.hDC;
}

}  // namespace

namespace native_impl {

void StreamRichText(TRichEdit& edit, HWND hwnd)
{
    std::string content = edit.Content();
    if (edit.IsRtf()) {
        StreamSource src{&content, 0};
        EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&src), 0, ReadChunk};
        SendMessageW(hwnd, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
    } else {
        UString text = edit.Text();
        SetWindowTextW(hwnd, win::W(text));
    }
}

void ShutdownPrinting() { FreeChosen(); }

}  // namespace native_impl

namespace backend {

bool ExecutePrintDialog(TPrintDialog& dialog, uint64_t owner)
{
    PRINTDLGW pd{};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = win::H(owner);
    pd.hDevMode = chosenDevMode;
    pd.hDevNames = chosenDevNames;
    pd.Flags = PD_RETURNDC | PD_USEDEVMODECOPIESANDCOLLATE;
    unsigned o = dialog.Options;
    if (!(o & PrintOption::PageNums))
        pd.Flags |= PD_NOPAGENUMS;
    if (!(o & PrintOption::Selection))
        pd.Flags |= PD_NOSELECTION;
    if (!(o & PrintOption::PrintToFile))
        pd.Flags |= PD_HIDEPRINTTOFILE;
    if (o & PrintOption::DisablePrintToFile)
        pd.Flags |= PD_DISABLEPRINTTOFILE;
    if (!(o & PrintOption::Warning))
        pd.Flags |= PD_NOWARNING;
    if (dialog.PrintRange == prSelection)
        pd.Flags |= PD_SELECTION;
    else if (dialog.PrintRange == prPageNums)
        pd.Flags |= PD_PAGENUMS;
    pd.nFromPage = static_cast<WORD>(dialog.FromPage);
    pd.nToPage = static_cast<WORD>(dialog.ToPage);
    pd.nMinPage = static_cast<WORD>(dialog.MinPage);
    pd.nMaxPage = static_cast<WORD>(dialog.MaxPage);
    pd.nCopies = static_cast<WORD>(dialog.Copies > 0 ? dialog.Copies : 1);
    if (!PrintDlgW(&pd)) {
        // The dialog may have replaced the handles it was given.
        chosenDevMode = pd.hDevMode;
        chosenDevNames = pd.hDevNames;
        return false;
    }
    chosenDevMode = pd.hDevMode;
    chosenDevNames = pd.hDevNames;
    if (pd.hDC)
        DeleteDC(pd.hDC);
    dialog.PrinterName = PrinterNameOf(chosenDevNames);
    dialog.FromPage = pd.nFromPage;
    dialog.ToPage = pd.nToPage;
    dialog.Copies = pd.nCopies;
    dialog.PrintRange = (pd.Flags & PD_SELECTION) ? prSelection : (pd.Flags & PD_PAGENUMS) ? prPageNums : prAllPages;
    return true;
}

bool PrintRichText(TRichEdit& edit, const UString& title)
{
    HWND h = EnsureWindow(edit);
    if (!h)
        return false;
    HDC dc = PrinterDC();
    if (!dc)
        return false;
    DOCINFOW doc{};
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = win::W(title);
    bool ok = StartDocW(dc, &doc) > 0;
    if (ok) {
        int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
        RECT page{0, 0, MulDiv(GetDeviceCaps(dc, PHYSICALWIDTH), 1440, dpiX),
                  MulDiv(GetDeviceCaps(dc, PHYSICALHEIGHT), 1440, dpiY)};
        RECT area{0, 0, MulDiv(GetDeviceCaps(dc, HORZRES), 1440, dpiX), MulDiv(GetDeviceCaps(dc, VERTRES), 1440, dpiY)};
        FORMATRANGE fr{};
        fr.hdc = fr.hdcTarget = dc;
        fr.rcPage = page;
        GETTEXTLENGTHEX gtl{GTL_DEFAULT, 1200};
        LONG length = static_cast<LONG>(SendMessageW(h, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gtl), 0));
        LONG at = 0;
        do {
            fr.rc = area;
            fr.chrg.cpMin = at;
            fr.chrg.cpMax = -1;
            if (StartPage(dc) <= 0) {
                ok = false;
                break;
            }
            LONG next = static_cast<LONG>(SendMessageW(h, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr)));
            if (EndPage(dc) <= 0) {
                ok = false;
                break;
            }
            if (next <= at)
                break;  // nothing more fits: the rest cannot be printed
            at = next;
        } while (at < length);
        SendMessageW(h, EM_FORMATRANGE, FALSE, 0);
        if (ok)
            EndDoc(dc);
        else
            AbortDoc(dc);
    }
    DeleteDC(dc);
    return ok;
}

}  // namespace backend
