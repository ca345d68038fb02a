#include <cstdlib>

#include "platform/Platform.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/SimText.h"

// The host binary runs inside the machine named by SETUP_MACHINE. A child started by
// the machine's RunAndWait also finds its executable, command line and current
// folder in the environment.
IPlatform* DefaultPlatform()
{
    const char* folder = std::getenv("SETUP_MACHINE");
    if (!folder || !*folder)
        return nullptr;
    static SimMachine machine(folder);
    const char* exe = std::getenv("SETUP_EXE");
    if (exe && *exe) {
        const char* line = std::getenv("SETUP_COMMAND_LINE");
        const char* dir = std::getenv("SETUP_CURRENT_DIRECTORY");
        machine.SetProcessIdentity(sim::Utf16(exe), sim::Utf16(line ? line : ""), sim::Utf16(dir ? dir : ""));
    }
    return &machine;
}
