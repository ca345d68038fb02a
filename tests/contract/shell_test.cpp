// Shortcuts and special folders, on both machines.
#include <gtest/gtest.h>

#include "contract/contract_fixture.h"
#include "platform/ShellLinkFormat.h"

namespace {

using Shell = ContractTest;

bool SamePath(const UString& a, const UString& b) { return SameText(a, b); }

TEST_F(Shell, AShortcutKeepsTargetArgumentsFolderDescriptionAndIcon)
{
    ASSERT_TRUE(p().CreateDirectory(In(u"Tool")));
    PutFile(In(u"Tool\\Tool.exe"));
    PutFile(In(u"Tool\\Tool.ico"));
    ShortcutSpec link;
    link.linkPath = In(u"Tool.lnk");
    link.target = In(u"Tool\\Tool.exe");
    link.arguments = u"uninstall";
    link.workingDir = In(u"Tool\\");  // the target's folder with its trailing backslash
    link.description = u"Remove the tool";
    link.iconPath = In(u"Tool\\Tool.ico");
    ASSERT_TRUE(p().WriteShortcut(link));

    auto bytes = p().ReadWholeFile(link.linkPath);
    ASSERT_TRUE(bytes.has_value());
    auto read = DecodeShellLink(*bytes);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(SamePath(read->target, link.target)) << Narrow(read->target);
    EXPECT_EQ(read->arguments, u"uninstall");
    EXPECT_EQ(read->workingDir, In(u"Tool\\"));
    EXPECT_EQ(read->description, u"Remove the tool");
    EXPECT_TRUE(SamePath(read->iconPath, link.iconPath)) << Narrow(read->iconPath);
    EXPECT_EQ(read->iconIndex, 0);
}

TEST_F(Shell, AShortcutWithoutFolderOrArgumentsHasNone)
{
    PutFile(In(u"Tool.exe"));
    ShortcutSpec link;
    link.linkPath = In(u"Bare.lnk");
    link.target = In(u"Tool.exe");
    ASSERT_TRUE(p().WriteShortcut(link));
    auto read = DecodeShellLink(p().ReadWholeFile(link.linkPath).value_or(""));
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->workingDir.empty()) << Narrow(read->workingDir);
    EXPECT_TRUE(read->arguments.empty()) << Narrow(read->arguments);
}

TEST_F(Shell, AShortcutIntoAMissingFolderIsNotWritten)
{
    ShortcutSpec link;
    link.linkPath = In(u"Missing\\Tool.lnk");
    link.target = In(u"Tool.exe");
    EXPECT_FALSE(p().WriteShortcut(link));
    EXPECT_FALSE(p().FileExists(link.linkPath));
}

// The folders a 32-bit program is given on 64-bit Windows 10. Wine writes some of
// them in lower case ("C:\windows", "C:\users"); Windows paths ignore case.
TEST_F(Shell, SpecialFoldersOf64BitWindows10)
{
    const struct {
        int csidl;
        const char16_t* path;
    } cases[] = {
        {0x26, u"C:\\Program Files (x86)"},                                    // CSIDL_PROGRAM_FILES
        {0x17, u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},  // CSIDL_COMMON_PROGRAMS
        {0x19, u"C:\\Users\\Public\\Desktop"},                                 // CSIDL_COMMON_DESKTOPDIRECTORY
        {0x2d, u"C:\\ProgramData\\Microsoft\\Windows\\Templates"},             // CSIDL_COMMON_TEMPLATES
        {0x23, u"C:\\ProgramData"},                                            // CSIDL_COMMON_APPDATA
        {0x24, u"C:\\Windows"},                                                // CSIDL_WINDOWS
    };
    for (const auto& c : cases) {
        const UString path = p().GetSpecialFolderPath(c.csidl, false);
        EXPECT_TRUE(SamePath(path, c.path)) << c.csidl << ": " << Narrow(path);
        EXPECT_TRUE(p().DirectoryExists(path)) << c.csidl;
    }
    // Per-user folders lie in the user's profile.
    const UString profile = p().GetSpecialFolderPath(0x28, false);  // CSIDL_PROFILE
    ASSERT_FALSE(profile.empty());
    EXPECT_TRUE(SamePath(p().GetSpecialFolderPath(0x1a, false), profile + u"\\AppData\\Roaming"));  // CSIDL_APPDATA
    EXPECT_TRUE(SamePath(p().GetSpecialFolderPath(0x10, false), profile + u"\\Desktop"));  // CSIDL_DESKTOPDIRECTORY
}

TEST_F(Shell, AVirtualFolderHasNoPath)
{
    EXPECT_EQ(p().GetSpecialFolderPath(0x0a, false), u"");  // CSIDL_BITBUCKET
    EXPECT_EQ(p().GetSpecialFolderPath(0x11, false), u"");  // CSIDL_DRIVES
}

}  // namespace
