#include "platform/core/SingleInstance.h"

#include "platform/core/RuntimeDir.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {

namespace {

constexpr char kCannotTake[] = "the single-instance lock cannot be taken: ";

// The lock file of `name` in the runtime folder (made when missing); "" with `problem` set.
std::string lockFile(const std::string& name, std::string& problem)
{
    std::string why;
    std::string dir = RuntimeDir(&why);
    if (dir.empty() || name.empty() || name.find('/') != std::string::npos) {
        problem = kCannotTake + (dir.empty() ? why : "no usable lock name");
        return {};
    }
    return dir + name + ".lock";
}

// Opens `file` and takes its lock: the descriptor, or -1 with `problem` set and `heldElsewhere`
// telling whether another process holds it.
int takeLock(const std::string& file, std::string& problem, bool& heldElsewhere)
{
    heldElsewhere = false;
    // Close-on-exec: programs we start must not inherit, and so keep, the lock.
    int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        problem = kCannotTake + ("cannot open " + file + ": " + std::strerror(errno));
        return -1;
    }
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc == 0)
        return fd;
    heldElsewhere = errno == EWOULDBLOCK;
    problem = kCannotTake + ("cannot lock " + file + ": " + std::strerror(errno));
    ::close(fd);
    return -1;
}

}  // namespace

SingleInstanceLock::SingleInstanceLock(const std::string& name) : name_(name)
{
    const std::string file = lockFile(name_, problem_);
    if (file.empty())
        return;
    bool heldElsewhere = false;
    fd_ = takeLock(file, problem_, heldElsewhere);
    state_ = fd_ >= 0 ? State::Acquired : heldElsewhere ? State::HeldElsewhere : State::Unavailable;
    if (state_ != State::Unavailable)
        problem_.clear();
}

SingleInstanceLock::~SingleInstanceLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool SingleInstanceLock::Renew()
{
    if (state_ != State::Acquired)
        return false;
    const std::string file = lockFile(name_, problem_);
    if (file.empty())
        return false;
    struct stat held {
    }, named{};
    if (::fstat(fd_, &held) == 0 && ::stat(file.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino)
        return true;
    // Until the new file is locked the old descriptor keeps its lock: a lock on a file no start
    // can find, yet the only one there is should the new one fail.
    bool heldElsewhere = false;
    const int fd = takeLock(file, problem_, heldElsewhere);
    if (fd < 0) {
        if (heldElsewhere)
            problem_ = "another Quillory took the single-instance lock " + file + " while it was missing";
        return false;
    }
    ::close(fd_);
    fd_ = fd;
    return true;
}

}  // namespace ql
