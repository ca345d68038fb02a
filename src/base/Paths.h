#pragma once
// Windows path helpers on UTF-16 paths; "\" is the only delimiter they add, and
// both "\" and ":" end a folder part, as on Windows.
#include <vector>

#include "base/UString.h"

UString IncludeTrailingPathDelimiter(UStringView path);
UString ExcludeTrailingPathDelimiter(UStringView path);
// Folder part with its trailing "\" (or "C:"), empty when there is none.
UString ExtractFilePath(UStringView path);
UString ExtractFileName(UStringView path);
// From the last "." of the name on, the dot included; empty when the name has none.
UString ExtractFileExt(UStringView path);

// The names of a registry key path; "\" separates them, and the empty names of a
// leading, trailing or doubled "\" are dropped.
std::vector<UString> SplitKeyPath(UStringView path);
