#pragma once
// A deadline for an exit asked for from outside (a signal, the end of the desktop session):
// such an exit must end even when a save or a toolkit call hangs. What was not saved by then
// stays on disk as it was, since every write replaces its file whole or not at all.
#include <chrono>

namespace ql {

// From the first call on, the process ends `after` later (exit status 1, with a line in the
// log) unless it has ended by then. Later calls change nothing.
void ArmExitDeadline(std::chrono::milliseconds after);

}  // namespace ql
