#include "platform/core/ExtractFolder.h"

#include "platform/core/TextEncoding.h"
#include "platform/core/UrlText.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace ql {

namespace {

constexpr char kPrefix[] = "urlcache-";
constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;
constexpr std::size_t kRandomLength = 6;  // mkdtemp's XXXXXX
constexpr char kLockFile[] = ".lock";

std::string WithSlash(std::string path)
{
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

bool IsExtractFolderName(const std::string& name)
{
    return name.size() == kPrefixLength + kRandomLength && name.compare(0, kPrefixLength, kPrefix) == 0;
}

// Whether the folder (open as `dirFd`) belongs to a process that is gone. Its lock, when it has
// one, is then held in `lock` while its files go, so that no other start takes it meanwhile;
// the kernel releases it with the descriptor.
bool Abandoned(int dirFd, std::chrono::seconds lockless, int& lock)
{
    lock = ::openat(dirFd, kLockFile, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (lock < 0) {
        struct stat st {};
        return errno == ENOENT && ::fstat(dirFd, &st) == 0 && std::time(nullptr) - st.st_mtime >= lockless.count();
    }
    return ::flock(lock, LOCK_EX | LOCK_NB) == 0;
}

// Removes what the folder holds (files and links; a folder inside stays, and so does this one).
void RemoveFiles(int dirFd)
{
    const int listFd = ::dup(dirFd);
    DIR* dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!dir) {
        if (listFd >= 0)
            ::close(listFd);
        return;
    }
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    for (const std::string& name : names)
        ::unlinkat(dirFd, name.c_str(), 0);  // fails on a folder, which is left alone
}

}  // namespace

ExtractFolder::ExtractFolder(const std::string& parent)
{
    std::string pattern = WithSlash(parent) + kPrefix + std::string(kRandomLength, 'X');
    if (parent.empty() || !::mkdtemp(pattern.data()))
        return;
    const std::string path = pattern + "/";
    // The lock is taken under another name and then renamed into place, so a sweep never finds
    // a lock file that nobody holds yet; a folder without one is young and left alone.
    const std::string staged = path + kLockFile + ".new";
    lock_ = ::open(staged.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock_ < 0 || ::flock(lock_, LOCK_EX | LOCK_NB) != 0 ||
        ::rename(staged.c_str(), (path + kLockFile).c_str()) != 0) {
        if (lock_ >= 0)
            ::close(lock_);
        lock_ = -1;
        ::unlink(staged.c_str());
        ::rmdir(pattern.c_str());
        return;
    }
    path_ = path;
}

ExtractFolder::~ExtractFolder()
{
    if (path_.empty())
        return;
    ::unlink((path_ + kLockFile).c_str());
    ::close(lock_);
    ::rmdir(path_.c_str());
}

int SweepStaleExtractFolders(const std::string& parent, std::chrono::seconds lockless)
{
    if (parent.empty())
        return 0;
    const int parentFd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = parentFd >= 0 ? ::fdopendir(parentFd) : nullptr;
    if (!dir) {
        if (parentFd >= 0)
            ::close(parentFd);
        return 0;
    }
    std::vector<std::string> candidates;
    while (const dirent* e = ::readdir(dir))
        if (IsExtractFolderName(e->d_name))
            candidates.emplace_back(e->d_name);
    int removed = 0;
    for (const std::string& name : candidates) {
        const int folder = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (folder < 0)
            continue;  // gone meanwhile, a link, or not a folder
        struct stat st {};
        int lock = -1;
        if (::fstat(folder, &st) == 0 && st.st_uid == ::geteuid() && Abandoned(folder, lockless, lock)) {
            RemoveFiles(folder);
            if (::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) == 0)
                ++removed;
        }
        if (lock >= 0)
            ::close(lock);
        ::close(folder);
    }
    ::closedir(dir);
    return removed;
}

std::pair<std::string, std::string> ExtractedFileName(const std::string& url)
{
    std::string path = url.substr(0, url.find_first_of("?#"));
    const std::size_t scheme = path.find("://");
    if (scheme != std::string::npos) {
        const std::size_t slash = path.find('/', scheme + 3);
        path = slash == std::string::npos ? std::string() : path.substr(slash);
    }
    const std::string raw = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    const std::string name = PercentDecode(raw).value_or(raw);
    std::string clean;
    for (std::size_t i = 0; i < name.size();) {
        char32_t cp = 0;
        const std::size_t n = DecodeUtf8(name, i, cp);
        if (n == 0 || cp < 0x20 || cp == 0x7F || cp == '/' || cp == '\\') {
            clean += '_';
            i += n ? n : 1;
        } else {
            clean.append(name, i, n);
            i += n;
        }
    }
    while (!clean.empty() && clean.front() == '.')
        clean.erase(0, 1);
    const std::size_t dot = clean.rfind('.');
    std::string stem = dot == std::string::npos ? clean : clean.substr(0, dot);
    std::string ext = dot == std::string::npos ? std::string() : clean.substr(dot);
    if (ext.size() > 20) {
        stem = clean;
        ext.clear();
    }
    stem = Utf8PrefixBytes(stem, 100);
    if (stem.empty())
        stem = "file";
    return {stem, ext};
}

}  // namespace ql
