// The part of HandOver.exe that needs no Windows: which program its command line
// names. Kept apart so that the host build can test it.
#pragma once

#include <string>

namespace handover {

// What follows the program's own name on a Windows command line (its first word,
// quoted or not), without the blanks around it. The finish page hands over the
// program's file name as the whole rest, so a name with blanks stays one name; a
// name in double quotes loses them.
std::wstring ProgramNameFromCommandLine(const std::wstring& commandLine);

// True when name is a plain file name that stays inside the launcher's folder: not
// empty, no folder separators, no drive, no "." or ".." and no wildcard or quote.
bool IsPlainFileName(const std::wstring& name);

}  // namespace handover
