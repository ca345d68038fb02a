#pragma once
// The toolkit's string list: an ordered list of strings, lines of a text.
#include <cstddef>
#include <vector>

#include "base/UString.h"
#include "toolkit/TextFile.h"

class TStringList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const UString& operator[](int index) const { return items_[static_cast<size_t>(index)]; }
    UString& operator[](int index) { return items_[static_cast<size_t>(index)]; }
    int Add(UString item);
    void Insert(int index, UString item);
    void Delete(int index);
    void Clear() { items_.clear(); }
    // Exact comparison; -1 when absent.
    int IndexOf(UStringView item) const;
    // Lines joined, each followed by CR LF.
    UString Text() const;
    // Split at CR LF, LF or CR; a last line without line break counts.
    void SetText(UStringView text);
    // False when the file could not be read; the list is then unchanged.
    bool LoadFromFile(const UString& path);
    bool SaveToFile(const UString& path, TextEncoding encoding) const;
    // Encoding found by the last LoadFromFile (Ansi when none).
    TextEncoding Encoding() const { return encoding_; }

    const std::vector<UString>& Items() const { return items_; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<UString> items_;
    TextEncoding encoding_ = TextEncoding::Ansi;
};
