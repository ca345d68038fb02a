#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "language/XlsxReader.h"

namespace {

using Table = std::vector<std::vector<std::string>>;

std::string FixturePath(const std::string& name)
{
    const char* source = SETUP_SOURCE_DIR;
    return std::string(source ? source : ".") + "/tests/language/fixtures/" + name;
}

std::string ReadHostFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The table the fixtures were made from, with make-fixtures' rule that an empty
// language cell holds the English text.
Table SourceTable()
{
    Table rows;
    std::istringstream in(ReadHostFile(FixturePath("texts.tsv")));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> cells;
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, '\t');)
            cells.push_back(cell);
        rows.push_back(cells);
    }
    const size_t width = rows.front().size();
    for (size_t r = 1; r < rows.size(); ++r) {
        rows[r].resize(width);
        if (rows[r][0][0] == '[')
            continue;
        for (size_t c = 2; c < width; ++c)
            if (rows[r][c].empty())
                rows[r][c] = rows[r][1];
    }
    return rows;
}

Table ReadPath(const std::string& path)
{
    XlsxSheet sheet;
    UString error = ReadXlsxSheet(ReadHostFile(path), u"Install", sheet);
    EXPECT_EQ(u"", error) << path << ": " << ToUtf8(error);
    Table rows;
    for (size_t r = 0; r < sheet.RowCount(); ++r) {
        rows.emplace_back();
        for (size_t c = 0; c < sheet.ColumnCount(); ++c)
            rows.back().push_back(ToUtf8(sheet.Cell(r, c)));
    }
    return rows;
}

Table Read(const std::string& fixture) { return ReadPath(FixturePath(fixture)); }

TEST(Writers, LibreOfficeLibxlsxwriterAndOpenpyxlWorkbooksReadAlike)
{
    const Table expected = SourceTable();
    ASSERT_EQ(10u, expected.size());
    for (const char* fixture : {"libxlsxwriter.xlsx", "openpyxl.xlsx", "libreoffice.xlsx"})
        EXPECT_EQ(expected, Read(fixture)) << fixture;
}

// The openpyxl workbook in the other containers the fuzzing starts from: every size
// and offset in zip64 fields, and entries stored without compression.
TEST(Writers, Zip64AndStoredContainersReadAlike)
{
    const Table expected = SourceTable();
    const std::string seeds = std::string(SETUP_SOURCE_DIR) + "/tools/fuzz/seeds/fuzz_workbook/";
    for (const char* seed : {"zip64.xlsx", "stored.xlsx"})
        EXPECT_EQ(expected, ReadPath(seeds + seed)) << seed;
}

}  // namespace
