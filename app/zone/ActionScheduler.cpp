#include "app/zone/ActionScheduler.h"

namespace ql {

void ActionScheduler::ScheduleAction(int code, int intervalMs, int ticks)
{
    code_ = code;
    tickCount_ = 0;
    ticks_ = ticks;
    if (intervalMs <= 0)
        intervalMs = kActionIntervalMs;
    if (!timer_.Running() || intervalMs != intervalMs_) {
        intervalMs_ = intervalMs;
        timer_.Start(intervalMs_);
    }
}

int ActionScheduler::Tick()
{
    ++tickCount_;
    if (tickCount_ >= ticks_) {
        timer_.Stop();
        intervalMs_ = kActionIntervalMs;
    }
    return code_;
}

}  // namespace ql
