#include "toolkit/UiSync.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "toolkit/Backend.h"

namespace uisync {
namespace {

// Idle: nothing asked of the user-interface thread. Posted: a wake is on its way.
// Resting: it presented changes and its rest timer runs; writes only queue.
enum class WakeState { Idle, Posted, Resting };

std::mutex queueLock;
std::vector<PropChange> pending;
std::vector<std::vector<PropChange>*> inFlight;  // batches being presented (nested)
WakeState wakeState = WakeState::Idle;
bool keepEvery = false;  // an observer is set
uint64_t wakesPosted = 0;

std::function<void(const PropChange&)> observer;

void Apply(const PropChange& change)
{
    if (observer)
        observer(change);
    backend::Apply(change);
}

std::atomic<bool> uiThreadSet{false};
std::atomic<std::thread::id> uiThread{};

// Under queueLock: the queued change this one may replace, or nullptr.
PropChange* Replaceable(const PropChange& change)
{
    if (keepEvery)
        return nullptr;
    for (auto it = pending.rbegin(); it != pending.rend(); ++it)
        if (it->control == change.control && it->prop == change.prop)
            return &*it;
    return nullptr;
}

}  // namespace

bool IsUiThread() { return !uiThreadSet.load() || uiThread.load() == std::this_thread::get_id(); }

void SetUiThread()
{
    uiThread.store(std::this_thread::get_id());
    uiThreadSet.store(true);
    std::lock_guard g(queueLock);
    wakeState = WakeState::Idle;
}

void ClearUiThread()
{
    uiThreadSet.store(false);
    // The rest timer went with the application.
    std::lock_guard g(queueLock);
    wakeState = WakeState::Idle;
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
        if (PropChange* queued = Replaceable(change)) {
            queued->text = std::move(change.text);
            queued->value = change.value;
        } else {
            pending.push_back(std::move(change));
        }
        if (wakeState == WakeState::Idle) {
            wakeState = WakeState::Posted;
            ++wakesPosted;
            wake = true;
        }
    }
    if (wake)
        backend::WakeUiThread();
}

void Drain()
{
    bool rest = false;
    for (;;) {
        std::vector<PropChange> batch;
        {
            std::lock_guard g(queueLock);
            if (wakeState == WakeState::Posted) {
                wakeState = WakeState::Resting;
                rest = true;
            }
            if (pending.empty())
                break;
            batch.swap(pending);
            inFlight.push_back(&batch);
        }
        struct Done {
            std::vector<PropChange>* batch;
            ~Done()
            {
                std::lock_guard g(queueLock);
                inFlight.erase(std::find(inFlight.begin(), inFlight.end(), batch));
            }
        } done{&batch};
        // Every change is told in order; a window only takes the last of a run of
        // changes to the same property.
        std::map<std::pair<const TControl*, Prop>, size_t> last;
        for (size_t i = 0; i < batch.size(); ++i)
            last[{batch[i].control, batch[i].prop}] = i;
        for (size_t i = 0; i < batch.size(); ++i) {
            PropChange c;
            {
                std::lock_guard g(queueLock);
                if (!batch[i].control)
                    continue;
                c = batch[i];
            }
            if (observer)
                observer(c);
            if (last[{c.control, c.prop}] == i)
                backend::Apply(c);
        }
    }
    if (rest)
        backend::SetRestTimer(true);
}

void RestEnded()
{
    bool quiet = false;
    {
        std::lock_guard g(queueLock);
        if (pending.empty()) {
            quiet = true;
            if (wakeState == WakeState::Resting)
                wakeState = WakeState::Idle;
        }
    }
    if (quiet)
        backend::SetRestTimer(false);
    else
        Drain();
}

void BeforePost()
{
    if (IsUiThread())
        return;
    bool wake = false;
    {
        std::lock_guard g(queueLock);
        // A wake already on its way was posted before this message.
        if (!pending.empty() && wakeState != WakeState::Posted) {
            wakeState = WakeState::Posted;
            ++wakesPosted;
            wake = true;
        }
    }
    if (wake)
        backend::WakeUiThread();
}

void Purge(const TControl* control)
{
    std::lock_guard g(queueLock);
    pending.erase(
        std::remove_if(pending.begin(), pending.end(), [control](const PropChange& c) { return c.control == control; }),
        pending.end());
    for (std::vector<PropChange>* batch : inFlight)
        for (PropChange& c : *batch)
            if (c.control == control)
                c.control = nullptr;
}

bool HasPending()
{
    std::lock_guard g(queueLock);
    return !pending.empty();
}

uint64_t WakesPosted()
{
    std::lock_guard g(queueLock);
    return wakesPosted;
}

size_t PendingCount()
{
    std::lock_guard g(queueLock);
    return pending.size();
}

}  // namespace uisync

void SetChangeObserver(std::function<void(const PropChange&)> fn)
{
    std::lock_guard g(uisync::queueLock);
    uisync::keepEvery = static_cast<bool>(fn);
    uisync::observer = std::move(fn);
}
