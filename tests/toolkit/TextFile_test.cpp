#include "toolkit/TextFile.h"

#include <gtest/gtest.h>

namespace {

struct DecodeCase {
    std::string bytes;
    TextEncoding encoding;
    UString text;
};

TEST(TextFile, ByteOrderMarkSelectsTheEncoding)
{
    const DecodeCase cases[] = {
        {"\xEF\xBB\xBF"
         "a\xC3\xA9",
         TextEncoding::Utf8, u"a\u00E9"},
        {"\xEF\xBB\xBF", TextEncoding::Utf8, u""},
        {std::string("\xFF\xFE"
                     "a\0\xE9\0\xAC\x20",
                     8),
         TextEncoding::Utf16LE, u"a\u00E9\u20AC"},
        {std::string("\xFE\xFF\0a\0\xE9\x20\xAC", 8), TextEncoding::Utf16BE, u"a\u00E9\u20AC"},
        {"a\xE9\x80", TextEncoding::Ansi, u"a\u00E9\u20AC"},
        {"\xEF\xBB", TextEncoding::Ansi, u"\u00EF\u00BB"},  // not a whole mark
        {"", TextEncoding::Ansi, u""},
    };
    for (const auto& c : cases) {
        const DecodedText decoded = DecodeText(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding) << c.bytes;
        EXPECT_EQ(decoded.text, c.text) << c.bytes;
    }
}

TEST(TextFile, EncodeWritesTheMarkAndDecodesBack)
{
    const struct {
        TextEncoding encoding;
        std::string mark;
        UString text;
    } cases[] = {
        {TextEncoding::Utf8, "\xEF\xBB\xBF", u"[Setup]\r\n\u4E2D=\U0001F600\r\n"},
        {TextEncoding::Utf16LE, "\xFF\xFE", u"[Setup]\r\n\u4E2D=\U0001F600\r\n"},
        {TextEncoding::Utf16BE, "\xFE\xFF", u"[Setup]\r\n\u4E2D=\U0001F600\r\n"},
        {TextEncoding::Ansi, "", u"[Setup]\r\nCaf\u00E9=\u20AC\r\n"},
    };
    for (const auto& c : cases) {
        const std::string bytes = EncodeText(c.text, c.encoding);
        EXPECT_EQ(bytes.substr(0, c.mark.size()), c.mark);
        const DecodedText decoded = DecodeText(bytes);
        EXPECT_EQ(decoded.encoding, c.encoding);
        EXPECT_EQ(decoded.text, c.text);
    }
    EXPECT_EQ(EncodeText(u"", TextEncoding::Utf16LE), "\xFF\xFE");
}

TEST(TextFile, DamagedUtf16IsReadWithoutLoss)
{
    // A cut-off last byte becomes a replacement character.
    EXPECT_EQ(DecodeText(std::string("\xFF\xFE"
                                     "a\0b",
                                     5))
                  .text,
              u"a\uFFFD");
    // Unpaired surrogates are kept, so the file is written back as it was.
    const std::string lone("\xFF\xFE\x00\xD8"
                           "a\0",
                           6);
    const DecodedText decoded = DecodeText(lone);
    EXPECT_EQ(decoded.text, u"\xD800"
                            u"a");
    EXPECT_EQ(EncodeText(decoded.text, decoded.encoding), lone);
}

}  // namespace
