#pragma once
// The local copy of a URL's body from the caches that the user's browsers keep on disk.
// Linux has no system-wide URL cache; Chromium-family browsers ("simple cache" folders) and
// Firefox-family browsers ("cache2" folders) each keep their own. The caches are only read:
// a usable body is copied into a private file below the runtime folder and that path returned.
#include "platform/core/UrlCacheEntry.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace ql {

class ExtractFolder;

enum class UrlCacheFamily { Chromium, Firefox };

// Folders below which browser caches are looked for. A Chromium root holds profile folders
// (each with Cache/Cache_Data or Cache) or is itself a cache folder; a Firefox root holds
// profile folders (each with cache2/entries) or has cache2/entries itself, and its
// "profiles.ini" may name profiles elsewhere (their caches are looked for in the profile and
// below every Firefox root at the profile's path relative to the ini's folder).
struct UrlCacheRoots {
    std::vector<std::string> chromium;
    std::vector<std::string> firefox;
};

class IniFile;

// The profile folders a Firefox root's "profiles.ini" names (Path= of each profile, relative to
// `root` (which ends with '/') unless IsRelative=0; else Default= of each installation), each
// once, with a trailing '/'.
std::vector<std::string> FirefoxProfileFolders(const IniFile& profilesIni, const std::string& root);

// The user's roots: ${XDG_CACHE_HOME:-~/.cache}/{chromium,google-chrome}, and for Firefox and
// Firefox ESR ${XDG_CACHE_HOME:-~/.cache}/mozilla/firefox, ~/.mozilla/firefox and
// ${XDG_CONFIG_HOME:-~/.config}/mozilla/firefox (profiles that keep their cache inside).
UrlCacheRoots DefaultUrlCacheRoots();

// Looks URLs up in the caches below the given roots. Every entry's key is indexed once (in the
// background after StartIndexing, else at the first lookup); afterwards the entry folders are
// watched (inotify), so a lookup reads only the entry files that changed since the last one.
// Where no watch can be had, a folder whose modification time changed is listed again.
// Thread-safe.
class UrlCache {
public:
    // `extractParent`: the folder receiving the private folder of extracted bodies; "" means
    // the runtime folder.
    explicit UrlCache(UrlCacheRoots roots, std::string extractParent = "");
    ~UrlCache();  // stops indexing, removes the extracted bodies
    UrlCache(const UrlCache&) = delete;
    UrlCache& operator=(const UrlCache&) = delete;

    // Indexes the caches in a background thread, so that the first lookup need not. Later
    // calls do nothing. The program calls it at start, so the thread first sweeps away the
    // extract folders of killed processes.
    void StartIndexing();
    // Whether the background indexing has finished (true when it was never started).
    bool Indexed() const;

    // The path of a private readable file (0600) holding the cached body of exactly `url`
    // (case-sensitive, whole string; a fragment is ignored, as browsers never fetch one), or ""
    // when no usable entry with a body of at most `maxBytes` exists. A path holding "|" is also
    // looked up as Chromium keeps it ("%7C"), and the reverse. Entries that are truncated,
    // content-encoded, not a complete 200 response or otherwise damaged are absent. The same
    // URL always gets the same file, named after the URL's decoded last segment as
    // "name[n].ext" (n tells apart URLs of one name). `pageUrl`, the address (or the origin) of
    // the page that showed the resource when known, tells which keys the browsers split it
    // under; it matters only while the background indexing runs.
    std::string Find(const std::string& url, std::uint64_t maxBytes = urlcache::kMaxBodyBytes,
                     const std::string& pageUrl = "");

    // Number of indexed entry files (for diagnostics and benchmarks).
    std::size_t IndexedEntries() const;

    // Called by the background indexing before each slice of entry files it reads, with the
    // lock released (tests hold the indexing there). Set before StartIndexing.
    void SetSliceHook(std::function<void()> hook) { onSlice_ = std::move(hook); }

private:
    struct FileState {
        std::string url;  // empty while the entry's key could not be read
        std::int64_t mtimeNs = 0;
        std::uint64_t size = 0;
        std::uint64_t seen = 0;  // the scan that last listed the file
    };
    struct Folder {
        std::string path;  // with a trailing '/'
        UrlCacheFamily family = UrlCacheFamily::Chromium;
        std::int64_t mtimeNs = -1;  // -1: list the folder at the next lookup
        int watch = -1;             // inotify watch, -1 when none
        std::unordered_map<std::string, FileState> files;
        std::vector<std::string> unreadable;  // entry files whose key could not be read yet
        std::set<std::string> changed;        // names the watch reported since the last lookup
        std::uint64_t scans = 0;
        bool present = true;
    };
    struct Extracted {
        std::int64_t mtimeNs = 0;
        std::uint64_t size = 0;
        std::string path;
    };
    struct ReadEntry {  // an entry file as read from the disk
        std::string name;
        FileState state;
        bool gone = false;
    };
    struct Candidate {  // an entry file that may hold the URL
        std::int64_t mtimeNs = 0;
        std::size_t folder = 0;
        std::string name;
        std::string url;  // the form of the URL its key holds
    };
    struct ProfilesIni {
        std::int64_t mtimeNs = -1;
        std::int64_t size = -1;
        std::vector<std::string> profiles;  // absolute folders with a trailing '/'
    };

    void Refresh();
    // Brings the index up to date with the folders found; with `lock`, in slices (see ScanFolder).
    void Update(std::unique_lock<std::mutex>* lock);
    void Discover();
    const std::vector<std::string>& FirefoxProfiles(const std::string& root);
    void AddFolder(const std::string& path, UrlCacheFamily family);
    void DropFolder(std::size_t index);
    void ReadWatchEvents();
    bool ScanFolder(std::size_t index, std::unique_lock<std::mutex>* lock);
    static bool ListEntryNames(UrlCacheFamily family, int dirFd, std::vector<std::string>& names);
    static ReadEntry ReadEntryFile(UrlCacheFamily family, int dirFd, const std::string& name);
    template <class F>
    static void Unlocked(std::unique_lock<std::mutex>* lock, F&& work);
    bool IndexNames(std::size_t index, int dirFd, const std::vector<std::string>& names,
                    std::unique_lock<std::mutex>* lock);
    void ApplyEntry(std::size_t index, ReadEntry read);
    void UpdateChanged(std::size_t index);
    void RetryUnreadable(std::size_t index);
    void IndexFile(std::size_t index, int dirFd, const std::string& name);
    void Unindex(std::size_t index, const std::string& name, const std::string& url);
    std::string TryCandidate(std::size_t index, const std::string& name, const std::string& url,
                             std::uint64_t maxBytes);
    std::string TryNewestFirst(std::vector<Candidate> candidates, std::uint64_t maxBytes);
    std::vector<Candidate> ProbeCandidates(const std::string& url, const std::string& pageUrl);
    std::string WriteBody(const std::string& url, const std::string& body);
    std::string ExtractParent() const;

    UrlCacheRoots roots_;
    std::string extractParent_;
    mutable std::mutex mutex_;  // guards everything below
    int inotify_ = -1;
    std::unique_ptr<ExtractFolder> extractFolder_;  // made on first use
    std::string extractDir_;
    std::vector<Folder> folders_;
    std::map<std::string, std::size_t> folderByPath_;
    std::map<int, std::size_t> folderByWatch_;
    std::map<std::string, ProfilesIni> profilesIni_;  // by ini path
    std::unordered_map<std::string, std::vector<std::pair<std::size_t, std::string>>> byUrl_;
    std::map<std::string, Extracted> extracted_;    // by entry path
    std::map<std::string, std::string> fileByUrl_;  // the extracted file of each URL
    std::map<std::string, unsigned> namesUsed_;     // per extracted stem+extension
    std::atomic<bool> stop_{false};
    std::atomic<bool> indexing_{false};  // changed with the lock held
    std::function<void()> onSlice_;
    std::thread indexer_;
};

}  // namespace ql
