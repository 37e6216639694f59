#include "platform/core/UrlCache.h"

#include "platform/core/ExtractFolder.h"
#include "platform/core/IniFile.h"
#include "platform/core/RuntimeDir.h"
#include "platform/core/TextEncoding.h"
#include "platform/core/UniqueFd.h"
#include "platform/core/UrlCacheEntry.h"
#include "platform/core/UrlCacheKeys.h"
#include "platform/core/UrlText.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <tuple>

namespace ql {
namespace {

using urlcache::ReadUpTo;

using Fd = UniqueFd;

class Dir {
public:
    explicit Dir(int fd) : dir_(fd >= 0 ? ::fdopendir(fd) : nullptr)
    {
        if (fd >= 0 && !dir_)
            ::close(fd);
    }
    ~Dir()
    {
        if (dir_)
            ::closedir(dir_);
    }
    Dir(const Dir&) = delete;
    Dir& operator=(const Dir&) = delete;
    DIR* get() const { return dir_; }

private:
    DIR* dir_;
};

std::int64_t MtimeNs(const struct stat& st)
{
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

bool IsDir(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithSlash(std::string path)
{
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

// Names of the sub-folders of `path` (hidden ones skipped).
std::vector<std::string> SubFolders(const std::string& path)
{
    std::vector<std::string> out;
    Dir dir(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.get())
        return out;
    while (const dirent* e = ::readdir(dir.get())) {
        if (e->d_name[0] == '.')
            continue;
        if (e->d_type == DT_DIR || (e->d_type == DT_UNKNOWN && IsDir(path + e->d_name)))
            out.emplace_back(e->d_name);
    }
    return out;
}

std::string EnvOr(const char* name, const std::string& fallback)
{
    const char* v = AbsoluteEnvPath(name);
    return v ? std::string(v) : fallback;
}

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        done += static_cast<std::size_t>(w);
    }
    return true;
}

}  // namespace

UrlCacheRoots DefaultUrlCacheRoots()
{
    UrlCacheRoots roots;
    const char* homeEnv = std::getenv("HOME");
    const std::string home = homeEnv && homeEnv[0] == '/' ? WithSlash(homeEnv) : std::string();
    std::vector<std::string> cacheHomes;
    const std::string xdgCache = EnvOr("XDG_CACHE_HOME", "");
    if (!xdgCache.empty())
        cacheHomes.push_back(WithSlash(xdgCache));
    if (!home.empty())
        cacheHomes.push_back(home + ".cache/");
    std::sort(cacheHomes.begin(), cacheHomes.end());
    cacheHomes.erase(std::unique(cacheHomes.begin(), cacheHomes.end()), cacheHomes.end());
    for (const std::string& c : cacheHomes) {
        roots.chromium.push_back(c + "chromium/");
        roots.chromium.push_back(c + "google-chrome/");
        roots.firefox.push_back(c + "mozilla/firefox/");
    }
    if (!home.empty())
        roots.firefox.push_back(home + ".mozilla/firefox/");
    const std::string config = EnvOr("XDG_CONFIG_HOME", home.empty() ? std::string() : home + ".config");
    if (!config.empty())
        roots.firefox.push_back(WithSlash(config) + "mozilla/firefox/");
    return roots;
}

UrlCache::UrlCache(UrlCacheRoots roots, std::string extractParent)
    : roots_(std::move(roots)), extractParent_(std::move(extractParent))
{
    for (auto* list : {&roots_.chromium, &roots_.firefox})
        for (std::string& r : *list)
            r = WithSlash(r);
    // Without inotify every folder falls back to its modification time.
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
}

UrlCache::~UrlCache()
{
    stop_ = true;
    if (indexer_.joinable())
        indexer_.join();
    for (const auto& [url, path] : fileByUrl_)
        ::unlink(path.c_str());
    extractFolder_.reset();
    if (inotify_ >= 0)
        ::close(inotify_);
}

void UrlCache::StartIndexing()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (indexer_.joinable())
        return;
    // The folders are known before any lookup can come: one made meanwhile probes them.
    Discover();
    indexing_ = true;
    indexer_ = std::thread([this] {
        SweepStaleExtractFolders(ExtractParent());
        std::unique_lock<std::mutex> inner(mutex_);
        Update(&inner);
        indexing_ = false;
    });
}

bool UrlCache::Indexed() const { return !indexing_; }

std::size_t UrlCache::IndexedEntries() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    std::size_t n = 0;
    for (const Folder& f : folders_)
        for (const auto& [name, state] : f.files)
            if (!state.url.empty())
                ++n;
    return n;
}

void UrlCache::AddFolder(const std::string& path, UrlCacheFamily family)
{
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

// The profile folders "profiles.ini" in `root` names (Path= of each profile, IsRelative=0 for an
// absolute one; Default= of each installation), read again only when the file changed.
const std::vector<std::string>& UrlCache::FirefoxProfiles(const std::string& root)
{
    const std::string ini = root + "profiles.ini";
    ProfilesIni& known = profilesIni_[ini];
    struct stat st {};
    if (::stat(ini.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        known = ProfilesIni{};
        return known.profiles;
    }
    if (known.mtimeNs == MtimeNs(st) && known.size == st.st_size)
        return known.profiles;
    known = ProfilesIni{MtimeNs(st), st.st_size, FirefoxProfileFolders(IniFile(ini, false), root)};
    return known.profiles;
}

std::vector<std::string> FirefoxProfileFolders(const IniFile& profilesIni, const std::string& root)
{
    std::vector<std::string> profiles;
    for (const std::string& section : profilesIni.ReadSections()) {
        std::string path = profilesIni.ReadString(section, "Path", "");
        bool relative = profilesIni.ReadInteger(section, "IsRelative", 1) != 0;
        if (path.empty()) {
            path = profilesIni.ReadString(section, "Default", "");
            relative = path.empty() || path[0] != '/';
        }
        if (path.empty() || (!relative && path[0] != '/'))
            continue;
        path = WithSlash(relative ? root + path : path);
        if (std::find(profiles.begin(), profiles.end(), path) == profiles.end())
            profiles.push_back(path);
    }
    return profiles;
}

void UrlCache::Discover()
{
    for (Folder& f : folders_)
        f.present = false;
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
        if (chromiumCandidate(root) || chromiumCandidate(root + "Cache_Data/"))
            continue;
        for (const std::string& child : SubFolders(root)) {
            const std::string profile = root + child + "/";
            if (!chromiumCandidate(profile + "Cache/Cache_Data/"))
                chromiumCandidate(profile + "Cache/");
        }
    }
    // Firefox: <root>/cache2, <root>/<profile>/cache2, and the profiles of "profiles.ini" with
    // their cache either inside or below a cache root at the same relative path.
    auto firefoxCandidate = [this](const std::string& parent) {
        if (IsDir(parent + "cache2/entries"))
            AddFolder(parent + "cache2/entries/", UrlCacheFamily::Firefox);
    };
    for (const std::string& root : roots_.firefox) {
        firefoxCandidate(root);
        for (const std::string& child : SubFolders(root))
            firefoxCandidate(root + child + "/");
        for (const std::string& profile : FirefoxProfiles(root)) {
            firefoxCandidate(profile);
            if (profile.rfind(root, 0) != 0)
                continue;
            const std::string relative = profile.substr(root.size());
            for (const std::string& cacheRoot : roots_.firefox)
                firefoxCandidate(cacheRoot + relative);
        }
    }
}

void UrlCache::Unindex(std::size_t index, const std::string& name, const std::string& url)
{
    if (url.empty())
        return;
    const auto it = byUrl_.find(url);
    if (it == byUrl_.end())
        return;
    auto& refs = it->second;
    refs.erase(std::remove(refs.begin(), refs.end(), std::make_pair(index, name)), refs.end());
    if (refs.empty())
        byUrl_.erase(it);
}

// Reads an entry file's state and key; touches nothing of the cache, so it may run unlocked.
UrlCache::ReadEntry UrlCache::ReadEntryFile(UrlCacheFamily family, int dirFd, const std::string& name)
{
    ReadEntry read;
    read.name = name;
    Fd fd(::openat(dirFd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!fd) {
        read.gone = errno == ENOENT;
        return read;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode)) {
        read.state.mtimeNs = MtimeNs(st);
        read.state.size = static_cast<std::uint64_t>(st.st_size);
        const std::optional<std::string> url = family == UrlCacheFamily::Chromium
                                                   ? urlcache::ReadChromiumEntryUrl(fd.get())
                                                   : urlcache::ReadFirefoxEntryUrl(fd.get(), read.state.size);
        if (url)
            read.state.url = *url;
    }
    return read;
}

void UrlCache::IndexFile(std::size_t index, int dirFd, const std::string& name)
{
    ApplyEntry(index, ReadEntryFile(folders_[index].family, dirFd, name));
}

void UrlCache::ApplyEntry(std::size_t index, ReadEntry read)
{
    Folder& folder = folders_[index];
    const std::string& name = read.name;
    if (read.gone) {
        // Gone (a watch reports removals by name).
        const auto old = folder.files.find(name);
        if (old != folder.files.end()) {
            Unindex(index, name, old->second.url);
            folder.files.erase(old);
        }
        return;
    }
    FileState& state = read.state;
    state.seen = folder.scans;
    const auto old = folder.files.find(name);
    const bool wasUnreadable = old != folder.files.end() && old->second.url.empty();
    if (state.url.empty() && !wasUnreadable)
        folder.unreadable.push_back(name);
    if (old != folder.files.end()) {
        if (old->second.url == state.url) {
            old->second = state;
            return;
        }
        Unindex(index, name, old->second.url);
    }
    if (!state.url.empty())
        byUrl_[state.url].emplace_back(index, name);
    folder.files[name] = std::move(state);
}

void UrlCache::DropFolder(std::size_t index)
{
    Folder& folder = folders_[index];
    for (const auto& [name, state] : folder.files)
        Unindex(index, name, state.url);
    folder.files.clear();
    folder.unreadable.clear();
    folder.changed.clear();
    folder.mtimeNs = -1;
    if (folder.watch >= 0) {
        ::inotify_rm_watch(inotify_, folder.watch);
        folderByWatch_.erase(folder.watch);
        folder.watch = -1;
    }
}

// Collects the names the watches reported. A lost watch or an overflowed queue sends the
// folders concerned back to a full listing.
void UrlCache::ReadWatchEvents()
{
    if (inotify_ < 0)
        return;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(inotify_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            if (e->mask & IN_Q_OVERFLOW) {
                for (Folder& f : folders_)
                    f.mtimeNs = -1;
                continue;
            }
            const auto it = folderByWatch_.find(e->wd);
            if (it == folderByWatch_.end())
                continue;
            Folder& folder = folders_[it->second];
            if (e->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
                // The folder went away: list it afresh if it comes back.
                if (e->mask & IN_IGNORED) {
                    folderByWatch_.erase(it);
                    folder.watch = -1;
                } else {
                    DropFolder(it->second);
                }
                folder.mtimeNs = -1;
                continue;
            }
            if (e->len > 0)
                folder.changed.insert(e->name);
        }
    }
}

// Lists the whole folder and indexes the files not indexed yet; false when it could not be
// listed. A watch is set first, so nothing written during the listing is missed. With `lock`
// (the background indexing) the disk is read with the lock released, a slice of files at a
// time, so that a lookup meanwhile never waits for more than one slice.
bool UrlCache::ScanFolder(std::size_t index, std::unique_lock<std::mutex>* lock)
{
    Folder& folder = folders_[index];
    struct stat st {};
    if (::stat(folder.path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        DropFolder(index);
        return false;
    }
    const std::int64_t mtime = MtimeNs(st);
    if (folder.watch < 0 && mtime == folder.mtimeNs) {
        RetryUnreadable(index);
        return true;
    }
    if (folder.watch < 0 && inotify_ >= 0) {
        // Both browsers finish an entry (the key included, for Firefox) when they close its
        // file, so single writes need not be reported: a large download cannot flood the queue.
        const int wd = ::inotify_add_watch(inotify_, folder.path.c_str(),
                                           IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE |
                                               IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
        // Two folders that are one (a link) share a watch: the second one goes by its time.
        if (wd >= 0 && folderByWatch_.emplace(wd, index).second)
            folder.watch = wd;
    }
    folder.changed.clear();
    // Without a watch the folder's time decides, and it has the file system's coarse
    // granularity: a file added later within the same tick would not change it. Until the time
    // is safely past that granularity (a few milliseconds on local file systems), list the
    // folder at each lookup.
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t nowNs = static_cast<std::int64_t>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    const bool settled = folder.watch >= 0 || nowNs - mtime > 100000000LL;
    const std::string path = folder.path;
    const UrlCacheFamily family = folder.family;

    Fd dirFd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd)
        return false;
    std::vector<std::string> listed;
    bool listedAll = false;
    Unlocked(lock, [&] { listedAll = ListEntryNames(family, dirFd.get(), listed); });
    if (!listedAll)
        return false;

    Folder& f = folders_[index];
    const std::uint64_t scan = ++f.scans;
    std::vector<std::string> added;
    for (std::string& name : listed) {
        const auto it = f.files.find(name);
        if (it != f.files.end())
            it->second.seen = scan;
        else
            added.push_back(std::move(name));
    }
    for (auto it = f.files.begin(); it != f.files.end();) {
        if (it->second.seen == scan) {
            ++it;
            continue;
        }
        Unindex(index, it->first, it->second.url);
        it = f.files.erase(it);
    }
    // Stopping leaves the folder to be listed again at the next lookup.
    if (!IndexNames(index, dirFd.get(), added, lock))
        return false;
    RetryUnreadable(index);
    folders_[index].mtimeNs = settled ? mtime : -1;
    return true;
}

// Runs `work` with the lock released, when there is one to release.
template <class F>
void UrlCache::Unlocked(std::unique_lock<std::mutex>* lock, F&& work)
{
    if (lock)
        lock->unlock();
    work();
    if (lock)
        lock->lock();
}

// Indexes the entry files of the folder by name, a slice at a time; false when stopped.
bool UrlCache::IndexNames(std::size_t index, int dirFd, const std::vector<std::string>& names,
                          std::unique_lock<std::mutex>* lock)
{
    constexpr std::size_t kSlice = 256;
    const UrlCacheFamily family = folders_[index].family;
    std::vector<ReadEntry> read;
    for (std::size_t at = 0; at < names.size(); at += kSlice) {
        if (stop_)
            return false;
        const std::size_t end = std::min(names.size(), at + kSlice);
        read.clear();
        Unlocked(lock, [&] {
            if (onSlice_)
                onSlice_();
            for (std::size_t i = at; i < end; ++i)
                read.push_back(ReadEntryFile(family, dirFd, names[i]));
        });
        for (ReadEntry& r : read)
            ApplyEntry(index, std::move(r));
    }
    return true;
}

// The names in the folder that have the form of the family's entry files; false when the
// folder could not be read to its end.
bool UrlCache::ListEntryNames(UrlCacheFamily family, int dirFd, std::vector<std::string>& names)
{
    Dir dir(::dup(dirFd));
    if (!dir.get())
        return false;
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir.get());
        if (!e)
            return errno == 0;
        const std::string_view name(e->d_name);
        if (family == UrlCacheFamily::Chromium ? urlcache::IsChromiumEntryName(name)
                                               : urlcache::IsFirefoxEntryName(name))
            names.emplace_back(name);
    }
}

// Indexes again the files a watch reported: the cost follows the changes, not the folder.
void UrlCache::UpdateChanged(std::size_t index)
{
    Folder& folder = folders_[index];
    if (folder.changed.empty())
        return;
    Fd dirFd(::open(folder.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd)
        return;
    std::set<std::string> changed;
    changed.swap(folder.changed);
    for (const std::string& name : changed) {
        const bool entry = folder.family == UrlCacheFamily::Chromium ? urlcache::IsChromiumEntryName(name)
                                                                     : urlcache::IsFirefoxEntryName(name);
        if (entry)
            IndexFile(index, dirFd.get(), name);
    }
}

void UrlCache::RetryUnreadable(std::size_t index)
{
    Folder& folder = folders_[index];
    std::vector<std::string> retry;
    std::vector<std::string> still;
    for (const std::string& name : folder.unreadable) {
        const auto it = folder.files.find(name);
        if (it == folder.files.end() || !it->second.url.empty())
            continue;
        still.push_back(name);
        struct stat st {};
        if (::lstat((folder.path + name).c_str(), &st) != 0)
            continue;
        if (MtimeNs(st) != it->second.mtimeNs || static_cast<std::uint64_t>(st.st_size) != it->second.size)
            retry.push_back(name);
    }
    std::sort(still.begin(), still.end());
    still.erase(std::unique(still.begin(), still.end()), still.end());
    folder.unreadable = std::move(still);
    if (retry.empty())
        return;
    Fd dirFd(::open(folder.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd)
        return;
    for (const std::string& name : retry)
        IndexFile(index, dirFd.get(), name);
}

void UrlCache::Refresh()
{
    Discover();
    Update(nullptr);
}

void UrlCache::Update(std::unique_lock<std::mutex>* lock)
{
    ReadWatchEvents();
    for (std::size_t i = 0; i < folders_.size(); ++i) {
        if (stop_)
            return;
        Folder& folder = folders_[i];
        if (!folder.present) {
            DropFolder(i);
        } else if (folder.watch >= 0 && folder.mtimeNs != -1) {
            UpdateChanged(i);
        } else {
            ScanFolder(i, lock);
        }
    }
}

std::string UrlCache::ExtractParent() const
{
    return extractParent_.empty() ? RuntimeDir() : WithSlash(extractParent_);
}

// Writes the body to the URL's own file: replaced as a whole when the URL is extracted again.
std::string UrlCache::WriteBody(const std::string& url, const std::string& body)
{
    if (extractDir_.empty()) {
        auto folder = std::make_unique<ExtractFolder>(ExtractParent());
        if (folder->Path().empty())
            return {};
        extractFolder_ = std::move(folder);
        extractDir_ = extractFolder_->Path();
    }
    std::string temp = extractDir_ + ".body-XXXXXX";
    Fd fd(::mkostemp(temp.data(), O_CLOEXEC));  // 0600
    if (!fd)
        return {};
    if (!WriteAll(fd.get(), body)) {
        ::unlink(temp.c_str());
        return {};
    }
    const auto known = fileByUrl_.find(url);
    if (known != fileByUrl_.end()) {
        if (::rename(temp.c_str(), known->second.c_str()) == 0)
            return known->second;
        ::unlink(temp.c_str());
        return {};
    }
    const auto [stem, ext] = ExtractedFileName(url);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const unsigned n = ++namesUsed_[stem + ext];
        std::string path = extractDir_ + stem + "[" + std::to_string(n) + "]" + ext;
        // link() fails on an existing name, so no other file is ever replaced.
        if (::link(temp.c_str(), path.c_str()) == 0) {
            ::unlink(temp.c_str());
            fileByUrl_[url] = path;
            return path;
        }
        if (errno != EEXIST)
            break;
    }
    ::unlink(temp.c_str());
    return {};
}

std::string UrlCache::TryCandidate(std::size_t index, const std::string& name, const std::string& url,
                                   std::uint64_t maxBytes)
{
    const Folder& folder = folders_[index];
    const std::string entryPath = folder.path + name;
    Fd fd(::open(entryPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!fd)
        return {};
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
    // A file no larger than the limit holds no larger body.
    const auto done = extracted_.find(entryPath);
    if (done != extracted_.end() && done->second.mtimeNs == MtimeNs(st) && done->second.size == size) {
        struct stat copy {};
        if (::lstat(done->second.path.c_str(), &copy) == 0 && S_ISREG(copy.st_mode) &&
            static_cast<std::uint64_t>(copy.st_size) <= maxBytes)
            return done->second.path;
    }
    const std::optional<std::string> body = folder.family == UrlCacheFamily::Chromium
                                                ? urlcache::ReadChromiumEntryBody(fd.get(), size, url, maxBytes)
                                                : urlcache::ReadFirefoxEntryBody(fd.get(), size, url, maxBytes);
    if (!body)
        return {};
    std::string path = WriteBody(url, *body);
    if (path.empty())
        return {};
    // The URL's file now holds this entry's body, whatever entry filled it before.
    for (auto it = extracted_.begin(); it != extracted_.end();)
        it = it->second.path == path ? extracted_.erase(it) : std::next(it);
    extracted_[entryPath] = Extracted{MtimeNs(st), size, path};
    return path;
}

std::string UrlCache::Find(const std::string& url, std::uint64_t maxBytes, const std::string& pageUrl)
{
    if (url.empty() || url[0] == '#')
        return {};
    const std::lock_guard<std::mutex> lock(mutex_);
    // While the start-up indexing runs, the index is not complete and a lookup cannot wait for
    // it: what is indexed so far answers, then the files the browsers would have named by the
    // URL's keys.
    const bool indexing = indexing_;
    if (!indexing)
        Refresh();
    std::vector<Candidate> candidates;
    for (const std::string& key : urlcache::KeyVariants(url)) {
        const auto it = byUrl_.find(key);
        if (it == byUrl_.end())
            continue;
        for (const auto& [index, name] : it->second)
            candidates.push_back(Candidate{folders_[index].files.at(name).mtimeNs, index, name, key});
    }
    std::string path = TryNewestFirst(candidates, maxBytes);
    if (path.empty() && indexing)
        path = TryNewestFirst(ProbeCandidates(url, pageUrl), maxBytes);
    return path;
}

// The most recently written entry first: it is the one the browser shows now.
std::string UrlCache::TryNewestFirst(std::vector<Candidate> candidates, std::uint64_t maxBytes)
{
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.mtimeNs > b.mtimeNs; });
    for (const Candidate& c : candidates) {
        std::string path = TryCandidate(c.folder, c.name, c.url, maxBytes);
        if (!path.empty())
            return path;
    }
    return {};
}

// The entry files that exist under the names the URL's possible keys give.
std::vector<UrlCache::Candidate> UrlCache::ProbeCandidates(const std::string& url, const std::string& pageUrl)
{
    std::vector<Candidate> found;
    for (const std::string& variant : urlcache::KeyVariants(url)) {
        const std::vector<std::string> chromium = urlcache::ChromiumKeyCandidates(variant, pageUrl);
        const std::vector<std::string> firefox = urlcache::FirefoxKeyCandidates(variant, pageUrl);
        for (std::size_t index = 0; index < folders_.size(); ++index) {
            const Folder& folder = folders_[index];
            if (!folder.present)
                continue;
            const bool isChromium = folder.family == UrlCacheFamily::Chromium;
            for (const std::string& key : isChromium ? chromium : firefox) {
                std::string name = isChromium ? urlcache::ChromiumEntryName(key) : urlcache::FirefoxEntryName(key);
                struct stat st {};
                if (::lstat((folder.path + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                    continue;
                const bool known = std::any_of(found.begin(), found.end(),
                                               [&](const Candidate& c) { return c.folder == index && c.name == name; });
                if (!known)
                    found.push_back(Candidate{MtimeNs(st), index, std::move(name), variant});
            }
        }
    }
    return found;
}

}  // namespace ql
