// Text files read into the INI object: Setup.ini as the program reads it, and a
// per-language INI text file read into the text table. Whatever the encoding, what
// the object writes back must read back the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "language/Language_management.h"
#include "toolkit/FileStore.h"
#include "toolkit/MemIniFile.h"

namespace {

const UString kSetupIni = u"C:\\Package\\Setup.ini";
const UString kWorkbook = u"C:\\Package\\Texts\\File.xlsx";
const UString kTextFile = u"C:\\Package\\Texts\\LanguageIni_File\\English\\Install_English.ini";

void ReadEverything(const TMemIniFile& ini)
{
    TStringList sections, keys;
    ini.ReadSections(sections);
    for (const UString& section : sections) {
        ini.ReadSection(section, keys);
        for (const UString& key : keys)
            FUZZ_CHECK(ini.ValueExists(section, key));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    FileStore store;
    store.files[kSetupIni] = bytes;
    store.files[kTextFile] = bytes;

    TMemIniFile setup(kSetupIni);
    ReadEverything(setup);
    setup.ReadString(u"Setup", u"%PROGRAM_FILES", u"");
    // Written back and read again, the object holds what it held.
    TStringList first;
    setup.GetStrings(first);
    FUZZ_CHECK(setup.UpdateFile());
    TMemIniFile again(kSetupIni);
    TStringList second;
    again.GetStrings(second);
    if (setup.Encoding() != TextEncoding::Ansi)
        FUZZ_CHECK(first.Text() == second.Text());
    FUZZ_CHECK(again.Encoding() == setup.Encoding() || setup.Encoding() == TextEncoding::Ansi);

    TMemIniFile table;
    LoadIniTexts(table, kWorkbook, u"English", u"Install");
    ReadEverything(table);
    return 0;
}
