#pragma once
// The uninstall worker: removes an installed copy in five steps, showing each on
// the page that started it, and tells the page when it is done.
//
// The page hands over everything the thread needs (the engine knows no forms): its
// window handle, its status label and bar, and the record of the copy to remove.
// The thread also reads App's Run and Uninstall key paths and the Start-menu
// folder name (text LINK_PROGRAMS_FOLDER of section UNINSTALL); none of these may
// change while it runs.
//
// Nothing is reported and nothing stops the steps: what is missing or cannot be
// removed stays, and the next operation follows. Refused steps (a damaged record
// that names a shared key or a system folder) write why to the debug output.
// Pausing the thread (Suspend) takes effect before the next file or registry
// operation; a thread never resumed stays where it was.
#include <cstdint>
#include <memory>

#include "engine/UninstallInfo.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Thread.h"
#include "util/Xfunctions.h"

class TUninstallThread : public TThread {
public:
    // Created suspended and set to free itself; Start() runs it. The label and the
    // bar may be absent; when given they must outlive the thread.
    TUninstallThread(uint64_t pageWindow, TLabel* statusLabel, TProgressBar* progressBar, UNINSTStruct_INFO info);
    ~TUninstallThread() override;

    // The window the finish message goes to.
    const uint64_t PageWindow;

    // The five steps, in the order Execute runs them.
    void RemoveRegOnBoot();
    void RemoveRegOnUninstallFolder();
    void RemoveLinks();
    void RemoveRegOnPrivateFolder();
    void RemoveProgramFolder();

    // Deletes the files below folder (ending in "\"), and every subfolder unless it
    // is named keptName; folders named skippedName are neither entered nor removed,
    // at any depth, and folder itself stays. The label shows each file before it
    // goes, the bar steps once per file. Links to other places are removed, never
    // followed.
    void DeleteProgramTree(const UString& folder, const UString& keptName, IProgressSink* bar, ITextSink* label,
                           const UString& skippedName);

protected:
    void Execute() override;

private:
    void ShowStep(const UString& text, int position);
    void Trace(const UString& text);

    const UNINSTStruct_INFO info_;
    TLabel* const statusLabel_;
    TProgressBar* const progressBar_;
    struct Sinks;
    std::unique_ptr<Sinks> sinks_;
};

// The registered message posted to the page when the thread is done.
inline constexpr char16_t kUninstallFinishedMessage[] = u"UNINSTALL_THREAD_FINISHED";
