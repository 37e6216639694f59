#include "tests/support/FlushRecorder.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace ql::test {

namespace {
FlushRecorder* active = nullptr;  // one at a time, on the test's own thread
}

// The error the flush is to fail with, 0 when it goes to the kernel.
int RecordFlush(int fd)
{
    if (!active)
        return 0;
    Flush f;
    struct stat st {};
    f.folder = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
    char target[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    if (n > 0)
        f.path.assign(target, static_cast<std::size_t>(n));
    if (active->during_)
        active->during_(f);
    const int error = f.folder ? active->folderError_ : 0;
    active->flushes_.push_back(std::move(f));
    return error;
}

FlushRecorder::FlushRecorder(std::function<void(const Flush&)> during) : during_(std::move(during)) { active = this; }

FlushRecorder::~FlushRecorder() { active = nullptr; }

}  // namespace ql::test

// Calls of fsync() in the program under test come here first.
extern "C" int fsync(int fd)
{
    if (const int error = ql::test::RecordFlush(fd)) {
        errno = error;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}
