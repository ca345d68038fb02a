#include "toolkit/TextFile.h"

#include "base/Codepage.h"
#include "platform/Platform.h"

namespace {

bool HasPrefix(const std::string& bytes, std::string_view mark) { return bytes.compare(0, mark.size(), mark) == 0; }

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
constexpr std::string_view kUtf16BEMark = "\xFE\xFF";

// Code units are taken as they stand, lone surrogates included, so that any
// UTF-16 file comes back byte for byte.
UString DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    UString out;
    out.reserve(bytes.size() / 2 + 1);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        out += static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    }
    if (bytes.size() % 2 != 0)
        out += u'\uFFFD';  // a cut-off last unit
    return out;
}

std::string EncodeUtf16(UStringView text, bool bigEndian)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (char16_t c : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

}  // namespace

DecodedText DecodeText(const std::string& bytes)
{
    DecodedText out;
    const std::string_view view(bytes);
    if (HasPrefix(bytes, kUtf8Mark)) {
        out.encoding = TextEncoding::Utf8;
        out.text = FromUtf8(view.substr(kUtf8Mark.size()));
    } else if (HasPrefix(bytes, kUtf16LEMark)) {
        out.encoding = TextEncoding::Utf16LE;
        out.text = DecodeUtf16(view.substr(kUtf16LEMark.size()), false);
    } else if (HasPrefix(bytes, kUtf16BEMark)) {
        out.encoding = TextEncoding::Utf16BE;
        out.text = DecodeUtf16(view.substr(kUtf16BEMark.size()), true);
    } else {
        out.encoding = TextEncoding::Ansi;
        out.text = FromAnsi(view);
    }
    return out;
}

std::string EncodeText(UStringView text, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return std::string(kUtf8Mark) + ToUtf8(text);
    case TextEncoding::Utf16LE:
        return std::string(kUtf16LEMark) + EncodeUtf16(text, false);
    case TextEncoding::Utf16BE:
        return std::string(kUtf16BEMark) + EncodeUtf16(text, true);
    case TextEncoding::Ansi:
        break;
    }
    return ToAnsi(text);
}

bool ReadTextFile(const UString& path, DecodedText& out)
{
    std::optional<std::string> bytes = Platform().ReadWholeFile(path);
    if (!bytes)
        return false;
    out = DecodeText(*bytes);
    return true;
}

bool WriteTextFile(const UString& path, UStringView text, TextEncoding encoding)
{
    return Platform().WriteWholeFile(path, EncodeText(text, encoding));
}
