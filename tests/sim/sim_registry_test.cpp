// The registry of the simulated machine: its file, shared by every process.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/sim/SimRegFile.h"
#include "platform/sim/SimText.h"
#include "support/SimFixture.h"

namespace {

using Registry = SimFixture;

std::string ReadHost(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The registry file as text (it is UTF-16LE with a byte-order mark).
UString RegistryText(SimMachine& m)
{
    const std::string bytes = ReadHost(m.RegistryFile());
    UString text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

bool Has(const UString& text, UStringView part) { return text.find(part) != UString::npos; }

TEST_F(Registry, ASecondMachineObjectSeesChangesAtOnce)
{
    SimMachine other(machine().Folder());
    ASSERT_TRUE(machine().RegOpenKey(RegRoot::CurrentUser, u"Software\\Pub", KEY_WRITE_MASK, true));
    ASSERT_TRUE(machine().RegWriteString(RegRoot::CurrentUser, u"Software\\Pub", u"Name", u"one"));
    EXPECT_EQ(other.RegReadString(RegRoot::CurrentUser, u"software\\PUB", u"name"), u"one");
    ASSERT_TRUE(other.RegWriteString(RegRoot::CurrentUser, u"Software\\Pub", u"Name", u"two"));
    EXPECT_EQ(machine().RegReadString(RegRoot::CurrentUser, u"Software\\Pub", u"Name"), u"two");
    ASSERT_TRUE(other.RegDeleteKeyTree(RegRoot::CurrentUser, u"Software\\Pub"));
    EXPECT_FALSE(machine().RegKeyExists(RegRoot::CurrentUser, u"Software\\Pub"));
}

TEST_F(Registry, TheFileIsARegeditExport)
{
    const UString uninstall = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";
    ASSERT_TRUE(machine().RegOpenKey(RegRoot::LocalMachine, uninstall, KEY_WRITE_MASK, true));
    ASSERT_TRUE(machine().RegWriteString(RegRoot::LocalMachine, uninstall, u"UninstallString",
                                         u"\"C:\\Program Files (x86)\\Tool\\Setup.exe\" uninstall"));
    ASSERT_TRUE(machine().RegOpenKey(RegRoot::CurrentUser, u"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                     KEY_WRITE_MASK, true));
    ASSERT_TRUE(machine().RegWriteString(RegRoot::CurrentUser, u"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                         u"Tool", u"C:\\Tool.exe"));

    const std::string bytes = ReadHost(machine().RegistryFile());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    const UString text = RegistryText(machine());
    EXPECT_EQ(text.substr(0, 40), u"Windows Registry Editor Version 5.00\r\n\r\n");
    // The 32-bit view: under WOW6432Node, and nothing in the 64-bit key.
    EXPECT_TRUE(Has(
        text, u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool]\r\n"
              u"\"UninstallString\"=\"\\\"C:\\\\Program Files (x86)\\\\Tool\\\\Setup.exe\\\" uninstall\"\r\n"));
    EXPECT_FALSE(Has(text, u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool]"));
    // HKEY_CURRENT_USER\Software is shared by both views.
    EXPECT_TRUE(Has(text, u"[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
                          u"\"Tool\"=\"C:\\\\Tool.exe\"\r\n"));
}

TEST_F(Registry, WithoutWow64MachineKeysAreStoredAsWritten)
{
    machine().SetWow64(false);
    ASSERT_TRUE(machine().RegOpenKey(RegRoot::LocalMachine, u"Software\\Pub", KEY_WRITE_MASK, true));
    EXPECT_TRUE(Has(RegistryText(machine()), u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Pub]"));
    EXPECT_FALSE(machine().RegKeyExists(RegRoot::LocalMachine, u"Software\\WOW6432Node\\Pub"));
}

TEST_F(Registry, SharedKeysOfBothViewsAreNotRedirected)
{
    ASSERT_TRUE(machine().RegOpenKey(RegRoot::LocalMachine, u"Software\\Classes\\.tool", KEY_WRITE_MASK, true));
    EXPECT_TRUE(Has(RegistryText(machine()), u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.tool]"));
    ASSERT_TRUE(machine().RegOpenKey(RegRoot::LocalMachine, u"Software\\Classes\\CLSID\\{X}", KEY_WRITE_MASK, true));
    EXPECT_TRUE(Has(RegistryText(machine()), u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Classes\\CLSID\\{X}]"));
}

// Files written by regedit or by hand: other value types survive our changes, and
// strings in hex form read as text.
TEST_F(Registry, ValuesOfOtherToolsSurviveAChange)
{
    const std::string reg = "Windows Registry Editor Version 5.00\r\n\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                            "@=\"default\"\r\n"
                            "\"Quoted\"=\"say \\\"hi\\\" C:\\\\x\"\r\n"
                            "\"Count\"=dword:0000002a\r\n"
                            "\"Expand\"=hex(2):25,00,54,00,\\\r\n"
                            "  4d,00,50,00,25,00,00,00\r\n"
                            "\"Lines\"=hex(1):61,00,0a,00,62,00,00,00\r\n";
    {
        std::ofstream out(machine().RegistryFile(), std::ios::binary | std::ios::trunc);
        out << reg;
    }
    const UString key = u"Software\\Other";
    EXPECT_EQ(machine().RegReadString(RegRoot::CurrentUser, key, u""), u"default");
    EXPECT_EQ(machine().RegReadString(RegRoot::CurrentUser, key, u"quoted"), u"say \"hi\" C:\\x");
    EXPECT_EQ(machine().RegReadString(RegRoot::CurrentUser, key, u"Expand"), u"%TMP%");
    EXPECT_EQ(machine().RegReadString(RegRoot::CurrentUser, key, u"Lines"), u"a\nb");
    EXPECT_TRUE(machine().RegValueExists(RegRoot::CurrentUser, key, u"Count"));
    EXPECT_FALSE(machine().RegReadString(RegRoot::CurrentUser, key, u"Count").has_value());

    ASSERT_TRUE(machine().RegWriteString(RegRoot::CurrentUser, key, u"New", u"x\ty\r\nz"));
    const UString text = RegistryText(machine());
    EXPECT_TRUE(Has(text, u"\"Count\"=dword:0000002a\r\n"));
    EXPECT_TRUE(Has(text, u"\"Expand\"=hex(2):25,00,54,00,4d,00,50,00,25,00,00,00\r\n"));
    EXPECT_EQ(machine().RegReadString(RegRoot::CurrentUser, key, u"New"), u"x\ty\r\nz");
    EXPECT_EQ(machine().RegValueNames(RegRoot::CurrentUser, key),
              (std::vector<UString>{u"", u"Quoted", u"Count", u"Expand", u"Lines", u"New"}));
}

TEST_F(Registry, ADamagedFileReadsAsAnEmptyRegistry)
{
    {
        std::ofstream out(machine().RegistryFile(), std::ios::binary | std::ios::trunc);
        out << "\xFF\xFE[\0H\0K\0" << std::string(1000, '\x01') << "\"=\"unterminated [";
    }
    EXPECT_FALSE(machine().RegKeyExists(RegRoot::CurrentUser, u"Software\\Microsoft"));
    ASSERT_TRUE(machine().RegOpenKey(RegRoot::CurrentUser, u"Software\\Pub", KEY_WRITE_MASK, true));
    ASSERT_TRUE(machine().RegWriteString(RegRoot::CurrentUser, u"Software\\Pub", u"V", u"1"));
    SimMachine other(machine().Folder());
    EXPECT_EQ(other.RegReadString(RegRoot::CurrentUser, u"Software\\Pub", u"V"), u"1");
}

TEST_F(Registry, SoftwareItselfIsNeverDeleted)
{
    for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
        EXPECT_FALSE(machine().RegDeleteKeyTree(root, u"Software"));
        EXPECT_FALSE(machine().RegDeleteKeyTree(root, u"SOFTWARE\\"));
        EXPECT_TRUE(machine().RegKeyExists(root, u"Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
    }
    EXPECT_FALSE(machine().RegDeleteKeyTree(RegRoot::LocalMachine, u"Software\\WOW6432Node"));
}

}  // namespace
