#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/UString.h"
#include "language/XlsxReader.h"
#include "language/XmlTokenizer.h"
#include "xlsx/ZipBuilder.h"

namespace {

std::string Workbook(const std::string& rows, const std::string& shared = {}, bool deflate = true)
{
    auto parts = WorkbookParts(SheetXml(rows), shared);
    for (auto& p : parts)
        p.deflate = deflate;
    return BuildZip(parts);
}

// The sheet as rows of UTF-8 cells, columns up to the widest row.
std::vector<std::vector<std::string>> Table(const XlsxSheet& sheet)
{
    std::vector<std::vector<std::string>> rows;
    for (size_t r = 0; r < sheet.RowCount(); ++r) {
        std::vector<std::string> row;
        for (size_t c = 0; c < sheet.ColumnCount(); ++c)
            row.push_back(ToUtf8(sheet.Cell(r, c)));
        rows.push_back(row);
    }
    return rows;
}

const char* kShared = R"(<?xml version="1.0" encoding="UTF-8"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="4" uniqueCount="4">
<si><t>Ident</t></si>
<si><r><rPr><b/></rPr><t xml:space="preserve">Rich </t></r><r><t>text</t></r><rPh sb="0" eb="1"><t>ふりがな</t></rPh></si>
<si><t>Tom &amp; &quot;Jerry&quot; &lt;3 &#x41;&#66; 日本語 &#x1F600;</t></si>
<si><t>line_x000D_
break</t></si>
</sst>)";

TEST(XlsxReader, ReadsEveryKindOfCellAsTextPlacedByReference)
{
    const std::string rows =
        R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="C1" t="s"><v>1</v></c></row>)"
        R"(<row r="3" spans="1:4"><c r="B3" t="s"><v>2</v></c><c r="D3" t="inlineStr"><is><r><t>in</t></r><r><t>line</t></r></is></c></row>)"
        R"(<row r="4"><c r="A4"><v>42</v></c><c r="B4" s="1"><v>3.5</v></c><c r="C4"><v>0.30000000000000004</v></c><c r="D4" t="b"><v>1</v></c></row>)"
        R"(<row r="5"><c r="A5" t="str"><f>A1&amp;"x"</f><v>Identx</v></c><c r="B5" t="e"><f>1/0</f><v>#DIV/0!</v></c><c r="C5" t="b"><v>0</v></c><c r="D5"/></row>)"
        R"(<row r="6"><c t="s"><v>3</v></c><c><v>-7</v></c><c r="D6"><v>1E+20</v></c></row>)";
    for (bool deflate : {true, false}) {
        XlsxSheet sheet;
        ASSERT_EQ(u"", ReadXlsxSheet(Workbook(rows, kShared, deflate), u"install", sheet)) << deflate;
        using Row = std::vector<std::string>;
        std::vector<Row> expected = {
            {"Ident", "", "Rich text", ""},       {"", "Tom & \"Jerry\" <3 AB 日本語 😀", "", "inline"},
            {"42", "3.5", "0.3", "TRUE"},         {"Identx", "#DIV/0!", "FALSE", ""},
            {"line\r\nbreak", "-7", "", "1E+20"},
        };
        EXPECT_EQ(expected, Table(sheet));
        EXPECT_EQ(3u, sheet.RowNumber(1));
        EXPECT_EQ(u"", sheet.Cell(0, 99));
        EXPECT_EQ(u"", sheet.Cell(99, 0));
    }
}

TEST(XlsxReader, ShowsNumbersAsExcelsGeneralFormatAndKeepsWhatIsNoPlainNumber)
{
    struct Case {
        const char* stored;
        const char* shown;
    };
    const Case cases[] = {
        {"1.5E-7", "1.5E-07"},                             // two exponent digits, whatever the C library prints
        {"12345678901234567890", "1.23456789012346E+19"},  // 15 significant digits
        {"-0.000123", "-0.000123"},
        {"1e400", "1e400"},  // out of range: kept
        {"+5", "+5"},        // no plain number: kept
        {"0x10", "0x10"},
        {"inf", "inf"},
        {"1,5", "1,5"},
    };
    std::string rows = "<row>";
    for (const Case& c : cases)
        rows += std::string("<c><v>") + c.stored + "</v></c>";
    rows += "</row>";
    XlsxSheet sheet;
    ASSERT_EQ(u"", ReadXlsxSheet(Workbook(rows), u"install", sheet));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].shown, ToUtf8(sheet.Cell(0, i))) << cases[i].stored;
}

TEST(XlsxReader, FindsTheSheetByNameOrSaysWhichSheetsThereAre)
{
    XlsxSheet sheet;
    std::string book =
        BuildZip(WorkbookParts(SheetXml(R"(<row><c t="inlineStr"><is><t>mine</t></is></c></row>)"), "", "Texts"));
    ASSERT_EQ(u"", ReadXlsxSheet(book, u"TEXTS", sheet));
    EXPECT_EQ(u"mine", sheet.Cell(0, 0));
    UString error = ReadXlsxSheet(book, u"Install", sheet);
    EXPECT_NE(UString::npos, error.find(u"Other, Texts")) << ToUtf8(error);
    EXPECT_EQ(0u, sheet.RowCount());
}

TEST(XlsxReader, LaterCellOfTheSameReferenceWinsAndRowsComeInSheetOrder)
{
    XlsxSheet sheet;
    ASSERT_EQ(
        u"",
        ReadXlsxSheet(
            Workbook(
                R"(<row r="2"><c r="A2"><v>2</v></c></row><row r="1"><c r="A1"><v>1</v></c><c r="A1"><v>9</v></c></row>)"),
            u"Install", sheet));
    EXPECT_EQ((std::vector<std::vector<std::string>>{{"9"}, {"2"}}), Table(sheet));
}

// Numbers as a writer might pad them still place the cell.
TEST(XlsxReader, LeadingZerosInReferencesAndIndexesAreRead)
{
    XlsxSheet sheet;
    ASSERT_EQ(u"", ReadXlsxSheet(Workbook(R"(<row r="0002"><c r="B00000002" t="s"><v>000000000000</v></c></row>)",
                                          "<sst><si><t>z</t></si></sst>"),
                                 u"Install", sheet));
    ASSERT_EQ(1u, sheet.RowCount());
    EXPECT_EQ(2u, sheet.RowNumber(0));
    EXPECT_EQ(u"z", sheet.Cell(0, 1));
    // An index past 32 bits is refused, not wrapped round to string 0.
    EXPECT_NE(u"",
              ReadXlsxSheet(Workbook(R"(<row><c t="s"><v>4294967296</v></c></row>)", "<sst><si><t>z</t></si></sst>"),
                            u"Install", sheet));
}

// Items of the plain shape are read whole and the others token by token; mixed,
// every item must keep its place in the numbering.
TEST(XlsxReader, SharedStringsOfEveryShapeKeepTheirIndex)
{
    const std::string shared =
        "<sst><si/><!-- note --><si><t>a</t></si> <si><t xml:space=\"preserve\">b </t></si><si></si>"
        "<si><t>c</t><phoneticPr fontId=\"1\"/></si><si><t>d&amp;</t></si><si><t>e</t></si></sst>";
    std::string cells;
    for (int i = 0; i < 7; ++i)
        cells += "<c t=\"s\"><v>" + std::to_string(i) + "</v></c>";
    XlsxSheet sheet;
    ASSERT_EQ(u"", ReadXlsxSheet(Workbook("<row r=\"1\">" + cells + "</row>", shared), u"Install", sheet));
    EXPECT_EQ((std::vector<std::vector<std::string>>{{"", "a", "b ", "", "c", "d&", "e"}}), Table(sheet));
}
struct DamageCase {
    const char* what;
    std::string bytes;
};

std::string WithEntry(ZipEntrySpec damaged)
{
    auto parts = WorkbookParts(SheetXml(""), "");
    parts.back() = std::move(damaged);
    parts.back().name = "xl/worksheets/sheet2.xml";
    return BuildZip(parts);
}

// A sheet that inflates in many pieces, each row different.
std::string LargeRows(int count)
{
    std::string rows;
    for (int r = 1; r <= count; ++r)
        rows += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) + "\"><v>" +
                std::to_string(r * 7919 % 100003) + "</v></c></row>";
    return rows;
}

TEST(XlsxReader, LargeSheetIsReadWhole)
{
    XlsxSheet sheet;
    ASSERT_EQ(u"", ReadXlsxSheet(Workbook(LargeRows(20000)), u"Install", sheet));
    ASSERT_EQ(20000u, sheet.RowCount());
    EXPECT_EQ(u"7919", sheet.Cell(0, 0));
    EXPECT_EQ(std::to_string(20000 * 7919 % 100003), ToUtf8(sheet.Cell(19999, 0)));
}

TEST(XlsxReader, DamagedArchivesGiveAnErrorText)
{
    std::string zeros(4u << 20, '\0');
    std::string goodSheet = SheetXml(R"(<row><c><v>1</v></c></row>)");
    std::string largeSheet = SheetXml(LargeRows(20000));
    std::string book = Workbook(R"(<row><c><v>1</v></c></row>)");
    std::string noEnd = book.substr(0, book.size() - 22);
    std::string cdOutside = book;
    cdOutside[cdOutside.size() - 6] = '\x7F';  // central directory offset's high byte
    std::vector<DamageCase> cases = {
        {"empty", ""},
        {"not a zip", "PK\x03\x04 this is plain text, not an archive at all"},
        {"no end record", noEnd},
        {"central directory offset wrong", cdOutside},
        {"wrong CRC", WithEntry({"", goodSheet, true, true})},
        {"stored wrong CRC", WithEntry({"", goodSheet, false, true})},
        {"wrong CRC of a sheet inflated in pieces", WithEntry({"", largeSheet, true, true})},
        {"large sheet announced a byte short", WithEntry({"", largeSheet, true, false, -1})},
        {"large sheet announced a byte long", WithEntry({"", largeSheet, true, false, +1})},
        {"announced size too small", WithEntry({"", goodSheet, true, false, -5})},
        {"announced size too large", WithEntry({"", goodSheet, true, false, +5})},
        {"ratio past 200", WithEntry({"", zeros})},
        {"announced past 64 MiB", WithEntry({"", goodSheet, true, false, 65 << 20})},
        {"no workbook part", BuildZip({{"a.txt", "hello"}})},
    };
    for (const DamageCase& c : cases) {
        XlsxSheet sheet;
        EXPECT_NE(u"", ReadXlsxSheet(c.bytes, u"Install", sheet)) << c.what;
        EXPECT_EQ(0u, sheet.RowCount()) << c.what;
    }
}

TEST(XlsxReader, EveryCutOrFlippedByteIsReadOrRefusedCleanly)
{
    std::string book = Workbook(R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1"><v>5</v></c></row>)", kShared);
    for (size_t cut = 0; cut < book.size(); ++cut) {
        XlsxSheet sheet;
        EXPECT_NE(u"", ReadXlsxSheet(book.substr(0, cut), u"Install", sheet)) << cut;
    }
    for (size_t at = 0; at < book.size(); ++at) {
        for (char flip : {'\x01', '\x80', '\xFF'}) {
            std::string damaged = book;
            damaged[at] = static_cast<char>(damaged[at] ^ flip);
            XlsxSheet sheet;
            ReadXlsxSheet(damaged, u"Install", sheet);  // either outcome; no crash, no hang
        }
    }
}

TEST(XlsxReader, MalformedOrHostileSheetsAreRefused)
{
    std::string deep;
    for (int i = 0; i < 300; ++i)
        deep += "<x>";
    struct Case {
        const char* what;
        std::string rows;
    } cases[] = {
        {"unclosed element", R"(<row><c><v>1</v></c>)"},
        {"mismatched end tag", R"(<row><c><v>1</c></v></row>)"},
        {"unknown entity", R"(<row><c t="inlineStr"><is><t>&nbsp;</t></is></c></row>)"},
        {"unquoted attribute", R"(<row r=1><c><v>1</v></c></row>)"},
        {"bad cell reference", R"(<row><c r="1A"><v>1</v></c></row>)"},
        {"column past XFD", R"(<row><c r="XFE1"><v>1</v></c></row>)"},
        {"row past a sheet", R"(<row r="1048577"><c><v>1</v></c></row>)"},
        {"cell row past a sheet", R"(<row><c r="A1048577"><v>1</v></c></row>)"},
        {"cell row of eight digits", R"(<row><c r="A10000000"><v>1</v></c></row>)"},
        {"missing shared string", R"(<row><c t="s"><v>7</v></c></row>)"},
        {"nesting deeper than 256", "<row>" + deep},
    };
    for (const Case& c : cases) {
        XlsxSheet sheet;
        EXPECT_NE(u"", ReadXlsxSheet(Workbook(c.rows), u"Install", sheet)) << c.what;
    }
    XlsxSheet sheet;
    std::string doctype = BuildZip(WorkbookParts(
        R"(<?xml version="1.0"?><!DOCTYPE lol [<!ENTITY a "aaaa">]><worksheet><sheetData/></worksheet>)", ""));
    EXPECT_NE(u"", ReadXlsxSheet(doctype, u"Install", sheet));
}

TEST(XlsxReader, SizeLimitsStopTheReadBeforeMemoryGrows)
{
    // One long shared string referenced by many cells: small file, huge copy-out.
    std::string noise;
    for (uint32_t i = 0, x = 1; i < 100000; ++i, x = x * 1103515245 + 12345)
        noise += static_cast<char>('a' + (x >> 16) % 26);
    std::string shared = "<sst><si><t>" + noise + "</t></si></sst>";
    std::string rows;
    for (int r = 1; r <= 400; ++r)
        rows += "<row r=\"" + std::to_string(r) + "\"><c t=\"s\"><v>0</v></c></row>";
    XlsxSheet sheet;
    UString error = ReadXlsxSheet(Workbook(rows, shared), u"Install", sheet);
    EXPECT_NE(UString::npos, error.find(u"more text")) << ToUtf8(error);

    XlsxLimits few;
    few.maxRows = 300;
    error = ReadXlsxSheet(Workbook(rows, shared), u"Install", sheet, few);
    EXPECT_NE(UString::npos, error.find(u"more than 300 rows")) << ToUtf8(error);

    // The last row Excel allows is read; it does not stand for a million rows.
    ASSERT_EQ(u"",
              ReadXlsxSheet(Workbook(R"(<row r="1048576"><c r="XFD1048576"><v>1</v></c></row>)"), u"Install", sheet));
    EXPECT_EQ(1u, sheet.RowCount());
    EXPECT_EQ(16384u, sheet.ColumnCount());
}

TEST(XmlTokenizer, ResolvesMarkupAndDropsPrefixes)
{
    XmlTokenizer xt("\xEF\xBB\xBF<?xml version=\"1.0\"?><!-- c --><x:a x:k='v&amp;w' "
                    "other=\"1\">one\r\ntwo<![CDATA[<raw>]]>&#13;<b/></x:a>");
    ASSERT_EQ(XmlTokenizer::Token::StartElement, xt.Next());
    EXPECT_EQ("a", xt.Name());
    std::string value;
    ASSERT_TRUE(xt.Attribute("k", value));
    EXPECT_EQ("v&w", value);
    EXPECT_FALSE(xt.Attribute("missing", value));
    ASSERT_EQ(XmlTokenizer::Token::Text, xt.Next());
    EXPECT_EQ("one\ntwo<raw>\r", xt.Text());
    ASSERT_EQ(XmlTokenizer::Token::StartElement, xt.Next());
    EXPECT_EQ(2, xt.Depth());
    EXPECT_EQ(XmlTokenizer::Token::EndElement, xt.Next());
    EXPECT_EQ(XmlTokenizer::Token::EndElement, xt.Next());
    EXPECT_EQ(XmlTokenizer::Token::End, xt.Next());
}

// The shortcut for a child of plain text takes exactly that shape and leaves every
// other one, untouched, to the tokens.
TEST(XmlTokenizer, SimpleChildIsTakenWholeOrNotAtAll)
{
    struct Case {
        const char* inner;  // what follows <si>
        bool taken;
        const char* text;  // the child's text when taken
    } cases[] = {
        {"<t>plain text</t></si>", true, "plain text"},
        {"<t></t></si>", true, ""},
        {"<t>a &amp; b</t></si>", false, ""},
        {"<t>line\r\nend</t></si>", false, ""},
        {"<t xml:space=\"preserve\"> x</t></si>", false, ""},
        {"<x:t>prefixed</x:t></si>", false, ""},
        {"<tt>longer name</tt></si>", false, ""},
        {"<t>cut short", false, ""},
        {"<t>wrong end</v></si>", false, ""},
        {"<r><t>run</t></r></si>", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inner);
        const std::string xml = std::string("<si>") + c.inner;
        XmlTokenizer xt(xml);
        ASSERT_EQ(XmlTokenizer::Token::StartElement, xt.Next());
        std::string_view text = "untouched";
        EXPECT_EQ(c.taken, xt.ReadSimpleChild("t", text));
        if (c.taken) {
            EXPECT_EQ(c.text, text);
            EXPECT_EQ(XmlTokenizer::Token::EndElement, xt.Next());
            EXPECT_EQ("si", xt.Name());
        } else {
            EXPECT_EQ("untouched", text);
            // The tokens go on from where the child begins.
            EXPECT_NE(XmlTokenizer::Token::EndElement, xt.Next());
        }
    }
}

// The whole-cell shortcut takes exactly the plain shape, and leaves every other one,
// untouched, to the tokens.
TEST(XmlTokenizer, LeafIsTakenWholeOrNotAtAll)
{
    struct Case {
        const char* cell;  // followed by "<next/>"
        bool taken;
        bool hasChild;
        const char* text;  // the child's
        const char* r;     // attribute r, when taken
    } cases[] = {
        {R"(<c r="A1" t="s"><v>12</v></c>)", true, true, "12", "A1"},
        {R"(<c r='B2'/>)", true, false, "", "B2"},
        {R"(<c r="C3" ><v></v></c>)", true, true, "", "C3"},
        {R"(<c r="D4"></c>)", true, false, "", "D4"},
        {R"(<c t='s' r="E'5" s='"'><v>1</v></c>)", true, true, "1", "E'5"},
        {"<c\n\tr=\"F6\"\n/>", true, false, "", "F6"},
        {R"(<c r = "A1"><v>1</v></c>)", false, false, "", ""},
        {"<c r=\"A\r1\"><v>1</v></c>", false, false, "", ""},
        {R"(<c r="A&amp;1"><v>1</v></c>)", false, false, "", ""},
        {R"(<c r="A1"><f>1+1</f><v>2</v></c>)", false, false, "", ""},
        {R"(<c r="A1"><v>1</v></c >)", false, false, "", ""},
        {R"(<x:c r="A1"><v>1</v></x:c>)", false, false, "", ""},
        {R"(<cc r="A1"><v>1</v></cc>)", false, false, "", ""},
        {R"(<c r="A1"><v>1</v></d>)", false, false, "", ""},
        {R"(<c r="A1"><v>1</v>)", false, false, "", ""},
        {R"(<c r="A1)", false, false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        const std::string xml = std::string("<row>") + c.cell + "<next/></row>";
        XmlTokenizer xt(xml);
        ASSERT_EQ(XmlTokenizer::Token::StartElement, xt.Next());
        bool hasChild = false;
        std::string_view text = "untouched";
        ASSERT_EQ(c.taken, xt.ReadLeaf("c", "v", hasChild, text));
        if (c.taken) {
            EXPECT_EQ(c.hasChild, hasChild);
            EXPECT_EQ(c.text, text);
            std::string r;
            EXPECT_TRUE(xt.Attribute("r", r));
            EXPECT_EQ(c.r, r);
            ASSERT_EQ(XmlTokenizer::Token::StartElement, xt.Next());
            EXPECT_EQ("next", xt.Name());
        } else {
            EXPECT_EQ("untouched", text);
            // The tokens go on from the cell's start.
            XmlTokenizer::Token t = xt.Next();
            EXPECT_TRUE(t == XmlTokenizer::Token::Error ||
                        (t == XmlTokenizer::Token::StartElement && xt.Name() != "next"));
        }
    }
    // Too deep for the cell and its child: left to the tokens, which refuse it.
    XmlTokenizer deep("<a><b><c><v>1</v></c></b></a>", 3);
    ASSERT_EQ(XmlTokenizer::Token::StartElement, deep.Next());
    ASSERT_EQ(XmlTokenizer::Token::StartElement, deep.Next());
    bool hasChild = false;
    std::string_view text;
    EXPECT_FALSE(deep.ReadLeaf("c", "v", hasChild, text));
}

TEST(XlsxText, DecodesEscapesAndInvalidUtf8)
{
    EXPECT_EQ(u"a\rb_x00G1_c_", DecodeXlsxText("a_x000D_b_x00G1_c_"));
    EXPECT_EQ(u"_x000D_", DecodeXlsxText("_x005F_x000D_"));
    EXPECT_EQ(u"\uFFFDA\uFFFD\uFFFD", DecodeXlsxText("\xC3"
                                                     "A\xED\xA0\x80\xC0\xAF"));
    // Long texts are widened a block at a time, the last block overlapping the one
    // before: what comes before it, and what it holds, must land where it belongs.
    const struct {
        const char* utf8;
        const char16_t* text;
    } blocks[] = {
        {"\xC3\xA9"
         "abcdefghijklmnopqrst",
         u"\u00E9abcdefghijklmnopqrst"},
        {"abcdefghijklmnopqrstuvwxyz\xE6\x97\xA5", u"abcdefghijklmnopqrstuvwxyz\u65E5"},
        {"abcdefghijklmnopq_x0041_", u"abcdefghijklmnopqA"},
        {"\xC3\xA9\xC3\xA9\xC3\xA9"
         "0123456789abcdefghij\xC3\xA9xyz",
         u"\u00E9\u00E9\u00E90123456789abcdefghij\u00E9xyz"},
        {"0123456789abcdef", u"0123456789abcdef"},
    };
    for (const auto& b : blocks)
        EXPECT_EQ(b.text, DecodeXlsxText(b.utf8)) << b.utf8;
}

}  // namespace
