#include "forms/Wizard_path.h"

#include <optional>

#include "app/App.h"
#include "platform/Platform.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/RichText.h"
#include "toolkit/TextFile.h"

bool PublisherIsOem()
{
    UString publisher;
    if (!App.SetupIniPath.empty() && Platform().FileExists(App.SetupIniPath))
        publisher = Platform().ReadProfileString(App.SetupIniPath, u"Setup", u"%PUBLISHER", u"OEM");
    return publisher == u"OEM";
}

namespace {

// The text of UTF-16LE bytes (byte-order mark dropped); none when the bytes are not
// whole, well-paired UTF-16.
std::optional<UString> StrictUtf16Le(const std::string& bytes)
{
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    UString text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (!text.empty() && text.front() == 0xFEFF)
        text.erase(0, 1);
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return std::nullopt;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return std::nullopt;
        } else if (c == 0) {
            return std::nullopt;
        }
    }
    return text;
}

// RTF markup is 7-bit: what lies above is written as \uN? (one per UTF-16 unit,
// signed, as RTF wants), with "?" for readers that do not know \u.
std::string MarkupToRtfBytes(const UString& markup)
{
    std::string out;
    out.reserve(markup.size());
    for (char16_t c : markup) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out += "\\u";
            out += std::to_string(static_cast<int>(static_cast<int16_t>(c)));
            out += '?';
        }
    }
    return out;
}

}  // namespace

LicenceDocument DecodeLicence(const std::string& fileBytes)
{
    if (std::optional<UString> text = StrictUtf16Le(fileBytes)) {
        std::string narrow = MarkupToRtfBytes(*text);
        if (LooksLikeRtf(narrow))
            return {std::move(narrow), true};
        if (!LooksLikeRtf(fileBytes))
            return {EncodeText(*text, TextEncoding::Utf16LE), false};
    }
    // Saved by a word processor as ordinary RTF: read as UTF-16 it would be garbage.
    if (LooksLikeRtf(fileBytes))
        return {fileBytes, true};
    return {fileBytes, false};
}

bool LoadLicence(TRichEdit& view, const UString& path)
{
    const std::optional<std::string> bytes = Platform().ReadWholeFile(path);
    if (!bytes)
        return false;
    view.LoadFromBytes(DecodeLicence(*bytes).bytes);
    return true;
}
