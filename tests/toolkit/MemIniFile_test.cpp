#include "toolkit/MemIniFile.h"

#include <gtest/gtest.h>

#include "FileStore.h"

namespace {

TStringList LinesOf(UStringView text)
{
    TStringList lines;
    lines.SetText(text);
    return lines;
}

UString Normalised(UStringView text)
{
    TMemIniFile ini;
    ini.SetStrings(LinesOf(text));
    TStringList out;
    ini.GetStrings(out);
    return out.Text();
}

// Little-endian UTF-16 bytes of a text, written out by hand so that the test does
// not lean on the encoder it checks.
std::string Utf16LEBytes(UStringView text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// What reading a file and writing it back does with its bytes.
std::string RoundTrip(const std::string& bytes)
{
    const DecodedText decoded = DecodeText(bytes);
    TMemIniFile ini;
    ini.SetStrings(LinesOf(decoded.text));
    TStringList lines;
    ini.GetStrings(lines);
    return EncodeText(lines.Text(), decoded.encoding);
}

TEST(MemIniFile, CanonicalFilesRoundTripByteForByte)
{
    const UString record = u"[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellimo]\r\n"
                           u"DisplayName=\u8C46\u5305 Caf\u00E9 \u0416\r\n"
                           u"UninstallString=\"C:\\ProgramData\\Templates\\Pellimo\\Setup.exe\" uninstall\r\n"
                           u"\r\n"
                           u"[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
                           u"Pellimo=C:\\Program Files (x86)\\Pellimo\\Pellimo\\Pellimo.exe\r\n"
                           u"\r\n";
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"UTF-16LE with mark", Utf16LEBytes(record)},
        {"ANSI with accented letters",
         "[Setup]\r\n%PUBLISHER=Soci\xE9t\xE9 G\xE9n\xE9rale\r\n%PROGRAM_FILES=Caf\xE9 M\xFCller \x80\r\n\r\n"},
        {"UTF-8 with mark", "\xEF\xBB\xBF[Setup]\r\n%PROGRAM_FILES=\xE4\xB8\xAD\xE6\x96\x87\r\n\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundTrip(c.bytes), c.bytes) << c.name;

    TMemIniFile ansi;
    ansi.SetStrings(LinesOf(DecodeText(cases[1].bytes).text));
    EXPECT_EQ(ansi.ReadString(u"Setup", u"%PUBLISHER", u""), u"Soci\u00E9t\u00E9 G\u00E9n\u00E9rale");
}

TEST(MemIniFile, TakingLinesInNormalisesThem)
{
    const UString input = u"stray=before any section\r\n"
                          u"\r\n"
                          u"  [ HKEY_CURRENT_USER\\Run ]  \r\n"
                          u"; a comment\r\n"
                          u"   ;indented comment\r\n"
                          u"\t Pellimo  =  \"C:\\P\\Pellimo.exe\" Minimum \t\r\n"
                          u"a = b = c\r\n"
                          u"=no name\r\n"
                          u"  no equals sign  \r\n"
                          u"\r\n\r\n"
                          u"[Setup]\r\n"
                          u"[Empty]";
    const UString expected = u"[HKEY_CURRENT_USER\\Run]\r\n"
                             u"Pellimo=\"C:\\P\\Pellimo.exe\" Minimum\r\n"
                             u"a=b = c\r\n"
                             u"=no name\r\n"
                             u"no equals sign\r\n"
                             u"\r\n"
                             u"[Setup]\r\n"
                             u"\r\n"
                             u"[Empty]\r\n"
                             u"\r\n";
    EXPECT_EQ(Normalised(input), expected);
    EXPECT_EQ(Normalised(expected), expected);
}

TEST(MemIniFile, TakingLinesInReplacesEverything)
{
    TMemIniFile ini;
    ini.WriteString(u"Old", u"Key", u"1");
    ini.SetStrings(LinesOf(u"[New]\r\nKey=2"));
    EXPECT_FALSE(ini.SectionExists(u"Old"));
    EXPECT_EQ(ini.ReadString(u"New", u"Key", u""), u"2");
}

TEST(MemIniFile, RepeatedSectionContinuesTheFirst)
{
    EXPECT_EQ(Normalised(u"[A]\r\nx=1\r\n[B]\r\ny=2\r\n[ a ]\r\nz=3\r\n"),
              u"[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n\r\n");
}

class SetupIni : public testing::Test {
protected:
    void SetUp() override
    {
        ini.SetStrings(LinesOf(u"[Setup]\r\n"
                               u"%PROGRAM_FILES = Pellimo\r\n"
                               u"%program_exec=Pellimo.exe\r\n"
                               u"%PUBLISHER=   OEM   \r\n"
                               u"%MANULA_EXIST=yes\r\n"
                               u"%UPDATER_DIR=\r\n"
                               u"%LINK=A=B=C\r\n"
                               u"%BARE\r\n"
                               u"%DUP=first\r\n"
                               u"%dup=second\r\n"
                               u"[Other]\r\n"
                               u"%PROGRAM_EXEC=Other.exe\r\n"));
    }
    TMemIniFile ini;
};

TEST_F(SetupIni, ReadsIgnoreCaseOfSectionAndKeyAndTrimValues)
{
    const struct {
        UString section, key, value;
    } cases[] = {
        {u"Setup", u"%PROGRAM_FILES", u"Pellimo"},
        {u"SETUP", u"%PROGRAM_EXEC", u"Pellimo.exe"},  // written in lower case
        {u"setup", u"%Program_Exec", u"Pellimo.exe"},
        {u"Other", u"%program_exec", u"Other.exe"},
        {u"Setup", u"%PUBLISHER", u"OEM"},
        {u"Setup", u"%MANULA_EXIST", u"yes"},
        {u"Setup", u"%UPDATER_DIR", u""},  // present and empty: not the default
        {u"Setup", u"%LINK", u"A=B=C"},
        {u"Setup", u"%DUP", u"first"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, u"default"), c.value) << ToUtf8(c.key);
}

TEST_F(SetupIni, MissingKeysGiveTheDefault)
{
    EXPECT_EQ(ini.ReadString(u"Setup", u"%Exe_AfterInstall", u"OEM"), u"OEM");
    EXPECT_EQ(ini.ReadString(u"Missing", u"%PROGRAM_FILES", u""), u"");
    EXPECT_EQ(ini.ReadString(u"Setup", u"%BARE", u"none"), u"none");  // a line without "="
    EXPECT_FALSE(ini.ValueExists(u"Setup", u"%BARE"));
    EXPECT_TRUE(ini.ValueExists(u"setup", u"%updater_dir"));
    EXPECT_TRUE(TMemIniFile().ReadString(u"Setup", u"%PUBLISHER", u"x") == u"x");
}

TEST_F(SetupIni, WritingReplacesTheFirstKeyOrAppends)
{
    ini.WriteString(u"SETUP", u"%PROGRAM_EXEC", u"New.exe");
    ini.WriteString(u"Setup", u"%dup", u"");
    ini.WriteString(u"Setup", u"%NEW", u"1");
    ini.WriteString(u"Added", u"Key", u"Value");
    EXPECT_EQ(ini.ReadString(u"Setup", u"%program_exec", u""), u"New.exe");
    EXPECT_EQ(ini.ReadString(u"Setup", u"%DUP", u"default"), u"");
    EXPECT_EQ(ini.ReadString(u"Other", u"%PROGRAM_EXEC", u""), u"Other.exe");

    TStringList lines;
    ini.GetStrings(lines);
    EXPECT_EQ(lines.Text(),
              u"[Setup]\r\n"
              u"%PROGRAM_FILES=Pellimo\r\n"
              u"%program_exec=New.exe\r\n"  // the key keeps its spelling
              u"%PUBLISHER=OEM\r\n"
              u"%MANULA_EXIST=yes\r\n"
              u"%UPDATER_DIR=\r\n"
              u"%LINK=A=B=C\r\n"
              u"%BARE\r\n"
              u"%DUP=\r\n"
              u"%dup=second\r\n"
              u"%NEW=1\r\n"
              u"\r\n"
              u"[Other]\r\n"
              u"%PROGRAM_EXEC=Other.exe\r\n"
              u"\r\n"
              u"[Added]\r\n"
              u"Key=Value\r\n"
              u"\r\n");
}

TEST_F(SetupIni, SectionsAndKeysCanBeListedAndRemoved)
{
    TStringList names;
    ini.ReadSections(names);
    EXPECT_EQ(names.Items(), (std::vector<UString>{u"Setup", u"Other"}));
    ini.ReadSection(u"OTHER", names);
    EXPECT_EQ(names.Items(), (std::vector<UString>{u"%PROGRAM_EXEC"}));
    ini.ReadSection(u"Missing", names);
    EXPECT_EQ(names.Count(), 0);

    ini.DeleteKey(u"Setup", u"%DUP");
    EXPECT_FALSE(ini.ValueExists(u"Setup", u"%dup"));  // no later copy comes back
    ini.EraseSection(u"setup");
    EXPECT_FALSE(ini.SectionExists(u"Setup"));
    EXPECT_TRUE(ini.SectionExists(u"other"));
    ini.Clear();
    ini.ReadSections(names);
    EXPECT_EQ(names.Count(), 0);
}

TEST(MemIniFile, LookupsFollowDeletionsErasuresAndFoldedNames)
{
    TMemIniFile ini;
    ini.SetStrings(LinesOf(u"[A]\r\na=1\r\n"
                           u"[Caf\u00C9 \u0416]\r\nx=1\r\nbare line\r\ny=2\r\nX=3\r\nz=4\r\n"
                           u"[C]\r\nc=1\r\n"));
    ini.DeleteKey(u"caf\u00E9 \u0436", u"x");
    ini.EraseSection(u"a");
    ini.WriteString(u"CAF\u00C9 \u0416", u"X", u"5");
    ini.WriteString(u"a", u"k", u"v");
    const struct {
        UString section, key, value;
    } cases[] = {
        {u"caf\u00E9 \u0436", u"Y", u"2"},
        {u"Caf\u00C9 \u0416", u"z", u"4"},
        {u"caf\u00C9 \u0416", u"x", u"5"},
        {u"c", u"C", u"1"},
        {u"A", u"a", u"-"},
        {u"A", u"K", u"v"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, u"-"), c.value) << ToUtf8(c.section) << " " << ToUtf8(c.key);

    TStringList lines;
    ini.GetStrings(lines);
    EXPECT_EQ(lines.Text(), u"[Caf\u00C9 \u0416]\r\nbare line\r\ny=2\r\nz=4\r\nX=5\r\n\r\n"
                            u"[C]\r\nc=1\r\n\r\n[a]\r\nk=v\r\n\r\n");
}

TEST(MemIniFile, UnboundObjectCannotBeWrittenToAFile)
{
    TMemIniFile ini;
    ini.WriteString(u"Setup", u"Key", u"Value");
    EXPECT_FALSE(ini.UpdateFile());
    EXPECT_EQ(ini.Encoding(), TextEncoding::Ansi);
}

}  // namespace

namespace {

const UString kRecordPath = u"C:\\Program Files (x86)\\Pellimo\\Updater\\Regedit_FileList.ini";

TEST(MemIniFileOnDisk, MissingFileGivesDefaultsAndIsCreatedAsAnsi)
{
    FileStore store;
    TMemIniFile ini(kRecordPath);
    EXPECT_EQ(ini.FileName(), kRecordPath);
    EXPECT_EQ(ini.ReadString(u"Setup", u"%PUBLISHER", u"OEM"), u"OEM");
    ini.WriteString(u"Setup", u"%PROGRAM_FILES", u"Caf\u00E9");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(store.files[kRecordPath], "[Setup]\r\n%PROGRAM_FILES=Caf\xE9\r\n\r\n");
}

TEST(MemIniFileOnDisk, WritingBackKeepsTheEncodingFoundAndDropsTheOldContent)
{
    FileStore store;
    store.files[kRecordPath] = Utf16LEBytes(u"; old\r\n[Old]\r\nX = 1\r\n");
    TMemIniFile ini(kRecordPath);
    EXPECT_EQ(ini.Encoding(), TextEncoding::Utf16LE);
    EXPECT_EQ(ini.ReadString(u"old", u"x", u""), u"1");

    TStringList lines;
    lines.SetText(u"[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
                  u"Pellimo=C:\\Program Files (x86)\\\u8C46\\Pellimo.exe\r\n");
    ini.SetStrings(lines);
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(store.files[kRecordPath],
              Utf16LEBytes(u"[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
                           u"Pellimo=C:\\Program Files (x86)\\\u8C46\\Pellimo.exe\r\n\r\n"));
}

TEST(MemIniFileOnDisk, FailedWriteIsReported)
{
    FileStore store;
    store.failWrites = true;
    TMemIniFile ini(kRecordPath);
    ini.WriteString(u"Setup", u"Key", u"Value");
    EXPECT_FALSE(ini.UpdateFile());
}

TEST(StringListOnDisk, LoadKeepsTheListWhenTheFileIsMissing)
{
    FileStore store;
    store.files[u"C:\\a.ini"] = "\xEF\xBB\xBF"
                                "one\r\ntwo";
    TStringList list;
    ASSERT_TRUE(list.LoadFromFile(u"C:\\a.ini"));
    EXPECT_EQ(list.Items(), (std::vector<UString>{u"one", u"two"}));
    EXPECT_EQ(list.Encoding(), TextEncoding::Utf8);
    EXPECT_FALSE(list.LoadFromFile(u"C:\\missing.ini"));
    EXPECT_EQ(list.Count(), 2);
    ASSERT_TRUE(list.SaveToFile(u"C:\\b.ini", list.Encoding()));
    EXPECT_EQ(store.files[u"C:\\b.ini"], "\xEF\xBB\xBF"
                                         "one\r\ntwo\r\n");
}

}  // namespace
