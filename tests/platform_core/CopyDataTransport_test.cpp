#include "platform/core/CopyDataTransport.h"

#include "tests/support/TempDir.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace ql;

namespace {

// A raw connection to a server, for frames our sender would never produce.
class RawPeer {
public:
    explicit RawPeer(const std::string& path)
    {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr {};
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
            pollfd p {fd_, POLLIN, 0};
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
    std::atomic<int> calls {0};
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
    CopyDataServer server("TTestForm",
                          [&](const CopyDataMessage& m) {
                              handlerThread = std::this_thread::get_id();
                              return rec.handler(42)(m);
                          },
                          [&](std::function<void()> work) { gui = std::thread(std::move(work)); });
    ASSERT_TRUE(server.Listening()) << server.Error();
    EXPECT_EQ(server.SocketPath(), env.root().dir() + "runtime/quillory/wnd-TTestForm.sock");

    std::int64_t reply = 0;
    std::string text = "x\xE4\xB8\xAD" + std::string(300000, 'y');
    EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText(text, 3, 9), &reply), CopyDataResult::Delivered);
    EXPECT_EQ(reply, 42);
    ASSERT_TRUE(gui.joinable());
    EXPECT_EQ(handlerThread, gui.get_id());
    gui.join();
    EXPECT_EQ(rec.last.dwData, 3u);
    EXPECT_EQ(rec.last.wParam, 9u);
    EXPECT_EQ(rec.last.data, text + '\0');

    // Another class, or a name that would leave the runtime folder, finds no window.
    EXPECT_EQ(SendCopyDataMessage("TOther", CopyDataMessage::FromText("a", 0, 0)), CopyDataResult::NoReceiver);
    EXPECT_EQ(SendCopyDataMessage("../wnd-TTestForm", CopyDataMessage::FromText("a", 0, 0)), CopyDataResult::NoReceiver);
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
        sockaddr_un addr {};
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

TEST(CopyDataTransport, SilentReceiverTimesOutAsFailure)
{
    ql::test::ScopedXdgEnv env;
    std::mutex m;
    std::condition_variable cv;
    bool release = false;
    CopyDataServer server("TTestForm", [&](const CopyDataMessage&) -> std::int64_t {
        std::unique_lock<std::mutex> lock(m);
        cv.wait_for(lock, std::chrono::seconds(5), [&] { return release; });
        return 0;
    });
    ASSERT_TRUE(server.Listening());
    EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("a", 0, 0), nullptr, 200),
              CopyDataResult::Failed);
    {
        std::lock_guard<std::mutex> lock(m);
        release = true;
    }
    cv.notify_all();
}

TEST(CopyDataTransport, ClosingWhileThePostedWorkWaitsNeitherHangsNorBreaksTheLateWork)
{
    ql::test::ScopedXdgEnv env;
    Recorder rec;
    std::mutex m;
    std::condition_variable posted;
    std::function<void()> parked;  // posted, not yet run: the GUI thread is busy
    auto server = std::make_unique<CopyDataServer>("TTestForm", rec.handler(5), [&](std::function<void()> work) {
        std::lock_guard<std::mutex> lock(m);
        parked = std::move(work);
        posted.notify_all();
    });
    ASSERT_TRUE(server->Listening());
    std::thread sender([] {
        EXPECT_EQ(SendCopyDataMessage("TTestForm", CopyDataMessage::FromText("late", 0, 0), nullptr, 5000),
                  CopyDataResult::Failed);
    });
    {
        std::unique_lock<std::mutex> lock(m);
        ASSERT_TRUE(posted.wait_for(lock, std::chrono::seconds(5), [&] { return parked != nullptr; }));
    }
    auto before = std::chrono::steady_clock::now();
    server.reset();  // the window goes while its listening thread waits for the work
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    sender.join();
    parked();  // the GUI thread gets to it after all
    EXPECT_EQ(rec.calls, 1);
    EXPECT_EQ(rec.last.Text(), "late");
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
