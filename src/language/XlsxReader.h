#pragma once
// Our own reader of one sheet of an .xlsx workbook, the same on every platform.
// It opens the zip container from its central directory, finds the sheet by name
// through the workbook part and its relationships, and reads every cell as text:
// shared strings (rich-text runs joined, phonetic runs left out), inline strings,
// numbers, booleans ("TRUE"/"FALSE"), error values and the cached values of
// formulas. Cells are placed by their reference, so an omitted cell reads empty and
// a row that skips columns is read right.
//
// Failures are returned as a text, never thrown; the limits below keep a damaged
// or hostile file from taking more than a bounded amount of time and memory.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/UString.h"
#include "language/ZipArchive.h"

struct XlsxLimits {
    ZipLimits zip;
    size_t maxRows = 100000;
    // Text of all cells together, in UTF-16 code units: a shared string may be
    // referenced by any number of cells, and callers copy each cell.
    size_t maxTextUnits = 32u << 20;
    int maxDepth = 256;
};

class XlsxSheet {
public:
    // Rows that hold at least one value, in sheet order.
    size_t RowCount() const { return rows_.size(); }
    // The row's number in the sheet, from 1.
    uint32_t RowNumber(size_t row) const { return rows_[row].number; }
    // One past the rightmost column that holds a value, over all rows.
    size_t ColumnCount() const { return columns_; }
    // Columns from 0 (A). Empty for an omitted cell or an index out of range.
    UStringView Cell(size_t row, size_t column) const;

    void Clear();

private:
    friend class XlsxSheetBuilder;
    struct Row {
        uint32_t number = 0;
        size_t first = 0;  // into cells_
        size_t count = 0;
    };
    struct CellEntry {
        uint32_t column = 0;
        uint32_t text = 0;  // into texts_
    };
    struct TextSpan {
        uint32_t offset = 0;  // into pool_
        uint32_t length = 0;
    };
    // Every text once, end to end: one allocation instead of one per string.
    std::unique_ptr<char16_t[]> pool_;
    size_t poolSize_ = 0, poolCapacity_ = 0;
    std::vector<TextSpan> texts_;
    std::vector<CellEntry> cells_;
    std::vector<Row> rows_;
    size_t columns_ = 0;
};

// Reads the sheet of that name (compared without regard to ASCII case, as Excel
// names sheets) from the workbook's bytes. Empty on success; otherwise what went
// wrong, and `sheet` is empty.
UString ReadXlsxSheet(const std::string& workbook, UStringView sheetName, XlsxSheet& sheet,
                      const XlsxLimits& limits = {});
// The same from a file, read through Platform().
UString ReadXlsxSheetFile(const UString& path, UStringView sheetName, XlsxSheet& sheet, const XlsxLimits& limits = {});

// UTF-8 to UTF-16 with the OOXML escapes "_xHHHH_" turned back into their code
// units; invalid UTF-8 becomes U+FFFD.
UString DecodeXlsxText(std::string_view utf8);
void AppendXlsxText(std::string_view utf8, UString& out);
