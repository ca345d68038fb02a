#include "engine_uninstall/UninstallFixture.h"
#include "base/Paths.h"

namespace {

const UString kOtherMenu = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Pub\\Other Tools";

}  // namespace

TEST_F(UninstallTest, RemovesWhatTheInstallationMadeAndKeepsTheUsersDataAndTheKeptInstaller)
{
    Install();
    InstallFiles({u"Prod\\app.exe", u"Prod\\ScriptsMacros\\m.txt", u"Updater\\u.exe", u"readme.txt",
                  u"Updater\\lib\\deep\\x.dll", u"Tools\\Prod\\same-name.txt", u"Tools\\scriptsmacros\\lower.txt",
                  u"Tools\\deep\\ScriptsMacros\\kept.txt", u"Prod\\sub\\Prod\\inner.txt"});
    Uninstall(Record());

    const UString root = kRoot;
    for (const char16_t* gone :
         {u"\\Prod\\app.exe", u"\\Updater\\u.exe", u"\\readme.txt", u"\\Updater", u"\\Tools\\scriptsmacros",
          u"\\Prod\\sub\\Prod\\inner.txt", u"\\Tools\\Prod\\same-name.txt"})
        EXPECT_FALSE(Exists(root + gone)) << ToUtf8(UString(gone));
    // The install root, folders named after the program and the user's data stay,
    // with every folder above a "ScriptsMacros".
    for (const char16_t* kept : {u"", u"\\Prod", u"\\Prod\\sub\\Prod", u"\\Tools\\Prod", u"\\Tools\\deep"})
        EXPECT_TRUE(machine().DirectoryExists(root + kept)) << ToUtf8(UString(kept));
    EXPECT_EQ(FileText(root + u"\\Prod\\ScriptsMacros\\m.txt"), "data");
    EXPECT_EQ(FileText(root + u"\\Tools\\deep\\ScriptsMacros\\kept.txt"), "data");
    EXPECT_FALSE(Exists(root + u"\\Prod\\sub\\inner.txt"));

    EXPECT_FALSE(ValueExists(RegRoot::CurrentUser, kRun, u"ProdAgent"));
    EXPECT_TRUE(ValueExists(RegRoot::CurrentUser, kRun, u"SomeoneElse"));
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, UString(kUninstall) + u"\\ProdReg"));
    EXPECT_TRUE(KeyExists(RegRoot::LocalMachine, UString(kUninstall) + u"\\OtherApp"));
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, u"Software\\Pub\\ProdReg"));
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, u"Software\\Pub"));

    const UNINSTStruct_INFO info = Record();
    for (const UString& link :
         {info.LINK_ProgramsExec, info.LINK_ProgramUnist, info.LINK_ProgramsManual, info.LINK_DesktopExec})
        EXPECT_FALSE(Exists(link)) << ToUtf8(link);
    EXPECT_FALSE(Exists(kPublisherMenu));
    EXPECT_TRUE(machine().DirectoryExists(kStartMenu));
    const std::vector<UString> debug = DebugLines();
    EXPECT_NE(std::find(debug.begin(), debug.end(), u"sProgramOnStartMenu Folder Item Count = 0"), debug.end());
    EXPECT_NE(std::find(debug.begin(), debug.end(), u"Remove ProgramOnStartMenu folder success!!"), debug.end());
    EXPECT_EQ(machine().JournalOf(SimJournal::ShellNotify).size(), 1u);

    EXPECT_EQ(FileText(kKeptCopy), "MZ kept installer");
    EXPECT_EQ(FileText(ExtractFilePath(kKeptCopy) + u"Setup.ini"), "[Setup]\n");
}

struct OtherEntryCase {
    const char* what;
    UString path;  // something else in the publisher's Start-menu folder
};

class PublisherFolderTest : public UninstallTest, public ::testing::WithParamInterface<OtherEntryCase> {};

TEST_P(PublisherFolderTest, PublisherFolderAndKeyStayWhileAnotherProductOfThePublisherIsThere)
{
    Install();
    PutFile(GetParam().path, "other");
    WriteValue(RegRoot::LocalMachine, u"Software\\Pub\\OtherReg", u"Product", u"Other");
    Uninstall(Record());

    EXPECT_FALSE(Exists(kProgramMenu));
    EXPECT_TRUE(machine().DirectoryExists(kPublisherMenu));
    EXPECT_EQ(FileText(GetParam().path), "other");
    EXPECT_TRUE(HasDebugLineWith(u"sProgramOnStartMenu Folder Item Count = 1"));
    EXPECT_FALSE(HasDebugLineWith(u"Remove ProgramOnStartMenu folder"));
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, u"Software\\Pub\\ProdReg"));
    EXPECT_TRUE(KeyExists(RegRoot::LocalMachine, u"Software\\Pub\\OtherReg"));
}

INSTANTIATE_TEST_SUITE_P(OtherEntries, PublisherFolderTest,
                         ::testing::Values(OtherEntryCase{"another product's folder", kOtherMenu + u"\\Other.lnk"},
                                           OtherEntryCase{"a file of its own",
                                                          kOtherMenu.substr(0, kOtherMenu.rfind(u'\\')) +
                                                              u"\\Pub website.url"}));

TEST_F(UninstallTest, WhatCannotBeRemovedStaysAndTheRestGoes)
{
    Install();
    PutFile(UString(kProgramMenu) + u"\\Added by the user.lnk", "mine");
    machine().FailOn(SimOp::DeleteFile, u"C:\\Program Files (x86)\\Prod\\Prod\\in-use.dll", WinError::SharingViolation);
    InstallFiles({u"Prod\\in-use.dll", u"Prod\\other.dll", u"Lib\\in-use-too.dll"});
    machine().FailOn(SimOp::DeleteFile, u"C:\\Program Files (x86)\\Prod\\Lib\\in-use-too.dll",
                     WinError::SharingViolation);
    Uninstall(Record());

    EXPECT_EQ(FileText(UString(kProgramMenu) + u"\\Added by the user.lnk"), "mine");
    // The program's own folder does not count; the publisher's folder holds it still.
    EXPECT_TRUE(HasDebugLineWith(u"sProgramOnStartMenu Folder Item Count = 0"));
    EXPECT_TRUE(HasDebugLineWith(u"Remove ProgramOnStartMenu folder fail!!"));
    EXPECT_TRUE(machine().FileExists(UString(kRoot) + u"\\Prod\\in-use.dll"));
    EXPECT_FALSE(machine().FileExists(UString(kRoot) + u"\\Prod\\other.dll"));
    EXPECT_TRUE(machine().FileExists(UString(kRoot) + u"\\Lib\\in-use-too.dll"));
}

TEST_F(UninstallTest, ManualShortcutNotRecordedAndMissingPartsAreSkippedQuietly)
{
    // An installation without a manual, whose desktop shortcut and uninstall entry
    // the user already removed, and whose program folder is gone.
    Install();
    machine().DeleteFile(kDesktopLink);
    machine().RegDeleteKeyTree(RegRoot::LocalMachine, UString(kUninstall) + u"\\ProdReg");
    UNINSTStruct_INFO info = Record();
    machine().DeleteFile(info.LINK_ProgramsManual);
    info.LINK_ProgramsManual.clear();
    Uninstall(info);

    EXPECT_FALSE(Exists(kPublisherMenu));
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, u"Software\\Pub"));
    EXPECT_EQ(label->Caption(), u"Remove Program Folder!");
    EXPECT_EQ(bar->Position(), 100);
}

TEST_F(UninstallTest, DamagedPrivateKeyWithEmptyNamesRemovesNothingItMustNot)
{
    Install();
    InstallFiles({u"Prod\\app.exe"});
    PutFile(UString(kProgramFiles) + u"\\Other\\other.exe", "other");
    PutFile(UString(kStartMenu) + u"\\Other.lnk", "other");
    // Only the key path survived: it is formed from Setup.ini, not read from the key.
    UNINSTStruct_INFO damaged;
    damaged.KeyPath = Record().KeyPath;
    Uninstall(damaged);

    EXPECT_TRUE(KeyExists(RegRoot::LocalMachine, kUninstall));
    EXPECT_TRUE(KeyExists(RegRoot::LocalMachine, UString(kUninstall) + u"\\ProdReg"));
    EXPECT_TRUE(KeyExists(RegRoot::LocalMachine, UString(kUninstall) + u"\\OtherApp"));
    EXPECT_TRUE(ValueExists(RegRoot::CurrentUser, kRun, u"ProdAgent"));
    EXPECT_TRUE(ValueExists(RegRoot::CurrentUser, kRun, u"SomeoneElse"));
    EXPECT_EQ(FileText(UString(kRoot) + u"\\Prod\\app.exe"), "data");
    EXPECT_EQ(FileText(UString(kProgramFiles) + u"\\Other\\other.exe"), "other");
    EXPECT_EQ(FileText(UString(kStartMenu) + u"\\Other.lnk"), "other");
    EXPECT_EQ(FileText(kDesktopLink), "link");
    EXPECT_EQ(FileText(kKeptCopy), "MZ kept installer");
    EXPECT_TRUE(HasDebugLineWith(u"uninstall entry kept"));
    EXPECT_TRUE(HasDebugLineWith(u"program folder kept"));
    // The private key is the installation's own and goes.
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, u"Software\\Pub\\ProdReg"));
    EXPECT_EQ(label->Caption(), u"Remove Program Folder!");
    EXPECT_EQ(bar->Position(), 100);
}
