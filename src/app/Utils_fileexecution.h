#pragma once
// Running a command line to its end, and listing one folder's files of an
// extension or its subfolders.
#include <cstdint>

#include "toolkit/StringList.h"
#include "toolkit/UString.h"

// Starts the command line (CREATE_NO_WINDOW_FLAG or CREATE_NEW_CONSOLE_FLAG among
// the flags) and waits without limit for it to end. True when the process started
// and ended, whatever its exit code; false at once when it could not start.
bool RunAndWait(const UString& commandLine, uint32_t creationFlags);

// Appends to list the bare names of the folder's entries, in the file system's
// order, and returns how many it appended. kind "File": entries (folders too) whose
// extension, from the last "." on, equals extension without regard to case, "" for
// names without a dot. kind "Folder": the subfolders, extension ignored. Any other
// kind (compared exactly) lists nothing. An entry named excludedName (exact) is
// left out. A missing, unreadable, empty or relative folder gives 0.
int ListFolderEntries(const UString& folder, const UString& kind, const UString& extension, TStringList& list,
                      const UString& excludedName);
