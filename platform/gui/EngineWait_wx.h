#pragma once
// The wait for the web engine's answer: runs the main loop until the answer comes or the time
// is up, holding back what could re-enter the caller meanwhile.
typedef struct _GCancellable GCancellable;

namespace ql::web {

// Runs the main loop until `done` or `timeoutMs` passed (then cancels `cancel`).
void WaitFor(const bool& done, GCancellable* cancel, int timeoutMs);

}  // namespace ql::web
