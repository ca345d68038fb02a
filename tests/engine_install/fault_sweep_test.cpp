// Every platform operation of an installation made to fail in turn: first one at a
// time, then every one from the Nth on (a disk that fills up). Each run must end,
// send its finish message, and keep every macro of the old installation, in place
// or put aside.
#include <gtest/gtest.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "engine_install/InstallFixture.h"

namespace {

// Counts the operations that change the machine, and fails the chosen ones.
class SweepMachine : public SimMachine {
public:
    using SimMachine::SimMachine;

    // From now on: operation `failAt` (from 1) fails, and with `onward` every later
    // one too; 0 fails none.
    void Arm(size_t failAt, bool onward)
    {
        std::lock_guard<std::mutex> lock(lock_);
        ops_.clear();
        failAt_ = failAt;
        onward_ = onward;
        armed_ = true;
    }
    std::vector<std::string> Disarm()
    {
        std::lock_guard<std::mutex> lock(lock_);
        armed_ = false;
        return ops_;
    }

    bool CopyFile(const UString& from, const UString& to, bool failIfExists) override
    {
        return Pass("copy", to) && SimMachine::CopyFile(from, to, failIfExists);
    }
    bool DeleteFile(const UString& path) override { return Pass("delete", path) && SimMachine::DeleteFile(path); }
    bool CreateDirectory(const UString& path) override
    {
        return Pass("mkdir", path) && SimMachine::CreateDirectory(path);
    }
    bool RemoveDirectory(const UString& path) override
    {
        return Pass("rmdir", path) && SimMachine::RemoveDirectory(path);
    }
    bool SetAttributes(const UString& path, uint32_t attributes) override
    {
        return Pass("attributes", path) && SimMachine::SetAttributes(path, attributes);
    }
    bool WriteWholeFile(const UString& path, const std::string& bytes) override
    {
        return Pass("write", path) && SimMachine::WriteWholeFile(path, bytes);
    }
    bool RegOpenKey(RegRoot root, const UString& path, uint32_t access, bool create) override
    {
        return Pass("reg-open", path) && SimMachine::RegOpenKey(root, path, access, create);
    }
    bool RegWriteString(RegRoot root, const UString& path, const UString& name, const UString& value) override
    {
        return Pass("reg-write", path + u"\\" + name) && SimMachine::RegWriteString(root, path, name, value);
    }
    bool RegDeleteValue(RegRoot root, const UString& path, const UString& name) override
    {
        return Pass("reg-delete-value", path + u"\\" + name) && SimMachine::RegDeleteValue(root, path, name);
    }
    bool RegDeleteKeyTree(RegRoot root, const UString& path) override
    {
        return Pass("reg-delete-key", path) && SimMachine::RegDeleteKeyTree(root, path);
    }
    bool WriteShortcut(const ShortcutSpec& shortcut) override
    {
        return Pass("shortcut", shortcut.linkPath) && SimMachine::WriteShortcut(shortcut);
    }
    bool RunAndWait(const UString& commandLine, uint32_t creationFlags) override
    {
        return Pass("run", commandLine) && SimMachine::RunAndWait(commandLine, creationFlags);
    }

private:
    bool Pass(const char* kind, const UString& target)
    {
        std::lock_guard<std::mutex> lock(lock_);
        if (!armed_)
            return true;
        ops_.push_back(std::string(kind) + " " + ToUtf8(target));
        const size_t n = ops_.size();
        if (failAt_ == 0 || n < failAt_ || (n > failAt_ && !onward_))
            return true;
        SimMachine::SetLastError(onward_ ? WinError::DiskFull : WinError::AccessDenied);
        return false;
    }

    std::mutex lock_;
    std::vector<std::string> ops_;
    size_t failAt_ = 0;
    bool onward_ = false;
    bool armed_ = false;
};

const UString kBackup = UString(Templates) + u"\\OstrelReg\\ScriptsMacros";
const UString kOldDir = u"C:\\Program Files (x86)\\Ostrel\\OstrelOld";

// The user's macros: where each stood, and its content.
const struct {
    UString folder;
    UString name;
    const char* content;
} kMacros[] = {
    {ProgramDir, u"default.mac", "user edited"},
    {ProgramDir, u"Deep\\mine.mac", "mine"},
    {kOldDir, u"old.mac", "old layout"},
};

// One installation over an old one on a fresh machine.
class OneRun : public InstallFixture {
public:
    OneRun() : InstallFixture([](const std::string& folder) { return std::make_unique<SweepMachine>(folder); }) {}
    void TestBody() override {}

    // Empty when the run kept its promises, else what went wrong; `ops` gets the
    // operations the run performed.
    std::string Go(size_t failAt, bool onward, std::vector<std::string>& ops)
    {
        WritePackage();
        PutFile(UString(ProgramDir) + u"\\stale.dll", "old program");
        for (const auto& m : kMacros)
            PutFile(m.folder + u"\\ScriptsMacros\\" + m.name, m.content);
        auto& sweep = static_cast<SweepMachine&>(machine());
        sweep.Arm(failAt, onward);
        const InstallRun run = RunInstall();
        ops = sweep.Disarm();
        if (!run.threadFinished)
            return "the worker did not end";
        if (run.finishMessages != 1)
            return "finish messages: " + std::to_string(run.finishMessages);
        std::string lost;
        for (const auto& m : kMacros) {
            bool kept = false;
            for (const UString& folder : {m.folder, UString(ProgramDir), kOldDir})
                kept = kept || FileText(folder + u"\\ScriptsMacros\\" + m.name) == m.content;
            kept = kept || FileText(kBackup + u"\\" + m.name) == m.content;
            if (!kept)
                lost += " " + ToUtf8(m.name);
        }
        return lost.empty() ? std::string() : "macros lost:" + lost;
    }
};

TEST(FaultSweep, EveryOperationOfAnInstallationFailingInTurnLosesNoMacroAndEndsTheRun)
{
    std::vector<std::string> recorded;
    {
        OneRun clean;
        ASSERT_EQ(clean.Go(0, false, recorded), "");
    }
    ASSERT_FALSE(recorded.empty());

    size_t runs = 0, failures = 0;
    for (const bool onward : {false, true}) {
        for (size_t n = 1; n <= recorded.size(); ++n) {
            std::vector<std::string> ops;
            OneRun run;
            const std::string problem = run.Go(n, onward, ops);
            ++runs;
            if (!problem.empty()) {
                ++failures;
                ADD_FAILURE() << (onward ? "from operation " : "operation ") << n << " (" << recorded[n - 1]
                              << ") failing: " << problem;
            }
        }
    }
    std::printf("fault sweep: %zu operations recorded, %zu runs, %zu failures\n", recorded.size(), runs, failures);
}

}  // namespace
