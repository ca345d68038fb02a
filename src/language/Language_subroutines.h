#pragma once
// Language names and identifiers, and where a page finds its localised picture.
// The 34 names are folder names, workbook column names and parts of file names,
// so they are spelled exactly as stored ("ChineseT", "Azerbaijan", ...).
#include <cstdint>
#include <vector>

#include "base/UString.h"

// The 34 language names, in alphabetical order with "English" among them.
std::vector<UString> LanguageNames();

// The name of a Windows language identifier, matched on all 16 bits; "English" for
// every identifier the table does not list.
UString LanguageNameForId(uint16_t languageId);

// `name` when it is not empty, else the name of the system default language.
UString GetSystemLanguageName(const UString& name);

// The identifier that stands for a name (compared with regard to case); 0x0409 for
// "English" and for any name it does not know. Maps back to the same name.
uint16_t LanguageIdFromName(const UString& name);

// The picture to show: of folder + language + "\" + fileName and of the "English"
// folder, the first that exists, each tried first with its extension replaced by
// ".png". Empty when none exists. `folder` ends in a backslash.
UString GetPicturePath(const UString& folder, const UString& language, const UString& fileName);
