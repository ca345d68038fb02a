#include "HandOverName.h"

#include <gtest/gtest.h>

namespace {

TEST(HandOverName, TakesTheWholeRestOfTheCommandLineAsTheProgramName)
{
    struct Case {
        const wchar_t* commandLine;
        const wchar_t* name;
    };
    const Case cases[] = {
        {L"\"C:\\Program Files (x86)\\Ostrel\\Ostrel\\HandOver.exe\" Ostrel.exe", L"Ostrel.exe"},
        {L"HandOver.exe Ostrel.exe", L"Ostrel.exe"},
        {L"HandOver.exe   Ostrel Pro.exe  ", L"Ostrel Pro.exe"},
        {L"\"C:\\a b\\HandOver.exe\" \"Ostrel Pro.exe\"", L"Ostrel Pro.exe"},
        {L"\"C:\\a b\\HandOver.exe\"", L""},
        {L"\"C:\\a b\\HandOver.exe\"Ostrel.exe", L"Ostrel.exe"},
        {L"HandOver.exe", L""},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(handover::ProgramNameFromCommandLine(c.commandLine), c.name) << "command line: " << c.commandLine;
}

TEST(HandOverName, StartsOnlyPlainFileNamesOfItsOwnFolder)
{
    for (const wchar_t* name : {L"Ostrel.exe", L"Ostrel Pro.exe", L"tool-1.2.exe"})
        EXPECT_TRUE(handover::IsPlainFileName(name)) << name;
    for (const wchar_t* name : {L"", L".", L"..", L"..\\Windows\\notepad.exe", L"sub\\Ostrel.exe", L"sub/Ostrel.exe",
                                L"C:Ostrel.exe", L"C:\\Windows\\notepad.exe", L"\\\\server\\share\\x.exe",
                                L"\"Ostrel.exe", L"*.exe", L"a?.exe", L"a|b.exe", L"a\tb.exe"})
        EXPECT_FALSE(handover::IsPlainFileName(name)) << name;
}

}  // namespace
