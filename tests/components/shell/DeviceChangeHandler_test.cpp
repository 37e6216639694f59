#include <gtest/gtest.h>
#include <stdexcept>

#include "components/shell/DeviceChangeHandler.h"

using namespace ql::shellctl;

namespace {

// Stands for the GUI thread's queue: posted functions run when the test says so.
struct Queue {
    std::vector<std::function<void()>> pending;
    TSvDeviceChangeHandler::GuiPost Post()
    {
        return [this](std::function<void()> f) { pending.push_back(std::move(f)); };
    }
    void Run()
    {
        auto now = std::move(pending);
        pending.clear();
        for (auto& f : now)
            f();
    }
};

TEST(TSvDeviceChangeHandler, RelaysDeviceChangesToSubscribersInOrder)
{
    Queue queue;
    TSvDeviceChangeHandler handler(queue.Post(), false);
    std::vector<std::string> calls;
    int a = 0, b = 0;
    handler.AddHandler(&a, [&](TSvDeviceChangeHandler& sender, TMessage& m) {
        EXPECT_EQ(&sender, &handler);
        EXPECT_EQ(m.Msg, kDeviceChangeRelay);
        calls.push_back("a" + std::to_string(m.WParam));
    });
    handler.AddHandler(&b, [&](TSvDeviceChangeHandler&, TMessage&) { calls.push_back("b"); });

    EXPECT_EQ(handler.WindowProc(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 7), 0);
    EXPECT_TRUE(calls.empty());  // answered at once, subscribers run from the queue
    queue.Run();
    EXPECT_EQ(calls, (std::vector<std::string>{"a32768", "b"}));
    EXPECT_EQ(handler.WindowProc(WM_QUERYENDSESSION, 0, 0), 1);
    EXPECT_EQ(handler.WindowProc(0x1234, 0, 0), 0);
}

TEST(TSvDeviceChangeHandler, ExceptionsAndSubscribersLeavingMidway)
{
    Queue queue;
    TSvDeviceChangeHandler handler(queue.Post(), false);
    std::vector<std::string> calls, errors;
    handler.OnException = [&](const std::exception& e) { errors.push_back(e.what()); };
    int first = 0, second = 0, third = 0;
    handler.AddHandler(&first, [&](TSvDeviceChangeHandler& h, TMessage&) {
        calls.push_back("first");
        h.RemoveHandler(&second);  // its control is going away
        throw std::runtime_error("boom");
    });
    handler.AddHandler(&second, [&](TSvDeviceChangeHandler&, TMessage&) { calls.push_back("second"); });
    handler.AddHandler(&third, [&](TSvDeviceChangeHandler& h, TMessage&) {
        calls.push_back("third");
        h.AddHandler(&h, [&](TSvDeviceChangeHandler&, TMessage&) { calls.push_back("late"); });
    });
    handler.WindowProc(kDeviceChangeRelay, DBT_DEVICEREMOVECOMPLETE, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "third"}));
    EXPECT_EQ(errors, std::vector<std::string>{"boom"});
    EXPECT_EQ(handler.HandlerCount(), 3);

    // Without a receiver of its own, and for what is no std::exception, the failure is logged
    // and the others still run.
    handler.OnException = nullptr;
    handler.AddHandler(&calls, [](TSvDeviceChangeHandler&, TMessage&) { throw 7; });
    calls.clear();
    testing::internal::CaptureStderr();
    handler.WindowProc(kDeviceChangeRelay, DBT_DEVICEARRIVAL, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "quillory: device change: boom\nquillory: device change: unexpected failure\n");
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "third", "late"}));
}

TEST(TSvDeviceChangeHandler, RemovingAMethodAddedTwice)
{
    TSvDeviceChangeHandler handler(nullptr, false);
    int owner = 0, calls = 0;
    handler.AddHandler(&owner, [&](TSvDeviceChangeHandler&, TMessage&) { ++calls; });
    handler.AddHandler(&owner, [&](TSvDeviceChangeHandler&, TMessage&) { ++calls; });
    handler.RemoveHandler(&owner);
    handler.WindowProc(kDeviceChangeRelay, 0, 0);
    EXPECT_EQ(calls, 1);
    handler.RemoveHandler(&owner);
    handler.RemoveHandler(&owner);
    handler.WindowProc(kDeviceChangeRelay, 0, 0);
    EXPECT_EQ(calls, 1);
}

TEST(TSvDeviceChangeHandler, AQueuedRelayOutlivingItsHandlerDoesNothing)
{
    Queue queue;
    int calls = 0;
    {
        TSvDeviceChangeHandler handler(queue.Post(), true);  // with its watcher thread
        handler.AddHandler(&calls, [&](TSvDeviceChangeHandler&, TMessage&) { ++calls; });
        handler.WindowProc(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    }
    queue.Run();
    EXPECT_EQ(calls, 0);
}

TEST(DeviceChanges, ArrivalsAndRemovalsBetweenMountLists)
{
    auto events = VolumeChanges({"/media/u/A", "/mnt/b"}, {"/mnt/b", "/media/u/C"});
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].event, DBT_DEVICEARRIVAL);
    EXPECT_EQ(events[0].volume, "/media/u/C");
    EXPECT_EQ(events[1].event, DBT_DEVICEREMOVECOMPLETE);
    EXPECT_EQ(events[1].volume, "/media/u/A");
    EXPECT_TRUE(VolumeChanges({"/mnt/x"}, {"/mnt/x"}).empty());
}

}  // namespace
