#pragma once
// Arming the zone's action timer with an action, an interval and a tick count, and
// counting its ticks. The timer itself is a port: wxTimer in the zone, a fake clock in tests.
#include "app/editor/session/DeferredWork.h"

namespace ql {

class ActionTimer {
public:
    virtual ~ActionTimer() = default;
    // (Re)starts the periodic timer with a fresh period.
    virtual void Start(int intervalMs) = 0;
    virtual void Stop() = 0;
    virtual bool Running() const = 0;
};

class ActionScheduler {
public:
    explicit ActionScheduler(ActionTimer& timer) : timer_(timer) {}

    // Arming while the timer runs replaces the action and restarts the count; with the interval
    // unchanged the running period goes on.
    void ScheduleAction(ZoneAction action, int intervalMs, int ticks);
    // One timer tick: the action to run now. The last tick of the count stops the timer and puts
    // its interval back to the default.
    ZoneAction Tick();

    ZoneAction ArmedAction() const { return action_; }
    int IntervalMs() const { return intervalMs_; }

private:
    ActionTimer& timer_;
    ZoneAction action_ = ZoneAction::None;  // the timer's Tag
    int intervalMs_ = kActionIntervalMs;
    int ticks_ = 0;      // ActionTicks
    int tickCount_ = 0;  // ActionTickCount
};

}  // namespace ql
