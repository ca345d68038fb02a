#pragma once
// The whole program's forms on a simulated machine with a small product package in
// C:\Setup, prepared by the real preparation form (its one-second decision included)
// up to the welcome page, then walked by the test. The machine can hold the worker
// inside the copy of one file, so that a test presses Cancel while the work runs.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/GatedMachine.h"
#include "support/SimFixture.h"
#include "toolkit/Forms.h"
#include "toolkit/headless/Headless.h"

// Where the package installs on the default machine (a 64-bit Windows 10).
namespace installed {
inline constexpr char16_t ProgramDir[] = u"C:\\Program Files (x86)\\Ostrel\\Ostrel";
inline constexpr char16_t Marker[] = u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\Installed.log";
inline constexpr char16_t HandOver[] = u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\HandOver.exe";
}  // namespace installed

class InstallPagesTest : public SimFixture {
protected:
    InstallPagesTest();
    ~InstallPagesTest() override;

    GatedMachine& machine() { return static_cast<GatedMachine&>(SimFixture::machine()); }

    // Setup.ini's section "Setup": the product's keys and these extra lines.
    void PutSetupIni(const std::string& extraLines = "", const std::string& programExec = "Ostrel.exe");
    // The first argument of the program; none when empty.
    void SetArgument(const UString& argument);
    // Builds App and the forms and runs the preparation until the welcome page shows.
    void StartToWelcome();
    // From the welcome page through the licence to the ask-install page.
    void WalkToAskInstall();
    // Presses Install; the progress page shows and its worker starts.
    void PressInstall();
    // Handles events until the finish page shows (and the worker has ended).
    bool WaitForFinishPage();
    // StartToWelcome, then the whole walk to the finish page.
    void InstallToFinishPage();

    // The names of the visible forms, the main (transparent) form left out.
    std::vector<UString> Shown();

    std::vector<UString> ShellStarts() { return machine().JournalOf(SimJournal::ShellExecute); }

    std::unique_ptr<TApplication> app;

private:
};
