#include "extension/ClipFile.h"

#include "platform/core/RuntimeDir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql::brimhook {

std::string ClipFilePath()
{
    std::string dir = RuntimeDir();
    return dir.empty() ? "" : dir + kClipFileName;
}

bool EmptyClipFile(const std::string& path)
{
    if (path.empty())
        return false;
    // Non-blocking, so that a FIFO put in its place cannot hold the browser's thread.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid() && ::ftruncate(fd, 0) == 0 &&
              ::fchmod(fd, 0600) == 0;
    return ::close(fd) == 0 && ok;
}

}  // namespace ql::brimhook
