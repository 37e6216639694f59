#include "platform/core/WindowActivator.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(WindowActivator, TheProcesssNewestWindowOfTheClassThenAnyOfItsThenTheClass)
{
    const std::vector<ClientWindow> clients{{1, 40, "zephyr", "TZephyrviewForm"},
                                            {2, 40, "zephyr", "Dialog"},
                                            {3, 41, "zephyr", "TZephyrviewForm"},
                                            {4, 40, "zephyr", "TZephyrviewForm"},
                                            {5, 0, "other", "Other"}};
    EXPECT_EQ(ChooseWindowToActivate(clients, 40, "TZephyrviewForm"), 4ul);
    EXPECT_EQ(ChooseWindowToActivate(clients, 40, "Editor"), 4ul);           // none of that class: its newest
    EXPECT_EQ(ChooseWindowToActivate(clients, 99, "TZephyrviewForm"), 4ul);  // no window of its own
    EXPECT_EQ(ChooseWindowToActivate(clients, 0, "other"), 5ul);             // the instance name counts too
    EXPECT_EQ(ChooseWindowToActivate(clients, 99, "Editor"), std::nullopt);
    EXPECT_EQ(ChooseWindowToActivate(clients, 0, ""), std::nullopt);
}

}  // namespace
}  // namespace ql
