#include <xlsxwriter.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "language/XlsxReader.h"

namespace {

// A workbook of every kind of cell libxlsxwriter writes, read back by our reader.
TEST(XlsxWriterBooks, EveryKindOfCellReadsAsText)
{
    auto file = std::filesystem::temp_directory_path() / "setup-xlsxwriter-kinds.xlsx";
    lxw_workbook* book = workbook_new(file.string().c_str());
    workbook_add_worksheet(book, "First");
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Install");
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    worksheet_write_string(sheet, 0, 0, "Ident", nullptr);
    worksheet_write_string(sheet, 0, 3, "far column", nullptr);
    worksheet_write_number(sheet, 2, 0, 42, nullptr);
    worksheet_write_number(sheet, 2, 1, 2.5, nullptr);
    worksheet_write_boolean(sheet, 2, 2, 1, nullptr);
    worksheet_write_formula_str(sheet, 3, 0, "=A1&\"!\"", nullptr, "Ident!");
    worksheet_write_formula_num(sheet, 3, 1, "=A3*2", nullptr, 84);
    lxw_rich_string_tuple plain = {nullptr, const_cast<char*>("Rich ")};
    lxw_rich_string_tuple strong = {bold, const_cast<char*>("Text")};
    lxw_rich_string_tuple* runs[] = {&plain, &strong, nullptr};
    worksheet_write_rich_string(sheet, 4, 0, runs, nullptr);
    worksheet_write_string(sheet, 4, 1, "Line one\r\nline two & <three> \"four\"", nullptr);
    worksheet_write_string(sheet, 4, 2, "日本語 русский 😀", nullptr);
    ASSERT_EQ(LXW_NO_ERROR, workbook_close(book));
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::filesystem::remove(file);

    XlsxSheet read;
    ASSERT_EQ(u"", ReadXlsxSheet(bytes.str(), u"Install", read));
    ASSERT_EQ(4u, read.RowCount());  // the empty second row is not a row
    EXPECT_EQ(4u, read.ColumnCount());
    EXPECT_EQ(u"Ident", read.Cell(0, 0));
    EXPECT_EQ(u"", read.Cell(0, 1));
    EXPECT_EQ(u"far column", read.Cell(0, 3));
    EXPECT_EQ(3u, read.RowNumber(1));
    EXPECT_EQ(u"42", read.Cell(1, 0));
    EXPECT_EQ(u"2.5", read.Cell(1, 1));
    EXPECT_EQ(u"TRUE", read.Cell(1, 2));
    EXPECT_EQ(u"Ident!", read.Cell(2, 0));
    EXPECT_EQ(u"84", read.Cell(2, 1));
    EXPECT_EQ(u"Rich Text", read.Cell(3, 0));
    EXPECT_EQ(u"Line one\r\nline two & <three> \"four\"", read.Cell(3, 1));
    EXPECT_EQ(u"日本語 русский 😀", read.Cell(3, 2));
}

}  // namespace
