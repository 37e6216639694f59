#pragma once
// The time one drop may spend fetching the drag's data. A source may never deliver a target (a
// browser holding a selection of several megabytes of HTML does not): the drop must not wait
// for the toolkit's own half-minute timeout, and what did arrive in time is still used.
#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace ql {

class DropFetchBudget {
public:
    using Clock = std::chrono::steady_clock;
    // Fetches one target, waiting at most `limit`; nothing when it did not arrive in time or the
    // source refused it.
    using TimedFetch =
        std::function<std::optional<std::string>(const std::string& target, std::chrono::milliseconds limit)>;

    DropFetchBudget(TimedFetch fetch, std::chrono::milliseconds budget,
                    std::function<Clock::time_point()> now = Clock::now);

    // Each fetch may wait what the drop has left. Once that is used up (a source stuck on one
    // transfer answers no other either) nothing more is asked.
    std::optional<std::string> operator()(const std::string& target);
    bool Exhausted() const { return left_.count() <= 0; }

private:
    TimedFetch fetch_;
    std::chrono::milliseconds left_;
    std::function<Clock::time_point()> now_;
};

}  // namespace ql
