#pragma once
// The machine a contract test runs on: on the host a fresh simulated machine per
// test; on Windows (or Wine) the real platform, with a scratch folder and scratch
// keys of this test's own, removed at the end.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/Platform.h"

class ContractTest : public ::testing::Test {
protected:
    ContractTest();
    ~ContractTest() override;

    IPlatform& p() { return *platform_; }
    // An empty folder of this test, without a trailing backslash.
    const UString& folder() const { return folder_; }
    // A key below Software that exists in neither hive when the test starts.
    const UString& key() const { return key_; }
    // A name no other test or run uses, for values in shared keys.
    const UString& unique() const { return unique_; }

    // Wine stands in for Windows in the Windows build's tests; where the two are
    // known to differ, a test checks each for what it does.
    bool UnderWine();

    UString In(UStringView name) const { return folder_ + u"\\" + UString(name); }
    void PutFile(const UString& path, const std::string& bytes = "x");
    // Entry names of a folder, in the order listed.
    std::vector<UString> Names(const UString& path);

private:
    void RemoveTree(const UString& path);

    struct Machine;
    std::unique_ptr<Machine> machine_;
    IPlatform* platform_ = nullptr;
    UString folder_;
    UString key_;
    UString unique_;
};

std::string Narrow(UStringView text);
