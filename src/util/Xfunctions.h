#pragma once
// The utility module: shell folders and shortcut files, file trees, other
// processes and the main form, registry helpers. Plain functions over strings that
// keep no state between calls, run on the caller's thread, never throw and report
// nothing to the user: what fails is skipped and the work goes on.
#include <cstdint>
#include <functional>
#include <vector>

#include "base/UString.h"
#include "platform/Platform.h"
#include "toolkit/MemIniFile.h"

// A control whose text can be set, such as a status label. The forms adapt their
// controls to it; an adapter used from a worker thread hands the update to the
// user-interface thread itself.
struct ITextSink {
    virtual ~ITextSink() = default;
    virtual void SetText(const UString& text) = 0;
};

// A progress bar with the range 0 to 100, adapted by the forms as ITextSink is.
struct IProgressSink {
    virtual ~IProgressSink() = default;
    virtual int Position() = 0;
    virtual void SetPosition(int position) = 0;
};

// --- shell folders and shortcut files ---

// The CSIDL of a shell folder name such as "CSIDL_PROGRAM_FILES" (exact, case and
// blanks significant); 0 (the desktop) for any other text. The three flag names
// give their flag bit alone.
uint16_t CsidlFromName(UStringView name);
// The folder's path without trailing "\"; "" when the shell knows none or the folder
// does not exist. Never creates it.
UString GetSpecialFolderPath(int csidl);
// Writes the shortcut linkFile to target, with the target's folder (and its "\")
// as working directory, icon index 0, and the arguments only when not empty.
// Creates no folders. False when the shortcut file was not written.
bool CreateShortcutFile(const UString& linkFile, const UString& target, const UString& description,
                        const UString& iconFile, const UString& arguments);
// CreateShortcutFile, returning linkFile also when it could not be saved (a debug
// line says so): the recorded path is how a later uninstallation finds the Start-menu
// folders, and deleting a missing file does no harm.
UString MakeShortcut(const UString& linkFile, const UString& target, const UString& description,
                     const UString& iconFile, const UString& arguments);
// Creates programs\publisherFolder\programFolder one level at a time, skipping an
// empty name, and returns the deepest folder.
UString CreateStartMenuFolder(const UString& programs, const UString& publisherFolder, const UString& programFolder);

// --- file trees ---
// Listings take the entries in the file system's order, skip those whose attributes
// share no bit with 0x1FF, and never follow a folder that is a reparse point (a
// junction or link leads outside the tree). Empty or relative folders are refused:
// they would name the current drive's root or folder.

// Copies the tree below source into target (both full folder paths; a missing
// trailing "\" is added). Subfolders are created as needed; folders named
// skippedFolder (exact) are left out at every depth. Each file: label shows its
// target path, CopyFile with failIfExists (without it, a read-only or hidden
// target is replaced too), the target's attributes set to normal whatever the copy
// did, the bar stepped. Does nothing when target is a root, or is
// source or lies below it (the copy would feed on itself).
void CopyFolderTree(const UString& source, const UString& target, ITextSink* label, IProgressSink* bar,
                    const UString& skippedFolder, bool failIfExists);
// As CopyFolderTree overwriting, with nothing skipped, except that below any of
// keptFolders a file already there stays as it is.
void CopyFolderTreeKeeping(const UString& source, const UString& target, ITextSink* label, IProgressSink* bar,
                           const std::vector<UString>& keptFolders);
// Deletes everything in folder; the folder stays. Label and bar follow only the files
// directly in folder. A file or folder that cannot be deleted stays. Does nothing on
// a root, or on a path with "." or ".." parts.
void DeleteFolderContents(const UString& folder, ITextSink* label, IProgressSink* bar);
// Position 1, 2 ... 100, then 1 again.
void StepProgressBar(IProgressSink& bar);
// Entries directly in folder, files and subfolders; 0 when it cannot be listed.
int CountFolderEntries(const UString& folder);
// The same without the subfolders named skippedFolder (exact); files always count.
int CountFolderEntriesExcept(const UString& folder, const UString& skippedFolder);
// True when folder holds nothing, or cannot be listed (it does not exist).
bool IsFolderEmpty(const UString& folder);
// Creates the missing folders from below topFolder down to path, outermost first.
// A path whose last part has a dot is a file: its folder is meant. The walk upward
// stops at the first existing folder, at topFolder (compared as Windows compares
// names), at a root or at an empty parent; topFolder itself is never created.
void CreateFolderPath(const UString& path, const UString& topFolder);
// As CreateFolderPath; with clear set, every folder of the walk is emptied on the
// way up, so that the one just below topFolder is emptied whole, and the chain is
// then created again. A missing topFolder is created. Nothing at all is done when
// path is not below topFolder, and no folder that is not below it is ever emptied.
void PrepareFolderPath(const UString& path, const UString& topFolder, bool clear);
// baseFolder + languageFolder + "\" + fileName when that file exists, else the same
// with fallbackFolder, else "". No separator is put after baseFolder.
UString FindLanguageFile(const UString& baseFolder, const UString& fallbackFolder, const UString& languageFolder,
                         const UString& fileName);

// --- processes and windows ---
// Processes are matched by executable file name, exactly. This program's own
// process is never touched, nor is anything for an empty name.

// Terminates every process of that name.
void KillProcessByName(const UString& exeName);
// With terminate: as KillProcessByName, writing "Delete Process Success!" or
// "Delete Process Fail!" to the debug output for each. Without: sends a close
// request to every top-level window of each such process and waits for each to be
// handled; the processes are not terminated.
void StopProcessByName(const UString& exeName, bool terminate);
// The enumeration step of the polite variant: false (stop) for a null window;
// otherwise the close request when the window belongs to processId, and true.
bool CloseWindowsOfProcess(const WindowEntry& window, uint32_t processId);
// Asks the main form to close, which ends the program. The forms layer installs
// the handler at start-up; without one nothing happens.
void SetCloseMainFormHandler(std::function<void()> handler);
void CloseMainForm();

// --- registry helpers ---
// Each call uses its own registry object; nothing is reported. Key paths are from
// the root, a trailing "\" allowed. Shared keys are never deleted (see
// IsProtectedRegistryKey).

// The template with every first and second placeholder (exact) replaced by its
// value; an empty value is first read from ini (section, key = the placeholder).
// "" when either value stays empty: no key can be formed then.
UString ReplaceSetupPlaceholders(const TMemIniFile& ini, const UString& section, const UString& keyTemplate,
                                 const UString& placeholder1, const UString& placeholder2, UString value1,
                                 UString value2);
// Deletes the key of HKEY_LOCAL_MACHINE with its subtree: keyPath below the opened
// parent, or below the root when parent is empty.
void DeleteMachineKey(const UString& parentPath, bool canCreate, const UString& keyPath);
// Deletes one value of a key of HKEY_CURRENT_USER. An empty name (the key's default
// value) is refused: it is never one the installation wrote.
void DeleteUserValue(const UString& keyPath, bool canCreate, const UString& valueName);
// A string value of HKEY_LOCAL_MACHINE; "" when the key or value is missing.
UString ReadMachineString(const UString& valueName, bool canCreate, const UString& keyPath);
