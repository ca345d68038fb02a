#pragma once
// The visible text of an RTF document, for the headless rich-text view and for
// reading a document without a window.
#include <string>

#include "base/UString.h"

// Begins with "{\rtf" (after blanks).
bool LooksLikeRtf(const std::string& bytes);

// Paragraphs end with CR LF. \'hh bytes are taken in the system's ANSI code page,
// \uN as UTF-16 units (skipping the \ucN fallback characters). Font, colour and
// style tables, pictures, "\*" destinations and document info are left out.
// Damaged input (unbalanced braces, cut-off control words) gives what was read.
UString RtfToPlainText(const std::string& rtf);
