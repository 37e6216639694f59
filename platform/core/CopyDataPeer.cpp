#include "platform/core/CopyDataPeer.h"

#include "platform/core/CopyDataTransport.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace ql {

pid_t CopyDataReceiverPid(const std::string& className)
{
    const std::string path = CopyDataSocketPath(className);
    sockaddr_un addr{};
    if (path.empty() || path.size() >= sizeof addr.sun_path)
        return 0;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    pid_t pid = 0;
    // The credentials of a listening socket's peer are those of the process that listens.
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        ucred cred{};
        socklen_t len = sizeof cred;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && len == sizeof cred)
            pid = cred.pid;
    }
    ::close(fd);
    return pid;
}

}  // namespace ql
