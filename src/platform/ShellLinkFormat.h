#pragma once
// The Shell Link (.lnk) binary format: what the simulated shell writes, and a reader
// that tests use on both machines to look inside links written by either shell.
// The writer emits the header, a LinkInfo with the local path (ANSI and Unicode) for
// a target with a drive letter (a relative path string otherwise), and the Unicode
// strings: description, working directory, arguments, icon location.
#include <optional>
#include <string>

#include "platform/Platform.h"

std::string EncodeShellLink(const ShortcutSpec& shortcut);
// nullopt when the bytes are not a shell link; damaged parts are left empty.
// linkPath is left empty.
std::optional<ShortcutSpec> DecodeShellLink(const std::string& bytes);
