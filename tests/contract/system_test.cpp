// Processes, profile strings and system facts, on both machines.
#include <gtest/gtest.h>

#include <optional>

#include "contract/contract_fixture.h"

namespace {

using System = ContractTest;

TEST_F(System, ThisProcessIsListed)
{
    bool found = false;
    for (const ProcessEntry& e : p().ListProcesses())
        found = found || e.pid == p().CurrentProcessId();
    EXPECT_TRUE(found);
}

TEST_F(System, AProgramThatDoesNotExistDoesNotStart)
{
    EXPECT_FALSE(p().RunAndWait(u"\"" + In(u"NoSuchProgram.exe") + u"\" /x", CREATE_NO_WINDOW_FLAG));
    EXPECT_EQ(p().LastError(), WinError::FileNotFound);
    EXPECT_FALSE(p().RunAndWait(u"", CREATE_NO_WINDOW_FLAG));
}

TEST_F(System, TerminatingAProcessThatDoesNotExistFails) { EXPECT_FALSE(p().TerminateProcess(0xFFFFFFF0u, 0)); }

TEST_F(System, ProfileStringsIgnoreCaseAndStripQuotes)
{
    PutFile(In(u"Setup.ini"), "[Setup]\r\n%PUBLISHER = \"Pub Co\" \r\nPlain=  text  \r\n[Other]\r\nKey=other\r\n");
    EXPECT_EQ(p().ReadProfileString(In(u"Setup.ini"), u"setup", u"%publisher", u"-"), u"Pub Co");
    EXPECT_EQ(p().ReadProfileString(In(u"Setup.ini"), u"Setup", u"Plain", u"-"), u"text");
    EXPECT_EQ(p().ReadProfileString(In(u"Setup.ini"), u"Setup", u"Key", u"-"), u"-");
    EXPECT_EQ(p().ReadProfileString(In(u"Missing.ini"), u"Setup", u"Plain", u"-"), u"-");
}

TEST_F(System, AWrittenProfileStringReplacesItsKeyOrJoinsItsSectionAndKeepsTheRest)
{
    // A record file as the installation leaves it: UTF-8 with its byte-order mark.
    const UString file = In(u"Records.ini");
    PutFile(file, "\xEF\xBB\xBF[HKEY_LOCAL_MACHINE\\Soft\\Pub]\r\nInstallDir=C:\\Old\r\nKept=1\r\n\r\n"
                  "[Other]\r\nKey=other\r\n");
    EXPECT_TRUE(p().WriteProfileString(file, u"hkey_local_machine\\soft\\pub", u"installdir", u"C:\\New \u00e9"));
    EXPECT_TRUE(p().WriteProfileString(file, u"HKEY_LOCAL_MACHINE\\Soft\\Pub", u"Added", u"a"));
    EXPECT_TRUE(p().WriteProfileString(file, u"New Section", u"Key", u"n"));
    EXPECT_EQ(p().ReadProfileString(file, u"HKEY_LOCAL_MACHINE\\Soft\\Pub", u"InstallDir", u"-"), u"C:\\New \u00e9");
    EXPECT_EQ(p().ReadProfileString(file, u"HKEY_LOCAL_MACHINE\\Soft\\Pub", u"Kept", u"-"), u"1");
    EXPECT_EQ(p().ReadProfileString(file, u"HKEY_LOCAL_MACHINE\\Soft\\Pub", u"Added", u"-"), u"a");
    EXPECT_EQ(p().ReadProfileString(file, u"Other", u"Key", u"-"), u"other");
    EXPECT_EQ(p().ReadProfileString(file, u"New Section", u"Key", u"-"), u"n");
    const std::optional<std::string> bytes = p().ReadWholeFile(file);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(0, 3), "\xEF\xBB\xBF");
    // The added key belongs to its section: before the next one.
    EXPECT_LT(bytes->find("Added=a"), bytes->find("[Other]"));
}

TEST_F(System, FactsOfTheMachineAreKnown)
{
    EXPECT_FALSE(p().EveryoneGroupName().empty());
    EXPECT_NE(p().SystemDefaultLangId(), 0);
    EXPECT_NE(p().UserDefaultLangId(), 0);
    EXPECT_GE(p().GetWindowsVersion().major, 6u);
    EXPECT_FALSE(p().ExecutablePath().empty());
    // Wine's message texts are its own ("File not found."), so only Windows' is compared.
    EXPECT_FALSE(p().SystemErrorMessage(WinError::FileNotFound).empty());
    if (!UnderWine()) {
        EXPECT_EQ(p().SystemErrorMessage(WinError::FileNotFound), u"The system cannot find the file specified.");
    }
}

}  // namespace
