#include "language/XmlTokenizer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/UString.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Character classes of the scans, one table lookup each.
enum : uint8_t { kBlank = 1, kNameChar = 2, kValueStop = 4 };
struct CharClasses {
    uint8_t table[256];
    constexpr CharClasses() : table()
    {
        for (int c = 0; c < 256; ++c)
            table[c] = kNameChar;
        for (unsigned char c : {' ', '\t', '\r', '\n', '>', '/', '=', '<', '"', '\'', '?', '!'})
            table[c] = 0;
        for (unsigned char c : {' ', '\t', '\r', '\n'})
            table[c] |= kBlank;
        // Where an attribute value may end or need a closer look.
        for (unsigned char c : {'"', '\'', '<', '&', '\r'})
            table[c] |= kValueStop;
    }
};
constexpr CharClasses kClasses;

bool IsBlank(char c) { return kClasses.table[static_cast<unsigned char>(c)] & kBlank; }

bool IsNameChar(char c) { return kClasses.table[static_cast<unsigned char>(c)] & kNameChar; }

// Names and most values are a few bytes long: plain loops beat the library's
// searches and comparisons, whose call costs more than the work.
std::string_view LocalName(std::string_view qualified)
{
    for (size_t i = 0; i < qualified.size(); ++i)
        if (qualified[i] == ':')
            return qualified.substr(i + 1);
    return qualified;
}

// Whether the bytes at `at` spell `name`; the caller has checked they are there.
bool NameAt(const char* at, std::string_view name)
{
    // Most names in a workbook are a letter or two: the first one decides.
    if (name.empty() || at[0] != name[0])
        return name.empty();
    for (size_t i = 1; i < name.size(); ++i)
        if (at[i] != name[i])
            return false;
    return true;
}

bool SameName(std::string_view a, std::string_view b) { return a.size() == b.size() && NameAt(a.data(), b); }

// Value of a character reference body ("#65", "#x41"); 0 when malformed.
char32_t CharRef(std::string_view body)
{
    if (body.size() < 2 || body[0] != '#')
        return 0;
    bool hex = body[1] == 'x' || body[1] == 'X';
    size_t i = hex ? 2 : 1;
    if (i >= body.size())
        return 0;
    uint32_t value = 0;
    for (; i < body.size(); ++i) {
        char c = body[i];
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (hex && c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else
            return 0;
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF)
            return 0xFFFD;
    }
    return value == 0 ? 0xFFFD : value;
}

bool DecodeInto(std::string_view raw, std::string& out)
{
    // Line ends are normalised as XML requires: CR LF and a lone CR read as LF.
    auto literal = [&out](std::string_view s) {
        if (s.find('\r') == std::string_view::npos) {
            out.append(s);
            return;
        }
        for (size_t k = 0; k < s.size(); ++k) {
            if (s[k] != '\r')
                out += s[k];
            else if (k + 1 >= s.size() || s[k + 1] != '\n')
                out += '\n';
        }
    };
    size_t i = 0;
    while (i < raw.size()) {
        size_t amp = raw.find('&', i);
        if (amp == std::string_view::npos) {
            literal(raw.substr(i));
            break;
        }
        literal(raw.substr(i, amp - i));
        size_t semi = raw.find(';', amp);
        if (semi == std::string_view::npos || semi - amp > 12)
            return false;
        std::string_view body = raw.substr(amp + 1, semi - amp - 1);
        if (body == "lt")
            out += '<';
        else if (body == "gt")
            out += '>';
        else if (body == "amp")
            out += '&';
        else if (body == "quot")
            out += '"';
        else if (body == "apos")
            out += '\'';
        else if (char32_t cp = CharRef(body))
            AppendUtf8(out, cp);
        else
            return false;
        i = semi + 1;
    }
    return true;
}

// Where the character data from `from` ends (the next '<' or the input's end);
// `plain` turns false when it holds an entity or a CR.
size_t TextEnd(std::string_view in, size_t from, bool& plain)
{
    const size_t n = in.size();
    size_t at = from;
#if defined(__SSE2__)
    // Sixteen bytes at a time where the processor has it (every x86-64 does).
    const __m128i lt = _mm_set1_epi8('<'), amp = _mm_set1_epi8('&'), cr = _mm_set1_epi8('\r');
    for (; at + 16 <= n; at += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in.data() + at));
        const unsigned ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lt)));
        const unsigned marks =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, amp), _mm_cmpeq_epi8(v, cr))));
        if (ends != 0) {
            const unsigned k = static_cast<unsigned>(__builtin_ctz(ends));
            if (marks & ((1u << k) - 1))
                plain = false;
            return at + k;
        }
        if (marks != 0)
            plain = false;
    }
#endif
    for (; at + 8 <= n; at += 8) {
        uint64_t w;
        std::memcpy(&w, in.data() + at, 8);
        if (HasByte(w, '<'))
            break;
        if (HasByte(w, '&') || HasByte(w, '\r'))
            plain = false;
    }
    for (; at < n; ++at) {
        const char c = in[at];
        if (c == '<')
            break;
        if (c == '&' || c == '\r')
            plain = false;
    }
    return at;
}

// Where an attribute value opened by `quote` ends, from `from`: at its closing
// quote, at a '<' (which no value may hold) or at the input's end. `plain` turns
// false at an entity or a CR.
inline size_t ValueEnd(std::string_view in, size_t from, char quote, bool& plain)
{
    const size_t n = in.size();
    for (size_t end = from;; ++end) {
        while (end < n && !(kClasses.table[static_cast<unsigned char>(in[end])] & kValueStop))
            ++end;
        if (end >= n || in[end] == quote || in[end] == '<')
            return end;
        if (in[end] == '&' || in[end] == '\r')
            plain = false;
    }
}

// "<name>text</name>" at `at`, the text free of markup, entities and CR: the text
// and where the element ends, or false.
bool SimpleChildAt(std::string_view in, size_t at, std::string_view name, std::string_view& text, size_t& next)
{
    const size_t n = in.size(), len = name.size();
    auto tagAt = [&](size_t i, bool end) {
        const size_t open = end ? 2 : 1;
        return i + open + len < n && in[i] == '<' && (!end || in[i + 1] == '/') && NameAt(in.data() + i + open, name) &&
               in[i + open + len] == '>';
    };
    if (!tagAt(at, false))
        return false;
    const size_t start = at + len + 2;
    bool plain = true;
    const size_t end = TextEnd(in, start, plain);
    if (!plain || !tagAt(end, true))
        return false;
    text = std::string_view(in.data() + start, end - start);
    next = end + len + 3;
    return true;
}

}  // namespace

XmlTokenizer::XmlTokenizer(std::string_view xml, int maxDepth)
    : in_(xml), maxDepth_(maxDepth > 0 ? static_cast<size_t>(maxDepth) : 1)
{
    if (in_.substr(0, 3) == "\xEF\xBB\xBF")
        pos_ = 3;
}

XmlTokenizer::Token XmlTokenizer::Fail(const std::string& what)
{
    if (!failed_)
        error_ = "XML: " + what + " at byte " + std::to_string(pos_);
    failed_ = true;
    return Token::Error;
}

bool XmlTokenizer::SkipUntil(std::string_view terminator)
{
    size_t end = in_.find(terminator, pos_);
    if (end == std::string_view::npos)
        return false;
    pos_ = end + terminator.size();
    return true;
}

bool XmlTokenizer::Attribute(std::string_view localName, std::string& value) const
{
    for (const Attr& a : attrs_) {
        if (SameName(a.name, localName)) {
            if (a.plain) {
                value.assign(a.raw);
                return true;
            }
            value.clear();
            // Cannot fail here: every value was checked when the tag was read.
            DecodeInto(a.raw, value);
            return true;
        }
    }
    return false;
}

bool XmlTokenizer::Attribute(std::string_view localName, std::string_view& value, std::string& scratch) const
{
    for (const Attr& a : attrs_) {
        if (SameName(a.name, localName)) {
            if (a.plain) {
                value = a.raw;
                return true;
            }
            scratch.clear();
            DecodeInto(a.raw, scratch);
            value = scratch;
            return true;
        }
    }
    return false;
}

bool XmlTokenizer::ReadSimpleChild(std::string_view name, std::string_view& text)
{
    if (failed_ || pendingEnd_ || open_.empty() || open_.size() >= maxDepth_)
        return false;
    return SimpleChildAt(in_, pos_, name, text, pos_);
}

bool XmlTokenizer::ReadLeaf(std::string_view name, std::string_view child, bool& hasChild, std::string_view& childText)
{
    // The element and its child must both fit under the depth limit.
    if (failed_ || pendingEnd_ || open_.size() + 2 > maxDepth_)
        return false;
    const char* const s = in_.data();
    const size_t n = in_.size(), len = name.size();
    size_t p = pos_;
    if (p + len + 2 >= n || s[p] != '<' || !NameAt(s + p + 1, name) || IsNameChar(s[p + len + 1]))
        return false;
    p += len + 1;
    // Attributes written the usual way, name="value" with a value that needs no
    // decoding; anything else is left to the tokens.
    attrs_.clear();
    for (;;) {
        while (p < n && IsBlank(s[p]))
            ++p;
        if (p >= n)
            return false;
        if (s[p] == '>' || s[p] == '/')
            break;
        const size_t nameStart = p;
        while (p < n && IsNameChar(s[p]))
            ++p;
        if (p == nameStart || p + 2 >= n || s[p] != '=' || (s[p + 1] != '"' && s[p + 1] != '\''))
            return false;
        const char quote = s[p + 1];
        const size_t value = p + 2;
        bool plain = true;
        const size_t end = ValueEnd(in_, value, quote, plain);
        if (end >= n || s[end] != quote || !plain)
            return false;
        attrs_.push_back({LocalName(std::string_view(s + nameStart, p - nameStart)),
                          std::string_view(s + value, end - value), true});
        p = end + 1;
    }
    std::string_view text;
    bool found = false;
    if (s[p] == '/') {
        if (p + 1 >= n || s[p + 1] != '>')
            return false;
        p += 2;
    } else {
        found = SimpleChildAt(in_, p + 1, child, text, p);
        if (!found)
            ++p;
        if (p + len + 3 > n || s[p] != '<' || s[p + 1] != '/' || !NameAt(s + p + 2, name) || s[p + len + 2] != '>')
            return false;
        p += len + 3;
    }
    pos_ = p;
    name_ = name;
    hasChild = found;
    childText = text;
    return true;
}

XmlTokenizer::Token XmlTokenizer::Next()
{
    if (failed_)
        return Token::Error;
    if (pendingEnd_) {
        pendingEnd_ = false;
        open_.pop_back();
        attrs_.clear();
        return Token::EndElement;
    }
    for (;;) {
        if (pos_ >= in_.size()) {
            if (!open_.empty())
                return Fail("document ends inside element <" + std::string(open_.back()) + ">");
            return Token::End;
        }
        // A CDATA section inside an element is character data, read below.
        bool cdata = in_[pos_] == '<' && pos_ + 1 < in_.size() && in_[pos_ + 1] == '!' &&
                     in_.compare(pos_, 9, "<![CDATA[") == 0 && !open_.empty();
        if (in_[pos_] == '<' && !cdata) {
            Token t = ReadMarkup();
            if (t == Token::Text)  // a comment or instruction: nothing to report
                continue;
            return t;
        }
        // Character data up to the next tag, CDATA sections joined in. Most runs
        // need no decoding and are handed out as they stand in the input.
        bool plain = true;
        const size_t lt = TextEnd(in_, pos_, plain);
        std::string_view run = in_.substr(pos_, lt - pos_);
        if (!cdata && plain && (lt + 1 >= in_.size() || in_[lt + 1] != '!' || in_.compare(lt, 9, "<![CDATA[") != 0)) {
            pos_ = lt;
            if (open_.empty())
                continue;
            textView_ = run;
            return Token::Text;
        }
        text_.clear();
        while (pos_ < in_.size()) {
            if (in_[pos_] == '<') {
                if (in_.compare(pos_, 9, "<![CDATA[") != 0)
                    break;
                size_t end = in_.find("]]>", pos_ + 9);
                if (end == std::string_view::npos)
                    return Fail("unterminated CDATA section");
                text_.append(in_.substr(pos_ + 9, end - pos_ - 9));
                pos_ = end + 3;
                continue;
            }
            size_t lt = in_.find('<', pos_);
            if (lt == std::string_view::npos)
                lt = in_.size();
            if (!DecodeInto(in_.substr(pos_, lt - pos_), text_))
                return Fail("malformed entity reference");
            pos_ = lt;
        }
        if (open_.empty())
            continue;  // blanks around the root element
        textView_ = text_;
        return Token::Text;
    }
}

// Returns Text for markup that yields no token (comments, instructions).
XmlTokenizer::Token XmlTokenizer::ReadMarkup()
{
    const char next = pos_ + 1 < in_.size() ? in_[pos_ + 1] : '\0';
    if (next == '/')
        return ReadEndTag();
    if (next == '?') {
        pos_ += 2;
        if (!SkipUntil("?>"))
            return Fail("unterminated processing instruction");
        return Token::Text;
    }
    if (next != '!')
        return ReadStartTag();
    if (in_.compare(pos_, 4, "<!--") == 0) {
        pos_ += 4;
        if (!SkipUntil("-->"))
            return Fail("unterminated comment");
        return Token::Text;
    }
    return Fail("document type declarations are not accepted");
}

XmlTokenizer::Token XmlTokenizer::ReadStartTag()
{
    ++pos_;  // '<'
    size_t start = pos_;
    while (pos_ < in_.size() && IsNameChar(in_[pos_]))
        ++pos_;
    if (pos_ == start)
        return Fail("element without a name");
    std::string_view qname = in_.substr(start, pos_ - start);
    std::string why;
    if (!ReadAttributes(why))
        return Fail(why);
    const bool empty = in_[pos_] == '/';
    pos_ += empty ? 2 : 1;
    if (open_.size() >= maxDepth_)
        return Fail("elements nested deeper than " + std::to_string(maxDepth_));
    open_.push_back(qname);
    name_ = LocalName(qname);
    pendingEnd_ = empty;
    return Token::StartElement;
}

bool XmlTokenizer::ReadAttributes(std::string& why)
{
    attrs_.clear();
    // Walked with a local position: through the member every step would be a store.
    const char* const s = in_.data();
    const size_t n = in_.size();
    size_t p = pos_;
    auto fail = [&](const char* what) {
        pos_ = p;
        why = what;
        return false;
    };
    for (;;) {
        while (p < n && IsBlank(s[p]))
            ++p;
        if (p >= n)
            return fail("document ends inside a tag");
        const char c = s[p];
        if (c == '>' || (c == '/' && p + 1 < n && s[p + 1] == '>')) {
            pos_ = p;
            return true;
        }
        if (c == '/')
            return fail("'/' not followed by '>'");
        const size_t nameStart = p;
        while (p < n && IsNameChar(s[p]))
            ++p;
        if (p == nameStart)
            return fail("unexpected character in a tag");
        const std::string_view aname(s + nameStart, p - nameStart);
        while (p < n && IsBlank(s[p]))
            ++p;
        if (p >= n || s[p] != '=')
            return fail("attribute without a value");
        ++p;
        while (p < n && IsBlank(s[p]))
            ++p;
        if (p >= n || (s[p] != '"' && s[p] != '\''))
            return fail("attribute value without quotes");
        const char quote = s[p++];
        bool plain = true;
        const size_t end = ValueEnd(in_, p, quote, plain);
        if (end >= n)
            return fail("unterminated attribute value");
        if (s[end] == '<')
            return fail("'<' in an attribute value");
        const std::string_view raw(s + p, end - p);
        if (!plain) {
            std::string check;
            if (!DecodeInto(raw, check))
                return fail("malformed entity reference");
        }
        attrs_.push_back({LocalName(aname), raw, plain});
        p = end + 1;
    }
}

XmlTokenizer::Token XmlTokenizer::ReadEndTag()
{
    pos_ += 2;  // "</"
    size_t start = pos_;
    while (pos_ < in_.size() && IsNameChar(in_[pos_]))
        ++pos_;
    std::string_view qname = in_.substr(start, pos_ - start);
    while (pos_ < in_.size() && IsBlank(in_[pos_]))
        ++pos_;
    if (pos_ >= in_.size() || in_[pos_] != '>')
        return Fail("malformed end tag");
    ++pos_;
    if (open_.empty() || !SameName(open_.back(), qname))
        return Fail("end tag </" + std::string(qname) + "> does not match");
    open_.pop_back();
    name_ = LocalName(qname);
    attrs_.clear();
    return Token::EndElement;
}
