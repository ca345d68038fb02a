// Shortcuts of the simulated shell are real .lnk files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/ShellLinkFormat.h"
#include "support/SimFixture.h"

namespace {

using Shortcuts = SimFixture;

std::string Output(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
            out.append(buf, n);
        ::pclose(pipe);
    }
    return out;
}

ShortcutSpec ToolLink()
{
    ShortcutSpec link;
    link.linkPath = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tool\\Uninstall Tool.lnk";
    link.target = u"C:\\Program Files (x86)\\Tool\\Setup.exe";
    link.arguments = u"uninstall";
    link.workingDir = u"C:\\Program Files (x86)\\Tool\\";
    link.description = u"Uninstall Tool \u00e9";
    link.iconPath = u"C:\\Program Files (x86)\\Tool\\Application.ico";
    return link;
}

TEST_F(Shortcuts, LnkinfoReadsWhatTheMachineWrote)
{
    const ShortcutSpec link = ToolLink();
    ASSERT_TRUE(machine().MakeFolders(u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tool"));
    ASSERT_TRUE(machine().WriteShortcut(link));
    const std::string out = Output("lnkinfo '" + machine().HostPath(link.linkPath) + "' 2>&1");
    if (out.find("lnkinfo") == std::string::npos)
        GTEST_SKIP() << "lnkinfo (liblnk-utils) is not installed";
    EXPECT_NE(out.find("Local path\t\t\t: C:\\Program Files (x86)\\Tool\\Setup.exe\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Command line arguments\t\t: uninstall\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Working directory\t\t: C:\\Program Files (x86)\\Tool\\\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Description\t\t\t: Uninstall Tool \xC3\xA9\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Icon location\t\t\t: C:\\Program Files (x86)\\Tool\\Application.ico\n"), std::string::npos)
        << out;
    EXPECT_NE(out.find("Icon index\t\t\t: 0\n"), std::string::npos) << out;
}

TEST_F(Shortcuts, TheReaderGivesBackTheFiveStrings)
{
    ShortcutSpec link = ToolLink();
    link.linkPath = u"C:\\Tool.lnk";
    ASSERT_TRUE(machine().WriteShortcut(link));
    const auto read = machine().ReadShortcut(u"C:\\TOOL.lnk");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->target, link.target);
    EXPECT_EQ(read->arguments, link.arguments);
    EXPECT_EQ(read->workingDir, link.workingDir);
    EXPECT_EQ(read->description, link.description);
    EXPECT_EQ(read->iconPath, link.iconPath);
    EXPECT_EQ(read->iconIndex, 0);
}

TEST_F(Shortcuts, DamagedLinksNeverCrashTheReader)
{
    const std::string bytes = EncodeShellLink(ToolLink());
    for (size_t n = 0; n < bytes.size(); ++n)
        DecodeShellLink(bytes.substr(0, n));
    std::string flipped = bytes;
    for (size_t i = 0x4C; i < flipped.size(); ++i) {
        flipped[i] = static_cast<char>(0xFF);
        DecodeShellLink(flipped);
    }
    EXPECT_FALSE(DecodeShellLink("not a link").has_value());
}

}  // namespace
