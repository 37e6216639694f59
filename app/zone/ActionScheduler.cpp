#include "app/zone/ActionScheduler.h"

namespace ql {

void ActionScheduler::ScheduleAction(ZoneAction action, int intervalMs, int ticks)
{
    action_ = action;
    tickCount_ = 0;
    ticks_ = ticks;
    if (intervalMs <= 0)
        intervalMs = kActionIntervalMs;
    if (!timer_.Running() || intervalMs != intervalMs_) {
        intervalMs_ = intervalMs;
        timer_.Start(intervalMs_);
    }
}

ZoneAction ActionScheduler::Tick()
{
    ++tickCount_;
    if (tickCount_ >= ticks_) {
        timer_.Stop();
        intervalMs_ = kActionIntervalMs;
    }
    return action_;
}

}  // namespace ql
