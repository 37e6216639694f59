// Conversations with a browser host held by another process (ql_dde_client) or another thread,
// through the host's DDE window.
#include "components/browserhost/WebHostDdeWindow.h"
#include "components/browserhost/WebHostCore.h"
#include "foundation/VekBaseClass.h"
#include "tests/components/browserhost/DdeClientProcess.h"
#include "tests/components/browserhost/NavigatingHost.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <filesystem>
#include <future>
#include <mutex>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ql {
namespace {

using namespace std::chrono_literals;

using test::NavigatingHost;

// The host's thread: work the DDE window posts waits here until the test pumps it.
class HostThread {
public:
    CopyDataServer::Poster poster()
    {
        return [this](std::function<void()> work) {
            std::lock_guard lock(m_);
            queue_.push_back(std::move(work));
        };
    }
    template <class Done>
    bool PumpUntil(Done done, std::chrono::milliseconds atMost = 20s)
    {
        auto end = std::chrono::steady_clock::now() + atMost;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::function<void()> work;
            {
                std::lock_guard lock(m_);
                if (!queue_.empty()) {
                    work = std::move(queue_.front());
                    queue_.pop_front();
                }
            }
            if (work)
                work();
            else
                std::this_thread::sleep_for(1ms);
        }
        return true;
    }

private:
    std::mutex m_;
    std::deque<std::function<void()>> queue_;
};

// The shell's registration of the HTML-file and folder verbs, as a host reads it.
void RegisterShellVerbs()
{
    ASSERT_TRUE(WriteRegString(RegRoot::ClassesRoot, "htmlfile\\shell\\open\\ddeexec", "", "\"%1\",,-1,0,,,,"));
    ASSERT_TRUE(WriteRegString(RegRoot::ClassesRoot, "htmlfile\\shell\\open\\ddeexec\\application", "", "QLBrowse"));
    ASSERT_TRUE(WriteRegString(RegRoot::ClassesRoot, "htmlfile\\shell\\open\\ddeexec\\topic", "", "WWW_OpenURL"));
    ASSERT_TRUE(
        WriteRegString(RegRoot::ClassesRoot, "Folder\\shell\\open\\ddeexec", "", "[ViewFolder(\"%l\", %I, %S)]"));
    ASSERT_TRUE(WriteRegString(RegRoot::ClassesRoot, "Folder\\shell\\open\\ddeexec\\application", "", "Folders"));
    ASSERT_TRUE(WriteRegString(RegRoot::ClassesRoot, "Folder\\shell\\open\\ddeexec\\topic", "", "AppProperties"));
}

struct DdeWindowTest : ::testing::Test {
    test::ScopedXdgEnv env;  // the registry and the sockets, shared with the client by inheritance
    test::FakeLauncher launcher;
    TDdeVerbs saved = DdeVerbs;
    HostThread thread;
    std::unique_ptr<NavigatingHost> host;
    std::unique_ptr<DdeWindow> window;

    void SetUp() override
    {
        RegisterShellVerbs();
        host = std::make_unique<NavigatingHost>(launcher);  // reads the names
        host->EnableDDE = true;
        window = std::make_unique<DdeWindow>(*host, thread.poster());
        ASSERT_TRUE(window->Listening());
    }
    void TearDown() override
    {
        window.reset();
        host.reset();
        DdeVerbs = saved;
    }

    int Client(std::vector<std::string> args)
    {
        return test::RunDdeClient(std::move(args),
                                  [&](const std::function<bool()>& done) { return thread.PumpUntil(done); });
    }
};

TEST_F(DdeWindowTest, AnotherProcessOpensAFileThroughTheShellsRegistration)
{
    test::TempDir dir;
    std::string page = dir.write("clip page.html", "<p>x</p>").string();
    EXPECT_EQ(Client({"open", page}), 0);
    EXPECT_EQ(host->navigated, std::vector<std::string>{page});

    dir.write("folder/a", "");
    std::string folder = (dir.path() / "folder").string();
    EXPECT_EQ(Client({"open", folder}), 0);  // the folder verb: shown in the view
    EXPECT_EQ(host->navigated.back(), folder);
    EXPECT_EQ(Client({"raw", "Folders", "AppProperties", "[Unknown(\"/x\", :0, 1)]"}), 1);

    // Without the option, or for names of no one, there is no answer: the shell opens it itself.
    host->EnableDDE = false;
    EXPECT_EQ(Client({"open", page}), 2);
    host->EnableDDE = true;
    EXPECT_EQ(Client({"raw", "Other", "WWW_OpenURL", "\"/x.html\""}), 2);
    EXPECT_EQ(host->navigated.size(), 2u);
    EXPECT_TRUE(launcher.opened.empty());

    window.reset();  // the window is gone: nobody answers
    EXPECT_EQ(Client({"open", page}), 2);
}

TEST_F(DdeWindowTest, InterleavedConversationsKeepTheirOwnKind)
{
    auto ask = [&](const CopyDataMessage& msg) {
        auto reply = std::async(std::launch::async, [&, msg] {
            std::int64_t r = -1;
            return SendCopyDataMessage(window->ClassName(), msg, &r) == CopyDataResult::Delivered ? r : -1;
        });
        EXPECT_TRUE(thread.PumpUntil([&] { return reply.wait_for(0s) == std::future_status::ready; }));
        return reply.get();
    };
    CopyDataMessage html;
    html.dwData = WM_DDE_INITIATE;
    html.data = std::string("QLBrowse\0WWW_OpenURL\0", 21);
    CopyDataMessage folder = html;
    folder.data = std::string("Folders\0AppProperties\0", 22);
    std::int64_t first = ask(html);
    std::int64_t second = ask(folder);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_NE(first, second);
    // The HTML conversation started first: its command is a URL, not a folder command.
    EXPECT_EQ(ask(CopyDataMessage::FromText("\"/tmp/x.html\",,-1", WM_DDE_EXECUTE, first)), DDE_FACK);
    EXPECT_EQ(ask(CopyDataMessage::FromText("[ViewFolder(\"/tmp\", :0, 1)]", WM_DDE_EXECUTE, second)), DDE_FACK);
    EXPECT_EQ(host->navigated, (std::vector<std::string>{"/tmp/x.html", "/tmp"}));
    EXPECT_EQ(ask(CopyDataMessage::FromText("", WM_DDE_TERMINATE, first)), 1);
    EXPECT_EQ(ask(CopyDataMessage::FromText("\"/tmp/y.html\"", WM_DDE_EXECUTE, first)), 0);  // ended
    EXPECT_EQ(host->navigated.size(), 2u);
}

// A socket file as a killed process leaves it: bound, never removed.
void LeaveSocket(const std::string& path)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof addr.sun_path);
    std::copy(path.begin(), path.end(), addr.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0) << path;
    ::close(fd);
}

TEST_F(DdeWindowTest, TheSocketsOfKilledProcessesAreSweptAndNeverAsked)
{
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    auto windowOf = [](pid_t pid) { return std::string(kDdeWindowClass) + "-" + std::to_string(pid) + "-7"; };
    const std::string dead = CopyDataSocketPath(windowOf(gone));
    const std::string living = CopyDataSocketPath(windowOf(::getppid()));
    LeaveSocket(dead);
    LeaveSocket(living);

    const std::vector<std::string> asked = OtherProcessesDdeWindows();
    EXPECT_EQ(asked, std::vector<std::string>{windowOf(::getppid())});
    EXPECT_FALSE(std::filesystem::exists(dead));
    EXPECT_TRUE(std::filesystem::exists(living));  // its process runs: it may still answer

    LeaveSocket(dead);
    DdeWindow another(*host, thread.poster());  // a new window sweeps as well
    EXPECT_FALSE(std::filesystem::exists(dead));
    ::unlink(living.c_str());
}

}  // namespace
}  // namespace ql
