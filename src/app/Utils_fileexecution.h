#pragma once
// Running a command line to its end, and listing one folder's files of an
// extension or its subfolders (util/FolderEntries.h, which the language floor
// reaches too).
#include <cstdint>

#include "base/UString.h"
#include "util/FolderEntries.h"

// Starts the command line (CREATE_NO_WINDOW_FLAG or CREATE_NEW_CONSOLE_FLAG among
// the flags) and waits without limit for it to end. True when the process started
// and ended, whatever its exit code; false at once when it could not start.
bool RunAndWait(const UString& commandLine, uint32_t creationFlags);
