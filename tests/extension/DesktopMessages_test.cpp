#include "extension/DesktopMessages.h"
#include "tests/support/FakeLauncher.h"

#include <gtest/gtest.h>

namespace ql::brimhook {
namespace {

TEST(DesktopMessages, ShowsADesktopNotificationOrElseWritesToStandardError)
{
    test::FakeLauncher launcher;
    DesktopMessages messages(launcher);
    testing::internal::CaptureStderr();
    messages.ShowMessage("Quillory not properly installed, Please install Quillory again.");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(launcher.spawned.size(), 1u);
    EXPECT_EQ(launcher.spawned[0],
              (std::vector<std::string>{"notify-send", "Quillory",
                                        "Quillory not properly installed, Please install Quillory again."}));

    launcher.result = false;  // no notify-send on this desktop
    testing::internal::CaptureStderr();
    messages.ShowMessage("no desktop");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Quillory: no desktop\n");
}

}  // namespace
}  // namespace ql::brimhook
