// BMP and PNG pictures through GDI+, a system DLL.
#include "toolkit/win32/NativeInternal.h"

#include <gdiplus.h>

#include "toolkit/Backend.h"

using namespace native_impl;
namespace gp = Gdiplus::DllExports;

namespace {
ULONG_PTR gdiplusToken = 0;
}

namespace native_impl {

void EnsureGdiplus()
{
    if (gdiplusToken)
        return;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr);
}

void ShutdownGdiplus()
{
    if (gdiplusToken)
        Gdiplus::GdiplusShutdown(gdiplusToken);
    gdiplusToken = 0;
}

void FreePicture(Peer& peer)
{
    if (peer.bitmap)
        gp::GdipDisposeImage(static_cast<Gdiplus::GpImage*>(peer.bitmap));
    peer.bitmap = nullptr;
}

void PaintPicture(TImage& image, Peer& peer, HDC dc, const RECT& rect)
{
    if (auto surface = image.Surface())
        FillRect(dc, &rect, BrushFor(*surface));
    else if (!image.Transparent())
        FillRect(dc, &rect, BrushFor(image.Color()));
    if (!peer.bitmap)
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
    if (gp::GdipCreateFromHDC(dc, &g) != Gdiplus::Ok)
        return;
    gp::GdipSetInterpolationMode(g, Gdiplus::InterpolationModeHighQualityBicubic);
    gp::GdipDrawImageRectI(g, bmp, x, y, w, h);
    gp::GdipDeleteGraphics(g);
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
    IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
    if (!stream)
        return false;
    Gdiplus::GpBitmap* bmp = nullptr;
    Gdiplus::Status st = gp::GdipCreateBitmapFromStream(stream, &bmp);
    // The decoded picture keeps its own copy once loaded; the stream may go.
    Gdiplus::GpBitmap* copy = nullptr;
    if (st == Gdiplus::Ok) {
        UINT w = 0, h = 0;
        gp::GdipGetImageWidth(bmp, &w);
        gp::GdipGetImageHeight(bmp, &h);
        st = gp::GdipCloneBitmapAreaI(0, 0, static_cast<INT>(w), static_cast<INT>(h), PixelFormat32bppPARGB, bmp, &copy);
        gp::GdipDisposeImage(bmp);
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
