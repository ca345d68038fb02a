#pragma once
// A minimal pull tokenizer for the XML parts of an .xlsx package: elements,
// attributes, character data (entities and CDATA resolved), nothing else. Namespace
// prefixes are dropped from names, since writers differ in the prefixes they use.
// A document type declaration is refused: workbook parts never carry one, and its
// entity definitions are the classic way to make a parser blow up.
//
// The tokenizer never reads past its input, never recurses, and refuses nesting
// deeper than its limit; after an error every call returns Token::Error.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class XmlTokenizer {
public:
    enum class Token { StartElement, EndElement, Text, End, Error };

    // The input must outlive the tokenizer. A UTF-8 byte-order mark is skipped.
    explicit XmlTokenizer(std::string_view xml, int maxDepth = 256);

    Token Next();

    // The commonest shape in a workbook, a child that holds only plain text
    // ("<t>text</t>", "<v>12</v>"): when the input goes on with exactly <name>,
    // text free of markup, entities and CR, and </name>, it is consumed whole and
    // its text given, in place of the three tokens it would make. Otherwise
    // nothing is consumed and false is returned.
    bool ReadSimpleChild(std::string_view name, std::string_view& text);

    // The commonest cell shape, read whole: <name attributes> with at most a
    // simple child (as ReadSimpleChild takes it) and then </name>, or
    // <name attributes/>, where the name has no prefix and every attribute is
    // written name="value" with no entity or CR in the value. The element then
    // gives no tokens; its attributes are those of Attribute until the next call,
    // and `hasChild` and `childText` say what the child held. Otherwise nothing is
    // consumed and false is returned, though the current element's attributes may
    // be gone: read them first.
    bool ReadLeaf(std::string_view name, std::string_view child, bool& hasChild, std::string_view& childText);

    // Local name of the current start or end element (prefix removed).
    std::string_view Name() const { return name_; }
    // Depth of the current element: 1 for the root; for Text, that of its parent.
    int Depth() const { return static_cast<int>(open_.size()); }
    // Value of the current start element's attribute of that local name, decoded;
    // false when it has none.
    bool Attribute(std::string_view localName, std::string& value) const;
    // The same without a copy where the value needs no decoding: `value` views
    // the input, or `scratch` when decoded.
    bool Attribute(std::string_view localName, std::string_view& value, std::string& scratch) const;
    // Decoded character data of the current Text token (UTF-8); valid until the
    // next call of Next.
    std::string_view Text() const { return textView_; }
    // What went wrong, with the byte offset; empty before an error.
    const std::string& Error() const { return error_; }

private:
    struct Attr {
        std::string_view name;  // local name, prefix removed
        std::string_view raw;
        bool plain;  // no entity and no CR: the raw text is the value
    };
    Token Fail(const std::string& what);
    Token ReadMarkup();
    Token ReadStartTag();
    Token ReadEndTag();
    // Attributes of a start tag from pos_ up to its '>' or "/>" (not consumed);
    // false at anything else.
    bool ReadAttributes(std::string& why);
    bool SkipUntil(std::string_view terminator);

    std::string_view in_;
    size_t pos_ = 0;
    size_t maxDepth_;
    std::vector<std::string_view> open_;  // qualified names, to match end tags
    std::vector<Attr> attrs_;
    std::string_view name_;
    std::string text_;
    std::string_view textView_;
    std::string error_;
    bool pendingEnd_ = false;  // an empty-element tag owes its end token
    bool failed_ = false;
};

// Whether any byte of the word equals c: lets text be scanned eight bytes at a time.
inline bool HasByte(uint64_t w, unsigned char c)
{
    const uint64_t x = w ^ (0x0101010101010101u * c);
    return ((x - 0x0101010101010101u) & ~x & 0x8080808080808080u) != 0;
}
