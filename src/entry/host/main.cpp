// The host program: the setup on a simulated Windows machine (the folder named by
// SETUP_MACHINE) with the headless form toolkit.
#include <cstdio>
#include <cstdlib>

#include "app/App.h"
#include "forms/Setupprogram.h"

int main()
{
    const char* machine = std::getenv("SETUP_MACHINE");
    if (!machine || !*machine) {
        std::fputs("setup: set SETUP_MACHINE to the folder of a simulated Windows machine\n", stderr);
        return 2;
    }
    ConstructApp();
    TSetupRunOptions options;
    const char* end = std::getenv(kEndAfterFormsVariable);
    options.endAfterForms = end && *end;
    return RunSetupProgram(options);
}
