#include "contract/contract_fixture.h"

#include <atomic>

#ifndef _WIN32
#include "support/SimFixture.h"
#endif

struct ContractTest::Machine {
#ifndef _WIN32
    ScopedSimMachine sim;
#endif
};

namespace {
std::atomic<int> counter{0};
}

std::string Narrow(UStringView text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

ContractTest::ContractTest() : machine_(std::make_unique<Machine>())
{
    platform_ = &Platform();
    const UString id = u"SetupContract" + UIntToStr(platform_->CurrentProcessId()) + u"_" + UIntToStr(++counter);
    unique_ = id;
    key_ = u"Software\\" + id;
#ifdef _WIN32
    folder_ = u"C:\\" + id;
    RemoveTree(folder_);
#else
    folder_ = u"C:\\Scratch";
#endif
    platform_->CreateDirectory(folder_);
}

ContractTest::~ContractTest()
{
#ifdef _WIN32
    // The simulated machine goes away whole; on Windows each test cleans up after itself.
    RemoveTree(folder_);
    platform_->RegDeleteKeyTree(RegRoot::CurrentUser, key_);
    platform_->RegDeleteKeyTree(RegRoot::LocalMachine, key_);
#endif
}

bool ContractTest::UnderWine()
{
#ifdef _WIN32
    return platform_->RegKeyExists(RegRoot::CurrentUser, u"Software\\Wine");
#else
    return false;
#endif
}

void ContractTest::RemoveTree(const UString& path)
{
    // Only ever below this test's own folder.
    if (!StartsWith(path, folder_))
        return;
    std::vector<DirEntry> entries;
    if (platform_->ListFolder(path, entries)) {
        for (const DirEntry& e : entries) {
            const UString child = path + u"\\" + e.name;
            if (e.attributes & FileAttr::Directory) {
                RemoveTree(child);
            } else {
                platform_->SetAttributes(child, FileAttr::Normal);
                platform_->DeleteFile(child);
            }
        }
    }
    platform_->SetAttributes(path, FileAttr::Normal);
    platform_->RemoveDirectory(path);
}

void ContractTest::PutFile(const UString& path, const std::string& bytes)
{
    ASSERT_TRUE(platform_->WriteWholeFile(path, bytes)) << Narrow(path) << " error " << platform_->LastError();
}

std::vector<UString> ContractTest::Names(const UString& path)
{
    std::vector<DirEntry> entries;
    platform_->ListFolder(path, entries);
    std::vector<UString> names;
    for (const DirEntry& e : entries)
        names.push_back(e.name);
    return names;
}
