#pragma once
// The system's ANSI code page: Windows-1252 on the simulated machine, CP_ACP on
// Windows. A character the code page cannot hold becomes "?"; never throws.
#include <string>
#include <string_view>

#include "toolkit/UString.h"

std::string AnsiEncode(UStringView text);
UString AnsiDecode(std::string_view bytes);
