#include <gtest/gtest.h>

#include "language/Language_management.h"

namespace {

class TextLookup : public ::testing::Test {
protected:
    TextLookup() { texts.TextTable = std::make_unique<TMemIniFile>(); }
    void Put(const char16_t* section, const char16_t* key, const char16_t* text)
    {
        texts.TextTable->WriteString(section, key, text);
    }
    TlanguageManagement texts;
};

TEST_F(TextLookup, MissingStoredAsMarkerAndEmptyTexts)
{
    Put(u"InstallWizard", u"Found", u"text");
    Put(u"InstallWizard", u"Empty", u"");
    Put(u"InstallWizard", u"Marker", u"@@");
    EXPECT_EQ(u"text", texts.GetText(u"installwizard", u"FOUND"));
    EXPECT_EQ(u"", texts.GetText(u"InstallWizard", u"Empty"));
    EXPECT_EQ(u"@@", texts.GetText(u"InstallWizard", u"Marker"));
    EXPECT_EQ(u"@@", texts.GetText(u"InstallWizard", u"Absent"));
    EXPECT_EQ(u"@@", texts.GetText(u"Nowhere", u"Found"));

    TlanguageManagement noTable;
    EXPECT_EQ(u"@@", noTable.GetText(u"InstallWizard", u"Found"));
    EXPECT_EQ(u"InstallWizard", noTable.ResolveSectionMapping(u"InstallWizard"));
}

TEST_F(TextLookup, AliasesAreFollowedToTheirEndAndCirclesCountAsMissing)
{
    Put(u"Alias", u"%Mapping%", u"Middle");
    Put(u"Alias", u"Key", u"never read");
    Put(u"Middle", u"%Mapping%", u"Target");
    Put(u"Target", u"Key", u"target text");
    EXPECT_EQ(u"target text", texts.GetText(u"Alias", u"Key"));
    EXPECT_EQ(u"Target", texts.ResolveSectionMapping(u"alias"));

    Put(u"Loop1", u"%Mapping%", u"Loop2");
    Put(u"Loop2", u"%Mapping%", u"LOOP1");
    Put(u"Loop2", u"Key", u"in the circle");
    Put(u"Self", u"%Mapping%", u"Self");
    bool cycle = false;
    texts.ResolveSectionMapping(u"Loop1", &cycle);
    EXPECT_TRUE(cycle);
    EXPECT_EQ(u"@@", texts.GetText(u"Loop1", u"Key"));
    EXPECT_EQ(u"@@", texts.GetText(u"Self", u"Key"));

    Put(u"ToEmpty", u"%Mapping%", u"");
    Put(u"", u"Key", u"unnamed section");
    EXPECT_EQ(u"unnamed section", texts.GetText(u"ToEmpty", u"Key"));
}

TEST_F(TextLookup, VariantPathsAreTriedLongestFirst)
{
    Put(u"InstallWizard", u"Both", u"plain");
    Put(u"InstallWizard.a", u"Both", u"a");
    Put(u"InstallWizard.a.b", u"Deep", u"a.b");
    Put(u"InstallWizard", u"Plain", u"plain only");
    EXPECT_EQ(u"a.b", texts.GetVariantText(u"InstallWizard", u"a.b", u"Deep"));
    EXPECT_EQ(u"a", texts.GetVariantText(u"InstallWizard", u"a.b", u"Both"));
    EXPECT_EQ(u"plain only", texts.GetVariantText(u"InstallWizard", u"a.b", u"Plain"));
    EXPECT_EQ(u"plain", texts.GetVariantText(u"InstallWizard", u"", u"Both"));
    EXPECT_EQ(u"@@", texts.GetVariantText(u"InstallWizard", u"a.b", u"None"));
    texts.TextVariant = UString(u"a");  // GCC 12 warns falsely on assigning the literal
    EXPECT_EQ(u"a", texts.GetText(u"InstallWizard", u"Both"));
}

TEST(TextMacros, ExpandInTheirOrder)
{
    struct Case {
        const char16_t* text;
        const char16_t* expanded;
    } cases[] = {
        {u"a%B10b", u"a         b"},
        {u"a%B9b", u"a         b"},
        {u"%B1x", u" x"},
        {u"%B12", u"           "},
        {u"%B35|", u"                                  |"},
        {u"%B36", u"   6"},
        {u"%B0", u"%B0"},
        {u"%b1 %r1", u"%b1 %r1"},
        {u"one%R1two%R2three", u"one\rtwo\r\rthree"},
        {u"x\\\\\\\\y\\\\z", u"x\ny\\\\z"},
        {u"@@", u"@@"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UString(c.expanded), TlanguageManagement::ExpandTextMacros(c.text)) << ToUtf8(c.text);
}

TEST(TextMacros, ProductNameReplacesEveryP)
{
    EXPECT_EQ(u"Start Ostrel, Ostrel!", TlanguageManagement::ReplaceProductName(u"Start %P, %P!", u"Ostrel"));
    EXPECT_EQ(u"Start %P", TlanguageManagement::ReplaceProductName(u"Start %P", u""));
    EXPECT_EQ(u"Start %p", TlanguageManagement::ReplaceProductName(u"Start %p", u"Ostrel"));
}

}  // namespace
