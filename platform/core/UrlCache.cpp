#include "platform/core/UrlCache.h"

#include "platform/core/RuntimeDir.h"
#include "platform/core/UrlCacheEntry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace ql {
namespace {

using urlcache::ReadUpTo;

// Owns a descriptor.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_;
};

class Dir {
public:
    explicit Dir(int fd) : dir_(fd >= 0 ? ::fdopendir(fd) : nullptr) {
        if (fd >= 0 && !dir_) ::close(fd);
    }
    ~Dir() {
        if (dir_) ::closedir(dir_);
    }
    Dir(const Dir&) = delete;
    Dir& operator=(const Dir&) = delete;
    DIR* get() const { return dir_; }

private:
    DIR* dir_;
};

std::int64_t MtimeNs(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

bool IsDir(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithSlash(std::string path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

// Names of the sub-folders of `path` (hidden ones skipped).
std::vector<std::string> SubFolders(const std::string& path) {
    std::vector<std::string> out;
    Dir dir(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.get()) return out;
    while (const dirent* e = ::readdir(dir.get())) {
        if (e->d_name[0] == '.') continue;
        if (e->d_type == DT_DIR || (e->d_type == DT_UNKNOWN && IsDir(path + e->d_name)))
            out.emplace_back(e->d_name);
    }
    return out;
}

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    // Relative values are invalid by the base-directory rules and ignored.
    if (v && v[0] == '/') return v;
    return fallback;
}

// A file name for an extracted body, taken from the URL's last path segment: only letters,
// digits, '-', '_' and '.' survive; "stem[n].ext" as the cache copies of other systems are named.
std::pair<std::string, std::string> StemAndExtension(const std::string& url) {
    std::string path = url.substr(0, url.find_first_of("?#"));
    const std::size_t scheme = path.find("://");
    if (scheme != std::string::npos) {
        const std::size_t slash = path.find('/', scheme + 3);
        path = slash == std::string::npos ? std::string() : path.substr(slash);
    }
    std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    std::string clean;
    for (const char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        clean += (std::isalnum(u) && u < 0x80) || c == '-' || c == '_' || c == '.' ? c : '_';
    }
    while (!clean.empty() && clean.front() == '.') clean.erase(0, 1);
    if (clean.size() > 100) clean.erase(0, clean.size() - 100);
    const std::size_t dot = clean.rfind('.');
    std::string stem = dot == std::string::npos ? clean : clean.substr(0, dot);
    std::string ext = dot == std::string::npos ? std::string() : clean.substr(dot);
    if (stem.empty()) stem = "file";
    return {stem, ext};
}

}  // namespace

UrlCacheRoots DefaultUrlCacheRoots() {
    UrlCacheRoots roots;
    const char* homeEnv = std::getenv("HOME");
    const std::string home = homeEnv && homeEnv[0] == '/' ? WithSlash(homeEnv) : std::string();
    std::vector<std::string> cacheHomes;
    const std::string xdgCache = EnvOr("XDG_CACHE_HOME", "");
    if (!xdgCache.empty()) cacheHomes.push_back(WithSlash(xdgCache));
    if (!home.empty()) cacheHomes.push_back(home + ".cache/");
    std::sort(cacheHomes.begin(), cacheHomes.end());
    cacheHomes.erase(std::unique(cacheHomes.begin(), cacheHomes.end()), cacheHomes.end());
    for (const std::string& c : cacheHomes) {
        roots.chromium.push_back(c + "chromium/");
        roots.chromium.push_back(c + "google-chrome/");
        roots.firefox.push_back(c + "mozilla/firefox/");
    }
    if (!home.empty()) roots.firefox.push_back(home + ".mozilla/firefox/");
    const std::string config = EnvOr("XDG_CONFIG_HOME", home.empty() ? std::string() : home + ".config");
    if (!config.empty()) roots.firefox.push_back(WithSlash(config) + "mozilla/firefox/");
    return roots;
}

UrlCache::UrlCache(UrlCacheRoots roots, std::string extractParent)
    : roots_(std::move(roots)), extractParent_(std::move(extractParent)) {
    for (auto* list : {&roots_.chromium, &roots_.firefox})
        for (std::string& r : *list) r = WithSlash(r);
}

UrlCache::~UrlCache() {
    for (const std::string& path : written_) ::unlink(path.c_str());
    if (!extractDir_.empty()) ::rmdir(extractDir_.c_str());
}

std::size_t UrlCache::IndexedEntries() const {
    std::size_t n = 0;
    for (const Folder& f : folders_)
        for (const auto& [name, state] : f.files)
            if (!state.url.empty()) ++n;
    return n;
}

void UrlCache::AddFolder(const std::string& path, UrlCacheFamily family) {
    const auto it = folderByPath_.find(path);
    if (it != folderByPath_.end()) {
        folders_[it->second].present = true;
        return;
    }
    Folder f;
    f.path = path;
    f.family = family;
    folderByPath_.emplace(path, folders_.size());
    folders_.push_back(std::move(f));
}

void UrlCache::Discover() {
    for (Folder& f : folders_) f.present = false;
    // Chromium: <root>/<profile>/Cache/Cache_Data, the older <root>/<profile>/Cache, or a
    // root that is a cache folder itself. Each cache folder has an "index-dir".
    auto chromiumCandidate = [this](const std::string& dir) {
        if (IsDir(dir + "index-dir")) {
            AddFolder(dir, UrlCacheFamily::Chromium);
            return true;
        }
        return false;
    };
    for (const std::string& root : roots_.chromium) {
        if (chromiumCandidate(root) || chromiumCandidate(root + "Cache_Data/")) continue;
        for (const std::string& child : SubFolders(root)) {
            const std::string profile = root + child + "/";
            if (!chromiumCandidate(profile + "Cache/Cache_Data/")) chromiumCandidate(profile + "Cache/");
        }
    }
    for (const std::string& root : roots_.firefox) {
        if (IsDir(root + "cache2/entries")) AddFolder(root + "cache2/entries/", UrlCacheFamily::Firefox);
        for (const std::string& child : SubFolders(root)) {
            const std::string entries = root + child + "/cache2/entries/";
            if (IsDir(entries)) AddFolder(entries, UrlCacheFamily::Firefox);
        }
    }
}

void UrlCache::Unindex(std::size_t index, const std::string& name, const std::string& url) {
    if (url.empty()) return;
    const auto it = byUrl_.find(url);
    if (it == byUrl_.end()) return;
    auto& refs = it->second;
    refs.erase(std::remove(refs.begin(), refs.end(), std::make_pair(index, name)), refs.end());
    if (refs.empty()) byUrl_.erase(it);
}

void UrlCache::IndexFile(std::size_t index, int dirFd, const std::string& name) {
    Folder& folder = folders_[index];
    FileState state;
    Fd fd(::openat(dirFd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (fd) {
        struct stat st {};
        if (::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode)) {
            state.mtimeNs = MtimeNs(st);
            state.size = static_cast<std::uint64_t>(st.st_size);
            const std::optional<std::string> url = folder.family == UrlCacheFamily::Chromium
                                                       ? urlcache::ReadChromiumEntryUrl(fd.get())
                                                       : urlcache::ReadFirefoxEntryUrl(fd.get(), state.size);
            if (url) state.url = *url;
        }
    }
    state.seen = folder.scans;
    const auto old = folder.files.find(name);
    const bool wasUnreadable = old != folder.files.end() && old->second.url.empty();
    if (state.url.empty() && !wasUnreadable) folder.unreadable.push_back(name);
    if (old != folder.files.end()) {
        if (old->second.url == state.url) {
            old->second = state;
            return;
        }
        Unindex(index, name, old->second.url);
    }
    if (!state.url.empty()) byUrl_[state.url].emplace_back(index, name);
    folder.files[name] = std::move(state);
}

void UrlCache::ScanFolder(std::size_t index) {
    Folder& folder = folders_[index];
    struct stat st {};
    const bool exists = folder.present && ::stat(folder.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (!exists) {
        for (const auto& [name, state] : folder.files) Unindex(index, name, state.url);
        folder.files.clear();
        folder.unreadable.clear();
        folder.mtimeNs = -1;
        return;
    }
    const std::int64_t mtime = MtimeNs(st);
    if (mtime == folder.mtimeNs) {
        RetryUnreadable(index);
        return;
    }
    // The folder's time has the file system's coarse granularity: a file added later within
    // the same tick would not change it. Until the time is safely past that granularity (a few
    // milliseconds on local file systems), rescan at each lookup.
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t nowNs = static_cast<std::int64_t>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    const bool settled = nowNs - mtime > 100000000LL;

    const int dirFd = ::open(folder.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    Dir dir(dirFd);
    if (!dir.get()) return;
    const std::uint64_t scan = ++folder.scans;
    std::vector<std::string> added;
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string_view name(e->d_name);
        const bool entry = folder.family == UrlCacheFamily::Chromium ? urlcache::IsChromiumEntryName(name)
                                                                     : urlcache::IsFirefoxEntryName(name);
        if (!entry) continue;
        const auto it = folder.files.find(e->d_name);
        if (it != folder.files.end())
            it->second.seen = scan;
        else
            added.emplace_back(name);
    }
    for (auto it = folder.files.begin(); it != folder.files.end();) {
        if (it->second.seen == scan) {
            ++it;
            continue;
        }
        Unindex(index, it->first, it->second.url);
        it = folder.files.erase(it);
    }
    for (const std::string& name : added) IndexFile(index, dirfd(dir.get()), name);
    RetryUnreadable(index);
    folder.mtimeNs = settled ? mtime : -1;
}

void UrlCache::RetryUnreadable(std::size_t index) {
    Folder& folder = folders_[index];
    std::vector<std::string> retry;
    std::vector<std::string> still;
    for (const std::string& name : folder.unreadable) {
        const auto it = folder.files.find(name);
        if (it == folder.files.end() || !it->second.url.empty()) continue;
        still.push_back(name);
        struct stat st {};
        if (::lstat((folder.path + name).c_str(), &st) != 0) continue;
        if (MtimeNs(st) != it->second.mtimeNs || static_cast<std::uint64_t>(st.st_size) != it->second.size)
            retry.push_back(name);
    }
    std::sort(still.begin(), still.end());
    still.erase(std::unique(still.begin(), still.end()), still.end());
    folder.unreadable = std::move(still);
    if (retry.empty()) return;
    Fd dirFd(::open(folder.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd) return;
    for (const std::string& name : retry) IndexFile(index, dirFd.get(), name);
}

void UrlCache::Refresh() {
    Discover();
    for (std::size_t i = 0; i < folders_.size(); ++i) ScanFolder(i);
}

std::string UrlCache::WriteBody(const std::string& url, const std::string& body) {
    if (extractDir_.empty()) {
        std::string parent = extractParent_.empty() ? RuntimeDir() : WithSlash(extractParent_);
        if (parent.empty()) return {};
        std::string pattern = parent + "urlcache-XXXXXX";
        if (!::mkdtemp(pattern.data())) return {};
        extractDir_ = pattern + "/";
    }
    const auto [stem, ext] = StemAndExtension(url);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const unsigned n = ++namesUsed_[stem + ext];
        const std::string path = extractDir_ + stem + "[" + std::to_string(n) + "]" + ext;
        Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd) {
            if (errno == EEXIST) continue;
            return {};
        }
        std::size_t done = 0;
        while (done < body.size()) {
            const ssize_t w = ::write(fd.get(), body.data() + done, body.size() - done);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) break;
            done += static_cast<std::size_t>(w);
        }
        if (done != body.size()) {
            ::unlink(path.c_str());
            return {};
        }
        written_.push_back(path);
        return path;
    }
    return {};
}

std::string UrlCache::TryCandidate(std::size_t index, const std::string& name, const std::string& url) {
    const Folder& folder = folders_[index];
    const std::string entryPath = folder.path + name;
    Fd fd(::open(entryPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!fd) return {};
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
    const auto done = extracted_.find(entryPath);
    if (done != extracted_.end() && done->second.mtimeNs == MtimeNs(st) && done->second.size == size) {
        struct stat copy {};
        if (::lstat(done->second.path.c_str(), &copy) == 0 && S_ISREG(copy.st_mode)) return done->second.path;
    }
    const std::optional<std::string> body = folder.family == UrlCacheFamily::Chromium
                                                ? urlcache::ReadChromiumEntryBody(fd.get(), size, url)
                                                : urlcache::ReadFirefoxEntryBody(fd.get(), size, url);
    if (!body) return {};
    std::string path = WriteBody(url, *body);
    if (!path.empty()) extracted_[entryPath] = Extracted{MtimeNs(st), size, path};
    return path;
}

std::string UrlCache::Find(const std::string& url) {
    if (url.empty()) return {};
    Refresh();
    const auto it = byUrl_.find(url);
    if (it == byUrl_.end()) return {};
    // The most recently written entry first: it is the one the browser shows now.
    std::vector<std::pair<std::size_t, std::string>> candidates = it->second;
    auto mtimeOf = [this](const std::pair<std::size_t, std::string>& ref) {
        return folders_[ref.first].files.at(ref.second).mtimeNs;
    };
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&](const auto& a, const auto& b) { return mtimeOf(a) > mtimeOf(b); });
    for (const auto& [index, name] : candidates) {
        std::string path = TryCandidate(index, name, url);
        if (!path.empty()) return path;
    }
    return {};
}

}  // namespace ql
