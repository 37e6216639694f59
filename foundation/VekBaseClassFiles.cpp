// Folder listings, tree deletion and file facts of VekBaseClass.
#include "foundation/VekBaseClass.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {

namespace {

// Windows-style mask match: '*' any run, '?' any one character; a mask ending in ".*" also
// matches names without a dot ("*.*" matches every name).
bool globMatch(const char* mask, const char* name)
{
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*mask == '*') {
            star = mask++;
            resume = name;
        } else if (*mask == '?' || *mask == *name) {
            ++mask;
            ++name;
        } else if (star) {
            mask = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*mask == '*')
        ++mask;
    return *mask == '\0';
}

bool maskMatches(const std::string& mask, const std::string& name)
{
    if (globMatch(mask.c_str(), name.c_str()))
        return true;
    if (mask.size() >= 2 && mask.compare(mask.size() - 2, 2, ".*") == 0 && name.find('.') == std::string::npos)
        return globMatch(mask.substr(0, mask.size() - 2).c_str(), name.c_str());
    return false;
}

std::string withSlash(const std::string& folder)
{
    return (!folder.empty() && folder.back() == '/') ? folder : folder + "/";
}

struct Entry {
    std::string name;
    bool folder = false;  // a real folder, not a link to one
};

// The entries of `dir` without "." and "..", sorted by name. Links are never followed for the
// folder test, so a link to a folder is no folder.
std::vector<Entry> readFolder(const std::string& dir)
{
    std::vector<Entry> out;
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return out;
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        Entry entry{name, false};
        if (e->d_type == DT_DIR) {
            entry.folder = true;
        } else if (e->d_type == DT_UNKNOWN) {
            struct stat st {};
            entry.folder = ::lstat((dir + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        out.push_back(std::move(entry));
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return out;
}

bool isLinkToFolder(const std::string& path)
{
    struct stat lst {
    }, st{};
    return ::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode) && ::stat(path.c_str(), &st) == 0 &&
           S_ISDIR(st.st_mode);
}

void visitFolder(const std::string& dir, const std::string& mask, StringList& list, bool isRoot, bool includeRoot,
                 bool noRecursion, bool namesOnly)
{
    std::vector<Entry> entries = readFolder(dir);
    // The search finds "." and ".." too, so "*" and "*.*" list every folder.
    bool matched = ::access(dir.c_str(), R_OK | X_OK) == 0 && (maskMatches(mask, ".") || maskMatches(mask, ".."));
    for (size_t i = 0; !matched && i < entries.size(); ++i)
        matched = maskMatches(mask, entries[i].name);
    if (matched && (!isRoot || includeRoot))
        list.push_back(dir);
    for (const auto& e : entries) {
        if (!e.folder)
            continue;
        if (!noRecursion)
            visitFolder(dir + e.name + "/", mask, list, false, includeRoot, noRecursion, namesOnly);
        else if (namesOnly)
            list.push_back(e.name);
        else
            list.push_back(dir + e.name + "/");
    }
}

// Deletes the folder `name` below the open folder `parentFd`. Opened without following links,
// so a link swapped in for a folder is never entered. Read-only files (no owner write bit) stay,
// and with them their folder chain.
void deleteTreeAt(int parentFd, const std::string& name)
{
    int fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    std::vector<std::string> names;
    if (int listFd = ::dup(fd); listFd >= 0) {
        if (DIR* d = ::fdopendir(listFd)) {
            while (dirent* e = ::readdir(d)) {
                std::string n = e->d_name;
                if (n != "." && n != "..")
                    names.push_back(n);
            }
            ::closedir(d);
        } else {
            ::close(listFd);
        }
    }
    for (const auto& n : names) {
        struct stat st {};
        if (::fstatat(fd, n.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            deleteTreeAt(fd, n);
        else if (S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR))
            continue;
        else
            ::unlinkat(fd, n.c_str(), 0);
    }
    ::close(fd);
    ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR);  // fails while something stayed
}

}  // namespace

void ListFiles(const std::string& folder, const std::string& mask, StringList& list, bool withExt)
{
    list.clear();
    std::string dir = withSlash(folder);
    for (const auto& e : readFolder(dir)) {
        if (e.folder || !maskMatches(mask, e.name) || isLinkToFolder(dir + e.name))
            continue;
        if (withExt) {
            list.push_back(e.name);
        } else {
            auto dot = e.name.rfind('.');
            list.push_back(dot == std::string::npos ? e.name : e.name.substr(0, dot));
        }
    }
}

void ListFolders(const std::string& folder, const std::string& mask, StringList& list, bool includeRoot,
                 bool noRecursion, bool namesOnly)
{
    list.clear();
    visitFolder(withSlash(folder), mask, list, true, includeRoot, noRecursion, namesOnly);
}

void DeleteFolderTree(const std::string& folder)
{
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.empty() || path == "/")
        return;
    auto slash = path.rfind('/');
    std::string parent = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
        return;
    int parentFd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return;
    deleteTreeAt(parentFd, name);
    ::close(parentFd);
}

std::int64_t GetFileSize(const std::string& fileName)
{
    struct stat st {};
    if (fileName.empty() || ::stat(fileName.c_str(), &st) != 0)
        return -1;
    return S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_size) : 0;
}

double GetFileDateTime(const std::string& fileName)
{
    struct stat st {};
    if (fileName.empty() || ::stat(fileName.c_str(), &st) != 0)
        return 0;
    std::tm local{};
    time_t secs = st.st_mtim.tv_sec;
    if (!::localtime_r(&secs, &local))
        return 0;
    // Days from the civil date (proleptic Gregorian), counted from 30 December 1899.
    long long y = local.tm_year + 1900, m = local.tm_mon + 1, d = local.tm_mday;
    y -= m <= 2;
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yoe = y - era * 400;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    long long daysSince1970 = era * 146097 + doe - 719468;
    constexpr long long k1899To1970 = 25569;
    double dayFraction =
        (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + static_cast<double>(st.st_mtim.tv_nsec) / 1e9) /
        86400.0;
    return static_cast<double>(daysSince1970 + k1899To1970) + dayFraction;
}

}  // namespace ql
