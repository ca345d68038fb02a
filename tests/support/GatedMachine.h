#pragma once
// A simulated machine that can hold a worker inside one file operation, so that a
// test acts (presses Cancel, say) while the work really runs: copies to, or
// deletions of, a path ending in "\" + a file name wait at a gate until released.
#include <condition_variable>
#include <mutex>

#include "platform/sim/SimMachine.h"

class GatedMachine : public SimMachine {
public:
    using SimMachine::SimMachine;
    // From now on, copies whose target ends in "\" + fileName wait.
    void HoldCopiesTo(const UString& fileName);
    // From now on, deletions of a path ending in "\" + fileName wait.
    void HoldDeletionsOf(const UString& fileName);
    // Lets the waiting operation and every later one through.
    void Release();
    // Operations that reached the gate so far.
    int Arrivals();

    bool CopyFile(const UString& from, const UString& to, bool failIfExists) override;
    bool DeleteFile(const UString& path) override;

private:
    enum class Gated { Nothing, Copies, Deletions };
    void Hold(Gated what, const UString& fileName);
    void Pass(Gated what, const UString& path);

    std::mutex lock_;
    std::condition_variable opened_;
    Gated gated_ = Gated::Nothing;
    UString held_;
    bool closed_ = false;
    int arrivals_ = 0;
};
