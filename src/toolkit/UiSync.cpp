#include "toolkit/UiSync.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <iterator>
#include <map>
#include <vector>
#include <mutex>
#include <thread>

#include "toolkit/Backend.h"

namespace uisync {
namespace {

std::mutex queueLock;
std::deque<PropChange> pending;
std::vector<std::vector<PropChange>*> inFlight;  // batches being presented (nested)
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
        std::vector<PropChange> batch;
        {
            std::lock_guard g(queueLock);
            if (pending.empty()) {
                wakeSent = false;
                return;
            }
            batch.assign(std::make_move_iterator(pending.begin()), std::make_move_iterator(pending.end()));
            pending.clear();
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
        // changes to the same property, so a worker writing thousands of file names
        // costs one repaint per turn of the loop rather than one per name.
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
}

void Purge(const TControl* control)
{
    std::lock_guard g(queueLock);
    pending.erase(std::remove_if(pending.begin(), pending.end(),
                                 [control](const PropChange& c) { return c.control == control; }),
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

}  // namespace uisync

void SetChangeObserver(std::function<void(const PropChange&)> fn) { uisync::observer = std::move(fn); }
