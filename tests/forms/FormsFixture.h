#pragma once
// The program's twelve forms on a fresh simulated machine, with texts given as the
// INI fallback of a text workbook (a damaged workbook beside them sends start-up
// there) and pictures written as real BMP files.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/App.h"
#include "forms/Setupprogram.h"
#include "language/Language_management.h"
#include "support/SimFixture.h"
#include "toolkit/Forms.h"
#include "toolkit/headless/Headless.h"

// A 24-bit BMP of one colour.
inline std::string BmpPicture(int width, int height)
{
    const int stride = (width * 3 + 3) / 4 * 4;
    const uint32_t pixels = static_cast<uint32_t>(stride * height);
    std::string bmp(54 + pixels, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    bmp[26] = 1;
    bmp[28] = 24;
    put32(34, pixels);
    for (size_t i = 54; i < bmp.size(); ++i)
        bmp[i] = static_cast<char>(0x80);
    return bmp;
}

class FormsTest : public SimFixture {
protected:
    FormsTest()
    {
        headless::Reset();
        ResetStartupTerminateRequest();
    }
    ~FormsTest() override
    {
        app.reset();
        headless::Reset();
        ResetStartupTerminateRequest();
    }

    // Lines "key=text" of section InstallWizard, in the English text file.
    void PutTexts(const std::string& lines)
    {
        PutFile(u"C:\\Setup\\Texts\\InstallWizard.xlsx", "not a workbook");
        PutFile(u"C:\\Setup\\Texts\\LanguageIni_InstallWizard\\English\\Install_English.ini",
                "[InstallWizard]\r\n" + lines);
    }
    // A picture of the language folder beside the executable ("English\Title.bmp").
    void PutPicture(const std::u16string& relativePath, int width, int height)
    {
        PutFile(u"C:\\Setup\\" + relativePath, BmpPicture(width, height));
    }

    // Start-up as the entry point does it, then the forms without the message loop.
    void CreateForms()
    {
        ConstructApp();
        app = std::make_unique<TApplication>();
        app->Initialize();
        CreateSetupForms(*app);
    }

    std::unique_ptr<TApplication> app;
};
