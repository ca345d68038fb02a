#include "toolkit/MemIniFile.h"

#include <algorithm>

namespace {

// One line of a section: a key and its value, or a line without "=", which is
// never a key but is written back where it stood.
struct Entry {
    UString key;  // the whole line when isKey is false
    UString value;
    bool isKey = true;
};

}  // namespace

struct TMemIniFile::Section {
    UString name;
    std::vector<Entry> entries;

    Entry* FindKey(UStringView key)
    {
        for (Entry& e : entries) {
            if (e.isKey && SameText(e.key, key))
                return &e;
        }
        return nullptr;
    }
};

TMemIniFile::TMemIniFile() = default;

TMemIniFile::TMemIniFile(const UString& fileName) : fileName_(fileName)
{
    DecodedText decoded;
    if (!ReadTextFile(fileName, decoded))
        return;
    encoding_ = decoded.encoding;
    TStringList lines;
    lines.SetText(decoded.text);
    SetStrings(lines);
}

TMemIniFile::~TMemIniFile() = default;

TMemIniFile::Section* TMemIniFile::Find(UStringView section) const
{
    for (const auto& s : sections_) {
        if (SameText(s->name, section))
            return s.get();
    }
    return nullptr;
}

UString TMemIniFile::ReadString(UStringView section, UStringView key, UStringView defaultValue) const
{
    if (Section* s = Find(section)) {
        if (const Entry* e = s->FindKey(key))
            return e->value;
    }
    return UString(defaultValue);
}

void TMemIniFile::WriteString(UStringView section, UStringView key, UStringView value)
{
    Section* s = Find(section);
    if (!s) {
        sections_.push_back(std::make_unique<Section>());
        s = sections_.back().get();
        s->name = UString(section);
    }
    if (Entry* e = s->FindKey(key)) {
        e->value = UString(value);
        return;
    }
    s->entries.push_back(Entry{UString(key), UString(value), true});
}

bool TMemIniFile::SectionExists(UStringView section) const
{
    return Find(section) != nullptr;
}

bool TMemIniFile::ValueExists(UStringView section, UStringView key) const
{
    Section* s = Find(section);
    return s && s->FindKey(key);
}

void TMemIniFile::ReadSections(TStringList& sections) const
{
    sections.Clear();
    for (const auto& s : sections_)
        sections.Add(s->name);
}

void TMemIniFile::ReadSection(UStringView section, TStringList& keys) const
{
    keys.Clear();
    if (const Section* s = Find(section)) {
        for (const Entry& e : s->entries) {
            if (e.isKey)
                keys.Add(e.key);
        }
    }
}

void TMemIniFile::EraseSection(UStringView section)
{
    std::erase_if(sections_, [&](const auto& s) { return SameText(s->name, section); });
}

void TMemIniFile::DeleteKey(UStringView section, UStringView key)
{
    // Every copy goes, or a later duplicate would come back into view.
    if (Section* s = Find(section))
        std::erase_if(s->entries, [&](const Entry& e) { return e.isKey && SameText(e.key, key); });
}

void TMemIniFile::Clear()
{
    sections_.clear();
}

void TMemIniFile::SetStrings(const TStringList& lines)
{
    Clear();
    Section* current = nullptr;
    for (const UString& raw : lines) {
        const UString line = Trim(raw);
        if (line.empty() || line.front() == u';')
            continue;
        if (line.size() >= 2 && line.front() == u'[' && line.back() == u']') {
            const UString name = Trim(UStringView(line).substr(1, line.size() - 2));
            // A repeated section continues the first, so none of its keys is hidden.
            current = Find(name);
            if (!current) {
                sections_.push_back(std::make_unique<Section>());
                current = sections_.back().get();
                current->name = name;
            }
            continue;
        }
        if (!current)
            continue;
        const size_t eq = line.find(u'=');
        if (eq == UString::npos) {
            current->entries.push_back(Entry{line, UString(), false});
            continue;
        }
        const UStringView view(line);
        current->entries.push_back(Entry{Trim(view.substr(0, eq)), Trim(view.substr(eq + 1)), true});
    }
}

void TMemIniFile::GetStrings(TStringList& lines) const
{
    lines.Clear();
    for (const auto& s : sections_) {
        lines.Add(u"[" + s->name + u"]");
        for (const Entry& e : s->entries)
            lines.Add(e.isKey ? e.key + u"=" + e.value : e.key);
        lines.Add(UString());
    }
}

bool TMemIniFile::UpdateFile() const
{
    if (fileName_.empty())
        return false;
    TStringList lines;
    GetStrings(lines);
    return WriteTextFile(fileName_, lines.Text(), encoding_);
}
