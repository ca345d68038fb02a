// The pieces of the removal of a previous version that stand alone: the road a
// product's version takes, the unattended command, the day stamp of a file.
#include <gtest/gtest.h>

#include "forms/Prepare_previous.h"
#include "support/SimFixture.h"

TEST(UnattendedUninstallCommand, TurnsOnlyTheUninstallArgumentsUnattended)
{
    const struct {
        UString command, expected;
    } cases[] = {
        {u"\"C:\\Kept\\Setup.exe\" uninstall", u"\"C:\\Kept\\Setup.exe\" uninstallanyway"},
        // A folder of the program's path is part of its name, not an argument.
        {u"\"C:\\uninstall\\Setup.exe\" uninstall", u"\"C:\\uninstall\\Setup.exe\" uninstallanyway"},
        {u"C:\\uninstall\\Setup.exe uninstall", u"C:\\uninstall\\Setup.exe uninstallanyway"},
        // Already unattended: not extended again.
        {u"\"C:\\Kept\\Setup.exe\" uninstallanyway", u"\"C:\\Kept\\Setup.exe\" uninstallanyway"},
        {u"\"C:\\Kept\\Setup.exe\" /a uninstall uninstallanyway uninstall",
         u"\"C:\\Kept\\Setup.exe\" /a uninstallanyway uninstallanyway uninstallanyway"},
        // The word is matched with its case.
        {u"\"C:\\Kept\\Setup.exe\" Uninstall", u"\"C:\\Kept\\Setup.exe\" Uninstall"},
        {u"\"C:\\Kept\\Setup.exe\"", u"\"C:\\Kept\\Setup.exe\""},
        {u"\"C:\\Kept\\Setup.exe", u"\"C:\\Kept\\Setup.exe"},
        {u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UnattendedUninstallCommand(c.command), c.expected) << ToUtf8(c.command);
}

TEST(PreviousRemovalFor, KnowsTheEarlyVersionsOfTwoProducts)
{
    using R = PreviousRemoval;
    const struct {
        UString programName, version;
        R expected;
    } cases[] = {
        {u"Tarvel_Snapdesk", u"17.08.0003", R::PlacedCopyElseOldUninstaller},
        {u"Tarvel_Snapdesk", u"17.08.0002", R::Direct},
        {u"Tarvel_Snapdesk", u"17.08", R::Direct},  // a prefix is the smaller version
        {u"Tarvel_Snapdesk", u"17.08.0004", R::OldUninstaller},
        {u"Tarvel_Snapdesk", u"17.08.00030", R::OldUninstaller},
        {u"Munde_Gestor", u"17.10.0002", R::PlacedCopyElseDirect},
        {u"Munde_Gestor", u"17.09.9999", R::PlacedCopyElseDirect},
        {u"Munde_Gestor", u"17.10.0003", R::OldUninstaller},
        {u"Munde_Gestor", u"17.9.0001", R::OldUninstaller},      // "9" > "1" as text
        {u"tarvel_snapdesk", u"17.08.0002", R::OldUninstaller},  // codes compare exactly
        {u"OstrelReg", u"0.1", R::OldUninstaller},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PreviousRemovalFor(c.programName, c.version), c.expected)
            << ToUtf8(c.programName) << " " << ToUtf8(c.version);
}

using FileStamp = SimFixture;

TEST_F(FileStamp, IsTheUtcDayOfTheLastWrite)
{
    // Seconds since 1970 as a FILETIME.
    auto filetime = [](uint64_t unixSeconds) { return (unixSeconds + 11644473600ULL) * 10000000ULL; };
    const struct {
        uint64_t unixSeconds;
        UString expected;
    } cases[] = {
        {1508371199, u"17.1018"},  // 2017-10-18 23:59:59
        {1508371200, u"17.1019"},  // a second later, whatever the local time
        {946684800, u"00.0101"},
        {1709208000, u"24.0229"},
    };
    const UString file = u"C:\\Kept\\Setup.exe";
    PutFile(file, "setup");
    for (const auto& c : cases) {
        ASSERT_TRUE(machine().SetLastWriteTime(file, filetime(c.unixSeconds)));
        EXPECT_EQ(GetFileStamp(file), c.expected) << c.unixSeconds;
    }
    EXPECT_EQ(GetFileStamp(u"C:\\Kept\\Missing.exe"), u"");
    EXPECT_EQ(GetFileStamp(u"C:\\Kept"), u"");
    machine().FailOn(SimOp::GetLastWriteTime, file, WinError::AccessDenied);
    EXPECT_EQ(GetFileStamp(file), u"");
}
