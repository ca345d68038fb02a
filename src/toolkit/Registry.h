#pragma once
// The toolkit's registry object: one open key at a time under a root, over the
// platform's registry (default view of a 32-bit process, string values only).
//
// Key paths are relative to the open key, or to the root when no key is open or
// the path begins with "\". A trailing "\" is allowed. No call throws: failure is a
// false or an empty string, and the object is left as it was.
#include <cstdint>

#include "base/UString.h"
#include "platform/Platform.h"
#include "toolkit/StringList.h"

// True for the keys no deletion may touch: a hive root and its direct subkeys
// ("Software", "System", ...), "Software\WOW6432Node", "Software\Classes",
// "Software\Policies", the chain "Software\Microsoft" ... "\CurrentVersion", and the
// shared "...\CurrentVersion\Uninstall", "\Run" and "\RunOnce" themselves, under
// either root and either view. The path is from the root; case, doubled and
// trailing backslashes do not matter.
bool IsProtectedRegistryKey(UStringView path);

class TRegistry {
public:
    TRegistry() = default;
    explicit TRegistry(uint32_t access) : access_(access) {}
    ~TRegistry() { CloseKey(); }
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // Changing the root closes the open key.
    RegRoot RootKey() const { return root_; }
    void SetRootKey(RegRoot root);
    // The mask used by the next OpenKey: KEY_READ_MASK until set, KEY_WRITE_MASK to
    // write.
    uint32_t Access() const { return access_; }
    void SetAccess(uint32_t access) { access_ = access; }

    // Opens the key (creating missing keys when canCreate) and makes it the open
    // key. Without canCreate nothing is ever created. False leaves the open key.
    bool OpenKey(UStringView key, bool canCreate);
    // OpenKey with KEY_READ_MASK, never creating; Access becomes that mask.
    bool OpenKeyReadOnly(UStringView key);
    void CloseKey();
    bool HasOpenKey() const { return open_; }
    // Path of the open key from the root, no leading or trailing "\".
    const UString& CurrentPath() const { return currentPath_; }

    // Values of the open key; with no key open they fail. ReadString gives "" when
    // the value is missing or is not a string. Writing and deleting need a key opened
    // with KEY_SET_VALUE (0x2) in its mask, as KEY_WRITE_MASK has, as a Windows handle
    // does.
    UString ReadString(UStringView name);
    bool WriteString(UStringView name, UStringView value);
    bool ValueExists(UStringView name);
    bool DeleteValue(UStringView name);

    bool KeyExists(UStringView key);
    // Deletes the key with its subtree: every subkey first, from the last to the
    // first, each in the same way, then the key itself. A subkey that cannot be
    // deleted keeps its parents, as on Windows. Refuses (false, nothing deleted, one
    // debug line) every key IsProtectedRegistryKey names.
    bool DeleteKey(UStringView key);
    // Of the open key.
    bool HasSubKeys();
    // Replaces the list with the subkey names of the open key, in registry order.
    void GetKeyNames(TStringList& names);

private:
    // Full path from the root of a key given relative to the open key or absolute.
    UString Resolve(UStringView key) const;
    bool DeleteKeyTree(const UString& fullPath, int depth);

    RegRoot root_ = RegRoot::CurrentUser;
    uint32_t access_ = KEY_READ_MASK;
    uint32_t openAccess_ = 0;
    bool open_ = false;
    UString currentPath_;
};
