#pragma once
// The road of control changes to the user-interface thread (see Controls.h).
#include <functional>

#include "toolkit/Controls.h"

namespace uisync {

// The thread that runs the message loop; until an application exists, any thread.
bool IsUiThread();
void SetUiThread();
void ClearUiThread();

// On the user-interface thread: presents earlier queued changes, then this one.
// On any other thread: queues it and wakes the user-interface thread when the queue
// was empty. Never waits for the user-interface thread.
void Present(PropChange change);
// User-interface thread: presents everything queued, in order.
void Drain();
// Forgets the queued changes of a control that is going away.
void Purge(const TControl* control);
bool HasPending();

}  // namespace uisync
