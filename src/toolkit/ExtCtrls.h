#pragma once
// Panels, images and timers.
#include <optional>
#include <string>

#include "toolkit/Controls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// Edges a panel's bevel is drawn on (and its client area inset at).
namespace BevelEdge {
constexpr unsigned Left = 1, Top = 2, Right = 4, Bottom = 8, All = 15;
}

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner);
    UString ClassName() const override { return u"TPanel"; }

    TBevelCut BevelOuter() const;
    void SetBevelOuter(TBevelCut cut);
    TBevelCut BevelInner() const;
    void SetBevelInner(TBevelCut cut);
    int BevelWidth() const;
    void SetBevelWidth(int width);
    unsigned BevelEdges() const;
    void SetBevelEdges(unsigned edges);
    int BorderWidth() const;
    void SetBorderWidth(int width);

    TRect AlignRect() const override;

private:
    void StyleChanged();
    TBevelCut bevelOuter_ = bvRaised;
    TBevelCut bevelInner_ = bvNone;
    int bevelWidth_ = 1;
    unsigned bevelEdges_ = BevelEdge::All;
    int borderWidth_ = 0;
};

// A BMP or PNG picture, or a plain surface of one colour.
class TImage : public TControl {
public:
    explicit TImage(TComponent* owner);
    UString ClassName() const override { return u"TImage"; }

    // Loads a BMP or PNG file (a Windows path, read through the platform). False
    // when the file is missing or not a picture; the image is then unchanged.
    bool LoadPicture(const UString& path);
    void ClearPicture();
    bool HasPicture() const;
    UString PicturePath() const;
    int PictureWidth() const;
    int PictureHeight() const;

    // With AutoSize the image takes its picture's size (when it has one).
    bool AutoSize() const;
    void SetAutoSize(bool on);
    bool Center() const;
    void SetCenter(bool on);
    bool Stretch() const;
    void SetStretch(bool on);
    bool Transparent() const;
    void SetTransparent(bool on);

    // Paints the whole image area in one colour, behind the picture if there is one.
    void FillSurface(TColor color);
    std::optional<TColor> Surface() const;

private:
    void Resize();
    UString path_;
    int pictureWidth_ = 0, pictureHeight_ = 0;
    bool hasPicture_ = false;
    bool autoSize_ = false;
    bool center_ = false;
    bool stretch_ = false;
    bool transparent_ = false;
    std::optional<TColor> surface_;
};

// Runs OnTimer on the user-interface thread every Interval milliseconds while
// Enabled. The headless toolkit runs it by its virtual clock.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    UString ClassName() const override { return u"TTimer"; }

    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    // Enabled with a non-zero interval.
    bool Active() const { return enabled_ && interval_ > 0; }

    TNotifyEvent OnTimer;
    // Called by the backend when the interval has passed.
    void Fire();

    void* Peer = nullptr;

private:
    unsigned interval_ = 1000;
    bool enabled_ = true;
};
