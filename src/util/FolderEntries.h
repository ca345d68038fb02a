#pragma once
// Listing one folder's files of an extension or its subfolders.
#include "base/UString.h"
#include "toolkit/StringList.h"

// Appends to list the bare names of the folder's entries, in the file system's
// order, and returns how many it appended. kind "File": entries (folders too) whose
// extension, from the last "." on, equals extension without regard to case, "" for
// names without a dot. kind "Folder": the subfolders, extension ignored. Any other
// kind (compared exactly) lists nothing. An entry named excludedName (exact) is
// left out. A missing, unreadable, empty or relative folder gives 0.
int ListFolderEntries(const UString& folder, const UString& kind, const UString& extension, TStringList& list,
                      const UString& excludedName);
