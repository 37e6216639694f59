#include "components/browserhost/WebHostDdeWindow.h"

#include "platform/core/RuntimeDir.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <dirent.h>
#include <map>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {

namespace {

// Conversations a window keeps; a client that never terminates loses its oldest one first.
constexpr std::size_t kMaxConversations = 64;

struct WindowName {
    std::int32_t process = 0;
    std::uint64_t number = 0;  // the window's address: unique among the process's live windows
};

// "TPUtilWindow-<pid>-<n>" from a socket file name "wnd-TPUtilWindow-<pid>-<n>.sock".
std::optional<WindowName> ParseSocketName(const std::string& file)
{
    const std::string prefix = std::string("wnd-") + kDdeWindowClass + "-";
    const std::string suffix = ".sock";
    if (file.size() <= prefix.size() + suffix.size() || file.compare(0, prefix.size(), prefix) != 0 ||
        file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0)
        return std::nullopt;
    const char* p = file.data() + prefix.size();
    const char* end = file.data() + file.size() - suffix.size();
    WindowName n;
    auto a = std::from_chars(p, end, n.process);
    if (a.ec != std::errc() || a.ptr == end || *a.ptr != '-' || n.process <= 0)
        return std::nullopt;
    auto b = std::from_chars(a.ptr + 1, end, n.number);
    if (b.ec != std::errc() || b.ptr != end)
        return std::nullopt;
    return n;
}

std::string ClassNameOf(const WindowName& n)
{
    return std::string(kDdeWindowClass) + "-" + std::to_string(n.process) + "-" + std::to_string(n.number);
}

// The windows whose sockets lie in `dir`. A socket whose process is gone was left by a process
// that was killed: nothing answers at it any more, and it is removed.
std::vector<WindowName> LiveDdeWindows(const std::string& dir)
{
    std::vector<WindowName> found;
    DIR* d = dir.empty() ? nullptr : ::opendir(dir.c_str());
    if (!d)
        return found;
    while (dirent* e = ::readdir(d)) {
        const auto n = ParseSocketName(e->d_name);
        if (!n)
            continue;
        struct stat st {};
        const std::string path = dir + e->d_name;
        if (::kill(n->process, 0) != 0 && errno == ESRCH) {
            if (::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode))
                ::unlink(path.c_str());
            continue;
        }
        found.push_back(*n);
    }
    ::closedir(d);
    return found;
}

}  // namespace

struct DdeWindow::Conversations {
    DdeServer* server = nullptr;                     // cleared by the window's destructor, on the server's thread
    std::map<std::uint64_t, bool> htmlConversation;  // number -> the conversation is the HTML one
    std::uint64_t next = 1;

    std::int64_t Handle(const CopyDataMessage& msg)
    {
        if (!server)
            return 0;
        switch (msg.dwData) {
        case WM_DDE_INITIATE:
            return Initiate(msg.data);
        case WM_DDE_EXECUTE:
            return Execute(msg.wParam, msg.Text());
        case WM_DDE_TERMINATE:
            htmlConversation.erase(msg.wParam);
            return 1;
        default:
            return 0;
        }
    }

    std::int64_t Initiate(const std::string& data)
    {
        // "application\0topic\0": the first NUL ends the application.
        std::size_t nul = data.find('\0');
        if (nul == std::string::npos || nul + 1 >= data.size())
            return 0;
        std::string application = data.substr(0, nul);
        std::string topic = data.substr(nul + 1, data.find('\0', nul + 1) - nul - 1);
        if (!server->DdeInitiate(application, topic, DdeClient::OtherProcess()))
            return 0;
        if (htmlConversation.size() >= kMaxConversations)
            htmlConversation.erase(htmlConversation.begin());
        std::uint64_t id = next++;
        htmlConversation[id] = HtmlConversation;
        return static_cast<std::int64_t>(id);
    }

    std::int64_t Execute(std::uint64_t id, const std::string& command)
    {
        auto it = htmlConversation.find(id);
        if (it == htmlConversation.end())
            return 0;
        // The kind belongs to this conversation; another may have started since.
        HtmlConversation = it->second;
        return server->DdeExecute(command) ? DDE_FACK : 0;
    }
};

DdeWindow::DdeWindow(DdeServer& server, CopyDataServer::Poster poster) : state_(std::make_shared<Conversations>())
{
    state_->server = &server;
    LiveDdeWindows(RuntimeDir());  // sweeps what killed processes left
    className_ = ClassNameOf({static_cast<std::int32_t>(::getpid()), reinterpret_cast<std::uintptr_t>(this)});
    socket_ = std::make_unique<CopyDataServer>(
        className_, [state = state_](const CopyDataMessage& msg) { return state->Handle(msg); }, std::move(poster));
}

DdeWindow::~DdeWindow()
{
    state_->server = nullptr;
    socket_.reset();
}

std::vector<std::string> OtherProcessesDdeWindows()
{
    std::vector<WindowName> found = LiveDdeWindows(RuntimeDir());
    found.erase(std::remove_if(found.begin(), found.end(), [](const WindowName& n) { return n.process == ::getpid(); }),
                found.end());
    std::sort(found.begin(), found.end(), [](const WindowName& a, const WindowName& b) {
        return a.process != b.process ? a.process < b.process : a.number < b.number;
    });
    std::vector<std::string> classes;
    for (const auto& n : found)
        classes.push_back(ClassNameOf(n));
    return classes;
}

DdeReply DdeExecuteInOtherProcesses(const std::string& application, const std::string& topic,
                                    const std::string& command, int timeoutMs)
{
    DdeReply reply;
    std::string names = application + '\0' + topic + '\0';
    for (const std::string& window : OtherProcessesDdeWindows()) {
        CopyDataMessage initiate;
        initiate.dwData = WM_DDE_INITIATE;
        initiate.data = names;
        std::int64_t conversation = 0;
        if (SendCopyDataMessage(window, initiate, &conversation, timeoutMs) != CopyDataResult::Delivered ||
            conversation <= 0)
            continue;  // no answer: the next window may have one
        reply.answered = true;
        const auto id = static_cast<std::uint64_t>(conversation);
        std::int64_t ack = 0;
        if (SendCopyDataMessage(window, CopyDataMessage::FromText(command, WM_DDE_EXECUTE, id), &ack, timeoutMs) ==
            CopyDataResult::Delivered)
            reply.ack = (ack & DDE_FACK) != 0;
        CopyDataMessage terminate = CopyDataMessage::FromText("", WM_DDE_TERMINATE, id);
        [[maybe_unused]] CopyDataResult ended = SendCopyDataMessage(window, terminate, nullptr, timeoutMs);
        break;
    }
    return reply;
}

}  // namespace ql
