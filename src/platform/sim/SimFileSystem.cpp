#include "platform/sim/SimFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <sstream>

#include "platform/sim/SimText.h"

namespace sim {

namespace {

constexpr uint32_t kSettable = FileAttr::ReadOnly | FileAttr::Hidden | FileAttr::System | FileAttr::Archive |
                               FileAttr::Normal | FileAttr::Temporary | 0x1000 /*offline*/ |
                               0x2000 /*not content indexed*/;
constexpr int64_t kEpochDifference = 11644473600LL;  // seconds from 1601 to 1970
constexpr size_t kMaxIndexes = 256;

bool BadNameChar(char16_t c)
{
    // Controls, and " * : < > ? | of 0x20..0x7F as bits of two words.
    constexpr uint64_t kLow =
        0xFFFFFFFFull | (1ull << '"') | (1ull << '*') | (1ull << ':') | (1ull << '<') | (1ull << '>') | (1ull << '?');
    constexpr uint64_t kHigh = 1ull << ('|' - 64);
    if (c >= 128)
        return false;
    return ((c < 64 ? kLow : kHigh) >> (c & 63)) & 1;
}

std::vector<UString> SplitComponents(UStringView path)
{
    std::vector<UString> out;
    UString cur;
    for (char16_t c : path) {
        if (c == u'\\') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

// Only full paths are taken ("C:\..."): a relative or empty path would act on the
// current folder or a drive root, which no caller means. Then Windows' lexical rules:
// "." dropped, ".." pops (never above the root), trailing dots and blanks dropped.
std::optional<std::vector<UString>> Components(const UString& windowsPath, uint32_t& error)
{
    UString p = windowsPath;
    std::replace(p.begin(), p.end(), u'/', u'\\');
    if (HasPrefix(p, u"\\\\?\\"))
        p.erase(0, 4);
    error = 0;
    if (HasPrefix(p, u"\\\\") && p.size() >= 3) {
        error = WinError::PathNotFound;  // no network on this machine
        return std::nullopt;
    }
    const bool full = p.size() >= 3 && p[1] == u':' && p[2] == u'\\' &&
                      ((p[0] >= u'A' && p[0] <= u'Z') || (p[0] >= u'a' && p[0] <= u'z'));
    if (!full) {
        error = WinError::BadPathName;
        return std::nullopt;
    }
    if (p[0] != u'C' && p[0] != u'c') {
        error = WinError::PathNotFound;
        return std::nullopt;
    }
    std::vector<UString> out;
    for (UString& comp : SplitComponents(UStringView(p).substr(3))) {
        if (comp.empty() || comp == u".")
            continue;
        if (comp == u"..") {
            if (!out.empty())
                out.pop_back();
            continue;
        }
        while (!comp.empty() && (comp.back() == u'.' || comp.back() == u' '))
            comp.pop_back();
        if (comp.empty())
            continue;
        for (char16_t c : comp) {
            if (BadNameChar(c)) {
                error = kErrorInvalidName;
                return std::nullopt;
            }
        }
        out.push_back(std::move(comp));
    }
    return out;
}

UString JoinWindows(const std::vector<UString>& comps)
{
    UString out = u"C:\\";
    for (size_t i = 0; i < comps.size(); ++i) {
        if (i)
            out += u'\\';
        out += comps[i];
    }
    return out;
}

bool LStat(const std::string& path, struct stat& st) { return ::lstat(path.c_str(), &st) == 0; }

std::string ParentOf(const std::string& host)
{
    const auto slash = host.rfind('/');
    return slash == std::string::npos ? std::string() : host.substr(0, slash);
}

std::string LeafOf(const std::string& host)
{
    const auto slash = host.rfind('/');
    return slash == std::string::npos ? host : host.substr(slash + 1);
}

uint32_t ErrnoToWin(int e)
{
    switch (e) {
    case ENOENT:
        return WinError::FileNotFound;
    case ENOTDIR:
        return WinError::PathNotFound;
    case EEXIST:
        return WinError::AlreadyExists;
    case ENOTEMPTY:
        return WinError::DirNotEmpty;
    case ENOSPC:
        return WinError::DiskFull;
    case EACCES:
    case EPERM:
    case EISDIR:
        return WinError::AccessDenied;
    case EBUSY:
        return WinError::SharingViolation;
    case ENOMEM:
        return WinError::NotEnoughMemory;
    default:
        return WinError::WriteFault;
    }
}

}  // namespace

SimFileSystem::SimFileSystem(std::string machine, std::string lockFile)
    : machine_(std::move(machine)), driveC_(machine_ + "/drive_c"), lockFile_(std::move(lockFile)),
      attributesFile_(machine_ + "/attributes.txt")
{
    // An empty side store from the start: a file that exists is watched through its
    // open handle, far cheaper on every operation than looking up a missing path.
    const int fd = ::open(attributesFile_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0)
        ::close(fd);
}

std::optional<UString> SimFileSystem::Normalize(const UString& windowsPath)
{
    uint32_t error = 0;
    auto comps = Components(windowsPath, error);
    if (!comps)
        return std::nullopt;
    return JoinWindows(*comps);
}

namespace {

// "C:\a\b" as the lexical rules leave it already: drive C in capitals, then
// non-empty names without "." or ".." or a trailing dot or blank, and no character
// a name may not hold. Gives the host path below drive_c ("a/b") in one pass.
bool CanonicalRelative(const UString& path, std::string& rel)
{
    if (path.size() < 4 || path[0] != u'C' || path[1] != u':' || path[2] != u'\\')
        return false;
    rel.resize(path.size() - 3);
    bool ascii = true;
    size_t start = 3;
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != u'\\') {
            const char16_t c = path[i];
            if (BadNameChar(c) || c == u'/')
                return false;
            ascii = ascii && c < 0x80;
            rel[i - 3] = static_cast<char>(c);
            continue;
        }
        if (i == start)
            return false;  // an empty name
        const char16_t lastChar = path[i - 1];
        if (lastChar == u'.' || lastChar == u' ')
            return false;  // also "." and ".."
        if (i < path.size())
            rel[i - 3] = '/';
        start = i + 1;
    }
    if (!ascii) {
        rel = Utf8(UStringView(path).substr(3));
        std::replace(rel.begin(), rel.end(), '\\', '/');
    }
    return true;
}

}  // namespace

uint32_t SimFileSystem::Resolve(const UString& windowsPath, HostPath& out)
{
    std::string quick;
    if (CanonicalRelative(windowsPath, quick)) {
        // The commonest case, a full path in its stored case: one look, no parsing.
        std::string host;
        host.reserve(driveC_.size() + 1 + quick.size());
        host.append(driveC_).append(1, '/').append(quick);
        struct stat st {};
        if (LStat(host, st)) {
            out = HostPath{};
            out.windowsPath = windowsPath;
            out.host = std::move(host);
            out.relative = std::move(quick);
            out.exists = true;
            out.isDirectory = S_ISDIR(st.st_mode);
            out.parentIsDirectory = true;
            return 0;
        }
    }
    uint32_t error = 0;
    auto comps = Components(windowsPath, error);
    if (!comps)
        return error;
    out = HostPath{};
    out.windowsPath = JoinWindows(*comps);
    out.isRoot = comps->empty();
    if (!out.isRoot) {
        // Names given in their stored case, as programs mostly give them: one look
        // at the whole path finds every part.
        std::string rel;
        for (const UString& comp : *comps)
            rel += (rel.empty() ? "" : "/") + Utf8(comp);
        struct stat st {};
        if (LStat(driveC_ + "/" + rel, st)) {
            out.host = driveC_ + "/" + rel;
            out.relative = std::move(rel);
            out.exists = true;
            out.isDirectory = S_ISDIR(st.st_mode);
            out.parentIsDirectory = true;
            return 0;
        }
    }
    std::string dir = driveC_;
    std::string rel;
    bool present = true;  // every component so far exists as a folder
    for (size_t i = 0; i < comps->size(); ++i) {
        const UString& comp = (*comps)[i];
        std::string name = Utf8(comp);
        const bool last = i + 1 == comps->size();
        if (present) {
            struct stat st {};
            std::string actual;
            bool found = LStat(dir + "/" + name, st);
            if (!found && FindByCase(dir, comp, actual)) {
                name = actual;
                found = LStat(dir + "/" + name, st);
            }
            if (last)
                out.parentIsDirectory = true;
            if (found) {
                if (last) {
                    out.exists = true;
                    out.isDirectory = S_ISDIR(st.st_mode);
                } else if (!S_ISDIR(st.st_mode)) {
                    present = false;
                }
            } else {
                present = false;
            }
        }
        dir += "/" + name;
        rel += (rel.empty() ? "" : "/") + name;
    }
    if (out.isRoot) {
        out.exists = true;
        out.isDirectory = true;
    }
    out.host = dir;
    out.relative = rel;
    return 0;
}

bool SimFileSystem::FindByCase(const std::string& dir, const UString& name, std::string& actual)
{
    const FileStamp stamp = StampOf(dir);
    if (!stamp.exists)
        return false;
    std::lock_guard<std::mutex> lock(indexMutex_);
    auto it = indexes_.find(dir);
    if (it == indexes_.end() || !(it->second.stamp == stamp)) {
        DIR* d = ::opendir(dir.c_str());
        if (!d)
            return false;
        if (indexes_.size() >= kMaxIndexes)
            indexes_.clear();
        DirIndex index;
        index.stamp = stamp;
        while (dirent* e = ::readdir(d)) {
            const std::string n = e->d_name;
            if (n == "." || n == "..")
                continue;
            index.byFolded.emplace(Fold(Utf16(n)), n);
        }
        ::closedir(d);
        ++scans_;
        it = indexes_.insert_or_assign(dir, std::move(index)).first;
        indexCount_.store(indexes_.size(), std::memory_order_release);
    }
    auto hit = it->second.byFolded.find(Fold(name));
    if (hit == it->second.byFolded.end())
        return false;
    actual = hit->second;
    return true;
}

void SimFileSystem::NoteChange(const std::string& dir, const FileStamp& before, const std::string& name, bool added)
{
    std::lock_guard<std::mutex> lock(indexMutex_);
    auto it = indexes_.find(dir);
    if (it == indexes_.end())
        return;
    if (!(it->second.stamp == before)) {
        indexes_.erase(it);  // someone else changed the folder too: read it again when needed
        indexCount_.store(indexes_.size(), std::memory_order_release);
        return;
    }
    const UString folded = Fold(Utf16(name));
    if (added)
        it->second.byFolded.emplace(folded, name);
    else
        it->second.byFolded.erase(folded);
    it->second.stamp = StampOf(dir);
}

uint64_t SimFileSystem::DirectoryScans() const
{
    std::lock_guard<std::mutex> lock(indexMutex_);
    return scans_;
}

// --- attribute side store -------------------------------------------------------

// The store is a log, one line per change ("XXXXXXXX path" sets, "- path" takes
// back), the last line of a path winning: a change appends one line instead of
// rewriting the store, which an installation of many files would otherwise do per
// file. A last line without its line end is being written by another process and
// is read when it is whole.
void SimFileSystem::LoadAttributesLocked()
{
    if (!attrCache_.Changed(attributesFile_))
        return;
    attributes_.clear();
    attrLines_ = 0;
    attrCache_.Remember(attributesFile_);
    std::string bytes;
    if (!ReadHostFile(attributesFile_, bytes))
        return;
    for (size_t start = 0; start < bytes.size();) {
        const size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            break;
        const std::string_view line(bytes.data() + start, end - start);
        start = end + 1;
        ++attrLines_;
        const auto space = line.find(' ');
        if (space == std::string_view::npos)
            continue;
        const std::string path(line.substr(space + 1));
        uint32_t value = 0;
        if (line.substr(0, space) == "-")
            attributes_.erase(path);
        else if (ParseUInt("0x" + std::string(line.substr(0, space)), value))
            attributes_[path] = value;
    }
}

uint32_t SimFileSystem::StoredAttributes(const std::string& relative, bool isDirectory)
{
    // The store is replaced by rename, so reading it needs no machine lock.
    std::lock_guard<std::mutex> lock(attrMutex_);
    LoadAttributesLocked();
    auto it = attributes_.find(relative);
    if (isDirectory)
        return FileAttr::Directory | (it == attributes_.end() ? 0 : it->second);
    return it == attributes_.end() ? FileAttr::Archive : it->second;
}

void SimFileSystem::StoreAttributes(const std::string& relative, std::optional<uint32_t> value)
{
    std::lock_guard<std::mutex> lock(attrMutex_);
    MachineLock machineLock(lockFile_, true);
    LoadAttributesLocked();
    if (value) {
        auto it = attributes_.find(relative);
        if (it != attributes_.end() && it->second == *value)
            return;
        attributes_[relative] = *value;
    } else if (attributes_.erase(relative) == 0) {
        return;
    }
    bool written;
    if (attrLines_ > 2 * attributes_.size() + 1024) {
        // Mostly overwritten lines: written afresh, sorted, one line per path.
        std::vector<std::pair<std::string, uint32_t>> sorted(attributes_.begin(), attributes_.end());
        std::sort(sorted.begin(), sorted.end());
        std::string bytes;
        for (const auto& [path, bits] : sorted)
            bytes += Utf8(Hex(bits, 8)) + " " + path + "\n";
        written = WriteHostFileAtomic(attributesFile_, bytes);
        attrLines_ = sorted.size();
    } else {
        written =
            AppendHostFile(attributesFile_, (value ? Utf8(Hex(*value, 8)) : std::string("-")) + " " + relative + "\n");
        ++attrLines_;
    }
    if (written)
        attrCache_.Remember(attributesFile_);
    else
        attrCache_.Forget();
}

// --- operations -----------------------------------------------------------------

uint32_t SimFileSystem::List(const HostPath& folder, std::vector<DirEntry>& entries)
{
    if (!folder.exists || !folder.isDirectory)
        return WinError::PathNotFound;
    DIR* d = ::opendir(folder.host.c_str());
    if (!d)
        return ErrnoToWin(errno);
    std::vector<std::pair<UString, DirEntry>> found;
    {
        std::lock_guard<std::mutex> lock(attrMutex_);
        LoadAttributesLocked();
        const std::string prefix = folder.relative.empty() ? std::string() : folder.relative + "/";
        while (dirent* e = ::readdir(d)) {
            const std::string n = e->d_name;
            if (n == "." || n == "..")
                continue;
            bool isDir = e->d_type == DT_DIR;
            if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
                struct stat st {};
                if (::stat((folder.host + "/" + n).c_str(), &st) != 0)
                    continue;
                isDir = S_ISDIR(st.st_mode);
            }
            DirEntry entry;
            entry.name = Utf16(n);
            auto it = attributes_.find(prefix + n);
            if (isDir)
                entry.attributes = FileAttr::Directory | (it == attributes_.end() ? 0 : it->second);
            else
                entry.attributes = it == attributes_.end() ? FileAttr::Archive : it->second;
            found.emplace_back(Fold(entry.name), std::move(entry));
        }
    }
    ::closedir(d);
    // NTFS returns a folder's entries in the order of their upper-cased names.
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    entries.clear();
    entries.reserve(found.size());
    for (auto& f : found)
        entries.push_back(std::move(f.second));
    return 0;
}

uint32_t SimFileSystem::Attributes(const HostPath& p, uint32_t& attributes)
{
    if (!p.exists)
        return p.parentIsDirectory ? WinError::FileNotFound : WinError::PathNotFound;
    attributes = StoredAttributes(p.relative, p.isDirectory);
    return 0;
}

uint32_t SimFileSystem::SetAttributes(const HostPath& p, uint32_t attributes)
{
    if (!p.exists)
        return p.parentIsDirectory ? WinError::FileNotFound : WinError::PathNotFound;
    if (p.isRoot)
        return WinError::AccessDenied;
    uint32_t bits = attributes & kSettable;
    if (bits & ~FileAttr::Normal)
        bits &= ~FileAttr::Normal;  // NORMAL counts only on its own
    if (p.isDirectory) {
        bits &= ~FileAttr::Normal;
        StoreAttributes(p.relative, bits ? std::optional<uint32_t>(bits) : std::nullopt);
    } else {
        if (bits == 0)
            bits = FileAttr::Normal;
        StoreAttributes(p.relative, bits == FileAttr::Archive ? std::nullopt : std::optional<uint32_t>(bits));
    }
    return 0;
}

uint32_t SimFileSystem::Copy(const HostPath& from, const HostPath& to, bool failIfExists)
{
    if (!from.exists)
        return from.parentIsDirectory ? WinError::FileNotFound : WinError::PathNotFound;
    if (from.isDirectory)
        return WinError::AccessDenied;
    if (to.exists) {
        if (to.host == from.host)
            return WinError::SharingViolation;
        if (failIfExists)
            return WinError::FileExists;
        if (to.isDirectory)
            return WinError::AccessDenied;
        // CopyFileW refuses to overwrite a read-only or hidden file.
        if (StoredAttributes(to.relative, false) & (FileAttr::ReadOnly | FileAttr::Hidden))
            return WinError::AccessDenied;
    } else if (!to.parentIsDirectory) {
        return WinError::PathNotFound;
    }
    struct stat st {};
    if (::stat(from.host.c_str(), &st) != 0)
        return ErrnoToWin(errno);
    const int in = ::open(from.host.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return ErrnoToWin(errno);
    const std::string dir = ParentOf(to.host);
    const FileStamp before = StampOf(dir);
    const int out = ::open(to.host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        return ErrnoToWin(e);
    }
    uint32_t error = 0;
    // The kernel copies on its own where it can (no content through this process,
    // shared extents on file systems that offer them); read and write otherwise.
    bool kernelCopy = true;
    for (off_t left = st.st_size; kernelCopy && left > 0;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(left), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == ENOSPC || errno == EIO || errno == EDQUOT)) {
            error = ErrnoToWin(errno);
            break;
        }
        if (n <= 0)
            kernelCopy = false;  // not offered here, or the file changed: the loop below goes on
        else
            left -= n;
    }
    char buf[1 << 16];
    while (!error) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = ErrnoToWin(errno);
            break;
        }
        if (n == 0)
            break;
        if (!WriteAll(out, buf, static_cast<size_t>(n))) {
            error = ErrnoToWin(errno ? errno : ENOSPC);
            break;
        }
    }
    ::close(in);
    const timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
    ::futimens(out, times);
    // A host program copied inside the machine (a kept setup) stays one that runs.
    ::fchmod(out, st.st_mode & 0777);
    ::close(out);
    if (!to.exists)
        NoteChange(dir, before, LeafOf(to.host), true);
    if (error)
        return error;
    // The copy takes the source's attributes and is marked for archiving.
    uint32_t bits = StoredAttributes(from.relative, false);
    bits = (bits & ~FileAttr::Normal) | FileAttr::Archive;
    StoreAttributes(to.relative, bits == FileAttr::Archive ? std::nullopt : std::optional<uint32_t>(bits));
    return 0;
}

bool SimFileSystem::Indexed(const std::string& dir) const
{
    // Without an index anywhere, as in most runs, no lock and no hash. Missing an
    // index made a moment ago costs nothing wrong: its stamp no longer matches.
    if (indexCount_.load(std::memory_order_acquire) == 0)
        return false;
    std::lock_guard<std::mutex> lock(indexMutex_);
    return indexes_.count(dir) != 0;
}

bool SimFileSystem::HasStoredAttributes(const std::string& relative, uint32_t& attributes)
{
    std::lock_guard<std::mutex> lock(attrMutex_);
    LoadAttributesLocked();
    auto it = attributes_.find(relative);
    if (it == attributes_.end())
        return false;
    attributes = it->second;
    return true;
}

uint32_t SimFileSystem::Delete(const HostPath& p)
{
    if (!p.exists)
        return p.parentIsDirectory ? WinError::FileNotFound : WinError::PathNotFound;
    if (p.isDirectory)
        return WinError::AccessDenied;
    uint32_t attributes = 0;
    const bool stored = HasStoredAttributes(p.relative, attributes);
    if (stored && (attributes & FileAttr::ReadOnly))
        return WinError::AccessDenied;
    const std::string dir = ParentOf(p.host);
    // A folder nobody looked up by case has no index to keep in step.
    const bool indexed = Indexed(dir);
    const FileStamp before = indexed ? StampOf(dir) : FileStamp{};
    if (::unlink(p.host.c_str()) != 0)
        return ErrnoToWin(errno);
    if (indexed)
        NoteChange(dir, before, LeafOf(p.host), false);
    if (stored)
        StoreAttributes(p.relative, std::nullopt);
    return 0;
}

bool SimFileSystem::QuickDelete(const UString& windowsPath, uint32_t& error)
{
    std::string relative;
    if (!CanonicalRelative(windowsPath, relative))
        return false;
    uint32_t attributes = 0;
    const bool stored = HasStoredAttributes(relative, attributes);
    if (stored && (attributes & FileAttr::ReadOnly))
        return false;
    std::string host;
    host.reserve(driveC_.size() + 1 + relative.size());
    host.append(driveC_).append(1, '/').append(relative);
    const std::string dir = ParentOf(host);
    const bool indexed = Indexed(dir);
    const FileStamp before = indexed ? StampOf(dir) : FileStamp{};
    if (::unlink(host.c_str()) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        error = errno == EISDIR ? WinError::AccessDenied : ErrnoToWin(errno);
        return true;
    }
    if (indexed)
        NoteChange(dir, before, LeafOf(host), false);
    if (stored)
        StoreAttributes(relative, std::nullopt);
    error = 0;
    return true;
}

uint32_t SimFileSystem::MakeDirectory(const HostPath& p)
{
    if (p.exists)
        return WinError::AlreadyExists;
    if (!p.parentIsDirectory)
        return WinError::PathNotFound;
    const std::string dir = ParentOf(p.host);
    const FileStamp before = StampOf(dir);
    if (::mkdir(p.host.c_str(), 0755) != 0)
        return ErrnoToWin(errno);
    NoteChange(dir, before, LeafOf(p.host), true);
    return 0;
}

uint32_t SimFileSystem::MakeDirectories(const HostPath& p)
{
    if (p.exists)
        return p.isDirectory ? 0 : WinError::AlreadyExists;
    std::string path = driveC_;
    size_t start = 0;
    const std::string& rel = p.relative;
    while (start <= rel.size()) {
        const auto slash = rel.find('/', start);
        const std::string name = rel.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        const std::string next = path + "/" + name;
        const FileStamp before = StampOf(path);
        if (::mkdir(next.c_str(), 0755) == 0)
            NoteChange(path, before, name, true);
        else if (errno != EEXIST)
            return ErrnoToWin(errno);
        path = next;
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return 0;
}

uint32_t SimFileSystem::RemoveDirectory(const HostPath& p)
{
    if (!p.exists)
        return p.parentIsDirectory ? WinError::FileNotFound : WinError::PathNotFound;
    if (!p.isDirectory)
        return kErrorDirectory;
    if (p.isRoot)
        return WinError::AccessDenied;
    uint32_t attributes = 0;
    const bool stored = HasStoredAttributes(p.relative, attributes);
    if (stored && (attributes & FileAttr::ReadOnly))
        return WinError::AccessDenied;
    const std::string dir = ParentOf(p.host);
    const bool indexed = Indexed(dir);
    const FileStamp before = indexed ? StampOf(dir) : FileStamp{};
    if (::rmdir(p.host.c_str()) != 0)
        return errno == ENOTEMPTY || errno == EEXIST ? WinError::DirNotEmpty : ErrnoToWin(errno);
    if (indexed)
        NoteChange(dir, before, LeafOf(p.host), false);
    if (stored)
        StoreAttributes(p.relative, std::nullopt);
    return 0;
}

uint32_t SimFileSystem::LastWriteTime(const HostPath& p, uint64_t& filetime)
{
    if (!p.exists)
        return p.parentIsDirectory ? WinError::FileNotFound : WinError::PathNotFound;
    struct stat st {};
    if (::stat(p.host.c_str(), &st) != 0)
        return ErrnoToWin(errno);
    filetime = static_cast<uint64_t>(st.st_mtim.tv_sec + kEpochDifference) * 10000000ULL +
               static_cast<uint64_t>(st.st_mtim.tv_nsec / 100);
    return 0;
}

uint32_t SimFileSystem::SetLastWriteTime(const HostPath& p, uint64_t filetime)
{
    if (!p.exists)
        return p.parentIsDirectory ? WinError::FileNotFound : WinError::PathNotFound;
    const auto ticks = static_cast<int64_t>(filetime);
    timespec times[2] = {{0, UTIME_OMIT}, {}};
    times[1].tv_sec = static_cast<time_t>(ticks / 10000000 - kEpochDifference);
    times[1].tv_nsec = static_cast<long>((ticks % 10000000) * 100);
    if (::utimensat(AT_FDCWD, p.host.c_str(), times, 0) != 0)
        return ErrnoToWin(errno);
    return 0;
}

uint32_t SimFileSystem::Read(const HostPath& p, std::string& bytes)
{
    if (!p.exists)
        return p.parentIsDirectory ? WinError::FileNotFound : WinError::PathNotFound;
    if (p.isDirectory)
        return WinError::AccessDenied;
    if (!ReadHostFile(p.host, bytes))
        return ErrnoToWin(errno);
    return 0;
}

uint32_t SimFileSystem::Write(const HostPath& p, const std::string& bytes)
{
    if (p.exists) {
        if (p.isDirectory)
            return WinError::AccessDenied;
        // CREATE_ALWAYS refuses read-only, hidden and system files.
        if (StoredAttributes(p.relative, false) & (FileAttr::ReadOnly | FileAttr::Hidden | FileAttr::System))
            return WinError::AccessDenied;
    } else if (!p.parentIsDirectory) {
        return WinError::PathNotFound;
    }
    const std::string dir = ParentOf(p.host);
    const FileStamp before = StampOf(dir);
    const int fd = ::open(p.host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return ErrnoToWin(errno);
    const bool ok = WriteAll(fd, bytes.data(), bytes.size());
    const int e = errno;
    ::close(fd);
    if (!p.exists)
        NoteChange(dir, before, LeafOf(p.host), true);
    if (!ok)
        return ErrnoToWin(e ? e : ENOSPC);
    StoreAttributes(p.relative, std::nullopt);
    return 0;
}

}  // namespace sim
