#pragma once
// Colours, fonts and picture files as the controls keep them.
#include <cstdint>
#include <optional>
#include <string>

#include "base/UString.h"

// 0x00BBGGRR for a colour of its own; a system colour has the top byte 0xFF and
// the Windows colour index below.
using TColor = uint32_t;

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clNavy = 0x800000;
constexpr TColor clDefault = 0x20000000;

constexpr bool IsSystemColor(TColor c) { return (c & 0xFF000000) == clSystemColor; }
// The system colours of a default Windows theme, for the headless toolkit and tests.
TColor ResolveColor(TColor color);

struct TFont {
    UString Name = u"Tahoma";
    // Character height in pixels at 96 dpi: -11 is 8 points.
    int Height = -11;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    TColor Color = clWindowText;

    // Points at 96 dpi, as the designer shows them.
    int Size() const;
    void SetSize(int points);

    bool operator==(const TFont&) const = default;
};

enum class PictureFormat { Bmp, Png };

struct PictureInfo {
    PictureFormat format = PictureFormat::Bmp;
    int width = 0;
    int height = 0;
};

// Reads the size from a BMP or PNG header; nullopt for anything else, for a
// truncated header or for a size that is zero or absurd.
std::optional<PictureInfo> ReadPictureInfo(const std::string& bytes);
