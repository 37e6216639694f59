#include "platform/core/SafeFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {

namespace {

std::string folderOf(const std::string& path)
{
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The process's umask, read without setting it: umask() can only be read by changing it, and
// the mask is shared by every thread creating files meanwhile. The kernel shows it in
// /proc/self/status; where that line is missing the common 022 is assumed.
mode_t currentUmask()
{
    int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 022;
    std::string text;
    char buf[4096];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    auto at = text.find("\nUmask:");
    if (at == std::string::npos)
        return 022;
    size_t i = at + 7;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    mode_t mask = 0;
    size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '7'; ++i, ++digits)
        mask = static_cast<mode_t>(mask * 8 + static_cast<mode_t>(text[i] - '0'));
    return digits == 0 ? 022 : (mask & 0777);
}

bool fail(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
    return false;
}

}  // namespace

bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error)
{
    if (path.empty() || path.back() == '/') {
        errno = EINVAL;
        return fail(error, "no file name");
    }
    auto slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp = folderOf(path) + "/." + name + ".tmpXXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0)
        return fail(error, "cannot create a temporary file beside " + path);

    // Keep the mode of the file we replace; new files get 0666 less the umask, as open() would give them.
    struct stat old {};
    if (stat(path.c_str(), &old) == 0)
        fchmod(fd, old.st_mode & 07777);
    else
        fchmod(fd, 0666 & ~currentUmask());

    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int saved = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            errno = saved;
            return fail(error, "cannot write " + path);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return fail(error, "cannot flush " + path);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return fail(error, "cannot replace " + path);
    }
    return true;
}

std::optional<std::string> ReadFileBytes(const std::string& path, std::uint64_t maxBytes)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return std::nullopt;
    }
    std::string out;
    out.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        out.append(buf, static_cast<size_t>(n));
        if (out.size() > maxBytes) {
            ::close(fd);
            return std::nullopt;
        }
    }
    ::close(fd);
    return out;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace ql
