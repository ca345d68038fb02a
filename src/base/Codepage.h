#pragma once
// The system's ANSI code page: Windows-1252 on the simulated machine, CP_ACP on
// Windows. A character the code page cannot hold becomes "?"; never throws.
// The platform defines them (sim/, win32/); base itself does not call them.
#include <string>
#include <string_view>

#include "base/UString.h"

std::string ToAnsi(UStringView text);
UString FromAnsi(std::string_view bytes);
