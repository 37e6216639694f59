#include "platform/core/DetachedLauncher.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace ql {

namespace {

bool isExecutableFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The file to run: `name` itself when it holds a '/', else the first match in PATH. Resolved
// before forking, because between fork and exec only async-signal-safe calls are allowed.
std::string resolveProgram(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return isExecutableFile(name) ? name : "";
    const char* path = std::getenv("PATH");
    std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    for (std::size_t start = 0; start <= dirs.size();) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (isExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return "";
}

// Every descriptor above stderr is closed when the program starts (our report pipe, already
// close-on-exec, included). Async-signal-safe: runs between fork and exec.
void closeInheritedOnExec(int highestFd)
{
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0)
        return;
    for (int fd = 3; fd <= highestFd; ++fd) {
        int flags = ::fcntl(fd, F_GETFD);
        if (flags >= 0 && !(flags & FD_CLOEXEC))
            ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
    }
}

// Puts /dev/null at `target` (0 read-only, 1 and 2 write-only). Async-signal-safe.
void nullAt(int target, int flags)
{
    int fd = ::open("/dev/null", flags);
    if (fd >= 0 && fd != target) {
        ::dup2(fd, target);
        ::close(fd);
    }
}

void writeAll(int fd, const void* data, std::size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

}  // namespace

bool DetachedLauncher::Spawn(const std::vector<std::string>& argv)
{
    if (argv.empty() || argv[0].empty())
        return false;
    const std::string program = resolveProgram(argv[0]);
    if (program.empty())
        return false;
    std::vector<char*> args = ExecArgv(argv);
    // For systems without close_range; counted before forking, as nothing else may run after.
    rlimit files{};
    const int highestFd = ::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur != RLIM_INFINITY
                              ? static_cast<int>(std::min<rlim_t>(files.rlim_cur, 65536)) - 1
                              : 1023;

    // The grandchild reports a failed exec through the pipe; a successful one closes it.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;
    pid_t middle = ::fork();
    if (middle < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (middle == 0) {
        ::close(report[0]);
        ::setsid();
        pid_t child = ::fork();
        if (child == 0) {
            // The program holds nothing of its starter's: the host's output streams (a browser's
            // terminal or log), its files and sockets all stay with the host.
            nullAt(0, O_RDONLY);
            nullAt(1, O_WRONLY);
            nullAt(2, O_WRONLY);
            closeInheritedOnExec(highestFd);
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            struct sigaction dfl {};
            dfl.sa_handler = SIG_DFL;
            for (int sig = 1; sig < NSIG; ++sig)
                ::sigaction(sig, &dfl, nullptr);
            ::execve(program.c_str(), args.data(), environ);
            int error = errno;
            writeAll(report[1], &error, sizeof error);
            ::_exit(127);
        }
        if (child < 0) {
            int error = errno;
            writeAll(report[1], &error, sizeof error);
        }
        ::_exit(child < 0 ? 1 : 0);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t n;
    while ((n = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    return n == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace ql
