#include "platform/ShellLinkFormat.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr uint32_t kHeaderSize = 0x4C;
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
enum : uint32_t {
    HasLinkTargetIDList = 0x1,
    HasLinkInfo = 0x2,
    HasName = 0x4,
    HasRelativePath = 0x8,
    HasWorkingDir = 0x10,
    HasArguments = 0x20,
    HasIconLocation = 0x40,
    IsUnicode = 0x80,
};
constexpr uint32_t kEnvironmentBlock = 0xA0000001;

void Put16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The ANSI copy of the path only has to serve readers that ignore the Unicode one.
std::string AnsiOf(UStringView text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x100 ? static_cast<char>(c) : '?';
    return out;
}

bool HasDrive(UStringView path)
{
    return path.size() >= 3 && path[1] == u':' && path[2] == u'\\' &&
           ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
}

std::string LinkInfo(UStringView target)
{
    constexpr uint32_t header = 0x24;
    std::string volume;
    Put32(volume, 0x11);        // VolumeIDSize
    Put32(volume, 3);           // DRIVE_FIXED
    Put32(volume, 0x1234ABCD);  // serial number
    Put32(volume, 0x10);        // VolumeLabelOffset
    volume += '\0';             // empty label

    const std::string ansiPath = AnsiOf(target) + '\0';
    const std::string ansiSuffix(1, '\0');
    std::string unicodePath;
    for (char16_t c : target)
        Put16(unicodePath, c);
    Put16(unicodePath, 0);
    std::string unicodeSuffix;
    Put16(unicodeSuffix, 0);

    const uint32_t volumeAt = header;
    const uint32_t pathAt = volumeAt + static_cast<uint32_t>(volume.size());
    const uint32_t suffixAt = pathAt + static_cast<uint32_t>(ansiPath.size());
    const uint32_t unicodePathAt = suffixAt + static_cast<uint32_t>(ansiSuffix.size());
    const uint32_t unicodeSuffixAt = unicodePathAt + static_cast<uint32_t>(unicodePath.size());
    const uint32_t total = unicodeSuffixAt + static_cast<uint32_t>(unicodeSuffix.size());

    std::string out;
    Put32(out, total);
    Put32(out, header);
    Put32(out, 1);  // VolumeIDAndLocalBasePath
    Put32(out, volumeAt);
    Put32(out, pathAt);
    Put32(out, 0);  // no network location
    Put32(out, suffixAt);
    Put32(out, unicodePathAt);
    Put32(out, unicodeSuffixAt);
    out += volume + ansiPath + ansiSuffix + unicodePath + unicodeSuffix;
    return out;
}

void PutString(std::string& out, UStringView text)
{
    const size_t n = text.size() > 0xFFFF ? 0xFFFF : text.size();
    Put16(out, static_cast<uint32_t>(n));
    for (size_t i = 0; i < n; ++i)
        Put16(out, text[i]);
}

class Reader {
public:
    explicit Reader(const std::string& bytes) : b_(bytes) {}
    bool Has(size_t at, size_t n) const { return at <= b_.size() && n <= b_.size() - at; }
    uint32_t U16(size_t at) const
    {
        return Has(at, 2) ? static_cast<unsigned char>(b_[at]) | (static_cast<unsigned char>(b_[at + 1]) << 8) : 0;
    }
    uint32_t U32(size_t at) const { return Has(at, 4) ? U16(at) | (U16(at + 2) << 16) : 0; }
    UString Ansi(size_t at, size_t limit) const
    {
        UString out;
        for (size_t i = at; i < limit && i < b_.size() && b_[i] != '\0'; ++i)
            out += static_cast<char16_t>(static_cast<unsigned char>(b_[i]));
        return out;
    }
    UString Wide(size_t at, size_t limit) const
    {
        UString out;
        for (size_t i = at; i + 1 < limit && Has(i, 2); i += 2) {
            const auto c = static_cast<char16_t>(U16(i));
            if (c == 0)
                break;
            out += c;
        }
        return out;
    }
    const unsigned char* Raw(size_t at) const { return reinterpret_cast<const unsigned char*>(b_.data() + at); }
    size_t Size() const { return b_.size(); }

private:
    const std::string& b_;
};

UString ReadLinkInfo(const Reader& r, size_t at)
{
    const size_t size = r.U32(at);
    if (!r.Has(at, size) || size < 0x1C)
        return {};
    const size_t end = at + size;
    const uint32_t header = r.U32(at + 4);
    const uint32_t flags = r.U32(at + 8);
    if (!(flags & 1))
        return {};
    const uint32_t pathAt = r.U32(at + 16);
    const uint32_t suffixAt = r.U32(at + 24);
    if (header >= 0x24) {
        const uint32_t wPath = r.U32(at + 28);
        const uint32_t wSuffix = r.U32(at + 32);
        if (wPath)
            return r.Wide(at + wPath, end) + (wSuffix ? r.Wide(at + wSuffix, end) : UString());
    }
    return r.Ansi(at + pathAt, end) + (suffixAt ? r.Ansi(at + suffixAt, end) : UString());
}

}  // namespace

std::string EncodeShellLink(const ShortcutSpec& s)
{
    const bool local = HasDrive(s.target);
    uint32_t flags = IsUnicode;
    if (local)
        flags |= HasLinkInfo;
    if (!s.description.empty())
        flags |= HasName;
    if (!local && !s.target.empty())
        flags |= HasRelativePath;
    if (!s.workingDir.empty())
        flags |= HasWorkingDir;
    if (!s.arguments.empty())
        flags |= HasArguments;
    if (!s.iconPath.empty())
        flags |= HasIconLocation;

    std::string out;
    Put32(out, kHeaderSize);
    out.append(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid);
    Put32(out, flags);
    Put32(out, 0x20);      // the target's attributes: a normal file
    out.append(24, '\0');  // creation, access and write times: unknown
    Put32(out, 0);         // file size
    Put32(out, static_cast<uint32_t>(s.iconIndex));
    Put32(out, 1);         // SW_SHOWNORMAL
    out.append(12, '\0');  // hot key and reserved fields

    if (local)
        out += LinkInfo(s.target);
    if (flags & HasName)
        PutString(out, s.description);
    if (flags & HasRelativePath)
        PutString(out, s.target);
    if (flags & HasWorkingDir)
        PutString(out, s.workingDir);
    if (flags & HasArguments)
        PutString(out, s.arguments);
    if (flags & HasIconLocation)
        PutString(out, s.iconPath);
    Put32(out, 0);  // terminal block
    return out;
}

std::optional<ShortcutSpec> DecodeShellLink(const std::string& bytes)
{
    const Reader r(bytes);
    if (r.Size() < kHeaderSize || r.U32(0) != kHeaderSize || std::memcmp(r.Raw(4), kLinkClsid, 16) != 0)
        return std::nullopt;
    ShortcutSpec s;
    const uint32_t flags = r.U32(20);
    s.iconIndex = static_cast<int32_t>(r.U32(56));
    size_t at = kHeaderSize;
    if (flags & HasLinkTargetIDList)
        at += 2 + r.U16(at);
    if (flags & HasLinkInfo) {
        s.target = ReadLinkInfo(r, at);
        at += r.U32(at);
    }
    const bool unicode = flags & IsUnicode;
    auto next = [&](uint32_t flag, UString& into) {
        if (!(flags & flag) || !r.Has(at, 2))
            return;
        const size_t count = r.U16(at);
        at += 2;
        const size_t len = unicode ? count * 2 : count;
        if (!r.Has(at, len)) {
            at = r.Size();
            return;
        }
        into = unicode ? r.Wide(at, at + len) : r.Ansi(at, at + len);
        at += len;
    };
    UString relative;
    next(HasName, s.description);
    next(HasRelativePath, relative);
    next(HasWorkingDir, s.workingDir);
    next(HasArguments, s.arguments);
    next(HasIconLocation, s.iconPath);
    // Extra data: the environment-variable block names the target when the link
    // has no local path.
    while (r.Has(at, 8)) {
        const uint32_t size = r.U32(at);
        if (size < 8 || !r.Has(at, size))
            break;
        if (r.U32(at + 4) == kEnvironmentBlock && size >= 0x314 && s.target.empty())
            s.target = r.Wide(at + 8 + 260, at + size);
        at += size;
    }
    if (s.target.empty())
        s.target = relative;
    return s;
}
