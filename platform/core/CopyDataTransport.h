#pragma once
// Hand-over messages between processes, addressed to a window class: the window that receives
// them owns a CopyDataServer listening on <runtime>/wnd-<ClassName>.sock; a sender connects,
// sends one frame (CopyDataFrame.h) and waits for the handler's result.
//
// "No window of that class" is a socket file that is missing or that nobody listens on (the
// stale socket of a crashed program); the next server of that class replaces it.
#include "platform/core/CopyDataFrame.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ql {

// The socket path for a window class, or "" when the name is not usable (empty, longer than 64
// characters, or with characters other than letters, digits, '_', '-' and '.') or there is no
// runtime folder.
std::string CopyDataSocketPath(const std::string& className);

class CopyDataServer {
public:
    // Runs the handler for one message and gives its result.
    using Handler = std::function<std::int64_t(const CopyDataMessage&)>;
    // Hands `work` to where the owner wants the handler to run and returns at once: a window
    // posts it to its GUI thread (CallAfter). The server waits for the work to finish and
    // replies with the handler's result. The work holds its own copy of everything it uses, so
    // it may still run, or never run, after the server is gone.
    using Poster = std::function<void(std::function<void()> work)>;

    // Starts listening at once; see Listening(). Without a poster the handler runs on the
    // listening thread.
    CopyDataServer(std::string className, Handler handler, Poster poster = nullptr);
    // Stops listening and removes the socket; never waits for posted work.
    ~CopyDataServer();
    CopyDataServer(const CopyDataServer&) = delete;
    CopyDataServer& operator=(const CopyDataServer&) = delete;

    // False when the socket could not be set up (Error() says why), also when another live
    // window of the same class already listens.
    bool Listening() const;
    const std::string& Error() const;
    const std::string& SocketPath() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

enum class CopyDataResult {
    Delivered,   // the handler ran; `reply` holds its result
    NoReceiver,  // no window of that class listens
    Failed,      // refused, timed out, or the message breaks the frame rules
};

// Sends one message and waits at most `timeoutMs` for the reply.
CopyDataResult SendCopyDataMessage(const std::string& className, const CopyDataMessage& msg,
                                   std::int64_t* reply = nullptr, int timeoutMs = 10000);

}  // namespace ql
