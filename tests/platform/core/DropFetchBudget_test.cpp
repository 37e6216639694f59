#include "platform/core/DropFetchBudget.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace ql {
namespace {

using namespace std::chrono_literals;

// A source whose targets take the given times to arrive (or never: they wait the whole limit),
// on a clock that moves only by those waits.
struct SlowSource {
    DropFetchBudget::Clock::time_point now{};
    std::map<std::string, std::chrono::milliseconds> delay;  // absent: never answers
    std::vector<std::pair<std::string, std::chrono::milliseconds>> asked;

    DropFetchBudget Budget(std::chrono::milliseconds total)
    {
        return DropFetchBudget(
            [this](const std::string& target, std::chrono::milliseconds limit) -> std::optional<std::string> {
                asked.emplace_back(target, limit);
                auto it = delay.find(target);
                if (it == delay.end() || it->second > limit) {
                    now += limit;
                    return std::nullopt;
                }
                now += it->second;
                return "bytes of " + target;
            },
            total, [this] { return now; });
    }
};

TEST(DropFetchBudget, OneDropWaitsNoLongerThanItsBudgetInAll)
{
    SlowSource s;
    s.delay = {{"UTF8_STRING", 200ms}, {"chromium/x-renderer-taint", 300ms}};
    DropFetchBudget fetch = s.Budget(3000ms);
    EXPECT_EQ(fetch("UTF8_STRING"), "bytes of UTF8_STRING");
    EXPECT_EQ(fetch("chromium/x-renderer-taint"), "bytes of chromium/x-renderer-taint");
    EXPECT_FALSE(fetch.Exhausted());
    EXPECT_EQ(fetch("text/html"), std::nullopt);  // never answered: waited what was left
    EXPECT_TRUE(fetch.Exhausted());
    // The stuck source is asked for nothing more.
    EXPECT_EQ(fetch("text/plain"), std::nullopt);
    ASSERT_EQ(s.asked.size(), 3u);
    EXPECT_EQ(s.asked[0].second, 3000ms);
    EXPECT_EQ(s.asked[1].second, 2800ms);
    EXPECT_EQ(s.asked[2].second, 2500ms);
    EXPECT_EQ(s.now - DropFetchBudget::Clock::time_point{}, 3000ms);
}

TEST(DropFetchBudget, FetchesCostOnlyTheTimeTheyTook)
{
    SlowSource s;
    s.delay = {{"text/html", 100ms}};
    DropFetchBudget fetch = s.Budget(1000ms);
    s.asked.clear();
    EXPECT_EQ(fetch("text/html"), "bytes of text/html");
    EXPECT_EQ(fetch("text/html"), "bytes of text/html");
    EXPECT_EQ(s.asked.back().second, 900ms);
    DropFetchBudget none(nullptr, 1000ms);
    EXPECT_EQ(none("text/html"), std::nullopt);
}

}  // namespace
}  // namespace ql
