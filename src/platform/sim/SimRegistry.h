#pragma once
// The registry of the simulated machine, kept in one .reg file that every process of
// the machine shares: each operation reads the file again when it changed (under the
// machine lock) and a change is written back before the operation returns.
// Key paths are those a caller passes (relative to the hive); the view of a 32-bit
// process on 64-bit Windows sends HKEY_LOCAL_MACHINE\Software\X to
// SOFTWARE\WOW6432Node\X, except for the keys Windows shares between the views.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/SimRegFile.h"
#include "platform/sim/SimStore.h"

namespace sim {

class SimRegistry {
public:
    SimRegistry(std::string regFile, std::string lockFile);

    void SetRedirect32(bool redirect) { redirect32_ = redirect; }
    // The hive-relative path as stored, after the 32-bit view is applied.
    std::vector<UString> StoredPath(RegRoot root, const UString& path) const;
    static UString HiveName(RegRoot root);

    // Windows error codes, 0 on success.
    uint32_t Open(RegRoot root, const UString& path, bool create);
    bool KeyExists(RegRoot root, const UString& path);
    uint32_t ReadString(RegRoot root, const UString& path, const UString& name, UString& value);
    uint32_t ValueExists(RegRoot root, const UString& path, const UString& name);
    uint32_t WriteString(RegRoot root, const UString& path, const UString& name, const UString& value);
    uint32_t DeleteValue(RegRoot root, const UString& path, const UString& name);
    uint32_t DeleteKeyTree(RegRoot root, const UString& path);
    uint32_t SubKeyNames(RegRoot root, const UString& path, std::vector<UString>& names);
    uint32_t ValueNames(RegRoot root, const UString& path, std::vector<UString>& names);

    // A fresh machine's keys: the shared Uninstall and Run keys of both views.
    void WriteDefaults();

private:
    // Runs `work` on the current tree; when it returns true the tree is written back.
    uint32_t Read(const std::function<uint32_t(RegKey&)>& work);
    uint32_t Change(const std::function<uint32_t(RegKey&, bool& changed)>& work);
    void LoadLocked();
    RegKey* Find(RegKey& top, RegRoot root, const UString& path) const;

    std::string regFile_;
    std::string lockFile_;
    std::atomic<bool> redirect32_{true};
    std::mutex mutex_;
    CachedFile cache_;
    std::unique_ptr<RegKey> tree_;
};

}  // namespace sim
