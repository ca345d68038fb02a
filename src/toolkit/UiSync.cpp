#include "toolkit/UiSync.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <thread>

#include "toolkit/Backend.h"

namespace uisync {
namespace {

std::mutex queueLock;
std::deque<PropChange> pending;
bool wakeSent = false;

std::function<void(const PropChange&)> observer;

void Apply(const PropChange& change)
{
    if (observer)
        observer(change);
    backend::Apply(change);
}

std::mutex threadLock;
std::thread::id uiThread;
bool uiThreadSet = false;

}  // namespace

bool IsUiThread()
{
    std::lock_guard g(threadLock);
    return !uiThreadSet || uiThread == std::this_thread::get_id();
}

void SetUiThread()
{
    std::lock_guard g(threadLock);
    uiThread = std::this_thread::get_id();
    uiThreadSet = true;
}

void ClearUiThread()
{
    std::lock_guard g(threadLock);
    uiThreadSet = false;
}

void Present(PropChange change)
{
    if (IsUiThread()) {
        Drain();
        Apply(change);
        return;
    }
    bool wake = false;
    {
        std::lock_guard g(queueLock);
        pending.push_back(std::move(change));
        if (!wakeSent) {
            wakeSent = true;
            wake = true;
        }
    }
    if (wake)
        backend::WakeUiThread();
}

void Drain()
{
    for (;;) {
        PropChange next;
        {
            std::lock_guard g(queueLock);
            if (pending.empty()) {
                wakeSent = false;
                return;
            }
            next = std::move(pending.front());
            pending.pop_front();
        }
        Apply(next);
    }
}

void Purge(const TControl* control)
{
    std::lock_guard g(queueLock);
    pending.erase(std::remove_if(pending.begin(), pending.end(),
                                 [control](const PropChange& c) { return c.control == control; }),
                  pending.end());
}

bool HasPending()
{
    std::lock_guard g(queueLock);
    return !pending.empty();
}

}  // namespace uisync

void SetChangeObserver(std::function<void(const PropChange&)> fn) { uisync::observer = std::move(fn); }
