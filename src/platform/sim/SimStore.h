#pragma once
// Host-file plumbing of the simulated machine: the machine-wide lock that lets
// several processes share one machine, and files read again only when they changed.
#include <cstdint>
#include <string>

namespace sim {

// flock() on the machine's lock file. Each lock opens its own descriptor, so two
// threads of one process exclude each other as two processes do.
class MachineLock {
public:
    MachineLock(const std::string& lockFile, bool exclusive);
    ~MachineLock();
    MachineLock(const MachineLock&) = delete;
    MachineLock& operator=(const MachineLock&) = delete;

private:
    int fd_ = -1;
};

// Identity of a file's content as far as a reader can tell without reading it.
struct FileStamp {
    bool exists = false;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

// Knows whether a file that is replaced by rename or appended to changed since it was
// last read. It keeps the file it read open, so that the file's inode cannot be reused
// by a later version with the same size and (coarse) time, and asks that open file
// rather than looking its path up each time.
class CachedFile {
public:
    CachedFile() = default;
    ~CachedFile();
    CachedFile(const CachedFile&) = delete;
    CachedFile& operator=(const CachedFile&) = delete;

    bool Changed(const std::string& path) const;
    // After reading or writing the file: remembers the version now on disk.
    void Remember(const std::string& path);
    void Forget();

private:
    FileStamp stamp_;
    bool known_ = false;
    int pin_ = -1;
};

bool ReadHostFile(const std::string& path, std::string& bytes);
// Writes all of the bytes, through short writes and interruptions.
bool WriteAll(int fd, const char* data, size_t size);
// Writes beside the file and renames over it, so a reader never sees half a file.
bool WriteHostFileAtomic(const std::string& path, const std::string& bytes);
bool AppendHostFile(const std::string& path, const std::string& bytes);

}  // namespace sim
