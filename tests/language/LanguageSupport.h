#pragma once
// Workbooks written by libxlsxwriter, as the build's text tool writes them, and a
// record of what start-up showed instead of a message box.
#include <xlsxwriter.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/UString.h"
#include "language/Language_management.h"

// Rows of UTF-8 cells; an empty string leaves the cell out.
using SheetRows = std::vector<std::vector<std::string>>;

inline std::string XlsxWorkbook(const SheetRows& rows, const std::string& sheetName = "Install")
{
    auto file = std::filesystem::temp_directory_path() /
                ("setup-book-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 std::to_string(reinterpret_cast<uintptr_t>(&rows)) + ".xlsx");
    lxw_workbook* book = workbook_new(file.string().c_str());
    workbook_add_worksheet(book, "Other");
    lxw_worksheet* sheet = workbook_add_worksheet(book, sheetName.c_str());
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            if (!rows[r][c].empty())
                worksheet_write_string(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c), rows[r][c].c_str(),
                                       nullptr);
    EXPECT_EQ(LXW_NO_ERROR, workbook_close(book));
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::filesystem::remove(file);
    return bytes.str();
}

// Replaces the start-up message box and terminate request while it lives.
class StartupUiRecorder {
public:
    StartupUiRecorder()
    {
        ResetStartupTerminateRequest();
        SetStartupUi({[this](const UString& text, const UString& caption) {
                          messages.push_back(text);
                          captions.push_back(caption);
                      },
                      [this] { ++terminateRequests; }});
    }
    ~StartupUiRecorder()
    {
        SetStartupUi({});
        ResetStartupTerminateRequest();
    }
    std::vector<UString> messages;
    std::vector<UString> captions;
    int terminateRequests = 0;
};
