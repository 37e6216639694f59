#pragma once
// The watching thread's poster of a shell control.
#include <functional>

#include "components/shell/ChangeHandlerThread.h"
#include "components/shell/ControlLiveness.h"

namespace ql::shellctl {

// Each post only queues `step` to the GUI thread (the control is looked at there alone), where
// it runs while the control lives.
TChangeHandlerThread::Poster GuiThreadPoster(const TControlLiveness& liveness, std::function<void()> step);

}  // namespace ql::shellctl
