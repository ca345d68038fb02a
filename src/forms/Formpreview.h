#pragma once
// A hidden hook for tests of the built program and for the screenshots: one form,
// named in the environment, is shown right after the forms are created, whatever
// the command line and the machine would have led to.
//
// SETUP_SHOW_FORM=<component name> ("FWelcome", "FEULA", "FPrepare", ...): the form
// shows as its constructor left it. Its show handler does not run, so nothing is
// prepared, no worker thread starts and no file is written. The main form FPrepare
// stays hidden unless it is the one named.
// SETUP_SHOW_MODE=<mode> as well: FPrepare's Mode becomes it and the named form's
// show handler runs as in that mode ("FFinish" with "Uninstall" shows the uninstall
// texts); whoever sets it picks a mode whose handler is harmless there.
// The program ends as always: when the main form closes.
#include "toolkit/Forms.h"

inline constexpr char kShowFormVariable[] = "SETUP_SHOW_FORM";
inline constexpr char kShowModeVariable[] = "SETUP_SHOW_MODE";

// Call once the forms exist, before the message loop. False (and nothing changed)
// when no form is named or no form has that name.
bool ShowFormForPreview(TApplication& application);
