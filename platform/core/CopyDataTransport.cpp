#include "platform/core/CopyDataTransport.h"

#include "platform/core/RuntimeDir.h"

#include <cerrno>
#include <chrono>
#include <mutex>
#include <optional>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace ql {

namespace {

using Clock = std::chrono::steady_clock;

// A slow or silent peer cannot hold the listening thread longer than this.
constexpr int kServerReadTimeoutMs = 5000;
// Nor can posted work that the owner's thread does not get to.
constexpr int kServerHandleTimeoutMs = 30000;

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

// One received message whose handler has not run yet; shared by the listening thread and the
// work handed to the owner. Whoever settles it first decides: the work by starting the handler
// (it then replies itself), the listening thread by dropping it unhandled (the sender gave up,
// the server stops, or the owner never got to it). Either way the sender learns the truth:
// a reply means the handler ran, a close without one means it never will.
struct PendingMessage {
    std::mutex mutex;
    bool settled = false;
    Fd conn;     // the sender's connection; after settling only the settler uses it
    Fd settledEvent;  // eventfd the work signals once it has settled the message
};

int remainingMs(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

bool validClassName(const std::string& name)
{
    if (name.empty() || name.size() > 64)
        return false;
    for (char c : name) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                  c == '-' || c == '.';
        if (!ok)
            return false;
    }
    return name != "." && name != "..";
}

bool makeAddress(const std::string& path, sockaddr_un& addr)
{
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Waits until `fd` is ready for `events`; false on timeout, error, or when `wake` fires first.
bool waitReady(int fd, short events, Clock::time_point deadline, int wake = -1)
{
    for (;;) {
        pollfd fds[2] = {{fd, events, 0}, {wake, POLLIN, 0}};
        int rc = ::poll(fds, wake >= 0 ? 2 : 1, remainingMs(deadline));
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc <= 0)
            return false;
        if (wake >= 0 && (fds[1].revents & POLLIN))
            return false;
        return (fds[0].revents & (events | POLLHUP | POLLERR)) != 0;
    }
}

// Reads until `got` reaches `n`; `got` keeps what arrived, so a caller may go on reading later.
bool readFull(int fd, char* buf, size_t n, size_t& got, Clock::time_point deadline, int wake = -1)
{
    while (got < n) {
        if (!waitReady(fd, POLLIN, deadline, wake))
            return false;
        ssize_t r = ::recv(fd, buf + got, n - got, 0);
        if (r < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (r <= 0)
            return false;
        got += static_cast<size_t>(r);
    }
    return true;
}

bool readFull(int fd, char* buf, size_t n, Clock::time_point deadline, int wake = -1)
{
    size_t got = 0;
    return readFull(fd, buf, n, got, deadline, wake);
}

// True when the peer has shut down its sending side or is gone: a sender that gave up waiting.
bool peerGaveUp(int fd)
{
    pollfd p {fd, POLLRDHUP, 0};
    int rc;
    do {
        rc = ::poll(&p, 1, 0);
    } while (rc < 0 && errno == EINTR);
    return rc != 0 && (rc < 0 || (p.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0);
}

void signalEvent(int fd)
{
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(fd, &one, sizeof one);
}

bool writeFull(int fd, const std::string& bytes, Clock::time_point deadline)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        if (!waitReady(fd, POLLOUT, deadline))
            return false;
        ssize_t r = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (r < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (r <= 0)
            return false;
        sent += static_cast<size_t>(r);
    }
    return true;
}

// True when a server accepts connections at `path` (a live window of that class).
bool someoneListens(const sockaddr_un& addr)
{
    Fd probe(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (probe.get() < 0)
        return false;
    int rc = ::connect(probe.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    return rc == 0 || errno == EAGAIN || errno == EINPROGRESS;
}

}  // namespace

std::string CopyDataSocketPath(const std::string& className)
{
    if (!validClassName(className))
        return "";
    std::string dir = RuntimeDir();
    if (dir.empty())
        return "";
    return dir + "wnd-" + className + ".sock";
}

struct CopyDataServer::Impl {
    std::string path;
    std::string error;
    Handler handler;
    Poster poster;
    Fd listenFd;
    Fd wakeFd;
    ino_t socketIno = 0;
    dev_t socketDev = 0;
    std::thread thread;

    bool start()
    {
        sockaddr_un addr;
        if (path.empty() || !makeAddress(path, addr)) {
            error = "no usable socket path for this window class";
            return false;
        }
        listenFd.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        wakeFd.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
        if (listenFd.get() < 0 || wakeFd.get() < 0) {
            error = std::string("cannot create a socket: ") + std::strerror(errno);
            return false;
        }
        if (::bind(listenFd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            if (errno != EADDRINUSE) {
                error = "cannot bind " + path + ": " + std::strerror(errno);
                return false;
            }
            if (someoneListens(addr)) {
                error = "a window of this class already listens at " + path;
                return false;
            }
            // Stale: left by a program that ended without removing it.
            ::unlink(path.c_str());
            if (::bind(listenFd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
                error = "cannot bind " + path + ": " + std::strerror(errno);
                return false;
            }
        }
        if (::listen(listenFd.get(), 16) != 0) {
            error = "cannot listen at " + path + ": " + std::strerror(errno);
            ::unlink(path.c_str());
            return false;
        }
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0) {
            socketIno = st.st_ino;
            socketDev = st.st_dev;
        }
        thread = std::thread([this] { run(); });
        return true;
    }

    void run()
    {
        for (;;) {
            pollfd fds[2] = {{listenFd.get(), POLLIN, 0}, {wakeFd.get(), POLLIN, 0}};
            int rc = ::poll(fds, 2, -1);
            if (rc < 0 && errno == EINTR)
                continue;
            if (rc < 0 || (fds[1].revents & POLLIN))
                return;
            if (!(fds[0].revents & POLLIN))
                continue;
            int conn = ::accept4(listenFd.get(), nullptr, nullptr, SOCK_CLOEXEC);
            if (conn >= 0)
                serve(conn);
        }
    }

    // One message per connection; anything malformed closes the connection without a reply.
    void serve(int fd)
    {
        auto pending = std::make_shared<PendingMessage>();
        pending->conn.reset(fd);
        ucred cred {};
        socklen_t len = sizeof cred;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.uid != ::geteuid())
            return;
        auto deadline = Clock::now() + std::chrono::milliseconds(kServerReadTimeoutMs);
        char header[kCopyDataHeaderSize];
        if (!readFull(fd, header, sizeof header, deadline, wakeFd.get()))
            return;
        CopyDataMessage msg;
        auto cbData = DecodeCopyDataHeader(header, msg, nullptr);
        if (!cbData)
            return;
        msg.data.resize(*cbData);
        if (!readFull(fd, msg.data.data(), msg.data.size(), deadline, wakeFd.get()) || !CopyDataBodyValid(msg.data))
            return;
        pending->settledEvent.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
        if (pending->settledEvent.get() < 0)
            return;
        auto work = [pending, h = handler, msg = std::move(msg)] { runHandler(*pending, h, msg); };
        if (!poster) {
            work();
            return;
        }
        // Our own handle on the connection, to watch for a sender that gives up while the
        // work's copy may be closed at any time.
        Fd watch(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
        if (watch.get() < 0 || stopRequested())
            return;
        try {
            poster(std::move(work));
        } catch (...) {
            return;
        }
        waitUntilSettled(*pending, watch.get());
    }

    // Runs where the poster put it: starts the handler unless the message was dropped or its
    // sender has given up meanwhile, and answers with the result.
    static void runHandler(PendingMessage& pending, const Handler& handler, const CopyDataMessage& msg)
    {
        {
            std::lock_guard<std::mutex> lock(pending.mutex);
            if (pending.settled)
                return;
            pending.settled = true;
            bool gaveUp = peerGaveUp(pending.conn.get());
            if (gaveUp)
                pending.conn.reset();
            signalEvent(pending.settledEvent.get());
            if (gaveUp)
                return;
        }
        std::optional<std::int64_t> result;
        try {
            result = handler(msg);
        } catch (...) {
        }
        if (result) {
            // Twelve bytes on a connection nothing else was sent on: they fit without waiting.
            std::string reply = EncodeCopyDataReply(*result);
            [[maybe_unused]] ssize_t n =
                ::send(pending.conn.get(), reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        pending.conn.reset();
    }

    // Waits for the work to settle the message; drops it when the sender gives up first, the
    // server stops, or the owner does not get to it in time.
    void waitUntilSettled(PendingMessage& pending, int watch)
    {
        auto deadline = Clock::now() + std::chrono::milliseconds(kServerHandleTimeoutMs);
        for (;;) {
            pollfd fds[3] = {{pending.settledEvent.get(), POLLIN, 0}, {watch, POLLRDHUP, 0}, {wakeFd.get(), POLLIN, 0}};
            int rc = ::poll(fds, 3, remainingMs(deadline));
            if (rc < 0 && errno == EINTR)
                continue;
            break;  // settled, given up, stopping, timed out or failed: settle below if still open
        }
        std::lock_guard<std::mutex> lock(pending.mutex);
        if (!pending.settled) {
            pending.settled = true;
            pending.conn.reset();
        }
    }

    bool stopRequested() const
    {
        pollfd p {wakeFd.get(), POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }

    void stop()
    {
        if (thread.joinable()) {
            // Wakes the listening thread wherever it waits; the eventfd stays readable.
            signalEvent(wakeFd.get());
            thread.join();
        }
        if (socketIno != 0) {
            // Remove the socket only while it is still ours.
            struct stat st {};
            if (::lstat(path.c_str(), &st) == 0 && st.st_ino == socketIno && st.st_dev == socketDev)
                ::unlink(path.c_str());
        }
    }
};

CopyDataServer::CopyDataServer(std::string className, Handler handler, Poster poster) : d_(std::make_unique<Impl>())
{
    d_->path = CopyDataSocketPath(className);
    d_->handler = std::move(handler);
    d_->poster = std::move(poster);
    if (!d_->start()) {
        d_->listenFd.reset();
        d_->socketIno = 0;
    }
}

CopyDataServer::~CopyDataServer() { d_->stop(); }

bool CopyDataServer::Listening() const { return d_->thread.joinable(); }

const std::string& CopyDataServer::Error() const { return d_->error; }

const std::string& CopyDataServer::SocketPath() const { return d_->path; }

CopyDataResult SendCopyDataMessage(const std::string& className, const CopyDataMessage& msg, std::int64_t* reply,
                                   int timeoutMs)
{
    auto frame = EncodeCopyDataFrame(msg);
    if (!frame)
        return CopyDataResult::Failed;
    std::string path = CopyDataSocketPath(className);
    sockaddr_un addr;
    if (!makeAddress(path, addr))
        return CopyDataResult::NoReceiver;
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);

    Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd.get() < 0)
        return CopyDataResult::Failed;
    for (;;) {
        if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0)
            break;
        if (errno == EINTR)
            continue;
        if (errno == ENOENT || errno == ECONNREFUSED || errno == ENOTDIR)
            return CopyDataResult::NoReceiver;
        if (errno != EAGAIN)
            return CopyDataResult::Failed;
        // The receiver's backlog is full: it is busy; try again until the deadline.
        if (remainingMs(deadline) == 0)
            return CopyDataResult::Failed;
        timespec pause {0, 10 * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
    if (!writeFull(fd.get(), *frame, deadline))
        return CopyDataResult::Failed;
    std::string answer(kCopyDataReplySize, '\0');
    size_t got = 0;
    if (!readFull(fd.get(), answer.data(), answer.size(), got, deadline)) {
        // Tell the receiver we give up and hear its last word: a message whose handler has not
        // started is dropped (the connection closes), one already being handled is answered.
        // So a failure means the handler does not run, and a caller may try another way.
        ::shutdown(fd.get(), SHUT_WR);
        auto grace = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
        if (!readFull(fd.get(), answer.data(), answer.size(), got, grace))
            return CopyDataResult::Failed;
    }
    auto result = DecodeCopyDataReply(answer);
    if (!result)
        return CopyDataResult::Failed;
    if (reply)
        *reply = *result;
    return CopyDataResult::Delivered;
}

}  // namespace ql
