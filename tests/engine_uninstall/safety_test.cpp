#include <cctype>

#include "engine_uninstall/UninstallFixture.h"

// Records a damaged or tampered private key could give: each names something the
// installation does not own, and the step that would remove it is refused.

template <class Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    std::string name;
    for (char ch : std::string(info.param.what))
        name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
}

struct FolderCase {
    const char* what;
    UString installDir;
    UString product;
    UString sentinel;  // a file that must stay
};

void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.what; }

class ProgramFolderRefusalTest : public UninstallTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(ProgramFolderRefusalTest, FolderIsKept)
{
    const FolderCase& c = GetParam();
    InstallFiles({u"Prod\\app.exe"});
    PutFile(c.sentinel, "keep");
    UNINSTStruct_INFO info = Record();
    info.InstallDir = c.installDir;
    info.Product = c.product;
    Uninstall(info);

    EXPECT_EQ(FileText(c.sentinel), "keep");
    EXPECT_EQ(FileText(UString(kRoot) + u"\\Prod\\app.exe"), "data");
    EXPECT_TRUE(HasDebugLineWith(u"program folder kept"));
    EXPECT_EQ(bar->Position(), 100);
}

INSTANTIATE_TEST_SUITE_P(
    DamagedInstallDir, ProgramFolderRefusalTest,
    ::testing::Values(
        FolderCase{"empty", u"", u"", u"C:\\Program Files (x86)\\Other\\other.exe"},
        FolderCase{"relative", u"Prod", u"Prod", u"C:\\Program Files (x86)\\Other\\other.exe"},
        FolderCase{"drive root", u"C:\\", u"", u"C:\\Data\\boot.ini"},
        FolderCase{"drive without folder", u"C:", u"", u"C:\\Data\\boot.ini"},
        FolderCase{"Program Files", u"C:\\Program Files (x86)", u"Program Files (x86)",
                   u"C:\\Program Files (x86)\\Other\\other.exe"},
        FolderCase{"native Program Files", u"C:\\Program Files", u"Program Files",
                   u"C:\\Program Files\\Other\\other.exe"},
        FolderCase{"Windows", u"C:\\Windows", u"Windows", u"C:\\Windows\\System32\\kernel32.dll"},
        FolderCase{"a profile", u"C:\\Users\\User", u"User", u"C:\\Users\\User\\Documents\\letter.txt"},
        FolderCase{"above the profiles", u"C:\\Users", u"Users", u"C:\\Users\\User\\Documents\\letter.txt"},
        FolderCase{"above the public desktop", u"C:\\Users\\Public", u"Public", u"C:\\Users\\Public\\Desktop\\x.lnk"},
        FolderCase{"ProgramData", u"C:\\ProgramData", u"ProgramData",
                   u"C:\\ProgramData\\Microsoft\\Windows\\Templates\\Prod\\Setup.exe"},
        FolderCase{"the Start menu's programs", u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs",
                   u"Programs", u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Other.lnk"},
        FolderCase{"application data", u"C:\\Users\\User\\AppData\\Roaming", u"Roaming",
                   u"C:\\Users\\User\\AppData\\Roaming\\Other\\settings.ini"},
        FolderCase{"another product's folder", u"C:\\Program Files (x86)\\Other", u"Prod",
                   u"C:\\Program Files (x86)\\Other\\other.exe"},
        FolderCase{"product name in other case", u"C:\\Program Files (x86)\\prod", u"Prod",
                   u"C:\\Program Files (x86)\\Prod\\readme.txt"},
        FolderCase{"dot-dot part", u"C:\\Program Files (x86)\\..\\Prod", u"Prod", u"C:\\Prod\\x.txt"}),
    CaseName<FolderCase>);

struct KeyCase {
    const char* what;
    UString keyPath;
    UString sentinelKey;  // a key that must stay
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.what; }

class PrivateKeyRefusalTest : public UninstallTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(PrivateKeyRefusalTest, KeyIsKept)
{
    const KeyCase& c = GetParam();
    WriteValue(RegRoot::LocalMachine, c.sentinelKey, u"Keep", u"1");
    WriteValue(RegRoot::LocalMachine, u"Software\\Pub\\OtherReg", u"Product", u"Other");
    UNINSTStruct_INFO info = Record();
    info.KeyPath = c.keyPath;
    Uninstall(info);

    EXPECT_TRUE(ValueExists(RegRoot::LocalMachine, c.sentinelKey, u"Keep"));
    EXPECT_TRUE(KeyExists(RegRoot::LocalMachine, u"Software\\Pub\\OtherReg"));
    EXPECT_TRUE(HasDebugLineWith(u"private key kept"));
}

INSTANTIATE_TEST_SUITE_P(
    DamagedKeyPath, PrivateKeyRefusalTest,
    ::testing::Values(KeyCase{"empty", u"", u"Software\\Pub\\ProdReg"},
                      KeyCase{"Software itself", u"Software\\", u"Software\\Pub\\ProdReg"},
                      KeyCase{"the publisher alone", u"Software\\Pub\\", u"Software\\Pub\\ProdReg"},
                      KeyCase{"a shared key", u"Software\\Microsoft\\Windows\\", u"Software\\Microsoft\\Windows\\Keep"},
                      KeyCase{"below Classes", u"Software\\Classes\\ProdReg\\", u"Software\\Classes\\ProdReg"},
                      KeyCase{"below Microsoft", u"Software\\Microsoft\\ProdReg\\", u"Software\\Microsoft\\ProdReg"},
                      KeyCase{"the 32-bit view's publisher", u"Software\\WOW6432Node\\Pub\\",
                              u"Software\\Pub\\ProdReg"},
                      KeyCase{"outside Software", u"System\\Pub\\ProdReg\\", u"System\\Pub\\ProdReg"}),
    CaseName<KeyCase>);

TEST_F(UninstallTest, UninstallEntryNamesThatAreNoSingleEntryLeaveEveryEntry)
{
    WriteValue(RegRoot::LocalMachine, UString(kUninstall) + u"\\OtherApp\\Sub", u"DisplayName", u"Other");
    for (const UString name : {u"", u"  ", u"\\", u"OtherApp\\Sub"}) {
        SCOPED_TRACE(ToUtf8(name));
        finishMessages = 0;
        UNINSTStruct_INFO info = Record();
        info.UninstRegFolder = name;
        Uninstall(info);
        EXPECT_TRUE(ValueExists(RegRoot::LocalMachine, UString(kUninstall) + u"\\OtherApp\\Sub", u"DisplayName"));
    }
    EXPECT_TRUE(HasDebugLineWith(u"uninstall entry kept"));
}

TEST_F(UninstallTest, ShortcutPathsOfTheSystemLeaveProgramsAndSystemFoldersAlone)
{
    // Shortcuts lying directly on the desktop, the publisher being the Start menu's
    // programs folder, and a recorded "shortcut" that is a program.
    PutFile(u"C:\\Users\\Public\\Desktop\\Prod.lnk", "link");
    PutFile(UString(kStartMenu) + u"\\Prod Tools\\Prod.lnk", "link");
    PutFile(u"C:\\Program Files (x86)\\Other\\other.exe", "other");
    UNINSTStruct_INFO info = Record();
    info.LINK_ProgramsExec = u"C:\\Users\\Public\\Desktop\\Prod.lnk";
    info.LINK_ProgramUnist = UString(kStartMenu) + u"\\Prod Tools\\Prod.lnk";
    info.LINK_DesktopExec = u"C:\\Program Files (x86)\\Other\\other.exe";
    Uninstall(info);

    EXPECT_FALSE(Exists(u"C:\\Users\\Public\\Desktop\\Prod.lnk"));
    EXPECT_TRUE(machine().DirectoryExists(u"C:\\Users\\Public\\Desktop"));
    EXPECT_TRUE(machine().DirectoryExists(u"C:\\Users\\Public"));
    EXPECT_EQ(FileText(u"C:\\Program Files (x86)\\Other\\other.exe"), "other");
    EXPECT_TRUE(HasDebugLineWith(u"not a shortcut file"));
    EXPECT_TRUE(HasDebugLineWith(u"Start-menu folder kept"));

    // Without a publisher folder the programs folder is the "publisher's": kept.
    machine().ClearJournal();
    PutFile(UString(kStartMenu) + u"\\Prod Tools\\Prod.lnk", "link");
    info = Record();
    info.LINK_ProgramsExec = UString(kStartMenu) + u"\\Prod Tools\\Prod.lnk";
    finishMessages = 0;
    Uninstall(info);
    EXPECT_FALSE(Exists(UString(kStartMenu) + u"\\Prod Tools"));
    EXPECT_TRUE(machine().DirectoryExists(kStartMenu));
    EXPECT_TRUE(HasDebugLineWith(u"publisher's Start-menu folder kept"));
    // Refused or not, the count is written as for any publisher folder.
    EXPECT_TRUE(HasDebugLineWith(u"sProgramOnStartMenu Folder Item Count = "));
}
