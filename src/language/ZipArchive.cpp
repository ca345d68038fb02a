#include "language/ZipArchive.h"

#include <zlib.h>

#include "language/Crc32.h"

#include <algorithm>
#include <limits>

namespace {

constexpr uint32_t kEndOfCentralDir = 0x06054b50;
constexpr uint32_t kZip64EndLocator = 0x07064b50;
constexpr uint32_t kZip64End = 0x06064b50;
constexpr uint32_t kCentralHeader = 0x02014b50;
constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr size_t kEndSize = 22;
constexpr size_t kCentralSize = 46;
constexpr size_t kLocalSize = 30;

// Little-endian fields at an offset already checked to fit.
uint16_t U16(std::string_view b, size_t at)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

uint32_t U32(std::string_view b, size_t at)
{
    return static_cast<uint32_t>(U16(b, at)) | static_cast<uint32_t>(U16(b, at + 2)) << 16;
}

uint64_t U64(std::string_view b, size_t at)
{
    return static_cast<uint64_t>(U32(b, at)) | static_cast<uint64_t>(U32(b, at + 4)) << 32;
}

bool Fits(std::string_view b, uint64_t offset, uint64_t length)
{
    return offset <= b.size() && length <= b.size() - offset;
}

char FoldChar(char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    return c == '\\' ? '/' : c;
}

bool SamePartName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldChar(a[i]) != FoldChar(b[i]))
            return false;
    return true;
}

}  // namespace

std::string ZipArchive::Open(std::string_view bytes, ZipLimits limits)
{
    bytes_ = bytes;
    limits_ = limits;
    entries_.clear();
    if (bytes.size() < kEndSize)
        return "not a zip archive: too short";

    // The end record sits at the very end, before a comment of at most 64 KiB.
    size_t lowest = bytes.size() > kEndSize + 0xFFFF ? bytes.size() - kEndSize - 0xFFFF : 0;
    size_t end = std::string_view::npos;
    for (size_t at = bytes.size() - kEndSize + 1; at-- > lowest;) {
        if (U32(bytes, at) == kEndOfCentralDir && at + kEndSize + U16(bytes, at + 20) <= bytes.size()) {
            end = at;
            break;
        }
    }
    if (end == std::string_view::npos)
        return "not a zip archive: no end of central directory record";

    uint64_t count = U16(bytes, end + 10);
    uint64_t cdSize = U32(bytes, end + 12);
    uint64_t cdOffset = U32(bytes, end + 16);
    if (count == 0xFFFF || cdSize == 0xFFFFFFFF || cdOffset == 0xFFFFFFFF) {
        if (end < 20 || U32(bytes, end - 20) != kZip64EndLocator)
            return "zip64 archive without its end locator";
        uint64_t at = U64(bytes, end - 20 + 8);
        if (!Fits(bytes, at, 56) || U32(bytes, static_cast<size_t>(at)) != kZip64End)
            return "zip64 end record out of bounds or damaged";
        count = U64(bytes, static_cast<size_t>(at) + 32);
        cdSize = U64(bytes, static_cast<size_t>(at) + 40);
        cdOffset = U64(bytes, static_cast<size_t>(at) + 48);
    }
    std::string error = ReadCentralDirectory(cdOffset, cdSize, count);
    if (!error.empty())
        entries_.clear();
    return error;
}

std::string ZipArchive::ReadCentralDirectory(uint64_t offset, uint64_t size, uint64_t count)
{
    if (!Fits(bytes_, offset, size))
        return "central directory out of bounds (archive cut short?)";
    if (count > size / kCentralSize)
        return "central directory holds fewer entries than announced";
    entries_.reserve(static_cast<size_t>(count));
    size_t at = static_cast<size_t>(offset);
    const size_t cdEnd = static_cast<size_t>(offset + size);
    for (uint64_t i = 0; i < count; ++i) {
        if (at + kCentralSize > cdEnd || U32(bytes_, at) != kCentralHeader)
            return "damaged central directory entry " + std::to_string(i);
        Entry e;
        e.flags = U16(bytes_, at + 8);
        e.method = U16(bytes_, at + 10);
        e.crc = U32(bytes_, at + 16);
        e.compressedSize = U32(bytes_, at + 20);
        e.size = U32(bytes_, at + 24);
        size_t nameLen = U16(bytes_, at + 28);
        size_t extraLen = U16(bytes_, at + 30);
        size_t commentLen = U16(bytes_, at + 32);
        e.localOffset = U32(bytes_, at + 42);
        size_t total = kCentralSize + nameLen + extraLen + commentLen;
        if (at + total > cdEnd)
            return "central directory entry " + std::to_string(i) + " runs past the directory";
        e.name.assign(bytes_.substr(at + kCentralSize, nameLen));

        // Zip64 sizes: only the fields saturated in the header are present, in order.
        size_t x = at + kCentralSize + nameLen;
        const size_t xEnd = x + extraLen;
        while (x + 4 <= xEnd) {
            uint16_t id = U16(bytes_, x);
            size_t len = U16(bytes_, x + 2);
            if (x + 4 + len > xEnd)
                break;
            if (id == 0x0001) {
                size_t f = x + 4;
                const size_t fEnd = f + len;
                auto take = [&](uint64_t& field) {
                    if (field != 0xFFFFFFFF)
                        return true;
                    if (f + 8 > fEnd)
                        return false;
                    field = U64(bytes_, f);
                    f += 8;
                    return true;
                };
                if (!take(e.size) || !take(e.compressedSize) || !take(e.localOffset))
                    return "damaged zip64 field of entry " + e.name;
            }
            x += 4 + len;
        }
        entries_.push_back(std::move(e));
        at += total;
    }
    return {};
}

const ZipArchive::Entry* ZipArchive::Find(std::string_view name) const
{
    for (const Entry& e : entries_)
        if (SamePartName(e.name, name))
            return &e;
    return nullptr;
}

std::string ZipArchive::Extract(std::string_view name, ZipEntryData& out) const
{
    out = {};
    const Entry* e = Find(name);
    if (!e)
        return "no entry " + std::string(name) + " in the archive";
    const std::string what = "entry " + e->name + ": ";
    if (e->flags & 0x1)
        return what + "encrypted";
    if (!Fits(bytes_, e->localOffset, kLocalSize) || U32(bytes_, static_cast<size_t>(e->localOffset)) != kLocalHeader)
        return what + "local header out of bounds or damaged";
    size_t local = static_cast<size_t>(e->localOffset);
    uint64_t dataAt = local + kLocalSize + uint64_t{U16(bytes_, local + 26)} + U16(bytes_, local + 28);
    if (!Fits(bytes_, dataAt, e->compressedSize))
        return what + "data runs past the end of the archive (cut short?)";
    std::string_view data = bytes_.substr(static_cast<size_t>(dataAt), static_cast<size_t>(e->compressedSize));

    uint64_t limit =
        std::min<uint64_t>(limits_.maxEntrySize, std::max<uint64_t>(e->compressedSize, 1) * limits_.maxRatio);
    if (e->size > limit)
        return what + "inflates to " + std::to_string(e->size) + " bytes, more than allowed";

    uint32_t crc = 0;
    if (e->method == 0) {
        if (e->compressedSize != e->size)
            return what + "stored with differing sizes";
        crc = Crc32(0, data.data(), data.size());
        if (crc != e->crc)
            return what + "CRC mismatch";
        out.view_ = data;
        return {};
    }
    if (e->method != 8)
        return what + "unsupported compression method " + std::to_string(e->method);
    if (data.size() > std::numeric_limits<uInt>::max())
        return what + "too large";

    // One byte of room past the announced size tells a lying header. The output is
    // not zero-filled first: inflating writes every byte that is kept.
    const size_t room = static_cast<size_t>(e->size) + 1;
    std::unique_ptr<char[]> buffer = std::make_unique_for_overwrite<char[]>(room);
    z_stream zs{};
    if (inflateInit2(&zs, -MAX_WBITS) != Z_OK)
        return what + "cannot start inflating";
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    // Inflated a piece at a time, each piece's CRC taken while it is in the cache.
    constexpr size_t kPiece = 256u << 10;
    size_t produced = 0;
    int rc = Z_OK;
    while (rc == Z_OK && produced < room) {
        zs.next_out = reinterpret_cast<Bytef*>(buffer.get() + produced);
        zs.avail_out = static_cast<uInt>(std::min(kPiece, room - produced));
        const uInt offered = zs.avail_out;
        rc = inflate(&zs, Z_NO_FLUSH);
        const size_t piece = offered - zs.avail_out;
        crc = Crc32(crc, buffer.get() + produced, piece);
        produced += piece;
    }
    inflateEnd(&zs);
    if (rc != Z_STREAM_END) {
        if (rc == Z_OK)
            return what + "inflates past its announced size";
        // Output room was always offered: a buffer error means the input ran out.
        if (rc == Z_BUF_ERROR)
            return what + "compressed data cut short";
        return what + "damaged compressed data";
    }
    if (produced != e->size)
        return what + "inflates to a size other than announced";
    if (crc != e->crc)
        return what + "CRC mismatch";
    out.owned_ = std::move(buffer);
    out.view_ = std::string_view(out.owned_.get(), produced);
    return {};
}
