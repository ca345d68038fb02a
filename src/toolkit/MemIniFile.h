#pragma once
// The in-memory INI object. Sections and keys are compared without regard to case;
// a value is the text after the first "=", trimmed; a line without "=" is never a
// key, but stays in its section when the object is written back. Of two equal keys
// in a section, reading and writing find the first. Reading a missing key (or from
// a missing file) gives the caller's default.
#include <map>
#include <memory>
#include <vector>

#include "base/UString.h"
#include "toolkit/StringList.h"
#include "toolkit/TextFile.h"

class TMemIniFile {
public:
    // Bound to no file, empty.
    TMemIniFile();
    // Reads the whole file when it exists; a missing file gives an empty object
    // still bound to that path (UpdateFile creates it).
    explicit TMemIniFile(const UString& fileName);
    ~TMemIniFile();
    TMemIniFile(const TMemIniFile&) = delete;
    TMemIniFile& operator=(const TMemIniFile&) = delete;

    UString ReadString(UStringView section, UStringView key, UStringView defaultValue) const;
    // Replaces the key's value, or appends the key (and the section) when missing.
    void WriteString(UStringView section, UStringView key, UStringView value);
    bool SectionExists(UStringView section) const;
    bool ValueExists(UStringView section, UStringView key) const;
    void ReadSections(TStringList& sections) const;
    void ReadSection(UStringView section, TStringList& keys) const;
    void EraseSection(UStringView section);
    void DeleteKey(UStringView section, UStringView key);
    void Clear();

    // Takes a whole text in from lines: each line trimmed; empty lines and lines
    // beginning with ";" dropped; "[name]" opens a section (name trimmed); other
    // lines belong to the current section with blanks around the first "=" removed;
    // lines before the first section are dropped; a repeated section continues the
    // first one. Whatever the object held before is gone.
    void SetStrings(const TStringList& lines);
    // Replaces the list's content with, for each section: "[name]", its lines, one
    // empty line.
    void GetStrings(TStringList& lines) const;
    // Writes the object to its file in the encoding found when the file was read
    // (ANSI when it had no byte-order mark or did not exist), with that mark.
    // False when the object is bound to no file or the file could not be written.
    bool UpdateFile() const;

    const UString& FileName() const { return fileName_; }
    TextEncoding Encoding() const { return encoding_; }

private:
    struct Section;
    // Orders names as SameText compares them, so that a name finds its entry in
    // whatever case it is asked for.
    struct TextLess {
        using is_transparent = void;
        bool operator()(UStringView a, UStringView b) const { return CompareText(a, b) < 0; }
    };
    Section* Find(UStringView section) const;
    Section& Append(const UString& name);
    std::vector<std::unique_ptr<Section>> sections_;  // in file order
    std::map<UString, Section*, TextLess> sectionIndex_;
    UString fileName_;
    TextEncoding encoding_ = TextEncoding::Ansi;
};
