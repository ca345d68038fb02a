// The text workbook as start-up reads it: zip container, inflate, XML, shared
// strings and cells, into the text table (and, when the workbook is refused, the
// INI text files, of which there are none here).
#include <cstddef>
#include <cstdint>
#include <string>

#include "language/Language_management.h"
#include "language/XlsxReader.h"
#include "toolkit/FileStore.h"
#include "toolkit/MemIniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    XlsxSheet sheet;
    if (ReadXlsxSheet(bytes, u"Install", sheet).empty() && sheet.ColumnCount() <= 64) {
        size_t units = 0;
        for (size_t r = 0; r < sheet.RowCount(); ++r)
            for (size_t c = 0; c <= sheet.ColumnCount(); ++c)
                units += sheet.Cell(r, c).size();
        (void)units;
    }

    FileStore store;
    store.files[u"C:\\Texts\\File.xlsx"] = bytes;
    TMemIniFile table;
    LoadWorkbookTexts(table, u"C:\\Texts\\File.xlsx", u"German", u"Install");
    TStringList lines;
    table.GetStrings(lines);
    return 0;
}
