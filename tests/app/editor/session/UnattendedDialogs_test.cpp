#include "app/editor/session/UnattendedDialogs.h"
#include "tests/app/editor/session/FakePorts.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

// Attended, the boxes are the window's; once unattended nothing waits for an answer: messages
// go to the log, questions get No, inputs and file choices nothing.
TEST(UnattendedDialogs, OnceUnattendedNoBoxWaitsAndMessagesAreLogged)
{
    auto inner = std::make_unique<test::FakeEditorDialogs>();
    test::FakeEditorDialogs& boxes = *inner;
    boxes.answer = true;
    boxes.input = "typed";
    UnattendedDialogs dialogs(std::move(inner));
    dialogs.ShowMessage("shown");
    EXPECT_TRUE(dialogs.AskYesNo("Reload", "asked"));
    EXPECT_EQ(dialogs.InputBox("Title", "", ""), "typed");

    dialogs.SetUnattended();
    testing::internal::CaptureStderr();
    dialogs.ShowMessage("Saving Failed: the collection tree could not be written");
    EXPECT_FALSE(dialogs.AskYesNo("Reload", "not asked"));
    EXPECT_EQ(dialogs.InputBox("Title", "", ""), std::nullopt);
    EXPECT_EQ(dialogs.OpenFile("*.html"), std::nullopt);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("quillory: Saving Failed: the collection tree could not be written\n"), std::string::npos)
        << log;
    EXPECT_EQ(boxes.messages, std::vector<std::string>{"shown"});
    EXPECT_EQ(boxes.questions.size(), 1u);
}

}  // namespace
}  // namespace ql
