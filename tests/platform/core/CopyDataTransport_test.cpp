#include "platform/core/CopyDataTransport.h"

#include "tests/support/TempDir.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace ql;

namespace {

// A raw connection to a server, for frames our sender would never produce.
class RawPeer {
public:
    explicit RawPeer(const std::string& path)
    {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    ~RawPeer() { ::close(fd_); }
    bool connected() const { return connected_; }
    bool send(const std::string& bytes)
    {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    void shutdownWrite() { ::shutdown(fd_, SHUT_WR); }
    // Everything the server sends until it closes (bounded by a deadline).
    std::string readUntilClosed()
    {
        std::string out;
        char buf[256];
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0)
                return out + "<timeout>";
            ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n <= 0)
                return out;
            out.append(buf, static_cast<size_t>(n));
        }
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

std::string header(std::uint32_t magic, std::uint32_t cbData)
{
    std::string h(20, '\0');
    for (int i = 0; i < 4; ++i) {
        h[static_cast<size_t>(i)] = static_cast<char>((magic >> (8 * i)) & 0xff);
        h[static_cast<size_t>(16 + i)] = static_cast<char>((cbData >> (8 * i)) & 0xff);
    }
    return h;
}

constexpr std::uint32_t kMagic = 0x44434C51;

struct Recorder {
    std::atomic<int> calls{0};
    CopyDataMessage last;
    CopyDataServer::Handler handler(std::int64_t result = 0)
    {
        return [this, result](const CopyDataMessage& m) {
            last = m;
            ++calls;
            return result;
        };
    }
};

TEST(CopyDataFrame, SizeLimitCountsTheNulAndTheReceiverReadsUpToTheFirstNul)
{
    EXPECT_FALSE(EncodeCopyDataFrame(CopyDataMessage::FromText(std::string(kCopyDataMaxBytes, 'x'), 0, 0)));
    EXPECT_TRUE(EncodeCopyDataFrame(CopyDataMessage::FromText(std::string(kCopyDataMaxBytes - 1, 'x'), 0, 0)));
    CopyDataMessage noNul;
    noNul.data = "abc";
    EXPECT_FALSE(EncodeCopyDataFrame(noNul));
    EXPECT_EQ(CopyDataMessage::FromText(std::string("a\0b", 3), 0, 0).Text(), "a");
}

TEST(CopyDataTransport, DeliversAndAnswersWithTheHandlersResult)
{
    ql::test::ScopedXdgEnv env;
    Recorder rec;
    // The handler runs on another thread than the listening one, as on a window's GUI thread.
    std::thread::id handlerThread;
    std::thread gui;
    CopyDataServer server(
        "TTestForm",
        [&](const CopyDataMessage& m) {
            handlerThread = std::this_thread::get_id();
            return rec.handler(42)(m);
        },
        [&](std::function<void()> work) { gui = std::thread(std::move(work)); });
    ASSERT_TRUE(server.Listening()) << server.Error();
    EXPECT_EQ(server.SocketPath(), env.root().dir() + "runtime/quillory/wnd-TTestForm.sock");

    std::int64_t reply = 0;
    std::string text = "x\xE4\xB8\xAD" + std::string(300000, 'y');
    EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText(text, 3, 9), &reply),
              CopyDataResult::Delivered);
    EXPECT_EQ(reply, 42);
    ASSERT_TRUE(gui.joinable());
    EXPECT_EQ(handlerThread, gui.get_id());
    gui.join();
    EXPECT_EQ(rec.last.dwData, 3u);
    EXPECT_EQ(rec.last.wParam, 9u);
    EXPECT_EQ(rec.last.data, text + '\0');

    // Another class, or a name that would leave the runtime folder, finds no window.
    EXPECT_EQ(SendCopyDataMessage("TOther", CopyDataMessage::FromText("a", 0, 0)), CopyDataResult::NoReceiver);
    EXPECT_EQ(SendCopyDataMessage("../wnd-TTestForm", CopyDataMessage::FromText("a", 0, 0)),
              CopyDataResult::NoReceiver);
    EXPECT_EQ(rec.calls, 1);
}

TEST(CopyDataTransport, MalformedFramesAreDroppedAndTheServerGoesOn)
{
    ql::test::ScopedXdgEnv env;
    Recorder rec;
    CopyDataServer server("TTestForm", rec.handler(1));
    ASSERT_TRUE(server.Listening());

    {  // too large: refused from the header, nothing read or handled
        RawPeer p(server.SocketPath());
        ASSERT_TRUE(p.connected());
        EXPECT_TRUE(p.send(header(kMagic, kCopyDataMaxBytes + 1)));
        EXPECT_EQ(p.readUntilClosed(), "");
    }
    {  // no terminating NUL
        RawPeer p(server.SocketPath());
        EXPECT_TRUE(p.send(header(kMagic, 3) + "abc"));
        EXPECT_EQ(p.readUntilClosed(), "");
    }
    {  // wrong magic
        RawPeer p(server.SocketPath());
        EXPECT_TRUE(p.send(header(0x01020304, 1) + std::string(1, '\0')));
        EXPECT_EQ(p.readUntilClosed(), "");
    }
    {  // shorter than announced, then the peer gives up
        RawPeer p(server.SocketPath());
        EXPECT_TRUE(p.send(header(kMagic, 100) + "only a few"));
        p.shutdownWrite();
        EXPECT_EQ(p.readUntilClosed(), "");
    }
    EXPECT_EQ(rec.calls, 0);
    // A sender's oversized text is refused before anything is sent.
    EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText(std::string(kCopyDataMaxBytes, 'x'), 0, 0)),
              CopyDataResult::Failed);
    EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("fine", 0, 0)), CopyDataResult::Delivered);
    EXPECT_EQ(rec.calls, 1);
}

TEST(CopyDataTransport, StaleSocketCountsAsNoWindowAndIsReplaced)
{
    ql::test::ScopedXdgEnv env;
    std::string path = CopyDataSocketPath("TTestForm");
    ASSERT_FALSE(path.empty());
    {
        // A socket bound and closed without removal: what a crashed program leaves.
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::close(fd);
    }
    ASSERT_TRUE(fs::exists(path));
    EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("a", 0, 0)), CopyDataResult::NoReceiver);

    Recorder rec;
    {
        CopyDataServer server("TTestForm", rec.handler());
        ASSERT_TRUE(server.Listening()) << server.Error();
        // A second live window of the same class does not steal the first one's socket.
        CopyDataServer second("TTestForm", rec.handler());
        EXPECT_FALSE(second.Listening());
        EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("a", 0, 0)), CopyDataResult::Delivered);
    }
    EXPECT_FALSE(fs::exists(path));  // removed when the window goes
    EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("a", 0, 0)), CopyDataResult::NoReceiver);
}

// The socket removed by someone else (a cleaner of old files, a user emptying the runtime
// folder): the server sees it, a new one listens there again, and the old one, going, leaves the
// new one's socket alone.
TEST(CopyDataTransport, ASocketRemovedFromUnderItsServerIsNoticed)
{
    ql::test::ScopedXdgEnv env;
    Recorder rec;
    auto first = std::make_unique<CopyDataServer>("TTestForm", rec.handler());
    ASSERT_TRUE(first->SocketInPlace());
    fs::remove(first->SocketPath());
    EXPECT_FALSE(first->SocketInPlace());
    EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("a", 0, 0)), CopyDataResult::NoReceiver);
    CopyDataServer again("TTestForm", rec.handler());
    ASSERT_TRUE(again.SocketInPlace());
    first.reset();
    EXPECT_TRUE(again.SocketInPlace());
    EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("a", 0, 0)), CopyDataResult::Delivered);
}

// Work posted to an owner's thread that is busy: parked until the test runs it.
class ParkingPoster {
public:
    CopyDataServer::Poster poster()
    {
        return [this](std::function<void()> work) {
            std::lock_guard<std::mutex> lock(m_);
            parked_.push_back(std::move(work));
            changed_.notify_all();
        };
    }
    bool waitForParked(size_t count, std::chrono::milliseconds atMost = std::chrono::seconds(5))
    {
        std::unique_lock<std::mutex> lock(m_);
        return changed_.wait_for(lock, atMost, [&] { return parked_.size() >= count; });
    }
    // Runs what is parked (the owner's thread gets to it), in the order it was posted.
    void runParked()
    {
        std::vector<std::function<void()>> works;
        {
            std::lock_guard<std::mutex> lock(m_);
            works.swap(parked_);
        }
        for (auto& w : works)
            w();
    }

private:
    std::mutex m_;
    std::condition_variable changed_;
    std::vector<std::function<void()>> parked_;
};

// "Failed" must mean "not handled": a sender that reports failure goes on to deliver the clip
// another way, so a message handled later as well would arrive twice.
TEST(CopyDataTransport, AMessageItsSenderGaveUpOnIsNeverHandledLater)
{
    ql::test::ScopedXdgEnv env;
    Recorder rec;
    std::vector<std::string> texts;
    ParkingPoster gui;
    CopyDataServer server(
        "TTestForm",
        [&](const CopyDataMessage& m) {
            texts.push_back(m.Text());
            return rec.handler(5)(m);
        },
        gui.poster());
    ASSERT_TRUE(server.Listening());

    // The owner's thread is busy: the sender gives up, promptly told the message was dropped.
    auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("dropped", 0, 0), nullptr, 200),
              CopyDataResult::Failed);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(3));
    ASSERT_TRUE(gui.waitForParked(1));

    // One sender waits long enough; another, queued behind it, gives up before it is read.
    std::int64_t reply = 0;
    std::jthread patient([&] {
        EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("patient", 0, 0), &reply, 5000),
                  CopyDataResult::Delivered);
    });
    ASSERT_TRUE(gui.waitForParked(2));
    EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("queued", 0, 0), nullptr, 200),
              CopyDataResult::Failed);
    gui.runParked();  // the owner's thread gets to the dropped work and the patient one
    patient.join();
    EXPECT_EQ(reply, 5);

    // The queued message is read only now; whatever is posted for it does nothing either.
    std::atomic<bool> lastDone{false};
    std::jthread last([&] {
        EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("last", 0, 0), nullptr, 5000),
                  CopyDataResult::Delivered);
        lastDone = true;
    });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!lastDone && std::chrono::steady_clock::now() < deadline) {
        gui.waitForParked(1, std::chrono::milliseconds(50));
        gui.runParked();
    }
    last.join();
    EXPECT_EQ(texts, (std::vector<std::string>{"patient", "last"}));
}

TEST(CopyDataTransport, AHandlerAlreadyRunningWhenTheSenderGivesUpIsAnsweredAfterAll)
{
    ql::test::ScopedXdgEnv env;
    std::mutex m;
    std::condition_variable never;
    // Runs on the listening thread at once, outlasts the sender's first wait, not its second.
    CopyDataServer server("TTestForm", [&](const CopyDataMessage&) -> std::int64_t {
        std::unique_lock<std::mutex> lock(m);
        never.wait_for(lock, std::chrono::milliseconds(600), [] { return false; });
        return 7;
    });
    ASSERT_TRUE(server.Listening());
    std::int64_t reply = 0;
    auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("a", 0, 0), &reply, 400),
              CopyDataResult::Delivered);
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(400));
    EXPECT_EQ(reply, 7);
}

TEST(CopyDataTransport, ClosingWhileThePostedWorkWaitsNeitherHangsNorHandlesTheMessageLater)
{
    ql::test::ScopedXdgEnv env;
    Recorder rec;
    ParkingPoster gui;
    auto server = std::make_unique<CopyDataServer>("TTestForm", rec.handler(5), gui.poster());
    ASSERT_TRUE(server->Listening());
    std::jthread sender([] {
        EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("late", 0, 0), nullptr, 5000),
                  CopyDataResult::Failed);
    });
    ASSERT_TRUE(gui.waitForParked(1));
    auto before = std::chrono::steady_clock::now();
    server.reset();  // the window goes while its listening thread waits for the work
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    sender.join();
    gui.runParked();  // the GUI thread gets to it after all: the sender was told it failed
    EXPECT_EQ(rec.calls, 0);

    // A handler that has started when its window goes still answers its sender.
    std::mutex m;
    std::condition_variable cv;
    bool started = false, release = false;
    std::jthread guiThread;
    server = std::make_unique<CopyDataServer>(
        "TTestForm",
        [&](const CopyDataMessage&) -> std::int64_t {
            std::unique_lock<std::mutex> lock(m);
            started = true;
            cv.notify_all();
            cv.wait_for(lock, std::chrono::seconds(5), [&] { return release; });
            return 9;
        },
        [&](std::function<void()> work) { guiThread = std::jthread(std::move(work)); });
    ASSERT_TRUE(server->Listening());
    std::int64_t reply = 0;
    std::jthread second([&] {
        EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("running", 0, 0), &reply, 5000),
                  CopyDataResult::Delivered);
    });
    {
        std::unique_lock<std::mutex> lock(m);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(5), [&] { return started; }));
    }
    server.reset();
    {
        std::lock_guard<std::mutex> lock(m);
        release = true;
    }
    cv.notify_all();
    second.join();
    guiThread.join();
    EXPECT_EQ(reply, 9);
}

TEST(CopyDataTransport, RefusesPeersOfAnotherUser)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    ql::test::ScopedXdgEnv env;
    Recorder rec;
    CopyDataServer server("TTestForm", rec.handler());
    ASSERT_TRUE(server.Listening());
    // Open the way to the socket for everyone, so that only the credential check stands.
    for (auto p : {env.root().path(), env.root().path() / "runtime", env.root().path() / "runtime/quillory"})
        fs::permissions(p, fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
    fs::permissions(server.SocketPath(), fs::perms::all);

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            _exit(2);
        RawPeer p(server.SocketPath());
        if (!p.connected())
            _exit(3);
        auto frame = EncodeCopyDataFrame(CopyDataMessage::FromText("intruder", 0, 0));
        p.send(*frame);  // may already fail: the server hangs up at once
        _exit(p.readUntilClosed().empty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(rec.calls, 0);
}

}  // namespace

namespace {

// Peers that connect and then say nothing, or send half a frame, or trickle theirs, hold only
// their own connection: a normal sender meanwhile is answered at once.
TEST(CopyDataTransport, StalledPeersNeverDelayOthers)
{
    ql::test::ScopedXdgEnv env;
    Recorder rec;
    std::vector<std::jthread> gui;
    std::mutex guiMutex;
    CopyDataServer server("TTestForm", rec.handler(3), [&](std::function<void()> work) {
        std::lock_guard<std::mutex> lock(guiMutex);
        gui.emplace_back(std::move(work));
    });
    ASSERT_TRUE(server.Listening());

    RawPeer silent1(server.SocketPath()), silent2(server.SocketPath()), half(server.SocketPath()),
        trickle(server.SocketPath());
    ASSERT_TRUE(silent1.connected() && silent2.connected() && half.connected() && trickle.connected());
    ASSERT_TRUE(half.send(header(kMagic, 100000).substr(0, 12)));
    const std::string frame = *EncodeCopyDataFrame(CopyDataMessage::FromText("slowly", 1, 0));
    ASSERT_TRUE(trickle.send(frame.substr(0, 5)));

    std::int64_t reply = 0;
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("normal", 2, 0), &reply, 2000),
              CopyDataResult::Delivered);
    const auto latency = std::chrono::steady_clock::now() - before;
    EXPECT_EQ(reply, 3);
    EXPECT_LT(latency, std::chrono::milliseconds(1000));
    std::cout << "[          ] receiver latency with four stalled peers: "
              << std::chrono::duration_cast<std::chrono::microseconds>(latency).count() / 1000.0 << " ms\n";

    // The trickling peer's frame still arrives whole and is handled.
    ASSERT_TRUE(trickle.send(frame.substr(5)));
    std::string answer = trickle.readUntilClosed();
    EXPECT_EQ(answer, EncodeCopyDataReply(3));
    EXPECT_EQ(rec.last.Text(), "slowly");
    EXPECT_EQ(rec.calls, 2);
    std::lock_guard<std::mutex> lock(guiMutex);
    gui.clear();
}

}  // namespace

namespace {

// A connection that stays silent; made without blocking, so a server that never accepts it
// shows as a failure instead of a hang.
int ConnectIdle(const std::string& path, std::chrono::steady_clock::time_point deadline)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    for (;;) {
        int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0)
            return fd;
        ::close(fd);
        if (errno != EAGAIN || std::chrono::steady_clock::now() > deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// A full table gives up its idle peers for new ones, and the backlog is taken at once: with a
// hundred silent connections open a sender is answered within a second.
TEST(CopyDataTransport, IdlePeersNeverKeepASenderOut)
{
    ql::test::ScopedXdgEnv env;
    Recorder rec;
    CopyDataServer server("TTestForm", rec.handler(5));
    ASSERT_TRUE(server.Listening());
    std::vector<int> idle;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (int i = 0; i < 100; ++i)
        idle.push_back(ConnectIdle(server.SocketPath(), deadline));
    EXPECT_EQ(std::count(idle.begin(), idle.end(), -1), 0);

    std::int64_t reply = 0;
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("through", 0, 0), &reply, 2000),
              CopyDataResult::Delivered);
    const auto latency = std::chrono::steady_clock::now() - before;
    EXPECT_EQ(reply, 5);
    EXPECT_LT(latency, std::chrono::milliseconds(1000));
    std::cout << "[          ] hand-over latency with 100 idle peers: "
              << std::chrono::duration_cast<std::chrono::microseconds>(latency).count() / 1000.0 << " ms\n";
    for (int fd : idle)
        if (fd >= 0)
            ::close(fd);
}

// The size limit is applied to the header: an oversized frame is refused at once, not after
// the server's read timeout. A frame is read no further than it announces: bytes after it
// are not its own.
TEST(CopyDataTransport, FramesAreBoundedByTheirHeader)
{
    ql::test::ScopedXdgEnv env;
    Recorder rec;
    CopyDataServer server("TTestForm", rec.handler(7));
    ASSERT_TRUE(server.Listening());
    {
        RawPeer p(server.SocketPath());
        ASSERT_TRUE(p.send(header(kMagic, kCopyDataMaxBytes + 1) + std::string(4096, 'x')));
        const auto before = std::chrono::steady_clock::now();
        EXPECT_EQ(p.readUntilClosed(), "");
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
    }
    {
        RawPeer p(server.SocketPath());
        const std::string frame = *EncodeCopyDataFrame(CopyDataMessage::FromText("own", 0, 0));
        ASSERT_TRUE(p.send(frame + *EncodeCopyDataFrame(CopyDataMessage::FromText("extra", 0, 0)) + "trailing"));
        EXPECT_EQ(p.readUntilClosed(), EncodeCopyDataReply(7));
    }
    EXPECT_EQ(rec.calls, 1);
    EXPECT_EQ(rec.last.data, std::string("own\0", 4));
}

}  // namespace
