#pragma once
// The refusals that keep an uninstallation on what the installation owns. A damaged
// private key (empty or odd values) must never turn a removal step against the
// shared keys or the system's folders. Each check returns why the step may not run,
// in words for the debug output, or "" when it may.
#include "base/UString.h"

// True when folder is one of the system's own folders (Program Files, Windows, a
// user profile, ProgramData, the Start menu, the desktops ...) or lies above one,
// a drive root included. Names compare as Windows compares them.
bool IsSystemFolderOrAbove(const UString& folder);

// The install root may be emptied only when it is a full path, neither a root nor a
// system folder nor above one, and its last folder name is the recorded product
// folder name (exact).
UString ProgramFolderRefusal(const UString& installDir, const UString& product);

// The entry below the shared Uninstall key: a single, non-blank key name, and the
// Uninstall key's path known.
UString UninstallEntryRefusal(const UString& uninstallKey, const UString& entryName);

// The private key: below "Software\<publisher>\", where the publisher's key is none
// of the shared ones ("Classes", "Microsoft", the 32-bit view ...).
UString PrivateKeyRefusal(const UString& keyPath);
// "Software\<publisher>" of an acceptable private key "Software\<publisher>\<program>\";
// "" for any other path: then no parent is ever removed.
UString PublisherKeyOf(const UString& keyPath);

// A Start-menu folder left empty by the removal of the shortcuts may be removed
// when it is a safe full path and not a system folder or above one.
UString ShortcutFolderRefusal(const UString& folder);
