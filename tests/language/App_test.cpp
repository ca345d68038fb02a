#include <gtest/gtest.h>

#include "app/App.h"
#include "language/LanguageSupport.h"
#include "support/SimFixture.h"
#include "toolkit/Dialogs.h"
#include "toolkit/headless/Headless.h"

namespace {

const SheetRows kBook = {
    {"Ident", "English", "German"},
    {"[InstallWizard]"},
    {"ProductName", "Ostrel", "Ostrel DE"},
    {"MSG_001", "Administrator rights needed", "Administratorrechte nötig"},
};

class AppStartUp : public SimFixture {
protected:
    void PutSetupIni(const std::string& text) { PutFile(u"C:\\Setup\\Setup.ini", text); }
    StartupUiRecorder ui;
};

TEST_F(AppStartUp, WithoutSetupIniEveryKeyReadsAsItsDefault)
{
    PutFile(u"C:\\Setup\\Texts\\InstallWizard.xlsx", XlsxWorkbook(kBook));
    ConstructApp();
    EXPECT_EQ(nullptr, App.SetupIni);
    EXPECT_EQ(u"C:\\Setup\\Setup.ini", App.SetupIniPath);
    EXPECT_EQ(u"fallback", App.SetupValue(u"%PROGRAM_FILES", u"fallback"));
    EXPECT_EQ(u"Ostrel", App.ProductName);
    EXPECT_EQ(u"English", App.LanguageName);
    EXPECT_EQ(0x0409, App.LanguageID);
    EXPECT_EQ(u"InstallWizard", App.TextSection);
    EXPECT_EQ(u"V1.0", App.Version);
    EXPECT_EQ(0, App.InstallState);
    EXPECT_EQ(u"Software\\Microsoft\\Windows\\CurrentVersion\\Run", App.RunKey);
    EXPECT_EQ(u"Software\\%PUBLISHER\\%REG_FODLER_PROGNAME\\", App.PrivateKeyTemplate);
    EXPECT_EQ(u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\", App.UninstallKey);
    EXPECT_EQ(u"", App.Paths().InstallDir);
    EXPECT_EQ(u"", App.BackupDir);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AppStartUp, SetupIniAndTheSystemLanguageAreTaken)
{
    machine().SetLanguages(0x0807, 0x0409);  // Swiss German system, English user
    PutSetupIni("[Setup]\r\n%program_files =  Ostrel  \r\n");
    PutFile(u"C:\\Setup\\Texts\\InstallWizard.XLSX", XlsxWorkbook(kBook));
    ConstructApp();
    ASSERT_NE(nullptr, App.SetupIni);
    EXPECT_EQ(u"Ostrel", App.SetupValue(u"%PROGRAM_FILES"));
    EXPECT_EQ(u"German", App.LanguageName);
    EXPECT_EQ(0x0C07, App.LanguageID);
    EXPECT_EQ(u"Ostrel DE", App.ProductName);
}

TEST_F(AppStartUp, TextsComeFromThePayloadWhenTheTextsFolderHasNoWorkbook)
{
    PutSetupIni("[Setup]\r\n%PROGRAM_FILES=Ostrel\r\n%PROGRAM_DATA=Data\\\r\n");
    PutFile(u"C:\\Setup\\Texts\\Readme.txt", "no workbook here");
    PutFile(u"C:\\Setup\\program files\\Ostrel\\Data\\Forms\\Texts\\InstallWizard.xlsx", XlsxWorkbook(kBook));
    ConstructApp();
    EXPECT_EQ(u"Ostrel", App.ProductName);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AppStartUp, NoWorkbookAnywhereLeavesNoTableAndAsksToEnd)
{
    ConstructApp();
    EXPECT_EQ(nullptr, App.TextTable);
    EXPECT_EQ(u"@@", App.ProductName);
    ASSERT_EQ(1u, ui.messages.size());
    EXPECT_EQ(u"XLS File Not Found!! Closing...", ui.messages[0]);
    EXPECT_EQ(1, ui.terminateRequests);

    machine().SetAdministrator(false);
    EXPECT_FALSE(AdministratorCheckPassed());
    ASSERT_EQ(2u, ui.messages.size());
    EXPECT_EQ(u"@@", ui.messages[1]);
}

TEST_F(AppStartUp, TheAdministratorCheckShowsMsg001OnlyToOthers)
{
    PutFile(u"C:\\Setup\\Texts\\InstallWizard.xlsx", XlsxWorkbook(kBook));
    ConstructApp();
    EXPECT_TRUE(AdministratorCheckPassed());
    EXPECT_TRUE(ui.messages.empty());
    machine().SetAdministrator(false);
    EXPECT_FALSE(AdministratorCheckPassed());
    ASSERT_EQ(1u, ui.messages.size());
    EXPECT_EQ(u"Administrator rights needed", ui.messages[0]);
    EXPECT_EQ(u"Ostrel", ui.captions[0]);
}

TEST_F(AppStartUp, ATableWithoutProductNameGivesTheMarker)
{
    PutFile(u"C:\\Setup\\Texts\\InstallWizard.xlsx",
            XlsxWorkbook({{"Ident", "English"}, {"[InstallWizard]"}, {"Other", "x"}}));
    ConstructApp();
    EXPECT_NE(nullptr, App.TextTable);
    EXPECT_EQ(u"@@", App.ProductName);
}

}  // namespace

namespace {

// Without a test's stand-in, start-up uses the toolkit's message box and asks the
// application object to end.
class AppStartUpWithToolkit : public SimFixture {};

TEST_F(AppStartUpWithToolkit, NoWorkbookShowsTheToolkitBoxAndTerminates)
{
    SetStartupUi({});
    ResetStartupTerminateRequest();
    headless::ClearMessageBoxes();
    {
        TApplication application;
        ConstructApp();
        EXPECT_TRUE(application.Terminated());
    }
    auto boxes = headless::MessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(u"XLS File Not Found!! Closing...", boxes[0].text);
    EXPECT_EQ(MB::Ok, boxes[0].flags);
    EXPECT_TRUE(StartupTerminateRequested());
    ResetStartupTerminateRequest();
    headless::ClearMessageBoxes();
}

}  // namespace
