#include "tests/support/ProgramFolder.h"

#include "tests/support/Spawn.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

namespace ql::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

void Signal(pid_t pid, int signal)
{
    ASSERT_GT(pid, 0);
    ::kill(pid, signal);
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

ProgramFolder::ProgramFolder()
{
    const char* build = std::getenv("QUILLORY_TEST_BUILD");
    const fs::path program = fs::path(build ? build : "") / "app" / "quillory";
    std::error_code ec;
    fs::create_hard_link(program, Exe(), ec);
    if (ec)
        fs::copy_file(program, Exe(), ec);
    fs::create_directories(RuntimeDir());
    fs::permissions(RuntimeDir(), fs::perms::owner_all);
    fs::create_directories(ConfigDir());
}

ProgramFolder::~ProgramFolder()
{
    for (pid_t pid : started_) {
        if (pid > 0 && ::kill(pid, 0) == 0) {
            Signal(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
}

pid_t ProgramFolder::Start(const std::vector<std::string>& args, const std::vector<std::string>& env,
                           const std::string& cwd)
{
    SpawnOptions options;
    options.env = {"XDG_RUNTIME_DIR=" + RuntimeDir().substr(0, RuntimeDir().size() - 1),
                   "XDG_CONFIG_HOME=" + ConfigDir(), "GDK_BACKEND=x11", "NO_AT_BRIDGE=1"};
    options.env.insert(options.env.end(), env.begin(), env.end());
    options.stderrFile = temp_.dir() + "stderr-" + std::to_string(++run_) + ".txt";
    options.cwd = cwd;
    std::vector<std::string> argv{Exe()};
    argv.insert(argv.end(), args.begin(), args.end());
    const pid_t pid = Spawn(argv, options);
    if (pid > 0)
        started_.push_back(pid);
    return pid;
}

int ProgramFolder::Wait(pid_t pid, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(5ms);
    }
    return -1;
}

std::string ProgramFolder::Stderr() const
{
    std::ifstream in(temp_.dir() + "stderr-" + std::to_string(run_) + ".txt", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool ProgramFolder::WaitListening(std::chrono::milliseconds timeout) const
{
    const std::string path = SocketPath();
    return WaitUntil(
        [&] {
            int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
            bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
            if (fd >= 0)
                ::close(fd);
            return ok;
        },
        timeout);
}

void ProgramFolder::WriteSmallCollection() const
{
    temp_.write("Collection/tvframe", "Notes\r\n");
    temp_.write("Collection/tvdata", "Notes\r\n");
    temp_.write("Collection/Notes.html", "<html><body>notes</body></html>\r\n");
    temp_.write("gleanhoard.ini", "[set]\r\nShowMainForm=0\r\nimagechecked=0\r\nDragIncludeImage=0\r\n"
                                  "DragZoneTop=300\r\nDragZoneLeft=600\r\n");
}

std::string ProgramFolder::IdOfNode(std::size_t line) const
{
    const std::string ids = temp_.read("Collection/tvdata");
    std::size_t at = 0;
    for (std::size_t i = 0; i < line; ++i) {
        at = ids.find("\r\n", at);
        if (at == std::string::npos)
            return {};
        at += 2;
    }
    const std::size_t end = ids.find("\r\n", at);
    if (end == std::string::npos)
        return {};
    return ids.substr(at, end - at);
}

std::string ProgramFolder::PageOfNode(std::size_t line) const
{
    const std::string id = IdOfNode(line);
    return id.empty() ? std::string() : temp_.read("Collection/" + id + ".html");
}

}  // namespace ql::test
