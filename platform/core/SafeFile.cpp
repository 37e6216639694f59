#include "platform/core/SafeFile.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

// The '=' keeps the names apart from everything else we write beside them: page files end in
// ".html", and picture names (taken from addresses) never hold '='.
constexpr char kTempMarker[] = ".tmp=";
constexpr std::size_t kTempRandomChars = 6;  // mkstemp's XXXXXX

// "." + name + ".tmp=" + six letters or digits: the names WriteFileAtomic gives its temporaries.
bool isOurTemporaryName(const std::string& name)
{
    const std::size_t tail = sizeof kTempMarker - 1 + kTempRandomChars;
    if (name.size() < 2 + tail || name[0] != '.' ||
        name.compare(name.size() - tail, sizeof kTempMarker - 1, kTempMarker) != 0)
        return false;
    for (std::size_t i = name.size() - kTempRandomChars; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
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
    std::string temp = folderOf(path) + "/." + name + kTempMarker + std::string(kTempRandomChars, 'X');
    int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(error, "cannot create a temporary file beside " + path);
    // Held until the rename: RemoveStaleTemporaries leaves a locked temporary alone, and the
    // kernel drops the lock when a writer dies.
    ::flock(fd, LOCK_EX | LOCK_NB);
    auto abandon = [&](const std::string& what) {
        const int saved = errno;
        ::unlink(temp.c_str());
        ::close(fd);
        errno = saved;
        return fail(error, what);
    };

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
            return abandon("cannot write " + path);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    int synced;
    do
        synced = ::fsync(fd);
    while (synced != 0 && errno == EINTR);
    if (synced != 0)
        return abandon("cannot flush " + path);
    if (::rename(temp.c_str(), path.c_str()) != 0)
        return abandon("cannot replace " + path);
    ::close(fd);  // the data is on disk since the fsync
    // The new name reaches the disk only with the folder.
    if (!SyncFolder(folderOf(path)))
        return fail(error, "cannot flush the folder of " + path);
    return true;
}

bool SyncFolder(const std::string& dir)
{
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int rc;
    do
        rc = ::fsync(fd);
    while (rc != 0 && errno == EINTR);
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return rc == 0 || saved == EINVAL;
}

std::size_t RemoveStaleTemporaries(const std::string& folder)
{
    DIR* d = ::opendir(folder.c_str());
    if (!d)
        return 0;
    const int dirFd = ::dirfd(d);
    std::size_t removed = 0;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (!isOurTemporaryName(name))
            continue;
        int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        // A temporary still locked belongs to a write under way.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::unlinkat(dirFd, name.c_str(), 0) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(d);
    return removed;
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

std::optional<FolderIdentity> IdentifyFolder(const std::string& path)
{
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    return FolderIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace ql
