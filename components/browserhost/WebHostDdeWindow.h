#pragma once
// The hidden window through which a browser host answers DDE conversations of the user's other
// processes. Each host's window listens on a socket of its own in the runtime folder,
// <runtime>/wnd-TPUtilWindow-<pid>-<n>.sock (the hand-over transport, CopyDataTransport.h), so a
// client broadcasts an initiate by asking every such socket in turn, as a DDE initiate goes to
// every top-level window. One message a connection:
//
//   WM_DDE_INITIATE  data "application\0topic\0"     reply: a conversation number, 0 = no answer
//   WM_DDE_EXECUTE   wParam the conversation, data the command and its NUL
//                                                    reply: DDE_FACK (positive) or 0 (negative)
//   WM_DDE_TERMINATE wParam the conversation         reply: 1
//
// The messages go to the host's thread through the poster; a conversation runs there from
// start to end, so its kind (HTML file or folder) is its own even when several interleave.
#include "components/browserhost/WebHostDde.h"
#include "platform/core/CopyDataTransport.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ql {

inline constexpr std::uint32_t WM_DDE_INITIATE = 0x3E0;
inline constexpr std::uint32_t WM_DDE_TERMINATE = 0x3E1;
inline constexpr std::uint32_t WM_DDE_EXECUTE = 0x3E8;
inline constexpr std::int64_t DDE_FACK = 0x8000;
// The class of the hidden windows; each window's socket adds the process id and a number.
inline constexpr char kDdeWindowClass[] = "TPUtilWindow";

class DdeWindow {
public:
    // Listens at once for `server`, whose calls `poster` puts on the server's own thread.
    DdeWindow(DdeServer& server, CopyDataServer::Poster poster);
    // On the server's thread: a message already posted finds no server any more.
    ~DdeWindow();
    DdeWindow(const DdeWindow&) = delete;
    DdeWindow& operator=(const DdeWindow&) = delete;

    bool Listening() const { return socket_ && socket_->Listening(); }
    const std::string& ClassName() const { return className_; }

private:
    struct Conversations;
    std::shared_ptr<Conversations> state_;
    std::string className_;
    std::unique_ptr<CopyDataServer> socket_;
};

// The window classes of the DDE windows of the user's other processes, in the order a
// broadcast asks them (by process id, then number). The sockets of processes that are gone are
// removed on the way, as each new window does.
std::vector<std::string> OtherProcessesDdeWindows();

// A whole conversation with the DDE windows of the user's other processes: the initiate goes
// to each in turn until one answers; that one gets the command, then the conversation ends.
// Each message waits at most `timeoutMs` for its reply.
DdeReply DdeExecuteInOtherProcesses(const std::string& application, const std::string& topic,
                                    const std::string& command, int timeoutMs = 5000);

}  // namespace ql
