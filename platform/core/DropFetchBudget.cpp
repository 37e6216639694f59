#include "platform/core/DropFetchBudget.h"

namespace ql {

DropFetchBudget::DropFetchBudget(TimedFetch fetch, std::chrono::milliseconds budget,
                                 std::function<Clock::time_point()> now)
    : fetch_(std::move(fetch)), left_(budget), now_(std::move(now))
{
}

std::optional<std::string> DropFetchBudget::operator()(const std::string& target)
{
    if (Exhausted() || !fetch_)
        return std::nullopt;
    const Clock::time_point start = now_();
    std::optional<std::string> bytes = fetch_(target, left_);
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(now_() - start);
    left_ -= std::max(spent, std::chrono::milliseconds(0));
    return bytes;
}

}  // namespace ql
