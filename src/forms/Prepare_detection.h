#pragma once
// What the preparation form needs to find an installed copy that keeps no state:
// the private key template filled from given values, one machine value, and the
// products whose older setups left uninstall entries of another kind.
#include "base/UString.h"
#include "toolkit/StringList.h"

// The template with every first placeholder replaced by value1, then every second
// one by value2 (both exact). "" when either value is empty: no key can be formed.
UString FillKeyTemplate(const UString& keyTemplate, const UString& placeholder1, const UString& value1,
                        const UString& placeholder2, const UString& value2);

// A string value of HKEY_LOCAL_MACHINE, read-only; "" when the key does not open or
// the value is missing.
UString ReadKeyValue(const UString& keyPath, const UString& valueName);

// Appends the three display names of a known product code (exact): traditional
// Chinese, simplified Chinese, English. An unknown code leaves the list unchanged.
void GetKnownProductNames(const UString& productCode, TStringList& names);

// Shown once when a product unknown to the table meets an uninstall entry: the
// older installations of that product cannot be recognised.
extern const char16_t kLegacySearchDeveloperMessage[];

// Versions are compared as plain strings, code unit by code unit: "1.2" > "1.10".
inline bool VersionLess(const UString& a, const UString& b) { return a < b; }
