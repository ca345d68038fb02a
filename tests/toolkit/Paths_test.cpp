#include "base/Paths.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct PathCase {
    UString path, included, excluded, folder, name, ext;
};

TEST(Paths, HelpersSplitWindowsPaths)
{
    const PathCase cases[] = {
        {u"C:\\Program Files\\App\\Setup.exe", u"C:\\Program Files\\App\\Setup.exe\\",
         u"C:\\Program Files\\App\\Setup.exe", u"C:\\Program Files\\App\\", u"Setup.exe", u".exe"},
        {u"C:\\Program Files\\App\\", u"C:\\Program Files\\App\\", u"C:\\Program Files\\App",
         u"C:\\Program Files\\App\\", u"", u""},
        {u"C:\\dir\\\\", u"C:\\dir\\\\", u"C:\\dir\\", u"C:\\dir\\\\", u"", u""},
        {u"C:\\", u"C:\\", u"C:", u"C:\\", u"", u""},
        {u"C:", u"C:\\", u"C:", u"C:", u"", u""},
        {u"C:file.txt", u"C:file.txt\\", u"C:file.txt", u"C:", u"file.txt", u".txt"},
        {u"Setup.ini", u"Setup.ini\\", u"Setup.ini", u"", u"Setup.ini", u".ini"},
        {u"C:\\a.b\\readme", u"C:\\a.b\\readme\\", u"C:\\a.b\\readme", u"C:\\a.b\\", u"readme", u""},
        {u"archive.tar.gz", u"archive.tar.gz\\", u"archive.tar.gz", u"", u"archive.tar.gz", u".gz"},
        {u"C:\\dir\\name.", u"C:\\dir\\name.\\", u"C:\\dir\\name.", u"C:\\dir\\", u"name.", u"."},
        {u"\\\\server\\share\\Manual.pdf", u"\\\\server\\share\\Manual.pdf\\", u"\\\\server\\share\\Manual.pdf",
         u"\\\\server\\share\\", u"Manual.pdf", u".pdf"},
        {u"a/b.txt", u"a/b.txt\\", u"a/b.txt", u"", u"a/b.txt", u".txt"},  // "/" is no delimiter
        {u"", u"\\", u"", u"", u"", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.path));
        EXPECT_EQ(IncludeTrailingPathDelimiter(c.path), c.included);
        EXPECT_EQ(ExcludeTrailingPathDelimiter(c.path), c.excluded);
        EXPECT_EQ(ExtractFilePath(c.path), c.folder);
        EXPECT_EQ(ExtractFileName(c.path), c.name);
        EXPECT_EQ(ExtractFileExt(c.path), c.ext);
        EXPECT_EQ(ExtractFilePath(c.path) + ExtractFileName(c.path), c.path);
    }
}

TEST(Paths, KeyPathSplitsIntoItsNamesWithoutEmptyOnes)
{
    const struct {
        UString path;
        std::vector<UString> names;
    } cases[] = {
        {u"Software\\Vendor\\My App", {u"Software", u"Vendor", u"My App"}},
        {u"\\Software\\\\Vendor\\", {u"Software", u"Vendor"}},
        {u"HKEY_LOCAL_MACHINE", {u"HKEY_LOCAL_MACHINE"}},
        {u"a/b\\c", {u"a/b", u"c"}},  // "/" belongs to the name
        {u"\\\\", {}},
        {u"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitKeyPath(c.path), c.names) << ToUtf8(c.path);
}

}  // namespace
