#pragma once
// What an installation recorded in its private key, read back by the preparation
// form before an uninstallation or a re-registration, and handed to the workers.
#include "base/UString.h"

// The eleven string values of the private key, by their value names, and the key's
// path. A value the key lacks stays empty.
struct UNINSTStruct_INFO {
    UString Product;              // the folder name under Program Files (%PROGRAM_FILES)
    UString FormCaption;          // caption of the installed program's main window
    UString InstallDir;           // the install root: Program Files + "\" + Product
    UString ExecOnBoot;           // name of the run-at-logon value under the Run key
    UString UninstRegFolder;      // name of the entry below the shared Uninstall key
    UString UninstOnAppDataDir;   // the kept copy of the installer, a "Setup.exe"
    UString LINK_ProgramsExec;    // the program's Start-menu shortcut
    UString LINK_ProgramUnist;    // the uninstall Start-menu shortcut
    UString LINK_ProgramsManual;  // the manual's Start-menu shortcut, "" when none
    UString LINK_DesktopExec;     // the desktop shortcut
    UString OnlineUpdaterDir;     // folder of the online updater
    UString KeyPath;              // HKEY_LOCAL_MACHINE path read from, ending in "\"
};
