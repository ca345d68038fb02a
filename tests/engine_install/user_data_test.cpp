// A previous installation's user data: put aside, brought back, and never lost.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/App.h"
#include "engine_install/InstallFixture.h"

using ::testing::Contains;
using ::testing::IsEmpty;

namespace {

class UserDataTest : public InstallFixture {
protected:
    // A previous installation: its program, its macros in both program folders.
    void PutPreviousInstallation()
    {
        PutFile(u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\stale.dll", "old program");
        PutFile(u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\ScriptsMacros\\default.mac", "user edited");
        PutFile(u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\ScriptsMacros\\Deep\\mine.mac", "mine");
        PutFile(u"C:\\Program Files (x86)\\Ostrel\\OstrelOld\\ScriptsMacros\\old.mac", "old layout");
        PutFile(u"C:\\Program Files (x86)\\Ostrel\\Leftover\\junk.txt", "junk");
    }
    void ExpectMacrosIn(const UString& programFolder)
    {
        SCOPED_TRACE(ToUtf8(programFolder));
        EXPECT_EQ("user edited", FileText(programFolder + u"\\ScriptsMacros\\default.mac"));
        EXPECT_EQ("mine", FileText(programFolder + u"\\ScriptsMacros\\Deep\\mine.mac"));
        EXPECT_EQ("old layout", FileText(programFolder + u"\\ScriptsMacros\\old.mac"));
    }
    const UString backup = UString(Templates) + u"\\OstrelReg\\ScriptsMacros";
};

TEST_F(UserDataTest, MacrosComeBackIntoBothProgramFoldersOverThePayload)
{
    WritePackage();
    PutPreviousInstallation();
    ASSERT_TRUE(RunInstall().threadFinished);

    ExpectMacrosIn(ProgramDir);
    ExpectMacrosIn(u"C:\\Program Files (x86)\\Ostrel\\OstrelOld");
    EXPECT_FALSE(machine().FileExists(u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\stale.dll"));
    EXPECT_FALSE(machine().DirectoryExists(u"C:\\Program Files (x86)\\Ostrel\\Leftover"));
    EXPECT_EQ("ostrel 2", FileText(u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\Ostrel.exe"));
    EXPECT_EQ(backup + u"\\", App.BackupDir);
    EXPECT_TRUE(machine().DirectoryExists(backup));
    EXPECT_THAT(FilesBelow(backup), IsEmpty());
}

// Nothing can be put aside: the macros stay where they are, the rest goes.
TEST_F(UserDataTest, WithoutABackupFolderTheMacrosStayInPlace)
{
    for (const char* name : {"", "..\\Elsewhere"}) {
        SCOPED_TRACE(name);
        machine().ClearJournal();
        Set("%REG_FODLER_PROGNAME", name);
        WritePackage();
        PutPreviousInstallation();
        ASSERT_TRUE(RunInstall().threadFinished);

        EXPECT_EQ("user edited", FileText(u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\ScriptsMacros\\default.mac"));
        EXPECT_EQ("mine", FileText(u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\ScriptsMacros\\Deep\\mine.mac"));
        EXPECT_EQ("old layout", FileText(u"C:\\Program Files (x86)\\Ostrel\\OstrelOld\\ScriptsMacros\\old.mac"));
        EXPECT_FALSE(machine().FileExists(u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\stale.dll"));
        EXPECT_FALSE(machine().DirectoryExists(u"C:\\Program Files (x86)\\Ostrel\\Leftover"));
        EXPECT_EQ("ostrel 2", FileText(u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\Ostrel.exe"));
        EXPECT_EQ(u"", App.BackupDir);
        EXPECT_THAT(DebugLines(),
                    Contains(u"User data left in place: C:\\Program Files (x86)\\Ostrel\\Ostrel\\ScriptsMacros"));
    }
}

// Macros left in place keep the user's files against the payload; an old program
// file that could not be deleted is still replaced, or the upgrade would not upgrade.
TEST_F(UserDataTest, MacrosLeftInPlaceDoNotStopTheProgramFromBeingReplaced)
{
    Set("%REG_FODLER_PROGNAME", "");
    WritePackage();
    PutPreviousInstallation();
    const UString oldExe = u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\Ostrel.exe";
    const UString oldUpdater = u"C:\\Program Files (x86)\\Ostrel\\Updater\\Updater.exe";
    for (const UString& file : {oldExe, oldUpdater}) {
        PutFile(file, "old version");
        ASSERT_TRUE(machine().SetAttributes(file, FileAttr::ReadOnly));
    }
    ASSERT_TRUE(RunInstall().threadFinished);

    EXPECT_EQ("ostrel 2", FileText(oldExe));
    EXPECT_EQ("updater", FileText(oldUpdater));
    EXPECT_EQ("user edited", FileText(u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\ScriptsMacros\\default.mac"));
}

TEST_F(UserDataTest, AnIncompleteBackupLeavesTheMacrosInPlaceAndKeepsTheBackup)
{
    WritePackage();
    PutPreviousInstallation();
    machine().FailOn(SimOp::CopyFile, backup + u"\\Deep\\mine.mac", WinError::DiskFull);
    ASSERT_TRUE(RunInstall().threadFinished);

    // The program folder's macros were not saved whole, so they were never removed;
    // the payload's default.mac did not replace the user's.
    EXPECT_EQ("user edited", FileText(u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\ScriptsMacros\\default.mac"));
    EXPECT_EQ("mine", FileText(u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\ScriptsMacros\\Deep\\mine.mac"));
    EXPECT_FALSE(machine().FileExists(u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\stale.dll"));
    // What was saved still reaches the old-layout folder, and the backup stays.
    EXPECT_EQ("user edited", FileText(u"C:\\Program Files (x86)\\Ostrel\\OstrelOld\\ScriptsMacros\\default.mac"));
    EXPECT_EQ("user edited", FileText(backup + u"\\default.mac"));
    EXPECT_THAT(DebugLines(), Contains(u"Backup kept: " + backup + u"\\ was not brought back whole"));
}

TEST_F(UserDataTest, ABackupThatCannotBeBroughtBackWholeIsKept)
{
    WritePackage();
    PutPreviousInstallation();
    machine().FailOn(SimOp::CopyFile, u"C:\\Program Files (x86)\\Ostrel\\OstrelOld\\ScriptsMacros\\Deep\\mine.mac",
                     WinError::AccessDenied);
    ASSERT_TRUE(RunInstall().threadFinished);
    EXPECT_EQ("mine", FileText(backup + u"\\Deep\\mine.mac"));
    ExpectMacrosIn(ProgramDir);
}

TEST_F(UserDataTest, TheVintrelDataFolderIsPutAsideAndBroughtBack)
{
    Set("%PROGRAM_FILES", "Vintrel");
    Set("%PROGRAM_DATA", "Data\\");
    WritePackage();
    PutFile(u"C:\\Setup\\program files\\Vintrel\\Vintrel.exe", "vintrel 2");
    PutFile(u"C:\\Setup\\program files\\Vintrel\\Data\\seed.db", "payload seed");
    PutFile(u"C:\\Setup\\program files\\Vintrel\\Data\\user.db", "payload user");
    PutFile(u"C:\\Program Files (x86)\\Vintrel\\Vintrel\\Data\\user.db", "the user's");
    PutFile(u"C:\\Program Files (x86)\\Vintrel\\Vintrel\\old.exe", "old program");
    ASSERT_TRUE(RunInstall().threadFinished);

    EXPECT_EQ("the user's", FileText(u"C:\\Program Files (x86)\\Vintrel\\Vintrel\\Data\\user.db"));
    EXPECT_EQ("payload seed", FileText(u"C:\\Program Files (x86)\\Vintrel\\Vintrel\\Data\\seed.db"));
    EXPECT_FALSE(machine().FileExists(u"C:\\Program Files (x86)\\Vintrel\\Vintrel\\old.exe"));
    EXPECT_EQ(UString(Templates) + u"\\OstrelReg\\", App.BackupDir);
    EXPECT_THAT(FilesBelow(UString(Templates) + u"\\OstrelReg"), IsEmpty());
}

}  // namespace
