#pragma once
// The registry of the simulated machine as a tree, and its text in the .reg export
// format of regedit ("Windows Registry Editor Version 5.00", UTF-16LE with a byte
// order mark, CR LF). String values are "name"="data" with \\ and \" escaped; a
// string holding control characters is kept as hex(1): so it survives a round trip.
// Values of other types are kept as their text and written back unchanged.
// A key is written only when it holds values or no subkeys: the path of a key below
// it brings back every key between, and so the text grows with the tree, not with the
// square of its depth.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/UString.h"

namespace sim {

struct RegValue {
    UString name;          // "" is the default value (@)
    bool isString = true;  // REG_SZ (or REG_EXPAND_SZ read as text)
    UString data;          // string data
    UString raw;           // other types: the text after "=" (dword:..., hex(7):...)
};

// Windows keeps keys at most this many levels below their hive.
constexpr size_t kMaxKeyDepth = 512;

struct RegKey {
    RegKey() = default;
    // Frees the subtree level by level, without a stack frame per level.
    ~RegKey();
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    UString name;  // as given at creation
    // By upper-cased name, which is also the enumeration order Windows shows.
    std::map<UString, std::unique_ptr<RegKey>> children;
    std::vector<RegValue> values;

    RegKey* Child(UStringView name) const;
    RegKey& AddChild(const UString& name);  // returns the existing one when present
    RegValue* Value(UStringView name);
    void SetString(const UString& name, const UString& data);
    bool DeleteValue(UStringView name);
};

// Never fails: unreadable lines are skipped, as are keys more than kMaxKeyDepth
// levels below their hive. The top key holds the hives
// (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, ...).
std::unique_ptr<RegKey> ParseRegFile(const std::string& bytes);
std::string SerializeRegFile(const RegKey& top);

}  // namespace sim
