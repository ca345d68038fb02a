// BMP and PNG pictures through GDI+. The DLL is loaded from the system folder when
// first needed: it is no known DLL, so a copy beside the setup in a Downloads folder
// would otherwise be loaded at start.
#include "toolkit/win32/NativeInternal.h"

#include <gdiplus.h>

#include "toolkit/Backend.h"

using namespace native_impl;

namespace {

ULONG_PTR gdiplusToken = 0;

using Gp = Gdiplus::GpStatus;
struct GdiplusApi {
    Gdiplus::Status(WINAPI* Startup)(ULONG_PTR*, const Gdiplus::GdiplusStartupInput*, Gdiplus::GdiplusStartupOutput*);
    void(WINAPI* Shutdown)(ULONG_PTR);
    Gp(WINGDIPAPI* CreateBitmapFromStream)(IStream*, Gdiplus::GpBitmap**);
    Gp(WINGDIPAPI* GetImageWidth)(Gdiplus::GpImage*, UINT*);
    Gp(WINGDIPAPI* GetImageHeight)(Gdiplus::GpImage*, UINT*);
    Gp(WINGDIPAPI* CloneBitmapAreaI)(INT, INT, INT, INT, Gdiplus::PixelFormat, Gdiplus::GpBitmap*, Gdiplus::GpBitmap**);
    Gp(WINGDIPAPI* DisposeImage)(Gdiplus::GpImage*);
    Gp(WINGDIPAPI* CreateFromHDC)(HDC, Gdiplus::GpGraphics**);
    Gp(WINGDIPAPI* SetInterpolationMode)(Gdiplus::GpGraphics*, Gdiplus::InterpolationMode);
    Gp(WINGDIPAPI* DrawImageRectI)(Gdiplus::GpGraphics*, Gdiplus::GpImage*, INT, INT, INT, INT);
    Gp(WINGDIPAPI* DeleteGraphics)(Gdiplus::GpGraphics*);
};

template <class F>
bool Bind(HMODULE dll, const char* name, F& fn)
{
    fn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    return fn != nullptr;
}

// nullptr when GDI+ is not there: images then stay empty.
const GdiplusApi* Api()
{
    static const GdiplusApi* api = []() -> const GdiplusApi* {
        static GdiplusApi a{};
        HMODULE dll = LoadLibraryExW(L"gdiplus.dll", nullptr, 0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
        if (!dll)
            return nullptr;
        bool ok =
            Bind(dll, "GdiplusStartup", a.Startup) && Bind(dll, "GdiplusShutdown", a.Shutdown) &&
            Bind(dll, "GdipCreateBitmapFromStream", a.CreateBitmapFromStream) &&
            Bind(dll, "GdipGetImageWidth", a.GetImageWidth) && Bind(dll, "GdipGetImageHeight", a.GetImageHeight) &&
            Bind(dll, "GdipCloneBitmapAreaI", a.CloneBitmapAreaI) && Bind(dll, "GdipDisposeImage", a.DisposeImage) &&
            Bind(dll, "GdipCreateFromHDC", a.CreateFromHDC) &&
            Bind(dll, "GdipSetInterpolationMode", a.SetInterpolationMode) &&
            Bind(dll, "GdipDrawImageRectI", a.DrawImageRectI) && Bind(dll, "GdipDeleteGraphics", a.DeleteGraphics);
        return ok ? &a : nullptr;
    }();
    return api;
}

}  // namespace

namespace native_impl {

void EnsureGdiplus()
{
    if (gdiplusToken || !Api())
        return;
    Gdiplus::GdiplusStartupInput input;
    if (Api()->Startup(&gdiplusToken, &input, nullptr) != Gdiplus::Ok)
        gdiplusToken = 0;
}

void ShutdownGdiplus()
{
    if (gdiplusToken)
        Api()->Shutdown(gdiplusToken);
    gdiplusToken = 0;
}

void FreePicture(Peer& peer)
{
    if (peer.bitmap && Api())
        Api()->DisposeImage(static_cast<Gdiplus::GpImage*>(peer.bitmap));
    peer.bitmap = nullptr;
}

void PaintPicture(TImage& image, Peer& peer, HDC dc, const RECT& rect)
{
    if (auto surface = image.Surface())
        FillRect(dc, &rect, BrushFor(*surface));
    else if (!image.Transparent())
        FillRect(dc, &rect, BrushFor(image.Color()));
    if (!peer.bitmap || !Api())
        return;
    auto* bmp = static_cast<Gdiplus::GpImage*>(peer.bitmap);
    int dpi = DpiOf(image);
    int w = Scale(image.PictureWidth(), dpi), h = Scale(image.PictureHeight(), dpi);
    int x = rect.left, y = rect.top;
    int rw = rect.right - rect.left, rh = rect.bottom - rect.top;
    if (image.Stretch()) {
        w = rw;
        h = rh;
    } else if (image.Center()) {
        x += (rw - w) / 2;
        y += (rh - h) / 2;
    }
    Gdiplus::GpGraphics* g = nullptr;
    if (Api()->CreateFromHDC(dc, &g) != Gdiplus::Ok)
        return;
    Api()->SetInterpolationMode(g, Gdiplus::InterpolationModeHighQualityBicubic);
    Api()->DrawImageRectI(g, bmp, x, y, w, h);
    Api()->DeleteGraphics(g);
}

}  // namespace native_impl

namespace backend {

bool PictureLoaded(TImage& image, const std::string& bytes)
{
    Peer* p = PeerOf(image);
    if (!p)
        return false;
    if (bytes.empty()) {
        FreePicture(*p);
        return true;
    }
    EnsureGdiplus();
    if (!gdiplusToken)
        return false;
    const GdiplusApi* gp = Api();
    IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
    if (!stream)
        return false;
    Gdiplus::GpBitmap* bmp = nullptr;
    Gdiplus::Status st = gp->CreateBitmapFromStream(stream, &bmp);
    // The decoded picture keeps its own copy once loaded; the stream may go.
    Gdiplus::GpBitmap* copy = nullptr;
    if (st == Gdiplus::Ok) {
        UINT w = 0, h = 0;
        gp->GetImageWidth(bmp, &w);
        gp->GetImageHeight(bmp, &h);
        st = gp->CloneBitmapAreaI(0, 0, static_cast<INT>(w), static_cast<INT>(h), PixelFormat32bppPARGB, bmp, &copy);
        gp->DisposeImage(bmp);
    }
    stream->Release();
    if (st != Gdiplus::Ok || !copy)
        return false;
    FreePicture(*p);
    p->bitmap = copy;
    if (p->hwnd)
        InvalidateRect(p->hwnd, nullptr, TRUE);
    return true;
}

}  // namespace backend
