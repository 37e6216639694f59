#pragma once
// The X window ids of a fresh start. The X server gives a new connection the ids of the last
// one that closed, so a program started again at once names its windows as its previous run
// did; a drag source that keeps its picture of the desktop's windows for a while after a drag
// (Chromium's does) takes such a window for the one that is gone and finds no drop target in it
// under a reparenting window manager.
namespace ql {

// Moves this process's next X resource ids on by a random amount, so that its windows are not
// named as its previous run's were. Once the toolkit has opened the display, before the first
// window is made.
void SkipWindowIdsOfEarlierRuns();

}  // namespace ql
