// The program's event boundary (the test programs run with it, as the program does): nothing a
// handler throws reaches the toolkit or ends the loop; it is logged once, where it happened.
#include "foundation/EventBoundary_wx.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/YieldUntil.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include <new>
#include <stdexcept>

namespace ql {
namespace {

using namespace std::chrono_literals;

// Handlers bound on any window run through the application's guard: a handler that throws is
// logged, and the window handles its next event as before.
TEST(EventBoundary, AHandlerThatThrowsIsLoggedAndTheWindowGoesOn)
{
    ASSERT_NE(dynamic_cast<GuardedApp*>(wxTheApp), nullptr);
    test::OwnedFrame<> frame(new wxFrame(nullptr, wxID_ANY, "boundary"));
    int calls = 0;
    frame->Bind(
        wxEVT_MENU,
        [&](wxCommandEvent&) {
            ++calls;
            throw std::runtime_error("a handler's failure");
        },
        7);
    wxCommandEvent click(wxEVT_MENU, 7);
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(frame->GetEventHandler()->ProcessEvent(click));
    EXPECT_NO_THROW(frame->GetEventHandler()->ProcessEvent(click));

    // A timer's handler, from the toolkit's own loop.
    wxTimer timer(frame);
    int ticks = 0;
    frame->Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (++ticks == 1)
            throw std::logic_error("a timer's failure");
    });
    timer.Start(5);
    EXPECT_TRUE(test::YieldUntil([&] { return ticks >= 2; }, 2s));
    timer.Stop();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(calls, 2);
    EXPECT_NE(log.find("quillory: event handler: a handler's failure\n"), std::string::npos) << log;
    EXPECT_NE(log.find("quillory: event handler: a timer's failure\n"), std::string::npos) << log;
    frame.reset();
}

// Work queued with CallAfter runs outside any handler: what it throws is logged too, and the
// work queued after it still runs.
TEST(EventBoundary, QueuedWorkThatThrowsIsLoggedAndTheRestRuns)
{
    bool after = false;
    testing::internal::CaptureStderr();
    wxTheApp->CallAfter([] { throw std::runtime_error("queued failure"); });
    wxTheApp->CallAfter([&] { after = true; });
    EXPECT_TRUE(test::YieldUntil([&] { return after; }, 2s));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("queued failure"), std::string::npos) << log;
}

// Out of memory nothing may go on: the main loop ends (where the program's exit saves follow),
// also when it ran out in a handler.
TEST(EventBoundary, RunningOutOfMemoryEndsTheMainLoop)
{
    auto* frame = new wxFrame(nullptr, wxID_ANY, "boundary");
    frame->Bind(
        wxEVT_MENU, [](wxCommandEvent&) { throw std::bad_alloc(); }, 8);
    // Should the loop go on, this ends it and says so.
    bool wentOn = false;
    wxTimer guard;
    guard.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        wentOn = true;
        wxTheApp->ExitMainLoop();
    });
    guard.StartOnce(3000);
    wxTheApp->CallAfter([frame] {
        wxCommandEvent click(wxEVT_MENU, 8);
        frame->GetEventHandler()->ProcessEvent(click);
    });
    testing::internal::CaptureStderr();
    wxTheApp->OnRun();
    const std::string log = testing::internal::GetCapturedStderr();
    guard.Stop();
    EXPECT_FALSE(wentOn);
    EXPECT_NE(log.find("out of memory; Quillory ends"), std::string::npos) << log;
    frame->Destroy();
}

}  // namespace
}  // namespace ql
