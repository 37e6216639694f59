#pragma once
// The local copy of a URL's body from the caches that the user's browsers keep on disk.
// Linux has no system-wide URL cache; Chromium-family browsers ("simple cache" folders) and
// Firefox-family browsers ("cache2" folders) each keep their own. The caches are only read:
// a usable body is copied into a private file below the runtime folder and that path returned.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace ql {

enum class UrlCacheFamily { Chromium, Firefox };

// Folders below which browser caches are looked for. A Chromium root holds profile folders
// (each with Cache/Cache_Data or Cache) or is itself a cache folder; a Firefox root holds
// profile folders (each with cache2/entries) or has cache2/entries itself.
struct UrlCacheRoots {
    std::vector<std::string> chromium;
    std::vector<std::string> firefox;
};

// The user's roots: ${XDG_CACHE_HOME:-~/.cache}/{chromium,google-chrome}, and for Firefox and
// Firefox ESR ${XDG_CACHE_HOME:-~/.cache}/mozilla/firefox, ~/.mozilla/firefox and
// ${XDG_CONFIG_HOME:-~/.config}/mozilla/firefox (profiles that keep their cache inside).
UrlCacheRoots DefaultUrlCacheRoots();

// Looks URLs up in the caches below the given roots. The first lookup indexes every entry's
// key; later lookups only rescan entry folders whose modification time changed, so entries
// written since are found. Not thread-safe: callers serialise.
class UrlCache {
public:
    // `extractParent`: the folder receiving the private folder of extracted bodies; "" means
    // the runtime folder.
    explicit UrlCache(UrlCacheRoots roots, std::string extractParent = "");
    ~UrlCache();  // removes the extracted bodies
    UrlCache(const UrlCache&) = delete;
    UrlCache& operator=(const UrlCache&) = delete;

    // The path of a private readable file (0600) holding the cached body of exactly `url`
    // (case-sensitive, whole string), or "" when no usable entry exists. Entries that are
    // truncated, content-encoded, not a complete 200 response or otherwise damaged are absent.
    std::string Find(const std::string& url);

    // Number of indexed entry files (for diagnostics and benchmarks).
    std::size_t IndexedEntries() const;

private:
    struct FileState {
        std::string url;        // empty while the entry's key could not be read
        std::int64_t mtimeNs = 0;
        std::uint64_t size = 0;
        std::uint64_t seen = 0;  // the scan that last listed the file
    };
    struct Folder {
        std::string path;  // with a trailing '/'
        UrlCacheFamily family = UrlCacheFamily::Chromium;
        std::int64_t mtimeNs = -1;  // -1: scan at the next lookup
        std::unordered_map<std::string, FileState> files;
        std::vector<std::string> unreadable;  // entry files whose key could not be read yet
        std::uint64_t scans = 0;
        bool present = true;
    };
    struct Extracted {
        std::int64_t mtimeNs = 0;
        std::uint64_t size = 0;
        std::string path;
    };

    void Refresh();
    void Discover();
    void AddFolder(const std::string& path, UrlCacheFamily family);
    void ScanFolder(std::size_t index);
    void RetryUnreadable(std::size_t index);
    void IndexFile(std::size_t index, int dirFd, const std::string& name);
    void Unindex(std::size_t index, const std::string& name, const std::string& url);
    std::string TryCandidate(std::size_t index, const std::string& name, const std::string& url);
    std::string WriteBody(const std::string& url, const std::string& body);

    UrlCacheRoots roots_;
    std::string extractParent_;
    std::string extractDir_;  // made on first use
    std::vector<Folder> folders_;
    std::map<std::string, std::size_t> folderByPath_;
    std::unordered_map<std::string, std::vector<std::pair<std::size_t, std::string>>> byUrl_;
    std::map<std::string, Extracted> extracted_;  // by entry path
    std::map<std::string, unsigned> namesUsed_;  // per extracted stem+extension
    std::vector<std::string> written_;
};

}  // namespace ql
