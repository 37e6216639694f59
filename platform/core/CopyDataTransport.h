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
// characters, or with characters other than letters, digits, '_', '-' and '.'), there is no
// runtime folder, or the path is too long for a socket address; `error` then says which and,
// for the folder, what is wrong with it.
std::string CopyDataSocketPath(const std::string& className, std::string* error = nullptr);

class CopyDataServer {
public:
    // Runs the handler for one message and gives its result.
    using Handler = std::function<std::int64_t(const CopyDataMessage&)>;
    // Hands `work` to where the owner wants the handler to run and returns at once: a window
    // posts it to its GUI thread (CallAfter). The work replies with the handler's result. The
    // server waits until the work starts; should the sender give up, the server stop or 30 s
    // pass first, the message is dropped and the work, when it runs after all, does nothing.
    // The work holds its own copy of everything it uses, so it may run, or never run, after the
    // server is gone.
    using Poster = std::function<void(std::function<void()> work)>;

    // Starts listening at once; see Listening(). Without a poster the handler runs on the
    // listening thread.
    CopyDataServer(const std::string& className, Handler handler, Poster poster = nullptr);
    // Stops listening and removes the socket; drops a message whose posted work has not
    // started, and never waits for posted work.
    ~CopyDataServer();
    CopyDataServer(const CopyDataServer&) = delete;
    CopyDataServer& operator=(const CopyDataServer&) = delete;

    // False when the socket could not be set up (Error() says why), also when another live
    // window of the same class already listens.
    bool Listening() const;
    // While listening: whether the socket's path still names our socket (a cleaner of old
    // files, or a user emptying the runtime folder, may have removed it; senders then find no
    // window of the class, and a new server of the class is needed).
    bool SocketInPlace() const;
    const std::string& Error() const;
    const std::string& SocketPath() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

enum class CopyDataResult {
    Delivered,   // the handler ran; `reply` holds its result
    NoReceiver,  // no window of that class listens
    Failed,      // refused, timed out, or the message breaks the frame rules; not handled
};

// Sends one message and waits up to `timeoutMs` for the reply. Without one by then the sender
// gives up, and the receiver drops the message unless its handler has already started; the
// sender then waits up to `timeoutMs` more for that handler's reply. So Failed means the handler
// did not run (short of a handler that outlasts the second wait).
CopyDataResult SendCopyDataMessage(const std::string& className, const CopyDataMessage& msg,
                                   std::int64_t* reply = nullptr, int timeoutMs = 10000);

}  // namespace ql
