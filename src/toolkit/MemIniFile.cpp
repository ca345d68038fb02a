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
    std::vector<Entry> entries;  // in file order
    // The first entry of each key name.
    std::map<UString, size_t, TextLess> keyIndex;

    Entry* FindKey(UStringView key)
    {
        const auto it = keyIndex.find(key);
        return it == keyIndex.end() ? nullptr : &entries[it->second];
    }

    void Add(Entry entry)
    {
        if (entry.isKey)
            keyIndex.emplace(entry.key, entries.size());  // a later equal key stays hidden
        entries.push_back(std::move(entry));
    }

    void DeleteKey(UStringView key)
    {
        if (!keyIndex.contains(key))
            return;
        std::erase_if(entries, [&](const Entry& e) { return e.isKey && SameText(e.key, key); });
        keyIndex.clear();
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].isKey)
                keyIndex.emplace(entries[i].key, i);
        }
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
    const auto it = sectionIndex_.find(section);
    return it == sectionIndex_.end() ? nullptr : it->second;
}

TMemIniFile::Section& TMemIniFile::Append(const UString& name)
{
    sections_.push_back(std::make_unique<Section>());
    Section& s = *sections_.back();
    s.name = name;
    sectionIndex_.emplace(name, &s);
    return s;
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
    if (!s)
        s = &Append(UString(section));
    if (Entry* e = s->FindKey(key)) {
        e->value = UString(value);
        return;
    }
    s->Add(Entry{UString(key), UString(value), true});
}

bool TMemIniFile::SectionExists(UStringView section) const { return Find(section) != nullptr; }

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
    const auto it = sectionIndex_.find(section);
    if (it == sectionIndex_.end())
        return;
    const Section* gone = it->second;
    sectionIndex_.erase(it);
    std::erase_if(sections_, [&](const auto& s) { return s.get() == gone; });
}

void TMemIniFile::DeleteKey(UStringView section, UStringView key)
{
    // Every copy goes, or a later duplicate would come back into view.
    if (Section* s = Find(section))
        s->DeleteKey(key);
}

void TMemIniFile::Clear()
{
    sectionIndex_.clear();
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
            if (!current)
                current = &Append(name);
            continue;
        }
        if (!current)
            continue;
        const size_t eq = line.find(u'=');
        if (eq == UString::npos) {
            current->Add(Entry{line, UString(), false});
            continue;
        }
        const UStringView view(line);
        current->Add(Entry{Trim(view.substr(0, eq)), Trim(view.substr(eq + 1)), true});
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
