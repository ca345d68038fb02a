#pragma once
// Read-only access to the entries of a zip archive held in memory, as an .xlsx
// package is. The archive is opened from its central directory; entries are stored
// or deflated (zlib). Every offset and size is checked against the buffer, so a
// cut-short or damaged archive gives an error text, never a read out of bounds.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct ZipLimits {
    // An entry may not inflate past either bound: this is what stops zip bombs.
    size_t maxEntrySize = 64u << 20;
    size_t maxRatio = 200;
};

// The bytes of an extracted entry: a stored entry's are a view into the archive's
// buffer (which must outlive them), an inflated one's are owned. Empty when the
// extraction failed.
class ZipEntryData {
public:
    std::string_view View() const { return view_; }

private:
    friend class ZipArchive;
    std::unique_ptr<char[]> owned_;
    std::string_view view_;
};

class ZipArchive {
public:
    // The buffer must outlive the archive. Empty on success, else what is wrong.
    std::string Open(std::string_view bytes, ZipLimits limits = {});

    bool Contains(std::string_view name) const { return Find(name) != nullptr; }
    // Extracts the entry (names compared without regard to ASCII case, as package
    // part names are). Empty on success, else what is wrong; `out` is then empty.
    // The CRC is checked while inflating, on data still in the cache.
    std::string Extract(std::string_view name, ZipEntryData& out) const;

private:
    struct Entry {
        std::string name;
        uint16_t flags = 0;
        uint16_t method = 0;
        uint32_t crc = 0;
        uint64_t compressedSize = 0;
        uint64_t size = 0;
        uint64_t localOffset = 0;
    };
    const Entry* Find(std::string_view name) const;
    std::string ReadCentralDirectory(uint64_t offset, uint64_t size, uint64_t count);

    std::string_view bytes_;
    ZipLimits limits_;
    std::vector<Entry> entries_;
};
