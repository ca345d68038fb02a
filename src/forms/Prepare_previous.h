#pragma once
// What the preparation form needs to remove an installed older or equal version
// before the new one installs: which road a product's version takes, the command
// that runs the old uninstaller unattended, and the day stamp that tells whether a
// copy of this setup was placed whole.
#include "base/UString.h"

// How the installed copy goes. Two early versions of two products cannot remove
// themselves: this setup is placed beside their uninstaller and run from there, or
// their records and files are removed directly.
enum class PreviousRemoval {
    OldUninstaller,                // the uninstall entry's own command
    PlacedCopyElseOldUninstaller,  // a placed copy of this setup; failing that, the entry's command
    PlacedCopyElseDirect,          // a placed copy of this setup; failing that, direct removal
    Direct,                        // no uninstaller runs
};

// The road for a product code (%REG_FODLER_PROGNAME) at an installed version;
// versions compare as plain strings.
PreviousRemoval PreviousRemovalFor(const UString& programName, const UString& installedVersion);

// The uninstall command with its "uninstall" arguments turned into
// "uninstallanyway", so that the old uninstaller asks nothing. Only the arguments
// change: a folder of the program's path named "...uninstall..." stays as it is, and
// an argument already unattended is not extended again.
UString UnattendedUninstallCommand(const UString& command);

// The day the file was last written, in UTC, as "yy.mmdd" (17.1018 for 18 October
// 2017); "" when the file or its time cannot be read.
UString GetFileStamp(const UString& path);

// The name of this setup placed beside an old uninstaller.
extern const char16_t kPlacedUninstallerName[];
// Shown when the copy of this setup or its texts could not be placed.
extern const char16_t kPlaceUninstallerDeveloperMessage[];
