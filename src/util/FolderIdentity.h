#pragma once
// Whether two folder paths name one folder, or one lies inside the other, as Windows
// resolves them. The same folder may be spelled in another letter case, with "/" for
// "\", with "." or ".." parts, with or without a trailing "\", or through another
// name of an existing folder (its short 8.3 form, a junction); copying a folder onto
// such a spelling of itself and then emptying the source would destroy it.
#include "base/UString.h"

// A full path with "\" separators, "." and ".." parts resolved, no trailing "\"
// (a drive root keeps its "\"); "" when path is not a full path or ".." climbs above
// its root.
UString NormalisedFullPath(UStringView path);

// True when both spell one folder: equal once normalised (letter case aside), or,
// when both exist, a file made in the one is seen in the other. The test file is
// removed at once; where it cannot be made, only the spelling counts.
bool IsSameFolder(const UString& a, const UString& b);

// True when inner lies strictly inside outer, by spelling or because one of inner's
// existing parents is the same folder as outer.
bool IsFolderInside(const UString& inner, const UString& outer);
