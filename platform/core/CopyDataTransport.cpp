#include "platform/core/CopyDataTransport.h"

#include "platform/core/ErrorLog.h"
#include "platform/core/RuntimeDir.h"
#include "platform/core/UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace ql {

namespace {

using Clock = std::chrono::steady_clock;

// A slow or silent peer is given up after this.
constexpr int kServerReadTimeoutMs = 5000;
// Peers served at once. A full table makes room by dropping its idle peers first; only while
// every place holds a message waiting for its handler do new peers wait in the backlog.
constexpr size_t kMaxConnections = 64;
// Nor can posted work that the owner's thread does not get to.
constexpr int kServerHandleTimeoutMs = 30000;

using Fd = UniqueFd;

// One received message whose handler has not run yet; shared by the listening thread and the
// work handed to the owner. Whoever settles it first decides: the work by starting the handler
// (it then replies itself), the listening thread by dropping it unhandled (the sender gave up,
// the server stops, or the owner never got to it). Either way the sender learns the truth:
// a reply means the handler ran, a close without one means it never will.
struct PendingMessage {
    std::mutex mutex;
    bool settled = false;
    Fd conn;          // the sender's connection; after settling only the settler uses it
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
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
                  c == '.';
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

// True when the peer has shut down its sending side or is gone: a sender that gave up waiting.
bool peerGaveUp(int fd)
{
    pollfd p{fd, POLLRDHUP, 0};
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

std::string CopyDataSocketPath(const std::string& className, std::string* error)
{
    auto refuse = [&](const std::string& why) {
        if (error)
            *error = why;
        return std::string();
    };
    if (!validClassName(className))
        return refuse("\"" + className + "\" is no usable window class name");
    std::string why;
    std::string dir = RuntimeDir(&why);
    if (dir.empty())
        return refuse(why);
    std::string path = dir + "wnd-" + className + ".sock";
    if (path.size() >= sizeof(sockaddr_un::sun_path))
        return refuse("the socket path " + path + " is " + std::to_string(path.size()) + " bytes long, more than the " +
                      std::to_string(sizeof(sockaddr_un::sun_path) - 1) +
                      " a socket address holds: the runtime folder " + dir +
                      " lies too deep (set XDG_RUNTIME_DIR to a shorter one)");
    return path;
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
            if (error.empty())
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
        if (::listen(listenFd.get(), SOMAXCONN) != 0) {
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

    // One connection from accept to its end: first its frame is read, then (with a poster) the
    // posted work is waited for. Connections are served side by side, so a slow or silent peer
    // only ever uses up its own time.
    struct Connection {
        Fd fd;  // while reading; then the work's copy in `pending` takes over
        Clock::time_point deadline;
        char header[kCopyDataHeaderSize]{};
        size_t headerGot = 0;
        std::optional<std::uint32_t> cbData;
        CopyDataMessage msg;
        std::shared_ptr<PendingMessage> pending;  // set once posted
        Fd watch;                                 // our own handle on the posted connection, to see a sender give up
    };

    void run()
    {
        std::vector<std::unique_ptr<Connection>> conns;
        std::vector<pollfd> fds;
        for (;;) {
            fds.clear();
            fds.push_back({wakeFd.get(), POLLIN, 0});
            // A house full of handled messages leaves new peers in the backlog until a place is free.
            fds.push_back({roomFor(conns) ? listenFd.get() : -1, POLLIN, 0});
            auto nextDeadline = Clock::time_point::max();
            for (const auto& c : conns) {
                if (c->pending) {
                    fds.push_back({c->pending->settledEvent.get(), POLLIN, 0});
                    fds.push_back({c->watch.get(), POLLRDHUP, 0});
                } else {
                    fds.push_back({c->fd.get(), POLLIN, 0});
                    fds.push_back({-1, 0, 0});
                }
                nextDeadline = std::min(nextDeadline, c->deadline);
            }
            const int timeout = nextDeadline == Clock::time_point::max() ? -1 : remainingMs(nextDeadline);
            int rc = ::poll(fds.data(), fds.size(), timeout);
            if (rc < 0 && errno != EINTR)
                break;
            if (rc > 0 && (fds[0].revents & POLLIN))
                break;
            const auto now = Clock::now();
            for (size_t i = 0; i < conns.size(); ++i) {
                Connection& c = *conns[i];
                const pollfd& a = fds[2 + 2 * i];
                const pollfd& b = fds[3 + 2 * i];
                bool done;
                if (c.pending)
                    done = a.revents != 0 || b.revents != 0 || now >= c.deadline;
                else
                    done = (a.revents != 0 && !readSome(c)) || (!c.pending && now >= c.deadline);
                if (done) {
                    drop(c);
                    conns[i].reset();
                }
            }
            std::erase(conns, nullptr);
            if (rc > 0 && (fds[1].revents & POLLIN))
                acceptAll(conns);
        }
        for (auto& c : conns)
            drop(*c);
    }

    using Connections = std::vector<std::unique_ptr<Connection>>;

    // The connection a full table gives up for a new peer: the one idle longest (nothing
    // received yet), else the one reading longest; never one whose message waits for its handler.
    static Connections::iterator evictable(Connections& conns)
    {
        auto it = std::find_if(conns.begin(), conns.end(),
                               [](const auto& c) { return !c->pending && c->headerGot == 0; });
        if (it == conns.end())
            it = std::find_if(conns.begin(), conns.end(), [](const auto& c) { return !c->pending; });
        return it;
    }

    static bool roomFor(Connections& conns)
    {
        return conns.size() < kMaxConnections || evictable(conns) != conns.end();
    }

    // Takes every peer waiting in the backlog, so a sender never queues behind idle ones.
    void acceptAll(Connections& conns)
    {
        while (roomFor(conns)) {
            int fd = ::accept4(listenFd.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd < 0)
                return;  // drained (or failing: the next poll tells)
            auto c = std::make_unique<Connection>();
            c->fd.reset(fd);
            ucred cred{};
            socklen_t len = sizeof cred;
            if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.uid != ::geteuid())
                continue;
            if (conns.size() >= kMaxConnections) {
                auto victim = evictable(conns);
                drop(**victim);
                conns.erase(victim);
            }
            c->deadline = Clock::now() + std::chrono::milliseconds(kServerReadTimeoutMs);
            // A sender's frame is normally there already: read now, it no longer counts as idle.
            const bool open = readSome(*c);
            if (open)
                conns.push_back(std::move(c));
            else
                drop(*c);
        }
    }

    // Reads what has arrived. False when the connection is finished: malformed, closed, handled
    // on this thread, or not to be posted. Anything malformed closes it without a reply.
    bool readSome(Connection& c)
    {
        for (;;) {
            // The body grows as it arrives: a peer that only announces a large frame costs nothing.
            char buf[65536];
            const bool inHeader = c.headerGot < sizeof c.header;
            char* into = inHeader ? c.header + c.headerGot : buf;
            const size_t want = inHeader ? sizeof c.header - c.headerGot
                                         : std::min(sizeof buf, *c.cbData - c.msg.data.size());
            ssize_t r = ::recv(c.fd.get(), into, want, 0);
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0 && errno == EAGAIN)
                return true;
            if (r <= 0)
                return false;
            if (!inHeader) {
                c.msg.data.append(buf, static_cast<size_t>(r));
                if (c.msg.data.size() == *c.cbData)
                    return dispatch(c);
                continue;
            }
            c.headerGot += static_cast<size_t>(r);
            if (c.headerGot == sizeof c.header) {
                c.cbData = DecodeCopyDataHeader(c.header, c.msg, nullptr);
                if (!c.cbData)
                    return false;
                c.msg.data.reserve(std::min<size_t>(*c.cbData, 65536));
            }
        }
    }

    // The whole frame is in: hands it to the owner. True while the posted work is waited for.
    bool dispatch(Connection& c)
    {
        if (!CopyDataBodyValid(c.msg.data))
            return false;
        auto pending = std::make_shared<PendingMessage>();
        pending->settledEvent.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
        if (pending->settledEvent.get() < 0)
            return false;
        if (poster) {
            c.watch.reset(::fcntl(c.fd.get(), F_DUPFD_CLOEXEC, 0));
            if (c.watch.get() < 0 || stopRequested())
                return false;
        }
        pending->conn.reset(c.fd.get());
        c.fd.release();
        auto work = [pending, h = handler, msg = std::move(c.msg)] { runHandler(*pending, h, msg); };
        if (!poster) {
            work();
            return false;
        }
        c.pending = pending;
        c.deadline = Clock::now() + std::chrono::milliseconds(kServerHandleTimeoutMs);
        try {
            poster(std::move(work));
        } catch (...) {
            return false;
        }
        return true;
    }

    // Ends a connection: a posted message that has not started is dropped (the sender learns
    // it from the close), one already started belongs to its work.
    static void drop(Connection& c)
    {
        if (!c.pending)
            return;
        std::lock_guard<std::mutex> lock(c.pending->mutex);
        if (!c.pending->settled) {
            c.pending->settled = true;
            c.pending->conn.reset();
        }
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
        GuardHandler("hand-over", [&] { result = handler(msg); });
        if (result) {
            // Twelve bytes on a connection nothing else was sent on: they fit without waiting.
            std::string reply = EncodeCopyDataReply(*result);
            [[maybe_unused]] ssize_t n = ::send(pending.conn.get(), reply.data(), reply.size(),
                                                MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        pending.conn.reset();
    }

    bool stopRequested() const
    {
        pollfd p{wakeFd.get(), POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }

    void stop()
    {
        if (thread.joinable()) {
            // Wakes the listening thread wherever it waits; the eventfd stays readable.
            signalEvent(wakeFd.get());
            thread.join();
        }
        // Remove the socket only while it is still ours.
        if (socketIsOurs())
            ::unlink(path.c_str());
    }

    // The path still names the socket this server bound, not one a newer server put there.
    bool socketIsOurs() const
    {
        struct stat st {};
        return socketIno != 0 && ::lstat(path.c_str(), &st) == 0 && st.st_ino == socketIno && st.st_dev == socketDev;
    }
};

CopyDataServer::CopyDataServer(const std::string& className, Handler handler, Poster poster)
    : d_(std::make_unique<Impl>())
{
    d_->path = CopyDataSocketPath(className, &d_->error);
    d_->handler = std::move(handler);
    d_->poster = std::move(poster);
    if (!d_->start()) {
        d_->listenFd.reset();
        d_->socketIno = 0;
    }
}

CopyDataServer::~CopyDataServer() { d_->stop(); }

bool CopyDataServer::Listening() const { return d_->thread.joinable(); }

bool CopyDataServer::SocketInPlace() const { return Listening() && d_->socketIsOurs(); }

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
        timespec pause{0, 10 * 1000 * 1000};
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
