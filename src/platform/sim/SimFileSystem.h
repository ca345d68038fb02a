#pragma once
// Drive C: of the simulated machine: the host folder drive_c/. Windows paths are
// normalised lexically (so ".." never climbs above C:\ and nothing maps outside the
// machine), then resolved one component at a time: the exact name first, and only
// when it is missing a case-insensitive look-up in a cached index of the folder.
// Attributes other than the directory bit live in a side store shared by every
// process of the machine. Every operation returns a Windows error code, 0 on success.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/SimStore.h"

namespace sim {

constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorDirectory = 267;  // ERROR_DIRECTORY: not a folder

struct HostPath {
    UString windowsPath;   // normalised, "C:\A\B", case as given
    std::string host;      // host path; existing components in their stored case
    std::string relative;  // below drive_c/, "" for the root
    bool isRoot = false;
    bool exists = false;
    bool isDirectory = false;
    bool parentIsDirectory = false;  // the folder that would hold it exists
};

class SimFileSystem {
public:
    // `machine` is the host machine folder; the lock file serialises the side store.
    SimFileSystem(std::string machine, std::string lockFile);

    // Syntax errors only: a path that is not full, "C:\..." (BadPathName), another
    // drive or a UNC path (PathNotFound), bad characters (ERROR_INVALID_NAME).
    uint32_t Resolve(const UString& windowsPath, HostPath& out);
    // Normalised form only, for matching failure targets.
    static std::optional<UString> Normalize(const UString& windowsPath);

    uint32_t List(const HostPath& folder, std::vector<DirEntry>& entries);
    uint32_t Attributes(const HostPath& p, uint32_t& attributes);
    uint32_t SetAttributes(const HostPath& p, uint32_t attributes);
    uint32_t Copy(const HostPath& from, const HostPath& to, bool failIfExists);
    uint32_t Delete(const HostPath& p);
    // Delete of a full path in its stored case without looking the file up first;
    // false where the lookup must decide (a name in another case, or none there).
    bool QuickDelete(const UString& windowsPath, uint32_t& error);
    uint32_t MakeDirectory(const HostPath& p);
    uint32_t RemoveDirectory(const HostPath& p);
    uint32_t LastWriteTime(const HostPath& p, uint64_t& filetime);
    uint32_t SetLastWriteTime(const HostPath& p, uint64_t filetime);
    uint32_t Read(const HostPath& p, std::string& bytes);
    // CREATE_ALWAYS: replaces an existing file's content, keeping its name.
    uint32_t Write(const HostPath& p, const std::string& bytes);
    // Creates the missing folders of a path (the machine's own set-up, not a Windows call).
    uint32_t MakeDirectories(const HostPath& p);

    // How many times a folder was read to find a name by case (tests show the
    // exact-name path never scans).
    uint64_t DirectoryScans() const;

private:
    struct DirIndex {
        FileStamp stamp;
        std::unordered_map<UString, std::string> byFolded;
    };
    bool FindByCase(const std::string& dir, const UString& name, std::string& actual);
    // Whether this process keeps a case index of the folder.
    bool Indexed(const std::string& dir) const;
    // The side store's bits of the path, when it holds any.
    bool HasStoredAttributes(const std::string& relative, uint32_t& attributes);
    // Keeps a folder's index in step with a change this process made in it.
    void NoteChange(const std::string& dir, const FileStamp& before, const std::string& name, bool added);
    uint32_t StoredAttributes(const std::string& relative, bool isDirectory);
    void StoreAttributes(const std::string& relative, std::optional<uint32_t> value);
    void LoadAttributesLocked();

    std::string machine_;
    std::string driveC_;
    std::string lockFile_;
    std::string attributesFile_;

    mutable std::mutex indexMutex_;
    std::unordered_map<std::string, DirIndex> indexes_;
    // The size of indexes_, readable without the lock.
    std::atomic<size_t> indexCount_{0};
    uint64_t scans_ = 0;

    std::mutex attrMutex_;
    CachedFile attrCache_;
    std::unordered_map<std::string, uint32_t> attributes_;
    size_t attrLines_ = 0;  // lines of the store, overwritten ones among them
};

}  // namespace sim
