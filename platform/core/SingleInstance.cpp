#include "platform/core/SingleInstance.h"

#include "platform/core/RuntimeDir.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace ql {

SingleInstanceLock::SingleInstanceLock(const std::string& name)
{
    std::string why;
    std::string dir = RuntimeDir(&why);
    if (dir.empty() || name.empty() || name.find('/') != std::string::npos) {
        problem_ = "the single-instance lock cannot be taken: " + (dir.empty() ? why : "no usable lock name");
        return;
    }
    const std::string file = dir + name + ".lock";
    // Close-on-exec: programs we start must not inherit, and so keep, the lock.
    fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        problem_ = "the single-instance lock cannot be taken: cannot open " + file + ": " + std::strerror(errno);
        return;
    }
    int rc;
    do
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        state_ = State::Acquired;
        return;
    }
    state_ = errno == EWOULDBLOCK ? State::HeldElsewhere : State::Unavailable;
    if (state_ == State::Unavailable)
        problem_ = "the single-instance lock cannot be taken: cannot lock " + file + ": " + std::strerror(errno);
    ::close(fd_);
    fd_ = -1;
}

SingleInstanceLock::~SingleInstanceLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

}  // namespace ql
