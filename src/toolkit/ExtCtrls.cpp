#include "toolkit/ExtCtrls.h"

#include "platform/Platform.h"
#include "toolkit/Backend.h"
#include "toolkit/UiSync.h"

namespace {
using Guard = std::lock_guard<std::mutex>;
}

// --- TPanel ---

TPanel::TPanel(TComponent* owner) : TWinControl(owner)
{
    InitBounds(185, 41);
    SetColor(clBtnFace);
}

TBevelCut TPanel::BevelOuter() const
{
    Guard g(ControlStateLock());
    return bevelOuter_;
}
TBevelCut TPanel::BevelInner() const
{
    Guard g(ControlStateLock());
    return bevelInner_;
}
int TPanel::BevelWidth() const
{
    Guard g(ControlStateLock());
    return bevelWidth_;
}
unsigned TPanel::BevelEdges() const
{
    Guard g(ControlStateLock());
    return bevelEdges_;
}
int TPanel::BorderWidth() const
{
    Guard g(ControlStateLock());
    return borderWidth_;
}

void TPanel::SetBevelOuter(TBevelCut cut)
{
    {
        Guard g(ControlStateLock());
        bevelOuter_ = cut;
    }
    StyleChanged();
}

void TPanel::SetBevelInner(TBevelCut cut)
{
    {
        Guard g(ControlStateLock());
        bevelInner_ = cut;
    }
    StyleChanged();
}

void TPanel::SetBevelWidth(int width)
{
    {
        Guard g(ControlStateLock());
        bevelWidth_ = width < 1 ? 1 : width;
    }
    StyleChanged();
}

void TPanel::SetBevelEdges(unsigned edges)
{
    {
        Guard g(ControlStateLock());
        bevelEdges_ = edges & BevelEdge::All;
    }
    StyleChanged();
}

void TPanel::SetBorderWidth(int width)
{
    {
        Guard g(ControlStateLock());
        borderWidth_ = width < 0 ? 0 : width;
    }
    StyleChanged();
}

void TPanel::StyleChanged()
{
    Changed(Prop::Style);
    Realign();
}

TRect TPanel::AlignRect() const
{
    TRect r{0, 0, ClientWidth(), ClientHeight()};
    Guard g(ControlStateLock());
    int bevel = (bevelOuter_ != bvNone ? bevelWidth_ : 0) + (bevelInner_ != bvNone ? bevelWidth_ : 0);
    auto inset = [&](unsigned edge) { return borderWidth_ + ((bevelEdges_ & edge) ? bevel : 0); };
    r.Left += inset(BevelEdge::Left);
    r.Top += inset(BevelEdge::Top);
    r.Right -= inset(BevelEdge::Right);
    r.Bottom -= inset(BevelEdge::Bottom);
    if (r.Right < r.Left)
        r.Right = r.Left;
    if (r.Bottom < r.Top)
        r.Bottom = r.Top;
    return r;
}

// --- TImage ---

TImage::TImage(TComponent* owner) : TControl(owner) { InitBounds(105, 105); }

bool TImage::LoadPicture(const UString& path)
{
    std::optional<std::string> bytes = Platform().ReadWholeFile(path);
    if (!bytes)
        return false;
    std::optional<PictureInfo> info = ReadPictureInfo(*bytes);
    if (!info)
        return false;
    if (!backend::PictureLoaded(*this, *bytes))
        return false;
    {
        Guard g(ControlStateLock());
        path_ = path;
        pictureWidth_ = info->width;
        pictureHeight_ = info->height;
        hasPicture_ = true;
    }
    Changed(Prop::Picture);
    Resize();
    return true;
}

void TImage::ClearPicture()
{
    {
        Guard g(ControlStateLock());
        path_.clear();
        pictureWidth_ = pictureHeight_ = 0;
        hasPicture_ = false;
    }
    backend::PictureLoaded(*this, std::string());
    Changed(Prop::Picture);
}

bool TImage::HasPicture() const
{
    Guard g(ControlStateLock());
    return hasPicture_;
}
UString TImage::PicturePath() const
{
    Guard g(ControlStateLock());
    return path_;
}
int TImage::PictureWidth() const
{
    Guard g(ControlStateLock());
    return pictureWidth_;
}
int TImage::PictureHeight() const
{
    Guard g(ControlStateLock());
    return pictureHeight_;
}
bool TImage::AutoSize() const
{
    Guard g(ControlStateLock());
    return autoSize_;
}
bool TImage::Center() const
{
    Guard g(ControlStateLock());
    return center_;
}
bool TImage::Stretch() const
{
    Guard g(ControlStateLock());
    return stretch_;
}
bool TImage::Transparent() const
{
    Guard g(ControlStateLock());
    return transparent_;
}

void TImage::SetAutoSize(bool on)
{
    {
        Guard g(ControlStateLock());
        autoSize_ = on;
    }
    Resize();
}

void TImage::SetCenter(bool on)
{
    {
        Guard g(ControlStateLock());
        center_ = on;
    }
    Changed(Prop::Picture);
}

void TImage::SetStretch(bool on)
{
    {
        Guard g(ControlStateLock());
        stretch_ = on;
    }
    Changed(Prop::Picture);
}

void TImage::SetTransparent(bool on)
{
    {
        Guard g(ControlStateLock());
        transparent_ = on;
    }
    Changed(Prop::Picture);
}

void TImage::FillSurface(TColor color)
{
    {
        Guard g(ControlStateLock());
        surface_ = color;
    }
    Changed(Prop::Picture);
}

std::optional<TColor> TImage::Surface() const
{
    Guard g(ControlStateLock());
    return surface_;
}

void TImage::Resize()
{
    int w, h;
    {
        Guard g(ControlStateLock());
        if (!autoSize_ || !hasPicture_)
            return;
        w = pictureWidth_;
        h = pictureHeight_;
    }
    SetBounds(Left(), Top(), w, h);
}

// --- TTimer ---

TTimer::TTimer(TComponent* owner) : TComponent(owner) { backend::TimerChanged(*this); }

TTimer::~TTimer() { backend::TimerDestroyed(*this); }

void TTimer::SetInterval(unsigned ms)
{
    if (interval_ == ms)
        return;
    interval_ = ms;
    backend::TimerChanged(*this);
}

void TTimer::SetEnabled(bool on)
{
    if (enabled_ == on)
        return;
    enabled_ = on;
    backend::TimerChanged(*this);
}

void TTimer::Fire()
{
    if (Active() && OnTimer)
        OnTimer(this);
}
