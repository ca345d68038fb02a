#include "platform/sim/SimRegFile.h"

#include "base/Paths.h"
#include "platform/sim/SimText.h"

namespace sim {

RegKey::~RegKey()
{
    std::vector<std::unique_ptr<RegKey>> pending;
    auto adopt = [&](RegKey& key) {
        for (auto& [folded, child] : key.children)
            pending.push_back(std::move(child));
        key.children.clear();
    };
    adopt(*this);
    while (!pending.empty()) {
        std::unique_ptr<RegKey> key = std::move(pending.back());
        pending.pop_back();
        adopt(*key);
    }
}

RegKey* RegKey::Child(UStringView name) const
{
    auto it = children.find(Fold(name));
    return it == children.end() ? nullptr : it->second.get();
}

RegKey& RegKey::AddChild(const UString& name)
{
    auto& slot = children[Fold(name)];
    if (!slot) {
        slot = std::make_unique<RegKey>();
        slot->name = name;
    }
    return *slot;
}

RegValue* RegKey::Value(UStringView name)
{
    for (auto& v : values)
        if (SameName(v.name, name))
            return &v;
    return nullptr;
}

void RegKey::SetString(const UString& name, const UString& data)
{
    RegValue* v = Value(name);
    if (!v) {
        values.push_back(RegValue{name, true, {}, {}});
        v = &values.back();
    }
    v->isString = true;
    v->data = data;
    // Windows' readers drop a string's terminating NULs; kept, they would not survive
    // the file, whose hex(1) form ends the string with one.
    while (!v->data.empty() && v->data.back() == 0)
        v->data.pop_back();
    v->raw.clear();
}

bool RegKey::DeleteValue(UStringView name)
{
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (SameName(it->name, name)) {
            values.erase(it);
            return true;
        }
    }
    return false;
}

namespace {

UString DecodeBytes(const std::string& bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        return Utf16Le(std::string_view(bytes).substr(2));
    }
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return Utf16(std::string_view(bytes).substr(3));
    return Utf16(bytes);
}

std::vector<UString> Lines(const UString& text)
{
    std::vector<UString> out;
    UString cur;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            out.push_back(cur);
            cur.clear();
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        out.push_back(cur);
    return out;
}

// Reads a quoted string at text[pos] (on the opening quote); pos ends after the close.
bool ReadQuoted(const UString& text, size_t& pos, UString& out)
{
    if (pos >= text.size() || text[pos] != u'"')
        return false;
    out.clear();
    for (++pos; pos < text.size(); ++pos) {
        const char16_t c = text[pos];
        if (c == u'\\' && pos + 1 < text.size()) {
            out += text[++pos];
        } else if (c == u'"') {
            ++pos;
            return true;
        } else {
            out += c;
        }
    }
    return false;
}

bool HexBytes(UStringView text, std::string& bytes)
{
    bytes.clear();
    int high = -1;
    for (char16_t c : text) {
        if (c == u',' || c == u' ' || c == u'\t')
            continue;
        const int d = HexDigit(c);
        if (d < 0)
            return false;
        if (high < 0) {
            high = d;
        } else {
            bytes += static_cast<char>(high * 16 + d);
            high = -1;
        }
    }
    return high < 0;
}

// hex(1): and hex(2): hold UTF-16LE text ending in a zero character.
bool StringFromHex(UStringView hex, UString& out)
{
    std::string bytes;
    if (!HexBytes(hex, bytes))
        return false;
    out.clear();
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        out += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    while (!out.empty() && out.back() == 0)
        out.pop_back();
    return true;
}

UString HexOfString(UStringView text)
{
    UString out = u"hex(1):";
    auto byte = [&](unsigned v) {
        if (out.size() > 7)
            out += u',';
        out += Hex(v, 2);
    };
    for (char16_t c : text) {
        byte(c & 0xFF);
        byte(c >> 8);
    }
    byte(0);
    byte(0);
    return out;
}

UString Escape(UStringView text)
{
    UString out;
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        out += c;
    }
    return out;
}

bool NeedsHex(UStringView text)
{
    for (char16_t c : text)
        if (c < 0x20)
            return true;
    return false;
}

RegKey* KeyAt(RegKey& top, const std::vector<UString>& parts, bool create)
{
    RegKey* key = &top;
    for (const UString& part : parts) {
        RegKey* child = key->Child(part);
        if (!child) {
            if (!create)
                return nullptr;
            child = &key->AddChild(part);
        }
        key = child;
    }
    return key;
}

void ParseValueLine(RegKey& key, const UString& line)
{
    size_t pos = 0;
    UString name;
    if (line[0] == u'@') {
        pos = 1;
    } else if (!ReadQuoted(line, pos, name)) {
        return;
    }
    while (pos < line.size() && line[pos] == u' ')
        ++pos;
    if (pos >= line.size() || line[pos] != u'=')
        return;
    ++pos;
    while (pos < line.size() && line[pos] == u' ')
        ++pos;
    UString rest = line.substr(pos);
    // A "\" at the end continues the line; at the end of the file nothing follows,
    // and kept it would take in the line after it once the value is written back.
    while (!rest.empty() && rest.back() == u'\\' && rest[0] != u'"')
        rest.pop_back();
    if (rest == u"-") {
        key.DeleteValue(name);
        return;
    }
    if (!rest.empty() && rest[0] == u'"') {
        UString data;
        size_t p = 0;
        if (ReadQuoted(rest, p, data))
            key.SetString(name, data);
        return;
    }
    UString data;
    if ((HasPrefix(rest, u"hex(1):") || HasPrefix(rest, u"hex(2):")) && StringFromHex(rest.substr(7), data)) {
        key.SetString(name, data);
        if (rest[4] == u'2')  // REG_EXPAND_SZ: readable as text, written back as it was
            key.Value(name)->raw = rest;
        return;
    }
    key.DeleteValue(name);
    key.values.push_back(RegValue{name, false, {}, rest});
}

void WriteKey(const RegKey& key, const UString& path, UString& out)
{
    out += u"[";
    out += path;
    out += u"]\r\n";
    for (const RegValue& v : key.values) {
        out += v.name.empty() ? UString(u"@") : u"\"" + Escape(v.name) + u"\"";
        out += u'=';
        if (!v.raw.empty())
            out += v.raw;
        else if (NeedsHex(v.data))
            out += HexOfString(v.data);
        else
            out += u"\"" + Escape(v.data) + u"\"";
        out += u"\r\n";
    }
    out += u"\r\n";
}

// Depth first with a stack of our own: one path buffer, grown and cut back per level.
void SerializeTree(const RegKey& top, UString& out)
{
    struct Level {
        const RegKey* key;
        std::map<UString, std::unique_ptr<RegKey>>::const_iterator next;
        size_t pathLength;  // of the path before this key's name was added
    };
    UString path;
    std::vector<Level> stack{{&top, top.children.begin(), 0}};
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.key->children.end()) {
            path.resize(level.pathLength);
            stack.pop_back();
            continue;
        }
        const RegKey& child = *level.next->second;
        ++level.next;
        const size_t before = path.size();
        if (!path.empty())
            path += u'\\';
        path += child.name;
        // The hives themselves (children of the top) have no section of their own.
        if (stack.size() >= 2 && (!child.values.empty() || child.children.empty()))
            WriteKey(child, path, out);
        stack.push_back(Level{&child, child.children.begin(), before});
    }
}

}  // namespace

std::unique_ptr<RegKey> ParseRegFile(const std::string& bytes)
{
    auto top = std::make_unique<RegKey>();
    const std::vector<UString> lines = Lines(DecodeBytes(bytes));
    RegKey* current = nullptr;
    for (size_t i = 0; i < lines.size(); ++i) {
        UString line = lines[i];
        // A hex value may go on over several lines, each ending in "\".
        while (!line.empty() && line.back() == u'\\' && line.find(u'=') != UString::npos && line[0] != u'[' &&
               i + 1 < lines.size()) {
            line.pop_back();
            UString next = lines[++i];
            size_t lead = 0;
            while (lead < next.size() && next[lead] == u' ')
                ++lead;
            line += next.substr(lead);
        }
        if (line.empty() || line[0] == u';')
            continue;
        if (line[0] == u'[') {
            const auto close = line.rfind(u']');
            if (close == UString::npos) {
                current = nullptr;
                continue;
            }
            UString path = line.substr(1, close - 1);
            if (!path.empty() && path[0] == u'-') {
                auto parts = SplitKeyPath(path.substr(1));
                current = nullptr;
                if (parts.empty())
                    continue;
                const UString last = parts.back();
                parts.pop_back();
                if (RegKey* parent = KeyAt(*top, parts, false))
                    parent->children.erase(Fold(last));
                continue;
            }
            const auto parts = SplitKeyPath(path);
            // parts[0] is the hive.
            current = !parts.empty() && parts.size() <= kMaxKeyDepth + 1 ? KeyAt(*top, parts, true) : nullptr;
            continue;
        }
        if (current && (line[0] == u'"' || line[0] == u'@'))
            ParseValueLine(*current, line);
    }
    return top;
}

std::string SerializeRegFile(const RegKey& top)
{
    UString text = u"Windows Registry Editor Version 5.00\r\n\r\n";
    SerializeTree(top, text);
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + text.size() * 2);
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

}  // namespace sim
