#pragma once
// Checks that keep the file-tree operations on the folders they were meant for.
// An empty path with "\*.*" appended names the current drive's root, and a
// relative one the current folder: neither may be listed, filled or emptied.
// "/" counts as a separator, as Windows reads it.
#include "base/UString.h"

// "X:\..." or "\\server\share...". Not "X:foo", "\foo", "foo" or "".
bool IsFullPath(UStringView path);
// A drive root ("C:", "C:\"), a share root ("\\server\share\") or less.
bool IsRootPath(UStringView path);
// A full path that names neither a root, nor through a "." or ".." part (or a part
// of dots and blanks, which Windows trims away) anything but what it spells.
bool IsSafeFolderToChange(UStringView path);
// Folder is strictly below top, compared as Windows compares names; trailing
// separators do not matter.
bool IsBelowFolder(UStringView folder, UStringView top);
// Windows names compare without regard to case.
bool SamePath(UStringView a, UStringView b);
