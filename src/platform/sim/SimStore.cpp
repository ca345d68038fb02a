#include "platform/sim/SimStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace sim {

MachineLock::MachineLock(const std::string& lockFile, bool exclusive)
{
    fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        return;  // a machine folder we cannot lock still works for a single process
    while (::flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) {}
}

MachineLock::~MachineLock()
{
    if (fd_ >= 0)
        ::close(fd_);  // releases the lock
}

namespace {

int64_t MtimeNs(const struct stat& st)
{
    return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

}  // namespace

FileStamp StampOf(const std::string& path)
{
    FileStamp s;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return s;
    s.exists = true;
    s.inode = st.st_ino;
    s.size = static_cast<uint64_t>(st.st_size);
    s.mtimeNs = MtimeNs(st);
    return s;
}

CachedFile::~CachedFile() { Forget(); }

bool CachedFile::Changed(const std::string& path) const
{
    if (!known_)
        return true;
    if (pin_ < 0)
        return !(StampOf(path) == stamp_);
    // The pinned file itself, without a look-up of its path on every call: writers
    // replace the file by rename (the pinned one loses its last name) or append to
    // it (its size and time change).
    struct stat st {};
    if (::fstat(pin_, &st) != 0 || st.st_nlink == 0)
        return true;
    return static_cast<uint64_t>(st.st_size) != stamp_.size || MtimeNs(st) != stamp_.mtimeNs ||
           static_cast<uint64_t>(st.st_ino) != stamp_.inode;
}

void CachedFile::Remember(const std::string& path)
{
    Forget();
    pin_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    stamp_ = StampOf(path);
    known_ = true;
}

void CachedFile::Forget()
{
    if (pin_ >= 0)
        ::close(pin_);
    pin_ = -1;
    known_ = false;
}

bool ReadHostFile(const std::string& path, std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string out;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    bytes.swap(out);
    return true;
}

bool WriteAll(int fd, const char* data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool WriteHostFileAtomic(const std::string& path, const std::string& bytes)
{
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = WriteAll(fd, bytes.data(), bytes.size());
    ::close(fd);
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool AppendHostFile(const std::string& path, const std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = WriteAll(fd, bytes.data(), bytes.size());
    ::close(fd);
    return ok;
}

}  // namespace sim
