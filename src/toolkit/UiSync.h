#pragma once
// The road of control changes to the user-interface thread (see Controls.h).
//
// A worker's write is queued; the user-interface thread presents the queue when it
// is woken. Wakes are rationed: the first write after a quiet spell wakes it at
// once; after presenting, it rests for kRestMilliseconds and then presents whatever
// gathered meanwhile, until a rest passes with nothing new. So a worker writing a
// file name per file costs a few wakes a second, not one per file. A later write to
// the same control and property replaces the queued one (the latest value wins),
// except while a change observer is set, which is told every change.
//
// Order with posted messages: a worker's changes queued before it posts a message
// (PostMessageTo) are presented before that message is handled.
#include <cstdint>
#include <functional>

#include "toolkit/Controls.h"

namespace uisync {

// The rest between two presentations of worker changes.
inline constexpr int kRestMilliseconds = 12;

// The thread that runs the message loop; until an application exists, any thread.
bool IsUiThread();
void SetUiThread();
void ClearUiThread();

// On the user-interface thread: presents earlier queued changes, then this one.
// On any other thread: queues it, waking the user-interface thread only when it is
// not already woken or resting. Never waits for the user-interface thread.
void Present(PropChange change);
// User-interface thread: presents everything queued, in order.
void Drain();
// User-interface thread, from the backend's rest timer: presents what gathered
// during the rest, or ends the rest (and the timer) when nothing did.
void RestEnded();
// Any thread, before it posts a message: makes sure its queued changes are
// presented before the message is handled.
void BeforePost();
// Forgets the queued changes of a control that is going away.
void Purge(const TControl* control);
bool HasPending();

// For tests and benchmarks: wakes asked of the backend so far, and changes queued
// now.
uint64_t WakesPosted();
size_t PendingCount();

}  // namespace uisync
