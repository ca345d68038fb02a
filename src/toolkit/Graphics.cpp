#include "toolkit/Graphics.h"

#include <cmath>

TColor ResolveColor(TColor color)
{
    if (!IsSystemColor(color))
        return color & 0x00FFFFFF;
    switch (color & 0xFF) {
    case 5:
        return 0xFFFFFF;  // window
    case 8:
        return 0x000000;  // window text
    case 15:
        return 0xF0F0F0;  // button face
    case 17:
        return 0x6D6D6D;  // gray text
    case 18:
        return 0x000000;  // button text
    default:
        return 0x000000;
    }
}

int TFont::Size() const
{
    int pixels = Height < 0 ? -Height : Height;
    return static_cast<int>(std::lround(pixels * 72.0 / 96.0));
}

void TFont::SetSize(int points) { Height = -static_cast<int>(std::lround(points * 96.0 / 72.0)); }

namespace {

uint32_t Le32(const std::string& b, size_t at)
{
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

uint32_t Be32(const std::string& b, size_t at)
{
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) << 24 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3]));
}

constexpr int64_t kMaxSide = 1 << 15;

std::optional<PictureInfo> Sized(PictureFormat format, int64_t w, int64_t h)
{
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide)
        return std::nullopt;
    return PictureInfo{format, static_cast<int>(w), static_cast<int>(h)};
}

}  // namespace

std::optional<PictureInfo> ReadPictureInfo(const std::string& bytes)
{
    static const char png[] = "\x89PNG\r\n\x1a\n";
    if (bytes.size() >= 24 && bytes.compare(0, 8, png, 8) == 0 && bytes.compare(12, 4, "IHDR") == 0)
        return Sized(PictureFormat::Png, Be32(bytes, 16), Be32(bytes, 20));
    if (bytes.size() >= 26 && bytes[0] == 'B' && bytes[1] == 'M') {
        uint32_t headerSize = Le32(bytes, 14);
        if (headerSize == 12) {  // OS/2 core header: 16-bit sizes
            auto u16 = [&](size_t at) {
                return static_cast<int64_t>(static_cast<unsigned char>(bytes[at]) |
                                            static_cast<unsigned char>(bytes[at + 1]) << 8);
            };
            return Sized(PictureFormat::Bmp, u16(18), u16(20));
        }
        if (headerSize >= 40 && bytes.size() >= 30) {
            int64_t w = static_cast<int32_t>(Le32(bytes, 18));
            int64_t h = static_cast<int32_t>(Le32(bytes, 22));
            return Sized(PictureFormat::Bmp, w, h < 0 ? -h : h);  // negative: top-down rows
        }
    }
    return std::nullopt;
}
