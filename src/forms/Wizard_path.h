#pragma once
// What the first pages of the installation path share: whether the licence page is
// skipped, and the licence text itself.
#include <string>

#include "base/UString.h"

class TRichEdit;

// The publisher setting of Setup.ini, read now (not the copy taken at start-up):
// true when it is exactly "OEM". A Setup.ini without the key counts as "OEM"; no
// Setup.ini at all does not.
bool PublisherIsOem();

// The licence file's bytes as the rich-text view should take them. The file is
// UTF-16 little-endian RTF; a file that is not, but begins with "{\rtf", is already
// plain RTF and is kept as it is. Anything else is decoded as UTF-16LE text.
struct LicenceDocument {
    std::string bytes;
    bool rtf = false;
};
LicenceDocument DecodeLicence(const std::string& fileBytes);

// Loads the licence file into the view; false (view left empty) when it cannot be
// read.
bool LoadLicence(TRichEdit& view, const UString& path);
