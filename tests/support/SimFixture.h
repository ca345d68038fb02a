#pragma once
// A fresh simulated machine per test, in its own temporary folder, set as Platform()
// while it lives; the folder is removed at the end (kept when SETUP_KEEP_MACHINE is
// set, for looking inside after a failure).
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/sim/SimMachine.h"

class ScopedSimMachine {
public:
    using MachineMaker = std::function<std::unique_ptr<SimMachine>(const std::string& folder)>;
    // The machine is a plain SimMachine unless `make` gives one of another kind.
    explicit ScopedSimMachine(const MachineMaker& make = {});
    ~ScopedSimMachine();
    ScopedSimMachine(const ScopedSimMachine&) = delete;
    ScopedSimMachine& operator=(const ScopedSimMachine&) = delete;

    SimMachine& machine() { return *machine_; }
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
    std::unique_ptr<SimMachine> machine_;
    IPlatform* previous_ = nullptr;
};

class SimFixture : public ::testing::Test {
protected:
    explicit SimFixture(const ScopedSimMachine::MachineMaker& make = {}) : scope_(make) {}
    SimMachine& machine() { return scope_.machine(); }
    // The host folder that holds the machine.
    const std::string& machineFolder() const { return scope_.folder(); }
    // Writes a file of the machine, making its folders first.
    void PutFile(const UString& path, const std::string& bytes = {});
    // The file's content, or "<missing>".
    std::string FileText(const UString& path);
    // Every file and folder of drive C: with its bytes, and the registry file: two
    // readings compare equal only when the run changed nothing on the machine.
    std::map<std::string, std::string> MachineState();

private:
    ScopedSimMachine scope_;
};
