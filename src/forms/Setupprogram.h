#pragma once
// The part of the entry point both programs share (Setup.exe and the host binary):
// the administrator check, the application object, the twelve forms and the
// message loop.
#include <functional>

#include "toolkit/Forms.h"

struct TSetupRunOptions {
    // For tests of the built program: end once the forms are created, without
    // showing any or running the loop. The entry points set it from the environment
    // variable SETUP_END_AFTER_FORMS (any non-empty value).
    bool endAfterForms = false;
    // For tests: called once the forms exist, before the message loop runs.
    std::function<void(TApplication&)> afterForms;
};

// The environment variable behind TSetupRunOptions::endAfterForms.
inline constexpr char kEndAfterFormsVariable[] = "SETUP_END_AFTER_FORMS";

// Creates the twelve forms in their fixed order; the first, FPrepare, becomes the
// main form.
void CreateSetupForms(TApplication& application);

// Runs the program on the App the caller has built (ConstructApp): when the user
// lacks administrator rights, shows MSG_001 and ends before any form exists;
// otherwise creates the application object (main form without a taskbar button of
// its own) and the forms, and runs the message loop until the main form closes. An
// exception that escapes is shown in the standard exception box. Returns 0 on every
// path; the forms are gone and their globals are null when it returns.
int RunSetupProgram(const TSetupRunOptions& options = {});
