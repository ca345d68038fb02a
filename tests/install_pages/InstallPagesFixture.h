#pragma once
// The whole program's forms on a simulated machine with a small product package in
// C:\Setup, prepared by the real preparation form (its one-second decision included)
// up to the welcome page, then walked by the test. The machine can hold the worker
// inside the copy of one file, so that a test presses Cancel while the work runs.
#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "toolkit/Forms.h"
#include "toolkit/headless/Headless.h"

// Where the package installs on the default machine (a 64-bit Windows 10).
namespace installed {
inline constexpr char16_t ProgramDir[] = u"C:\\Program Files (x86)\\Ostrel\\Ostrel";
inline constexpr char16_t Marker[] = u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\Installed.log";
inline constexpr char16_t HandOver[] = u"C:\\Program Files (x86)\\Ostrel\\Ostrel\\HandOver.exe";
}  // namespace installed

// A simulated machine whose copies to one file name wait at a gate until released.
class GatedMachine : public SimMachine {
public:
    using SimMachine::SimMachine;
    // Copies whose target ends in "\" + fileName wait from now on.
    void HoldCopiesTo(const UString& fileName);
    // Lets the waiting copy and every later one through.
    void Release();
    // Copies that reached the gate so far.
    int Arrivals();

    bool CopyFile(const UString& from, const UString& to, bool failIfExists) override;

private:
    std::mutex lock_;
    std::condition_variable opened_;
    UString held_;
    bool closed_ = false;
    int arrivals_ = 0;
};

class InstallPagesTest : public ::testing::Test {
protected:
    InstallPagesTest();
    ~InstallPagesTest() override;

    GatedMachine& machine() { return *machine_; }
    void PutFile(const UString& path, const std::string& bytes = {});
    // The file's bytes, or "<missing>".
    std::string FileText(const UString& path);

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
    std::string folder_;
    std::unique_ptr<GatedMachine> machine_;
    IPlatform* previousPlatform_ = nullptr;
};
