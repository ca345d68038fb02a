// GetPrivateProfileStringW on the simulated machine.
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/SimText.h"

#include <vector>

using namespace sim;

namespace {

bool ValidUtf8(const std::string& bytes) { return Utf8(Utf16(bytes)) == bytes; }

UString DecodeProfile(const std::string& bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        return Utf16Le(std::string_view(bytes).substr(2));
    }
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return Utf16(std::string_view(bytes).substr(3));
    if (ValidUtf8(bytes))
        return Utf16(bytes);
    UString out;  // the ANSI code page; Latin-1 covers what the machine's files hold
    for (char c : bytes)
        out += static_cast<char16_t>(static_cast<unsigned char>(c));
    return out;
}

enum class ProfileEncoding { Utf16, Utf8Bom, Utf8, Ansi };

ProfileEncoding EncodingOf(const std::string& bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        return ProfileEncoding::Utf16;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return ProfileEncoding::Utf8Bom;
    return ValidUtf8(bytes) ? ProfileEncoding::Utf8 : ProfileEncoding::Ansi;
}

std::string EncodeProfile(const UString& text, ProfileEncoding encoding)
{
    std::string out;
    switch (encoding) {
    case ProfileEncoding::Utf16:
        out = "\xFF\xFE";
        for (char16_t c : text) {
            out += static_cast<char>(c & 0xFF);
            out += static_cast<char>(c >> 8);
        }
        return out;
    case ProfileEncoding::Utf8Bom:
        return "\xEF\xBB\xBF" + Utf8(text);
    case ProfileEncoding::Utf8:
        return Utf8(text);
    case ProfileEncoding::Ansi:
        for (char16_t c : text)
            out += c < 0x100 ? static_cast<char>(c) : '?';
        return out;
    }
    return out;
}

UStringView Trimmed(UStringView s)
{
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t' || s.back() == u'\r'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

UString SimMachine::ReadProfileString(const UString& file, const UString& section, const UString& key,
                                      const UString& defaultValue)
{
    // A bare file name lives in the Windows folder, as for the profile functions.
    const bool bare = file.find_first_of(u"\\/:") == UString::npos;
    auto bytes = ReadWholeFile(bare ? u"C:\\Windows\\" + file : file);
    if (!bytes)
        return defaultValue;
    const UString text = DecodeProfile(*bytes);
    bool inSection = false;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == UString::npos)
            end = text.size();
        const UStringView line = Trimmed(UStringView(text).substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == u';')
            continue;
        if (line[0] == u'[') {
            const auto close = line.find(u']');
            inSection = close != UStringView::npos && SameName(Trimmed(line.substr(1, close - 1)), section);
            continue;
        }
        if (!inSection)
            continue;
        const auto eq = line.find(u'=');
        if (eq == UStringView::npos || !SameName(Trimmed(line.substr(0, eq)), key))
            continue;
        UStringView value = Trimmed(line.substr(eq + 1));
        // One pair of enclosing quotes is dropped.
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        Done(0);
        return UString(value);
    }
    Done(WinError::FileNotFound);
    return defaultValue;
}

bool SimMachine::WriteProfileString(const UString& file, const UString& section, const UString& key,
                                    const UString& value)
{
    const bool bare = file.find_first_of(u"\\/:") == UString::npos;
    const UString path = bare ? u"C:\\Windows\\" + file : file;
    const std::optional<std::string> bytes = ReadWholeFile(path);
    const ProfileEncoding encoding = bytes ? EncodingOf(*bytes) : ProfileEncoding::Ansi;
    const UString text = bytes ? DecodeProfile(*bytes) : UString();

    // The lines without their breaks; the file is written back with CRLF.
    std::vector<UString> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(u'\n', start);
        if (end == UString::npos)
            end = text.size();
        UString line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    const UString entry = key + u"=" + value;
    bool inSection = false, done = false;
    size_t lastOfSection = 0;
    for (size_t i = 0; i < lines.size() && !done; ++i) {
        const UStringView line = Trimmed(lines[i]);
        if (!line.empty() && line[0] == u'[') {
            if (inSection)
                break;
            const auto close = line.find(u']');
            inSection = close != UStringView::npos && SameName(Trimmed(line.substr(1, close - 1)), section);
            lastOfSection = i;
            continue;
        }
        if (!inSection || line.empty() || line[0] == u';')
            continue;
        lastOfSection = i;
        const auto eq = line.find(u'=');
        if (eq != UStringView::npos && SameName(Trimmed(line.substr(0, eq)), key)) {
            lines[i] = entry;
            done = true;
        }
    }
    if (!done && inSection) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastOfSection) + 1, entry);
    } else if (!done) {
        if (!lines.empty() && !lines.back().empty())
            lines.push_back(u"");
        lines.push_back(u"[" + section + u"]");
        lines.push_back(entry);
    }
    UString out;
    for (const UString& line : lines)
        out += line + u"\r\n";
    return WriteWholeFile(path, EncodeProfile(out, encoding));
}
