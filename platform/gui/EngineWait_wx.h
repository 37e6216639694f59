#pragma once
// The wait for the web engine's answer on the toolkit: runs the main loop with the toolkit's
// events held as EngineWait.h decides, until the answer comes or the time is up.
#include "platform/gui/EngineWait.h"

typedef struct _GCancellable GCancellable;

namespace ql::web {

// Runs the main loop until `wait` has its answer or `timeoutMs` passed (then cancels `cancel`).
// Meanwhile the user's input is held back, wx's queued events (CallAfter and the like) wait, and
// idle and update-UI events are skipped; nested waits share the outermost hold.
void WaitFor(AnswerWait& wait, GCancellable* cancel, int timeoutMs);

}  // namespace ql::web
