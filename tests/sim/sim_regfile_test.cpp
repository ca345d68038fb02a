// The registry file's text: keys nested as deep as Windows allows, and deeper ones
// that only a damaged or hostile file holds.
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/SimRegFile.h"
#include "support/SimFixture.h"

namespace sim {
namespace {

std::string Utf16LE(const std::u16string& text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

UString NestedPath(size_t levels)
{
    UString path = u"HKEY_LOCAL_MACHINE";
    for (size_t i = 0; i < levels; ++i)
        path += u"\\a";
    return path;
}

// How many levels below the hive the file's deepest key lies.
size_t Depth(const RegKey& top)
{
    const RegKey* key = top.Child(u"HKEY_LOCAL_MACHINE");
    size_t depth = 0;
    while (key && !key->children.empty()) {
        key = key->children.begin()->second.get();
        ++depth;
    }
    return depth;
}

TEST(RegFile, KeysDeeperThanWindowsAllowsAreRefused)
{
    const struct {
        size_t levels;
        size_t kept;
    } cases[] = {{512, 512}, {513, 0}, {7000, 0}, {100000, 0}};
    for (const auto& c : cases) {
        const std::string file = Utf16LE(u"Windows Registry Editor Version 5.00\r\n\r\n[" + NestedPath(c.levels) +
                                         u"]\r\n\"Name\"=\"deep\"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Pub]\r\n"
                                         u"\"Name\"=\"kept\"\r\n");
        const auto top = ParseRegFile(file);
        EXPECT_EQ(Depth(*top), c.kept) << c.levels;
        // Lines after the refused key are read as usual.
        const RegKey* pub = top->Child(u"HKEY_CURRENT_USER")->Child(u"Software")->Child(u"Pub");
        ASSERT_NE(pub, nullptr) << c.levels;
        EXPECT_EQ(pub->values.at(0).data, u"kept");

        // What is kept comes back unchanged from its own text.
        const std::string written = SerializeRegFile(*top);
        EXPECT_EQ(SerializeRegFile(*ParseRegFile(written)), written) << c.levels;
        // Each key's path is written once, not once per level above it.
        EXPECT_LT(written.size(), 2 * file.size()) << c.levels;
    }
}

TEST(RegFile, ADeepTreeIsWrittenAndFreedWithoutRecursionPerLevel)
{
    // Built by hand, past the limit a file is held to: the text goes out as the one
    // path of its deepest key and both ends do without a stack frame per level.
    constexpr size_t kLevels = 200000;
    auto top = std::make_unique<RegKey>();
    RegKey* key = &top->AddChild(u"HKEY_CURRENT_USER");
    for (size_t i = 0; i < kLevels; ++i)
        key = &key->AddChild(u"k");
    key->SetString(u"Name", u"leaf");

    const std::string written = SerializeRegFile(*top);
    EXPECT_LT(written.size(), 4 * kLevels + 200);
    EXPECT_NE(written.find(Utf16LE(u"\\k]\r\n\"Name\"=\"leaf\"\r\n").substr(2)), std::string::npos);
    top.reset();
}

TEST(RegFile, EmptyKeysBetweenOthersSurviveARoundTrip)
{
    auto top = std::make_unique<RegKey>();
    RegKey& software = top->AddChild(u"HKEY_CURRENT_USER").AddChild(u"Software");
    software.AddChild(u"Empty");
    RegKey& vendor = software.AddChild(u"Vendor");
    vendor.SetString(u"Name", u"v");
    vendor.AddChild(u"Product").AddChild(u"Leaf");
    software.AddChild(u"Middle").AddChild(u"Below").SetString(u"x", u"y");

    const auto back = ParseRegFile(SerializeRegFile(*top));
    const RegKey* sw = back->Child(u"HKEY_CURRENT_USER")->Child(u"Software");
    ASSERT_NE(sw, nullptr);
    EXPECT_NE(sw->Child(u"Empty"), nullptr);
    ASSERT_NE(sw->Child(u"Vendor"), nullptr);
    EXPECT_EQ(sw->Child(u"Vendor")->values.size(), 1u);
    ASSERT_NE(sw->Child(u"Vendor")->Child(u"Product"), nullptr);
    EXPECT_NE(sw->Child(u"Vendor")->Child(u"Product")->Child(u"Leaf"), nullptr);
    ASSERT_NE(sw->Child(u"Middle"), nullptr);
    EXPECT_TRUE(sw->Child(u"Middle")->values.empty());
    EXPECT_EQ(sw->Child(u"Middle")->Child(u"Below")->Value(u"X")->data, u"y");
    EXPECT_EQ(SerializeRegFile(*back), SerializeRegFile(*top));
}

TEST(RegFile, AValueCutOffAtTheEndOfTheFileTakesNoOtherKeyWithIt)
{
    // The last line goes on ("\\" at its end) into a line that never came.
    const std::string file = Utf16LE(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                     u"[HKEY_CURRENT_USER\\Software\\B]\r\n\"Name\"=\"kept\"\r\n\r\n"
                                     u"[HKEY_CURRENT_USER\\Software\\A]\r\n\"Raw\"=hex:01,02,\\\\");
    std::string written = SerializeRegFile(*ParseRegFile(file));
    for (int round = 0; round < 3; ++round) {
        const auto top = ParseRegFile(written);
        const RegKey* b = top->Child(u"HKEY_CURRENT_USER")->Child(u"Software")->Child(u"B");
        ASSERT_NE(b, nullptr) << round;
        EXPECT_EQ(b->values.at(0).data, u"kept");
        EXPECT_EQ(SerializeRegFile(*top), written) << round;
        written = SerializeRegFile(*top);
    }
}

TEST(RegFile, StringsWithNulCharactersReadTheSameAfterEachWrite)
{
    using namespace std::string_literals;
    const std::string file = Utf16LE(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\P]\r\n"
                                     u"\"Inner\"=\"a\0b\"\r\n\"Trailing\"=\"ab\0\0\"\r\n\"\0Name\"=\"x\"\r\n"s);
    const auto top = ParseRegFile(file);
    const RegKey* p = top->Child(u"HKEY_CURRENT_USER")->Child(u"Software")->Child(u"P");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->values.at(0).data, u"a\0b"s);
    EXPECT_EQ(p->values.at(1).data, u"ab");
    const std::string written = SerializeRegFile(*top);
    EXPECT_EQ(SerializeRegFile(*ParseRegFile(written)), written);
}

using DeepRegistry = SimFixture;

TEST_F(DeepRegistry, CreatingAKeyBeyondTheDepthLimitFails)
{
    UString path = u"Software";
    for (int i = 1; i < 512; ++i)
        path += u"\\a";
    ASSERT_TRUE(machine().RegOpenKey(RegRoot::CurrentUser, path, KEY_WRITE_MASK, true));
    EXPECT_FALSE(machine().RegOpenKey(RegRoot::CurrentUser, path + u"\\a", KEY_WRITE_MASK, true));
    EXPECT_FALSE(machine().RegKeyExists(RegRoot::CurrentUser, path + u"\\a"));
    EXPECT_TRUE(machine().RegKeyExists(RegRoot::CurrentUser, path));
}

}  // namespace
}  // namespace sim
