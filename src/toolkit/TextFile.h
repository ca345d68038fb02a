#pragma once
// Text files by byte-order mark: UTF-8, UTF-16LE, UTF-16BE; without one, the
// system's ANSI code page. Files are read and written through Platform(), so
// Windows paths work on both machines.
#include <string>

#include "base/UString.h"

enum class TextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct DecodedText {
    UString text;
    TextEncoding encoding = TextEncoding::Ansi;
};

DecodedText DecodeText(const std::string& bytes);
// With the byte-order mark of the encoding (none for Ansi).
std::string EncodeText(UStringView text, TextEncoding encoding);

// False when the file is missing or unreadable; `out` is then untouched.
bool ReadTextFile(const UString& path, DecodedText& out);
bool WriteTextFile(const UString& path, UStringView text, TextEncoding encoding);
