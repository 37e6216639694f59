// The watch of top-level windows runs its callbacks inside the toolkit's signal emission: one
// that throws is logged where it happened, and the watches go on.
#include "platform/gui/ToplevelWatch_wx.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/YieldUntil.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

#include <stdexcept>

namespace ql::web {
namespace {

using namespace std::chrono_literals;

TEST(ToplevelWatch, ACallbackThatThrowsIsLoggedAndTheWatchGoesOn)
{
    ToplevelWatch failing, other;
    int shown = 0, seen = 0;
    failing.OnShown = [&](GtkWindow*) {
        ++shown;
        throw std::runtime_error("a watcher's failure");
    };
    other.OnShown = [&](GtkWindow*) { ++seen; };
    testing::internal::CaptureStderr();
    test::OwnedFrame<> first(new wxFrame(nullptr, wxID_ANY, "first"));
    first->Show();
    EXPECT_TRUE(test::YieldUntil([&] { return shown >= 1 && seen >= 1; }, 5s));
    test::OwnedFrame<> second(new wxFrame(nullptr, wxID_ANY, "second"));
    second->Show();
    EXPECT_TRUE(test::YieldUntil([&] { return shown >= 2 && seen >= 2; }, 5s));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("quillory: window watch: a watcher's failure\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace ql::web
