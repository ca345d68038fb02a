// What the program relies on of files and folders, on both machines.
#include <gtest/gtest.h>

#include "contract/contract_fixture.h"

namespace {

using Files = ContractTest;

// 2020-01-02 03:04:05 UTC as a FILETIME.
constexpr uint64_t kPastTime = 132224942450000000ULL;

TEST_F(Files, ListingsSkipDotEntriesAndMarkFolders)
{
    EXPECT_TRUE(p().ListFolder(folder(), *std::make_unique<std::vector<DirEntry>>()));
    EXPECT_TRUE(Names(folder()).empty());
    PutFile(In(u"a.txt"));
    ASSERT_TRUE(p().CreateDirectory(In(u"Sub")));
    std::vector<DirEntry> entries;
    ASSERT_TRUE(p().ListFolder(folder() + u"\\", entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, u"a.txt");
    EXPECT_FALSE(entries[0].attributes & FileAttr::Directory);
    EXPECT_NE(entries[0].attributes & 0x1FF, 0u);
    EXPECT_EQ(entries[1].name, u"Sub");
    EXPECT_TRUE(entries[1].attributes & FileAttr::Directory);
}

TEST_F(Files, ListingAMissingFolderFails)
{
    std::vector<DirEntry> entries;
    EXPECT_FALSE(p().ListFolder(In(u"Missing"), entries));
    EXPECT_FALSE(p().ListFolder(In(u"Missing\\Deeper"), entries));
    PutFile(In(u"file.txt"));
    EXPECT_FALSE(p().ListFolder(In(u"file.txt"), entries));
}

TEST_F(Files, NamesIgnoreCaseAndKeepTheCaseOfCreation)
{
    PutFile(In(u"MixedCase.TXT"), "one");
    EXPECT_TRUE(p().FileExists(In(u"mixedcase.txt")));
    EXPECT_FALSE(p().DirectoryExists(In(u"mixedcase.txt")));
    PutFile(In(u"MIXEDCASE.txt"), "two");
    EXPECT_EQ(p().ReadWholeFile(In(u"mixedCASE.Txt")), "two");
    ASSERT_TRUE(p().CreateDirectory(In(u"Data")));
    EXPECT_FALSE(p().CreateDirectory(In(u"DATA")));
    EXPECT_EQ(p().LastError(), WinError::AlreadyExists);
    EXPECT_TRUE(p().DirectoryExists(In(u"dAtA")));
    EXPECT_EQ(Names(folder()), (std::vector<UString>{u"Data", u"MixedCase.TXT"}));
}

TEST_F(Files, CopyKeepsTheLastWriteTime)
{
    PutFile(In(u"src.bin"), std::string("\0\1\2payload", 10));
    ASSERT_TRUE(p().SetLastWriteTime(In(u"src.bin"), kPastTime));
    ASSERT_TRUE(p().CopyFile(In(u"src.bin"), In(u"dst.bin"), false));
    EXPECT_EQ(p().ReadWholeFile(In(u"dst.bin")), std::string("\0\1\2payload", 10));
    EXPECT_EQ(p().GetLastWriteTime(In(u"dst.bin")), kPastTime);
}

TEST_F(Files, ReadOnlySourceGivesANormalTargetOnceAttributesAreSet)
{
    PutFile(In(u"ro.txt"));
    ASSERT_TRUE(p().SetAttributes(In(u"ro.txt"), FileAttr::ReadOnly));
    ASSERT_TRUE(p().CopyFile(In(u"ro.txt"), In(u"copy.txt"), false));
    EXPECT_TRUE(*p().GetAttributes(In(u"copy.txt")) & FileAttr::ReadOnly);
    ASSERT_TRUE(p().SetAttributes(In(u"copy.txt"), FileAttr::Normal));
    // Windows then reports FILE_ATTRIBUTE_NORMAL; Wine 8 reports FILE_ATTRIBUTE_ARCHIVE.
    EXPECT_EQ(p().GetAttributes(In(u"copy.txt")), UnderWine() ? FileAttr::Archive : FileAttr::Normal);
    EXPECT_TRUE(p().DeleteFile(In(u"copy.txt")));
}

TEST_F(Files, ReadOnlyFilesAreNeitherDeletedNorOverwritten)
{
    PutFile(In(u"ro.txt"), "old");
    PutFile(In(u"new.txt"), "new");
    ASSERT_TRUE(p().SetAttributes(In(u"ro.txt"), FileAttr::ReadOnly));
    EXPECT_FALSE(p().DeleteFile(In(u"ro.txt")));
    EXPECT_EQ(p().LastError(), WinError::AccessDenied);
    if (UnderWine()) {
        // Wine 8 replaces a read-only target that CopyFileW on Windows refuses.
        EXPECT_TRUE(p().CopyFile(In(u"new.txt"), In(u"ro.txt"), false));
        PutFile(In(u"new.txt"), "newer");
    } else {
        EXPECT_FALSE(p().CopyFile(In(u"new.txt"), In(u"ro.txt"), false));
        EXPECT_EQ(p().LastError(), WinError::AccessDenied);
        EXPECT_EQ(p().ReadWholeFile(In(u"ro.txt")), "old");
    }
    ASSERT_TRUE(p().SetAttributes(In(u"ro.txt"), FileAttr::Normal));
    EXPECT_TRUE(p().CopyFile(In(u"new.txt"), In(u"ro.txt"), false));
    EXPECT_EQ(p().ReadWholeFile(In(u"ro.txt")), p().ReadWholeFile(In(u"new.txt")));
}

TEST_F(Files, FailIfExistsLeavesTheTargetAlone)
{
    PutFile(In(u"a.txt"), "source");
    PutFile(In(u"b.txt"), "target");
    EXPECT_FALSE(p().CopyFile(In(u"a.txt"), In(u"b.txt"), true));
    EXPECT_EQ(p().LastError(), WinError::FileExists);
    EXPECT_EQ(p().ReadWholeFile(In(u"b.txt")), "target");
    EXPECT_TRUE(p().CopyFile(In(u"a.txt"), In(u"b.txt"), false));
    EXPECT_EQ(p().ReadWholeFile(In(u"b.txt")), "source");
    EXPECT_TRUE(p().CopyFile(In(u"a.txt"), In(u"c.txt"), true));
}

TEST_F(Files, FailuresSayWhatIsMissing)
{
    const struct {
        UString path;
        uint32_t error;
    } cases[] = {
        {In(u"none.txt"), WinError::FileNotFound},
        {In(u"NoFolder\\none.txt"), WinError::PathNotFound},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(p().GetAttributes(c.path).has_value());
        EXPECT_EQ(p().LastError(), c.error) << Narrow(c.path);
        EXPECT_FALSE(p().ReadWholeFile(c.path).has_value());
        EXPECT_EQ(p().LastError(), c.error) << Narrow(c.path);
        EXPECT_FALSE(p().CopyFile(c.path, In(u"x.txt"), false));
        EXPECT_EQ(p().LastError(), c.error) << Narrow(c.path);
        EXPECT_FALSE(p().DeleteFile(c.path));
        EXPECT_EQ(p().LastError(), c.error) << Narrow(c.path);
    }
    EXPECT_FALSE(p().WriteWholeFile(In(u"NoFolder\\new.txt"), "x"));
    EXPECT_EQ(p().LastError(), WinError::PathNotFound);
    EXPECT_FALSE(p().CreateDirectory(In(u"NoFolder\\Sub")));
    EXPECT_EQ(p().LastError(), WinError::PathNotFound);
}

TEST_F(Files, DeleteFileTakesAnyCaseButNoFolder)
{
    ASSERT_TRUE(p().CreateDirectory(In(u"Sub")));
    PutFile(In(u"Mixed.txt"));
    PutFile(In(u"Sub\\Inner.txt"));
    const struct {
        UString path;
        bool deleted;
        uint32_t error;
    } cases[] = {
        {In(u"Sub"), false, WinError::AccessDenied},
        {In(u"MIXED.TXT"), true, 0},
        {In(u"sub\\inner.txt"), true, 0},
        {In(u"Sub\\Inner.txt"), false, WinError::FileNotFound},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(p().DeleteFile(c.path), c.deleted) << Narrow(c.path);
        if (!c.deleted) {
            EXPECT_EQ(p().LastError(), c.error) << Narrow(c.path);
        }
    }
    EXPECT_FALSE(p().FileExists(In(u"Mixed.txt")));
    EXPECT_TRUE(p().DirectoryExists(In(u"Sub")));
}

TEST_F(Files, OnlyAnEmptyFolderIsRemoved)
{
    ASSERT_TRUE(p().CreateDirectory(In(u"Full")));
    PutFile(In(u"Full\\f.txt"));
    EXPECT_FALSE(p().RemoveDirectory(In(u"Full")));
    EXPECT_EQ(p().LastError(), WinError::DirNotEmpty);
    ASSERT_TRUE(p().DeleteFile(In(u"Full\\f.txt")));
    EXPECT_TRUE(p().RemoveDirectory(In(u"Full")));
    EXPECT_FALSE(p().DirectoryExists(In(u"Full")));
}

TEST_F(Files, CreateEmptyFileReplacesAFile)
{
    PutFile(In(u"log.txt"), "content");
    ASSERT_TRUE(p().CreateEmptyFile(In(u"LOG.txt")));
    EXPECT_EQ(p().ReadWholeFile(In(u"log.txt")), "");
    EXPECT_EQ(Names(folder()), std::vector<UString>{u"log.txt"});
}

TEST_F(Files, RelativeAndEmptyPathsAreRefused)
{
    for (const char16_t* path : {u"", u"relative.txt", u"\\rooted.txt"}) {
        EXPECT_FALSE(p().WriteWholeFile(path, "x"));
        EXPECT_EQ(p().LastError(), WinError::BadPathName);
        std::vector<DirEntry> entries;
        EXPECT_FALSE(p().ListFolder(path, entries));
    }
}

}  // namespace
