#pragma once
// A simulated machine with a small setup package in C:\Setup, App filled in as the
// preparation form leaves it, and a run of the install thread that records what it
// showed and when the finish message came.
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/Installthread.h"
#include "support/SimFixture.h"

// The status line and the bar as one ordered log: "text:<caption>", "bar:<n>".
class ProgressLog : public ITextSink, public IProgressSink {
public:
    void SetText(const UString& text) override;
    int Position() override;
    void SetPosition(int position) override;
    std::vector<UString> Events();
    // Called on the worker with each text, before it is logged.
    std::function<void(const UString&)> OnText;

private:
    std::mutex lock_;
    std::vector<UString> events_;
    int position_ = 0;
};

struct InstallRun {
    int finishMessages = 0;
    size_t eventsAtFinish = 0;
    bool threadFinished = false;
    // The record file's text when the finish message arrived.
    std::string recordAtFinish;
    std::vector<UString> events;
};

// Where the fixture's package installs on the default machine.
namespace pkg {
inline constexpr char16_t Program[] = u"C:\\Program Files (x86)\\Ostrel";
inline constexpr char16_t ProgramDir[] = u"C:\\Program Files (x86)\\Ostrel\\Ostrel";
inline constexpr char16_t KeptCopy[] = u"C:\\ProgramData\\Microsoft\\Windows\\Templates\\Ostrel";
inline constexpr char16_t StartMenu[] =
    u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Brightwater Labs\\Ostrel Suite";
inline constexpr char16_t UninstallEntry[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OstrelReg";
inline constexpr char16_t PrivateKey[] = u"Software\\Brightwater\\OstrelReg";
inline constexpr char16_t RunKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char16_t Templates[] = u"C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Templates";
}  // namespace pkg
using namespace pkg;

class InstallFixture : public SimFixture {
protected:
    // The machine is a plain SimMachine unless `make` gives one of another kind.
    explicit InstallFixture(const ScopedSimMachine::MachineMaker& make = {});
    ~InstallFixture() override;

    // Setup.ini's section "Setup", written by WritePackage; an empty text removes
    // the key.
    void Set(const std::string& key, const std::string& value) { setup_[key] = value; }
    // The package (Setup.exe, Setup.ini, texts, pictures, the payload in
    // payloadFolder) and App as the preparation form leaves it for an installation.
    void WritePackage(const UString& payloadFolder = u"Program Files");
    void PrepareApp();
    // Starts the thread (after `beforeStart`, which may pause it) and runs the
    // user-interface loop until the thread has finished and its message arrived.
    InstallRun RunInstall(const std::function<void(std::shared_ptr<TThreadControl>)>& beforeStart = {});

    // Files below a folder of the machine, as Windows paths, sorted.
    std::vector<UString> FilesBelow(const UString& folder);
    std::vector<UString> DebugLines() { return machine().JournalOf(SimJournal::Debug); }
    std::vector<UString> Commands() { return machine().JournalOf(SimJournal::Run); }
    // The value names of a key of HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER, in order,
    // each with its data: "name=data".
    std::vector<UString> KeyValues(RegRoot root, const UString& key);

    ProgressLog log;

private:
    std::map<std::string, std::string> setup_;
};
