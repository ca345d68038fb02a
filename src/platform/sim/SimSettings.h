#pragma once
// machine.ini of the simulated machine: what a test may set about the machine, and
// the state that several processes of the machine share (processes, windows,
// persistent failures). UTF-8; every key is written, so the file documents itself.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/UString.h"

namespace sim {

struct SimProcess {
    uint32_t pid = 0;
    UString exeName;
};

struct SimWindow {
    uint64_t handle = 0;
    uint32_t pid = 0;
    bool ignoresClose = false;
    UString caption;
};

struct SimStoredFailure {
    UString op;  // the SimOp's name
    UString target;
    UString valueName;
    uint32_t error = 0;
    int times = -1;
};

struct SimSettings {
    uint16_t systemLangId = 0x0409;
    uint16_t userLangId = 0x0409;
    uint32_t windowsMajor = 10;
    uint32_t windowsMinor = 0;
    bool administrator = true;
    bool wow64 = true;  // 64-bit Windows, 32-bit process
    UString everyone = u"Everyone";
    UString userName = u"User";
    UString executable = u"C:\\Setup\\Setup.exe";
    UString commandLine = u"\"C:\\Setup\\Setup.exe\"";
    UString currentDirectory = u"C:\\Setup";
    std::map<int, UString> specialFolders;  // by CSIDL
    std::vector<SimProcess> processes;
    std::vector<SimWindow> windows;
    std::vector<SimStoredFailure> failures;
    uint32_t nextPid = 4000;
    uint64_t nextWindow = 0x10010;
};

// The special folders of a 64-bit Windows 10 as a 32-bit process sees them.
std::map<int, UString> DefaultSpecialFolders(const UString& userName);

SimSettings ParseSettings(const std::string& utf8);
std::string SerializeSettings(const SimSettings& settings);

}  // namespace sim
