#include "toolkit/StringList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(StringList, SetTextSplitsAtEveryLineBreak)
{
    const struct {
        UString text;
        std::vector<UString> lines;
    } cases[] = {
        {u"a\r\nb\nc\rd", {u"a", u"b", u"c", u"d"}},
        {u"a\r\n", {u"a"}},
        {u"a", {u"a"}},
        {u"", {}},
        {u"\r\n", {u""}},
        {u"a\r\n\r\nb\r\n", {u"a", u"", u"b"}},
        {u"a\n\r", {u"a", u""}},
        {u"a\r\r\n", {u"a", u""}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.Add(u"old");
        list.SetText(c.text);
        EXPECT_EQ(list.Items(), c.lines) << ToUtf8(c.text);
    }
}

TEST(StringList, TextEndsEveryLineWithCrLf)
{
    TStringList list;
    EXPECT_EQ(list.Text(), u"");
    list.Add(u"[Setup]");
    list.Add(u"");
    EXPECT_EQ(list.Text(), u"[Setup]\r\n\r\n");
    list.SetText(list.Text());
    EXPECT_EQ(list.Text(), u"[Setup]\r\n\r\n");
}

TEST(StringList, EditingKeepsOrderAndIgnoresBadPositions)
{
    TStringList list;
    EXPECT_EQ(list.Add(u"b"), 0);
    EXPECT_EQ(list.Add(u"d"), 1);
    list.Insert(0, u"a");
    list.Insert(2, u"c");
    list.Insert(99, u"e");
    list.Insert(-5, u"0");
    EXPECT_EQ(list.Items(), (std::vector<UString>{u"0", u"a", u"b", u"c", u"d", u"e"}));
    list.Delete(0);
    list.Delete(-1);
    list.Delete(list.Count());
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(list.IndexOf(u"c"), 2);
    EXPECT_EQ(list.IndexOf(u"C"), -1);
    list[2] = UString(u"C");
    EXPECT_EQ(list.IndexOf(u"C"), 2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace
