#include "platform/core/shell/FileOperations.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/shell/ShellItems.h"

namespace ql::shell {

namespace {

std::string BaseName(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirName(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string Canonical(const std::string& path)
{
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return path;
    std::string out = real;
    std::free(real);
    return out;
}

int CopyFile(const std::string& source, const std::string& target, mode_t mode)
{
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (in < 0)
        return errno;
    int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 07777);
    if (out < 0) {
        int e = errno;
        ::close(in);
        return e;
    }
    int err = 0;
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            break;
        }
        if (n == 0)
            break;
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(out, buf + done, static_cast<size_t>(n - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                err = errno;
                break;
            }
            done += w;
        }
        if (err)
            break;
    }
    if (::close(out) != 0 && !err)
        err = errno;
    ::close(in);
    return err;
}

int CopyTreeInner(const std::string& source, const std::string& target)
{
    struct stat st {};
    if (::lstat(source.c_str(), &st) != 0)
        return errno;
    if (S_ISLNK(st.st_mode)) {
        std::string dest(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
        ssize_t n = ::readlink(source.c_str(), dest.data(), dest.size());
        if (n < 0)
            return errno;
        dest.resize(static_cast<size_t>(n));
        return ::symlink(dest.c_str(), target.c_str()) == 0 ? 0 : errno;
    }
    if (S_ISREG(st.st_mode))
        return CopyFile(source, target, st.st_mode);
    if (!S_ISDIR(st.st_mode))
        return ENOTSUP;  // devices, pipes and sockets are not copied
    if (::mkdir(target.c_str(), (st.st_mode & 07777) | S_IRWXU) != 0)
        return errno;
    DIR* dir = ::opendir(source.c_str());
    if (!dir)
        return errno;
    int err = 0;
    while (dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        if ((err = CopyTreeInner(JoinPath(source, name), JoinPath(target, name))) != 0)
            break;
    }
    ::closedir(dir);
    if (!err)
        ::chmod(target.c_str(), st.st_mode & 07777);
    return err;
}

}  // namespace

int RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    int err = errno;
    if (err != EINVAL && err != ENOSYS)
        return err;
    // File systems without the no-replace flag: check first (a small window remains).
    if (Exists(to))
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool IsSameOrInside(const std::string& inner, const std::string& outer)
{
    std::string a = Canonical(inner);
    std::string b = Canonical(outer);
    if (a == b)
        return true;
    if (b != "/")
        b += '/';
    return a.compare(0, b.size(), b) == 0;
}

bool WouldGoIntoItself(const std::string& source, const std::string& folder)
{
    struct stat st {};
    if (::lstat(source.c_str(), &st) != 0 || S_ISLNK(st.st_mode))
        return false;
    return IsSameOrInside(folder, source);
}

std::string FreeNameIn(const std::string& dir, const std::string& name)
{
    if (!Exists(JoinPath(dir, name)))
        return name;
    std::size_t dot = name.find_last_of('.');
    if (dot == 0 || dot == std::string::npos)
        dot = name.size();
    std::string stem = name.substr(0, dot);
    std::string ext = name.substr(dot);
    for (int n = 2;; ++n) {
        std::string candidate = stem + " (" + std::to_string(n) + ")" + ext;
        if (!Exists(JoinPath(dir, candidate)))
            return candidate;
    }
}

int CopyTree(const std::string& source, const std::string& target)
{
    if (Exists(target))
        return EEXIST;
    int err = CopyTreeInner(source, target);
    if (err)
        DeleteTree(target);  // only what this copy made: the target did not exist before
    return err;
}

int MoveTree(const std::string& source, const std::string& target)
{
    int err = RenameNoReplace(source, target);
    if (err != EXDEV)
        return err;
    if ((err = CopyTree(source, target)) != 0)
        return err;
    return DeleteTree(source);
}

int DeleteTree(const std::string& path)
{
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    return ec ? ec.value() : 0;
}

int TrashItem(const std::string& path)
{
    GFile* file = g_file_new_for_path(path.c_str());
    GError* error = nullptr;
    gboolean ok = g_file_trash(file, nullptr, &error);
    int err = 0;
    if (!ok) {
        err = error && error->domain == G_IO_ERROR && error->code == G_IO_ERROR_NOT_FOUND ? ENOENT : EIO;
        if (error && error->domain == G_IO_ERROR && error->code == G_IO_ERROR_PERMISSION_DENIED)
            err = EACCES;
        if (error && error->domain == G_IO_ERROR && error->code == G_IO_ERROR_NOT_SUPPORTED)
            err = ENOTSUP;
    }
    if (error)
        g_error_free(error);
    g_object_unref(file);
    return err;
}

TransferResult TransferInto(const std::vector<std::string>& sources, const std::string& folder, TransferKind kind)
{
    TransferResult result;
    for (const auto& source : sources) {
        int err = 0;
        std::string name = BaseName(source);
        if (!Exists(source)) {
            err = ENOENT;
        } else if (!IsValidFileName(name)) {
            err = EINVAL;
        } else if (kind == TransferKind::Move && Canonical(DirName(source)) == Canonical(folder)) {
            continue;  // already there
        } else if (kind != TransferKind::Link && WouldGoIntoItself(source, folder)) {
            err = EINVAL;  // a folder into itself or below itself
        } else {
            std::string target = JoinPath(folder, FreeNameIn(folder, name));
            switch (kind) {
            case TransferKind::Copy:
                err = CopyTree(source, target);
                break;
            case TransferKind::Move:
                err = MoveTree(source, target);
                break;
            case TransferKind::Link:
                err = ::symlink(Canonical(source).c_str(), target.c_str()) == 0 ? 0 : errno;
                break;
            }
            if (!err)
                result.created.push_back(target);
        }
        if (err && !result.error)
            result.error = err;
    }
    return result;
}

}  // namespace ql::shell
