// Build-time writer of the package's text sources from one readable table.
//
//   textbook <texts.tsv> <output folder> [workbook name] [sheet]
//
// writes <output>/<workbook name>.xlsx (sheet "Install" by default: first row "Ident"
// and the language columns, section rows such as "[InstallWizard]") and the INI
// fallback <output>/LanguageIni_<workbook name>/<Lang>/<sheet>_<Lang>.ini of every
// language column, in UTF-16LE with byte-order mark.
//
// The table: UTF-8, one tab between columns, "#" lines and empty lines ignored. The
// first row names the columns ("Ident" first). "\n" in a text is a line break; an
// empty language cell takes the text of the "English" column. Texts must survive the
// INI format too, so a text with "=" or with blanks at either end is refused.
#include <xlsxwriter.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Row = std::vector<std::string>;

std::vector<std::string> Split(const std::string& line, char delimiter)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t at = line.find(delimiter, start);
        fields.push_back(line.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            return fields;
        start = at + 1;
    }
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::u16string Utf16(const std::string& s)
{
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        for (size_t k = 1; k < len && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

struct Table {
    Row header;
    std::vector<Row> rows;  // each as wide as the header
};

bool ReadTable(const std::string& path, Table& table)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "textbook: cannot read " << path << "\n";
        return false;
    }
    std::string line;
    int number = 0;
    bool ok = true;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.erase(0, 3);
        if (line.empty() || line[0] == '#')
            continue;
        Row fields = Split(line, '\t');
        if (table.header.empty()) {
            if (fields.empty() || fields[0] != "Ident") {
                std::cerr << path << ":" << number << ": the first row must begin with Ident\n";
                return false;
            }
            table.header = fields;
            continue;
        }
        if (fields.size() > table.header.size()) {
            std::cerr << path << ":" << number << ": more cells than columns\n";
            ok = false;
            continue;
        }
        fields.resize(table.header.size());
        for (size_t c = 1; c < fields.size(); ++c) {
            const std::string& text = fields[c];
            if (text.find('=') != std::string::npos ||
                (!text.empty() && (IsBlank(text.front()) || IsBlank(text.back())))) {
                std::cerr << path << ":" << number << ": the " << table.header[c]
                          << " text has \"=\" or blanks at an end, which the INI files cannot hold\n";
                ok = false;
            }
        }
        table.rows.push_back(std::move(fields));
    }
    if (table.header.empty()) {
        std::cerr << path << ": no header row\n";
        return false;
    }
    return ok;
}

// The text of a cell as the program shall read it; the English one when empty.
std::string CellText(const Table& table, const Row& row, size_t column, size_t english)
{
    std::string text = row[column];
    if (text.empty() && english < row.size())
        text = row[english];
    return ReplaceAll(text, "\\n", "\r\n");
}

bool WriteWorkbook(const Table& table, const fs::path& file, const std::string& sheetName, size_t english)
{
    lxw_workbook* workbook = workbook_new(file.string().c_str());
    if (!workbook)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, sheetName.c_str());
    for (size_t c = 0; c < table.header.size(); ++c)
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), table.header[c].c_str(), nullptr);
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const Row& row = table.rows[r];
        auto rowIndex = static_cast<lxw_row_t>(r + 1);
        worksheet_write_string(sheet, rowIndex, 0, row[0].c_str(), nullptr);
        if (!row[0].empty() && row[0][0] == '[')
            continue;
        for (size_t c = 1; c < row.size(); ++c) {
            std::string text = CellText(table, row, c, english);
            if (!text.empty())
                worksheet_write_string(sheet, rowIndex, static_cast<lxw_col_t>(c), text.c_str(), nullptr);
        }
    }
    lxw_error error = workbook_close(workbook);
    if (error != LXW_NO_ERROR) {
        std::cerr << "textbook: writing " << file.string() << ": " << lxw_strerror(error) << "\n";
        return false;
    }
    return true;
}

bool WriteIni(const Table& table, const fs::path& file, size_t column, size_t english)
{
    std::string utf8;
    for (const Row& row : table.rows) {
        if (!row[0].empty() && row[0][0] == '[') {
            utf8 += row[0] + "\r\n";
            continue;
        }
        std::string text = CellText(table, row, column, english);
        if (!text.empty())
            utf8 += row[0] + "=" + ReplaceAll(text, "\r\n", "@RETURN@") + "\r\n";
    }
    std::u16string text = u"\uFEFF" + Utf16(utf8);
    std::string bytes;
    for (char16_t u : text) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: textbook <texts.tsv> <output folder> [workbook name] [sheet]\n";
        return 2;
    }
    const std::string bookName = argc > 3 ? argv[3] : "InstallWizard";
    const std::string sheetName = argc > 4 ? argv[4] : "Install";
    Table table;
    if (!ReadTable(argv[1], table))
        return 1;
    size_t english = table.header.size();
    for (size_t c = 0; c < table.header.size(); ++c)
        if (table.header[c] == "English")
            english = c;

    fs::path out = argv[2];
    std::error_code ec;
    fs::create_directories(out, ec);
    fs::path iniRoot = out / ("LanguageIni_" + bookName);
    fs::remove_all(iniRoot, ec);
    if (!WriteWorkbook(table, out / (bookName + ".xlsx"), sheetName, english))
        return 1;
    for (size_t c = 1; c < table.header.size(); ++c) {
        const std::string& lang = table.header[c];
        if (!WriteIni(table, iniRoot / lang / (sheetName + "_" + lang + ".ini"), c, english)) {
            std::cerr << "textbook: cannot write the " << lang << " INI file\n";
            return 1;
        }
    }
    return 0;
}
