#include "platform/core/FileCopy.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {

namespace {

// Suffix of the copy made beside a file it is to replace.
constexpr char kPartSuffix[] = ".copy-part";

bool WriteAll(int fd, const char* p, std::size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

// Moves `size` bytes from `in` to `out` (both at offset 0).
bool CopyBytes(int in, int out, off_t size)
{
    off_t done = 0;
    while (done < size) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<std::size_t>(size - done), 0);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)
            break;  // the file shrank, or this pair of file systems needs the plain way
        return false;
    }
    // Whatever is left, or all of it where the kernel cannot copy: read and write.
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!WriteAll(out, buffer, static_cast<std::size_t>(n)))
            return false;
    }
}

FileCopyResult Copy(int from, const std::string& name, int to, const std::string& toName, bool replace)
{
    UniqueFd in(::openat(from, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (!in || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return FileCopyResult::Missing;
    const std::string target = replace ? toName + kPartSuffix : toName;
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (replace ? O_TRUNC : O_EXCL);
    UniqueFd out(::openat(to, target.c_str(), flags, st.st_mode & 0777));
    if (!out)
        return errno == EEXIST ? FileCopyResult::Exists : FileCopyResult::Failed;
    bool ok = CopyBytes(in.get(), out.get(), st.st_size);
    ok = ::close(out.release()) == 0 && ok;
    if (ok && replace)
        ok = ::renameat(to, target.c_str(), to, toName.c_str()) == 0;
    if (ok)
        return FileCopyResult::Copied;
    ::unlinkat(to, target.c_str(), 0);
    return FileCopyResult::Failed;
}

}  // namespace

UniqueFd OpenFolder(const std::string& path)
{
    return UniqueFd(::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

FileCopyResult CopyToNewFile(int from, const std::string& name, int to, const std::string& toName)
{
    return Copy(from, name, to, toName, false);
}

FileCopyResult CopyReplacing(int from, const std::string& name, int to, const std::string& toName)
{
    return Copy(from, name, to, toName, true);
}

}  // namespace ql
