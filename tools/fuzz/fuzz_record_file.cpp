// The registry record rewritten by the installation: the file found in the updater
// folder gives the encoding, the record lines replace its content, and what is
// written reads back as those lines, normalised.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "toolkit/FileStore.h"
#include "toolkit/MemIniFile.h"

namespace {
const UString kRecord = u"C:\\Program Files (x86)\\Pellimo\\Updater\\Regedit_FileList.ini";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const std::string existing = input.Part();
    const UString recordText = Units(input.Rest());

    FileStore store;
    store.files[kRecord] = existing;
    TMemIniFile record(kRecord);
    TStringList lines;
    lines.SetText(recordText);
    record.SetStrings(lines);
    FUZZ_CHECK(record.UpdateFile());

    TStringList written;
    record.GetStrings(written);
    TMemIniFile back(kRecord);
    FUZZ_CHECK(back.Encoding() == record.Encoding());
    TStringList read;
    back.GetStrings(read);
    if (record.Encoding() == TextEncoding::Ansi || record.Encoding() == TextEncoding::Utf8) {
        // Letters outside the code page, and lone surrogates in UTF-8, are lost once,
        // never twice.
        FUZZ_CHECK(back.UpdateFile());
        TMemIniFile third(kRecord);
        TStringList thirdLines;
        third.GetStrings(thirdLines);
        FUZZ_CHECK(thirdLines.Text() == read.Text());
    } else {
        FUZZ_CHECK(read.Text() == written.Text());
    }
    return 0;
}
