#pragma once
// Worker threads: real threads in both toolkits.
//
// A thread is paused only at safe points: the worker calls CheckPause() between
// files and between steps, never inside an operation, so a paused worker never holds
// anything the user-interface thread needs. Suspend() asks for the pause and returns
// at once; the worker stops at its next safe point. Resume() lets it go on.
//
// A thread set to free itself on termination deletes its object when Execute
// returns. Whoever keeps a pointer to such a thread must not use it after that:
// keep Control() instead, which lives as long as anyone holds it and tells whether
// the thread has finished; pausing or resuming through it does nothing once the
// thread has ended.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "base/UString.h"

class TThreadControl {
public:
    bool Started() const;
    bool Finished() const;
    // A pause is asked for (the worker may not have reached its safe point yet).
    bool PauseRequested() const;
    // The worker is waiting at a safe point.
    bool Paused() const;
    bool TerminateRequested() const;

    // Each of these does nothing once the thread has finished.
    void Suspend();
    void Resume();
    void Terminate();

    // Waits until the worker waits at a safe point or has finished; false when
    // neither happened in time.
    bool WaitUntilPaused(std::chrono::milliseconds timeout) const;
    bool WaitUntilFinished(std::chrono::milliseconds timeout) const;

    // The message of an exception that escaped Execute; empty when none did.
    UString FatalMessage() const;

    // Threads started and neither finished nor waiting at a safe point.
    static int RunningCount();

private:
    friend class TThread;
    // The worker side.
    void CheckPause();
    void MarkStarted();
    void MarkFinished(UString fatal);

    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    bool started_ = false;
    bool finished_ = false;
    // Written under lock_, read without it by the worker's every safe point.
    std::atomic<bool> pauseRequested_{false};
    bool paused_ = false;
    bool terminate_ = false;
    UString fatal_;
};

class TThread {
public:
    // The thread runs from Start() (or, for one created suspended, Resume()): it
    // cannot start inside this constructor, before the derived class that holds
    // Execute exists.
    explicit TThread(bool createSuspended);
    // Of a thread that does not free itself: asks it to terminate, lifts a pause and
    // waits for it to end.
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts a thread created suspended; nothing for one already started.
    void Start();
    void Suspend();
    // Lifts a pause; starts a thread that was created suspended and not started yet.
    void Resume();
    void Terminate();
    bool Terminated() const;
    bool Finished() const;
    // Waits for a thread that does not free itself.
    void WaitFor();

    // Set before the thread starts.
    bool FreeOnTerminate = false;

    std::shared_ptr<TThreadControl> Control() const { return control_; }

protected:
    virtual void Execute() = 0;
    // The safe point: waits here while a pause is asked for.
    void CheckPause();

private:
    void Launch();
    static void Body(TThread* self, std::shared_ptr<TThreadControl> control, bool freeOnTerminate);
    std::shared_ptr<TThreadControl> control_;
    std::thread thread_;
    bool launched_ = false;
    bool suspended_;
};
