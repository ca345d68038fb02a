#include "language/XlsxReader.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "language/XmlTokenizer.h"
#include "platform/Platform.h"

namespace {

constexpr uint32_t kMaxSheetRows = 1048576;  // Excel's own bounds
constexpr uint32_t kMaxSheetColumns = 16384;

// Failures inside the reader; turned into the returned text at the top.
struct ReadError {
    std::string what;
};

// Never more code units than bytes: writes at most the input's length at `first`
// and returns how many it wrote. Says in `underscore` whether it saw one, the
// start of every OOXML escape.
size_t WriteUtf16(std::string_view s, char16_t* const first, bool& underscore)
{
    char16_t* d = first;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        // Texts are mostly ASCII: a block at a time while no byte has its top bit.
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128(), under = _mm_set1_epi8('_');
        while (i + 16 <= n) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            if (_mm_movemask_epi8(v) != 0)
                break;
            underscore |= _mm_movemask_epi8(_mm_cmpeq_epi8(v, under)) != 0;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_unpacklo_epi8(v, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 8), _mm_unpackhi_epi8(v, zero));
            d += 16;
            i += 16;
        }
        // The last bytes of a long text as one more block that ends with the text:
        // where it is all ASCII, each byte before i was written as one unit, so the
        // block lands over what is done and the rest.
        if (n >= 16 && i < n && i + 16 > n) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 16));
            if (_mm_movemask_epi8(v) == 0) {
                underscore |= _mm_movemask_epi8(_mm_cmpeq_epi8(v, under)) != 0;
                char16_t* const at = d - (i - (n - 16));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(at), _mm_unpacklo_epi8(v, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(at + 8), _mm_unpackhi_epi8(v, zero));
                d += n - i;
                break;
            }
        }
#endif
        while (i + 8 <= n) {
            uint64_t w;
            std::memcpy(&w, p + i, 8);
            if (w & 0x8080808080808080u)
                break;
            underscore |= HasByte(w, '_');
            for (int k = 0; k < 8; ++k)
                d[k] = p[i + k];
            d += 8;
            i += 8;
        }
        if (i >= n)
            break;
        unsigned char c = p[i];
        if (c < 0x80) {
            underscore |= c == '_';
            *d++ = c;
            ++i;
            continue;
        }
        size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
        char32_t cp = len == 4 ? (c & 0x07) : len == 3 ? (c & 0x0F) : (c & 0x1F);
        bool ok = len != 0 && c < 0xF5 && i + len <= n;
        for (size_t k = 1; ok && k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        // Overlong forms and surrogates are as invalid as broken sequences.
        if (ok && ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
                   (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF))
            ok = false;
        if (!ok) {
            *d++ = u'\uFFFD';
            ++i;
            while (i < n && (p[i] & 0xC0) == 0x80)
                ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            *d++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *d++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            *d++ = static_cast<char16_t>(cp);
        }
        i += len;
    }
    return static_cast<size_t>(d - first);
}

UString Utf8ToU16(std::string_view s)
{
    UString out(s.size(), u'\0');
    bool underscore = false;
    out.resize(WriteUtf16(s, out.data(), underscore));
    return out;
}

// Turns the OOXML escapes "_xHHHH_" back into their code units, in place since
// that only shortens the text; returns the new length.
size_t Unescape(char16_t* text, size_t length)
{
    size_t to = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == u'_' && i + 6 < length && text[i + 1] == u'x' && text[i + 6] == u'_') {
            int a = HexDigit(text[i + 2]), b = HexDigit(text[i + 3]), c = HexDigit(text[i + 4]),
                d = HexDigit(text[i + 5]);
            if (a >= 0 && b >= 0 && c >= 0 && d >= 0) {
                text[to++] = static_cast<char16_t>(a << 12 | b << 8 | c << 4 | d);
                i += 6;
                continue;
            }
        }
        text[to++] = text[i];
    }
    return to;
}

// UTF-8 to UTF-16 at `out`, escapes resolved where asked; returns the length.
size_t WriteXlsxText(std::string_view utf8, char16_t* out, bool escapes)
{
    bool underscore = false;
    const size_t length = WriteUtf16(utf8, out, underscore);
    return escapes && underscore ? Unescape(out, length) : length;
}

// Element names are short: compared inline rather than through memcmp (which
// std::equal and == become).
bool Is(std::string_view name, std::string_view literal)
{
    if (name.size() != literal.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (name[i] != literal[i])
            return false;
    return true;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameAsciiText(UStringView a, UStringView b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z')
            x = static_cast<char16_t>(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z')
            y = static_cast<char16_t>(y - u'A' + u'a');
        if (x != y)
            return false;
    }
    return true;
}

bool EndsWith(std::string_view s, std::string_view suffix)
{
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::string ToAsciiLower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

// The element loop shared by every part: stops on the tokenizer's error.
template <typename OnToken>
void Walk(std::string_view xml, int maxDepth, const std::string& part, OnToken onToken)
{
    XmlTokenizer xt(xml, maxDepth);
    for (;;) {
        XmlTokenizer::Token t = xt.Next();
        if (t == XmlTokenizer::Token::End)
            return;
        if (t == XmlTokenizer::Token::Error)
            throw ReadError{part + ": " + xt.Error()};
        onToken(t, xt);
    }
}

struct Relationship {
    std::string id, type, target;
    bool external = false;
};

std::vector<Relationship> ParseRelationships(std::string_view xml, int maxDepth, const std::string& part)
{
    std::vector<Relationship> rels;
    Walk(xml, maxDepth, part, [&](XmlTokenizer::Token t, const XmlTokenizer& xt) {
        if (t != XmlTokenizer::Token::StartElement || xt.Name() != "Relationship")
            return;
        Relationship r;
        xt.Attribute("Id", r.id);
        xt.Attribute("Type", r.type);
        xt.Attribute("Target", r.target);
        std::string mode;
        r.external = xt.Attribute("TargetMode", mode) && mode == "External";
        rels.push_back(std::move(r));
    });
    return rels;
}

// A relationship target is relative to the folder of the part that owns it,
// unless it starts at the package root.
std::string ResolveTarget(std::string_view ownerFolder, std::string_view target)
{
    std::string joined = !target.empty() && target[0] == '/' ? std::string(target.substr(1))
                                                             : std::string(ownerFolder) + std::string(target);
    std::vector<std::string> segments;
    size_t i = 0;
    while (i <= joined.size()) {
        size_t slash = joined.find('/', i);
        if (slash == std::string::npos)
            slash = joined.size();
        std::string seg = joined.substr(i, slash - i);
        if (seg == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!seg.empty() && seg != ".") {
            segments.push_back(std::move(seg));
        }
        i = slash + 1;
    }
    std::string out;
    for (const std::string& s : segments)
        out += (out.empty() ? "" : "/") + s;
    return out;
}

std::string FolderOf(std::string_view part)
{
    size_t slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

std::string RelationshipsPartOf(std::string_view part)
{
    size_t slash = part.rfind('/');
    std::string_view file = slash == std::string_view::npos ? part : part.substr(slash + 1);
    return FolderOf(part) + "_rels/" + std::string(file) + ".rels";
}

ZipEntryData Extract(const ZipArchive& zip, const std::string& part)
{
    ZipEntryData bytes;
    std::string error = zip.Extract(part, bytes);
    if (!error.empty())
        throw ReadError{error};
    return bytes;
}

}  // namespace

// Collects the texts and the cells in reading order and turns them into the sheet.
class XlsxSheetBuilder {
public:
    XlsxSheetBuilder(XlsxSheet& sheet, const XlsxLimits& limits) : sheet_(sheet), limits_(limits) {}

    // Appends a text to the sheet's pool; returns its index.
    uint32_t PoolText(std::string_view utf8, bool escapes)
    {
        BeginText();
        Write(utf8, escapes);
        return EndText();
    }
    // A text made of pieces: BeginText, AppendPiece..., EndText gives its index.
    void BeginText() { textStart_ = sheet_.poolSize_; }
    void AppendPiece(std::string_view utf8) { Write(utf8, true); }
    uint32_t EndText()
    {
        sheet_.texts_.push_back(
            {static_cast<uint32_t>(textStart_), static_cast<uint32_t>(sheet_.poolSize_ - textStart_)});
        return static_cast<uint32_t>(sheet_.texts_.size() - 1);
    }
    void Reserve(size_t units, size_t cells)
    {
        Room(units);
        sheet_.cells_.reserve(cells);
    }
    void EndSharedStrings() { sharedCount_ = sheet_.texts_.size(); }
    bool IsShared(size_t index) const { return index < sharedCount_; }

    void Add(uint32_t row, uint32_t column, uint32_t text)
    {
        const size_t length = sheet_.texts_[text].length;
        if (length == 0)
            return;
        total_ += length;
        if (total_ > limits_.maxTextUnits)
            throw ReadError{"the sheet holds more text than allowed (" + std::to_string(limits_.maxTextUnits) +
                            " code units)"};
        if (sorted_ && !sheet_.cells_.empty() &&
            (sheet_.rows_.back().number > row ||
             (sheet_.rows_.back().number == row && sheet_.cells_.back().column >= column)))
            Unsort();
        if (sorted_)
            Place(row, column, text);
        else
            pending_.push_back({row, column, text});
    }

    void Finish()
    {
        if (sorted_)
            return;
        // A later cell of the same reference replaces an earlier one.
        std::stable_sort(pending_.begin(), pending_.end(), [](const Pending& a, const Pending& b) {
            return a.row != b.row ? a.row < b.row : a.column < b.column;
        });
        for (size_t i = 0; i < pending_.size(); ++i) {
            const Pending& p = pending_[i];
            if (i + 1 < pending_.size() && pending_[i + 1].row == p.row && pending_[i + 1].column == p.column)
                continue;
            Place(p.row, p.column, p.text);
        }
    }

private:
    struct Pending {
        uint32_t row, column, text;
    };
    // Room for that many more code units at the pool's end. The pool is not
    // zero-filled: every unit kept is written.
    char16_t* Room(size_t units)
    {
        if (units > sheet_.poolCapacity_ - sheet_.poolSize_) {
            const size_t capacity = std::max(sheet_.poolCapacity_ * 2, sheet_.poolSize_ + units);
            auto grown = std::make_unique_for_overwrite<char16_t[]>(capacity);
            std::copy_n(sheet_.pool_.get(), sheet_.poolSize_, grown.get());
            sheet_.pool_ = std::move(grown);
            sheet_.poolCapacity_ = capacity;
        }
        return sheet_.pool_.get() + sheet_.poolSize_;
    }
    void Write(std::string_view utf8, bool escapes)
    {
        sheet_.poolSize_ += WriteXlsxText(utf8, Room(utf8.size()), escapes);
    }
    // Cells in sheet order, the usual case, go straight into the sheet.
    void Place(uint32_t row, uint32_t column, uint32_t text)
    {
        if (sheet_.rows_.empty() || sheet_.rows_.back().number != row) {
            if (sheet_.rows_.size() >= limits_.maxRows)
                throw ReadError{"the sheet has more than " + std::to_string(limits_.maxRows) + " rows"};
            sheet_.rows_.push_back({row, sheet_.cells_.size(), 0});
        }
        sheet_.cells_.push_back({column, text});
        ++sheet_.rows_.back().count;
        sheet_.columns_ = std::max<size_t>(sheet_.columns_, column + 1);
    }
    // A cell out of order: from here on cells are collected and sorted at the end.
    void Unsort()
    {
        sorted_ = false;
        pending_.reserve(sheet_.cells_.size() * 2);
        for (const XlsxSheet::Row& r : sheet_.rows_)
            for (size_t i = r.first; i < r.first + r.count; ++i)
                pending_.push_back({r.number, sheet_.cells_[i].column, sheet_.cells_[i].text});
        sheet_.rows_.clear();
        sheet_.cells_.clear();
        sheet_.columns_ = 0;
    }
    XlsxSheet& sheet_;
    size_t sharedCount_ = 0;
    const XlsxLimits& limits_;
    std::vector<Pending> pending_;
    size_t total_ = 0;
    size_t textStart_ = 0;
    bool sorted_ = true;
};

namespace {

// Text of the <t> elements below an <si> or <is>, phonetic runs left out, written
// straight into the sheet's pool as it comes.
class RunText {
public:
    explicit RunText(XlsxSheetBuilder& builder) : builder_(builder) {}
    void Start()
    {
        inT_ = false, phonetic_ = 0;
        builder_.BeginText();
    }
    void Token(XmlTokenizer::Token t, const XmlTokenizer& xt)
    {
        if (t == XmlTokenizer::Token::StartElement) {
            if (Is(xt.Name(), "rPh"))
                ++phonetic_;
            else if (Is(xt.Name(), "t"))
                inT_ = true;
        } else if (t == XmlTokenizer::Token::EndElement) {
            if (Is(xt.Name(), "rPh") && phonetic_ > 0)
                --phonetic_;
            else if (Is(xt.Name(), "t"))
                inT_ = false;
        } else if (t == XmlTokenizer::Token::Text && inT_ && phonetic_ == 0) {
            builder_.AppendPiece(xt.Text());
        }
    }
    uint32_t End() { return builder_.EndText(); }

private:
    XlsxSheetBuilder& builder_;
    bool inT_ = false;
    int phonetic_ = 0;
};

void ParseSharedStrings(std::string_view xml, int maxDepth, XlsxSheetBuilder& builder)
{
    builder.Reserve(xml.size(), 0);
    RunText run(builder);
    bool inItem = false;
    // Items of the common shape, <si><t>text</t></si>, are read whole.
    auto leafItems = [&](XmlTokenizer& xt) {
        bool hasText = false;
        std::string_view text;
        while (xt.ReadLeaf("si", "t", hasText, text))
            builder.PoolText(text, true);
    };
    Walk(xml, maxDepth, "shared strings", [&](XmlTokenizer::Token t, XmlTokenizer& xt) {
        if (t == XmlTokenizer::Token::StartElement && Is(xt.Name(), "sst") && xt.Depth() == 1) {
            leafItems(xt);
        } else if (t == XmlTokenizer::Token::StartElement && Is(xt.Name(), "si") && !inItem) {
            inItem = true;
            run.Start();
            std::string_view text;
            if (xt.ReadSimpleChild("t", text))
                builder.AppendPiece(text);
        } else if (t == XmlTokenizer::Token::EndElement && Is(xt.Name(), "si") && inItem) {
            inItem = false;
            run.End();
            leafItems(xt);
        } else if (inItem) {
            run.Token(t, xt);
        } else if (t == XmlTokenizer::Token::Text && xt.Depth() == 1) {
            leafItems(xt);  // blanks between items
        }
    });
    builder.EndSharedStrings();
}

// "BC12" -> column 54 (from 0) and row 12; false when malformed.
bool ParseCellReference(std::string_view ref, uint32_t& column, uint32_t& row)
{
    const size_t n = ref.size();
    size_t i = 0;
    uint32_t col = 0;
    for (; i < n; ++i) {
        // Letters of either case, in one comparison.
        const uint32_t letter = static_cast<uint32_t>((ref[i] | 0x20) - 'a');
        if (letter >= 26)
            break;
        col = col * 26 + letter + 1;
        if (col > kMaxSheetColumns)
            return false;
    }
    if (i == 0 || i == n)
        return false;
    uint32_t r = 0;
    for (; i < n; ++i) {
        const uint32_t digit = static_cast<uint32_t>(ref[i] - '0');
        if (digit > 9)
            return false;
        r = r * 10 + digit;
        if (r > kMaxSheetRows)
            return false;
    }
    if (r == 0)
        return false;
    column = col - 1;
    row = r;
    return true;
}

// Digits only, as row numbers and string indexes are written.
std::optional<uint32_t> ParseUnsigned(std::string_view s, uint32_t max)
{
    if (s.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > max)
            return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

// A number as Excel shows it in the General format: integers without a fraction,
// others to 15 significant digits. What does not parse is kept as written.
std::string NumberText(std::string_view raw)
{
    std::string_view s = raw;
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n'))
        s.remove_suffix(1);
    // strtod and printf, not <charconv>'s floating-point functions: those bring some
    // 150 KiB of tables into Setup.exe. Only plain decimal numbers are taken, as
    // from_chars would (no sign "+", no hexadecimal, no "inf"); the program runs in
    // the C locale, whose decimal point is ".".
    if (s.empty() || s.front() == '+' || s.find_first_not_of("0123456789+-.eE") != std::string_view::npos)
        return std::string(raw);
    const std::string digits(s);
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(digits.c_str(), &end);
    if (end != digits.c_str() + digits.size() || errno == ERANGE || !std::isfinite(value))
        return std::string(raw);
    char buf[64];
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value));
        return std::string(buf, r.ptr);
    }
    std::snprintf(buf, sizeof buf, "%.15G", value);
    std::string out(buf);
    // Two exponent digits at least, as C prints them; some C libraries print three.
    const size_t e = out.find('E');
    if (e != std::string::npos && e + 2 < out.size())
        while (out.size() - (e + 2) > 2 && out[e + 2] == '0')
            out.erase(e + 2, 1);
    return out;
}

void ParseSheet(std::string_view xml, XlsxSheetBuilder& builder, const XlsxLimits& limits)
{
    bool inData = false, inRow = false, inCell = false, inValue = false, inInline = false;
    uint32_t rowNumber = 0, column = 0, rowsSeen = 0;
    int64_t lastColumn = -1;
    // What a cell's "t" says; an unknown type reads as a number.
    enum class CellType { Number, Shared, Inline, Boolean, Text };
    CellType type = CellType::Number;
    std::string value, scratch;
    RunText run(builder);
    constexpr uint32_t kNoText = UINT32_MAX;
    uint32_t inlineText = kNoText;

    // Where the cell goes, from its attributes, and its type.
    auto startCell = [&](const XmlTokenizer& xt) {
        uint32_t cellRow = rowNumber;
        column = static_cast<uint32_t>(lastColumn + 1);
        std::string_view ref;
        if (xt.Attribute("r", ref, scratch) && !ParseCellReference(ref, column, cellRow))
            throw ReadError{"sheet: bad cell reference \"" + std::string(ref) + "\""};
        if (column >= kMaxSheetColumns)
            throw ReadError{"sheet: more columns than a sheet can hold"};
        // A cell names its own row; trust it over the row element.
        rowNumber = cellRow;
        lastColumn = column;
        std::string_view t;
        type = CellType::Number;
        if (!xt.Attribute("t", t, scratch))
            return;
        if (Is(t, "s"))
            type = CellType::Shared;
        else if (Is(t, "inlineStr"))
            type = CellType::Inline;
        else if (Is(t, "b"))
            type = CellType::Boolean;
        else if (Is(t, "str") || Is(t, "e") || Is(t, "d"))
            type = CellType::Text;
    };
    auto endCell = [&](std::string_view value) {
        if (type == CellType::Shared) {
            if (value.empty())
                return;
            auto index = ParseUnsigned(value, UINT32_MAX);
            if (!index || !builder.IsShared(*index))
                throw ReadError{"sheet: cell refers to a missing shared string \"" + std::string(value) + "\""};
            builder.Add(rowNumber, column, *index);
        } else if (type == CellType::Inline) {
            if (inlineText != kNoText)
                builder.Add(rowNumber, column, inlineText);
        } else if (value.empty()) {
            return;
        } else if (type == CellType::Boolean) {
            builder.Add(rowNumber, column, builder.PoolText(value == "0" ? "FALSE" : "TRUE", false));
        } else if (type == CellType::Text) {
            builder.Add(rowNumber, column, builder.PoolText(value, true));
        } else {
            builder.Add(rowNumber, column, builder.PoolText(NumberText(value), false));
        }
    };
    // Cells of the common shape are read whole, without their tokens.
    auto leafCells = [&](XmlTokenizer& xt) {
        bool hasValue = false;
        std::string_view simple;
        while (xt.ReadLeaf("c", "v", hasValue, simple)) {
            startCell(xt);
            inlineText = kNoText;
            endCell(simple);
        }
    };

    Walk(xml, limits.maxDepth, "sheet", [&](XmlTokenizer::Token t, XmlTokenizer& xt) {
        std::string_view name = xt.Name();
        if (t == XmlTokenizer::Token::StartElement) {
            if (Is(name, "sheetData")) {
                inData = true;
            } else if (inData && !inRow && Is(name, "row")) {
                inRow = true;
                uint32_t number = rowNumber + 1;
                std::string_view attr;
                if (xt.Attribute("r", attr, scratch)) {
                    auto parsed = ParseUnsigned(attr, kMaxSheetRows);
                    if (!parsed || *parsed == 0)
                        throw ReadError{"sheet: bad row number \"" + std::string(attr) + "\""};
                    number = *parsed;
                }
                if (number > kMaxSheetRows)
                    throw ReadError{"sheet: more rows than a sheet can hold"};
                if (++rowsSeen > limits.maxRows)
                    throw ReadError{"the sheet has more than " + std::to_string(limits.maxRows) + " rows"};
                rowNumber = number;
                lastColumn = -1;
                leafCells(xt);
            } else if (inRow && !inCell && Is(name, "c")) {
                inCell = true;
                startCell(xt);
                value.clear();
                inlineText = kNoText;
                std::string_view simple;
                if (xt.ReadSimpleChild("v", simple))
                    value.assign(simple);
            } else if (inCell && !inInline && Is(name, "v")) {
                inValue = true;
            } else if (inCell && Is(name, "is")) {
                inInline = true;
                run.Start();
            } else if (inInline) {
                run.Token(t, xt);
            }
        } else if (t == XmlTokenizer::Token::EndElement) {
            if (inInline && Is(name, "is")) {
                inInline = false;
                inlineText = run.End();
            } else if (inInline) {
                run.Token(t, xt);
            } else if (inValue && Is(name, "v")) {
                inValue = false;
            } else if (inCell && Is(name, "c")) {
                inCell = false;
                endCell(value);
                leafCells(xt);
            } else if (inRow && !inCell && Is(name, "row")) {
                inRow = false;
            } else if (Is(name, "sheetData")) {
                inData = false;
            }
        } else if (t == XmlTokenizer::Token::Text) {
            if (inInline)
                run.Token(t, xt);
            else if (inValue)
                value += xt.Text();
            else if (inRow && !inCell)
                leafCells(xt);  // blanks between cells
        }
    });
}

void ReadSheet(const std::string& workbook, UStringView sheetName, XlsxSheet& sheet, const XlsxLimits& limits)
{
    ZipArchive zip;
    std::string error = zip.Open(workbook, limits.zip);
    if (!error.empty())
        throw ReadError{error};

    // The workbook part is named by the package relationships; every writer seen
    // puts it at xl/workbook.xml, which serves when those are missing.
    std::string workbookPart = "xl/workbook.xml";
    if (zip.Contains("_rels/.rels")) {
        for (const Relationship& r :
             ParseRelationships(Extract(zip, "_rels/.rels").View(), limits.maxDepth, "_rels/.rels"))
            if (!r.external && EndsWith(r.type, "/officeDocument") && !r.target.empty()) {
                workbookPart = ResolveTarget("", r.target);
                break;
            }
    }
    if (!zip.Contains(workbookPart))
        throw ReadError{"no workbook part " + workbookPart};

    std::string sheetId;
    std::vector<std::string> names;
    Walk(Extract(zip, workbookPart).View(), limits.maxDepth, workbookPart,
         [&](XmlTokenizer::Token t, const XmlTokenizer& xt) {
             std::string name, id;
             if (t != XmlTokenizer::Token::StartElement || xt.Name() != "sheet" || !xt.Attribute("name", name))
                 return;
             if (sheetId.empty() && SameAsciiText(DecodeXlsxText(name), sheetName) && xt.Attribute("id", id))
                 sheetId = id.empty() ? "?" : id;
             names.push_back(name);
         });
    if (sheetId.empty()) {
        std::string list;
        for (const std::string& n : names)
            list += (list.empty() ? "" : ", ") + n;
        throw ReadError{"no sheet of that name; the workbook has: " + (list.empty() ? "none" : list)};
    }

    const std::string folder = FolderOf(workbookPart);
    const std::string relsPart = RelationshipsPartOf(workbookPart);
    std::string sheetPart, sharedPart;
    if (zip.Contains(relsPart)) {
        for (const Relationship& r : ParseRelationships(Extract(zip, relsPart).View(), limits.maxDepth, relsPart)) {
            if (r.external)
                continue;
            if (r.id == sheetId)
                sheetPart = ResolveTarget(folder, r.target);
            if (EndsWith(ToAsciiLower(r.type), "/sharedstrings") && sharedPart.empty())
                sharedPart = ResolveTarget(folder, r.target);
        }
    }
    if (sheetPart.empty())
        throw ReadError{"the sheet's relationship " + sheetId + " is missing"};
    if (sharedPart.empty() && zip.Contains(folder + "sharedStrings.xml"))
        sharedPart = folder + "sharedStrings.xml";

    XlsxSheetBuilder builder(sheet, limits);
    // A missing shared-strings part only matters to a cell that refers to it.
    if (!sharedPart.empty() && zip.Contains(sharedPart))
        ParseSharedStrings(Extract(zip, sharedPart).View(), limits.maxDepth, builder);
    else
        builder.EndSharedStrings();
    const ZipEntryData sheetXml = Extract(zip, sheetPart);
    builder.Reserve(0, sheetXml.View().size() / 32);
    ParseSheet(sheetXml.View(), builder, limits);
    builder.Finish();
}

}  // namespace

UStringView XlsxSheet::Cell(size_t row, size_t column) const
{
    if (row >= rows_.size())
        return {};
    const Row& r = rows_[row];
    auto first = cells_.begin() + static_cast<ptrdiff_t>(r.first);
    auto last = first + static_cast<ptrdiff_t>(r.count);
    auto it = std::lower_bound(first, last, column, [](const CellEntry& c, size_t col) { return c.column < col; });
    if (it == last || it->column != column)
        return {};
    const TextSpan& span = texts_[it->text];
    return UStringView(pool_.get() + span.offset, span.length);
}

void XlsxSheet::Clear()
{
    pool_.reset();
    poolSize_ = poolCapacity_ = 0;
    texts_.clear();
    cells_.clear();
    rows_.clear();
    columns_ = 0;
}

void AppendXlsxText(std::string_view utf8, UString& out)
{
    const size_t start = out.size();
    out.resize(start + utf8.size());
    out.resize(start + WriteXlsxText(utf8, out.data() + start, true));
}

UString DecodeXlsxText(std::string_view utf8)
{
    UString out;
    AppendXlsxText(utf8, out);
    return out;
}

UString ReadXlsxSheet(const std::string& workbook, UStringView sheetName, XlsxSheet& sheet, const XlsxLimits& limits)
{
    sheet.Clear();
    try {
        ReadSheet(workbook, sheetName, sheet, limits);
        return {};
    } catch (const ReadError& e) {
        sheet.Clear();
        return Utf8ToU16(e.what);
    } catch (const std::bad_alloc&) {
        sheet.Clear();
        return u"out of memory reading the workbook";
    } catch (const std::length_error&) {
        sheet.Clear();
        return u"out of memory reading the workbook";
    }
}

UString ReadXlsxSheetFile(const UString& path, UStringView sheetName, XlsxSheet& sheet, const XlsxLimits& limits)
{
    sheet.Clear();
    std::optional<std::string> bytes = Platform().ReadWholeFile(path);
    if (!bytes)
        return u"cannot read " + path + u": " + Platform().SystemErrorMessage(Platform().LastError());
    UString error = ReadXlsxSheet(*bytes, sheetName, sheet, limits);
    return error.empty() ? error : path + u": " + error;
}
