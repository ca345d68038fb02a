#include <windows.h>

#include "app/App.h"
#include "forms/Setupprogram.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    ConstructApp();
    TSetupRunOptions options;
    // The size asked for counts the terminating null: above 1 means set and not empty.
    options.endAfterForms = GetEnvironmentVariableA(kEndAfterFormsVariable, nullptr, 0) > 1;
    return RunSetupProgram(options);
}
