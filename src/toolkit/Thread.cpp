#include "toolkit/Thread.h"

#include <exception>

#include "toolkit/Backend.h"
#include "toolkit/Classes.h"

namespace {
std::atomic<int> runningThreads{0};
using Lock = std::unique_lock<std::mutex>;
}  // namespace

int TThreadControl::RunningCount() { return runningThreads.load(); }

bool TThreadControl::Started() const
{
    std::lock_guard g(lock_);
    return started_;
}
bool TThreadControl::Finished() const
{
    std::lock_guard g(lock_);
    return finished_;
}
bool TThreadControl::PauseRequested() const
{
    std::lock_guard g(lock_);
    return pauseRequested_;
}
bool TThreadControl::Paused() const
{
    std::lock_guard g(lock_);
    return paused_;
}
bool TThreadControl::TerminateRequested() const
{
    std::lock_guard g(lock_);
    return terminate_;
}
UString TThreadControl::FatalMessage() const
{
    std::lock_guard g(lock_);
    return fatal_;
}

void TThreadControl::Suspend()
{
    std::lock_guard g(lock_);
    if (!finished_)
        pauseRequested_ = true;
}

void TThreadControl::Resume()
{
    {
        std::lock_guard g(lock_);
        if (finished_)
            return;
        pauseRequested_ = false;
    }
    changed_.notify_all();
}

void TThreadControl::Terminate()
{
    std::lock_guard g(lock_);
    if (!finished_)
        terminate_ = true;
}

bool TThreadControl::WaitUntilPaused(std::chrono::milliseconds timeout) const
{
    Lock g(lock_);
    return changed_.wait_for(g, timeout, [this] { return paused_ || finished_; });
}

bool TThreadControl::WaitUntilFinished(std::chrono::milliseconds timeout) const
{
    Lock g(lock_);
    return changed_.wait_for(g, timeout, [this] { return finished_; });
}

void TThreadControl::CheckPause()
{
    // Most safe points pass with no pause asked for: no lock for those.
    if (!pauseRequested_.load(std::memory_order_acquire))
        return;
    Lock g(lock_);
    if (!pauseRequested_)
        return;
    paused_ = true;
    runningThreads.fetch_sub(1);
    changed_.notify_all();
    // The headless loop counts running workers to know whether to wait for them.
    backend::WakeUiThread();
    changed_.wait(g, [this] { return !pauseRequested_; });
    paused_ = false;
    runningThreads.fetch_add(1);
    changed_.notify_all();
}

void TThreadControl::MarkStarted()
{
    std::lock_guard g(lock_);
    started_ = true;
    runningThreads.fetch_add(1);
}

void TThreadControl::MarkFinished(UString fatal)
{
    {
        std::lock_guard g(lock_);
        finished_ = true;
        pauseRequested_ = false;
        fatal_ = std::move(fatal);
        runningThreads.fetch_sub(1);
    }
    changed_.notify_all();
    backend::WakeUiThread();
}

// --- TThread ---

TThread::TThread(bool createSuspended) : control_(std::make_shared<TThreadControl>()), suspended_(createSuspended) {}

TThread::~TThread()
{
    if (launched_ && thread_.joinable()) {
        control_->Terminate();
        control_->Resume();
        thread_.join();
    }
}

void TThread::Launch()
{
    if (launched_)
        return;
    launched_ = true;
    control_->MarkStarted();
    bool freeSelf = FreeOnTerminate;
    std::thread worker(&TThread::Body, this, control_, freeSelf);
    // A thread that frees itself may be gone already: touch only the local handle.
    if (freeSelf)
        worker.detach();
    else
        thread_ = std::move(worker);
}

void TThread::Body(TThread* self, std::shared_ptr<TThreadControl> control, bool freeOnTerminate)
{
    UString fatal;
    try {
        self->Execute();
    } catch (const Exception& e) {
        fatal = e.Message().empty() ? UString(u"Exception") : e.Message();
    } catch (const std::exception& e) {
        fatal = FromUtf8(e.what());
        if (fatal.empty())
            fatal = u"Exception";
    } catch (...) {
        fatal = u"Exception";
    }
    if (freeOnTerminate)
        delete self;
    // Marked after the object is gone, so whoever sees the mark may rely on that.
    control->MarkFinished(std::move(fatal));
}

void TThread::Start() { Launch(); }

void TThread::Suspend() { control_->Suspend(); }

void TThread::Resume()
{
    control_->Resume();
    if (suspended_ && !launched_)
        Launch();
}

void TThread::Terminate() { control_->Terminate(); }
bool TThread::Terminated() const { return control_->TerminateRequested(); }
bool TThread::Finished() const { return control_->Finished(); }

void TThread::WaitFor()
{
    if (launched_ && thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

void TThread::CheckPause() { control_->CheckPause(); }
