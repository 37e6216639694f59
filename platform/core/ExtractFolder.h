#pragma once
// The private folder in which a process keeps the cache bodies it extracted. The process holds
// a lock on a file inside while it runs, so a folder left behind by a process that was killed
// is known by its free lock, and the next start sweeps it away.
#include <chrono>
#include <string>
#include <utility>

namespace ql {

class ExtractFolder {
public:
    // Makes "<parent>urlcache-XXXXXX/" (mode 0700) and takes its lock; Path() is "" when that
    // failed.
    explicit ExtractFolder(const std::string& parent);
    // Gives the lock up and removes the folder, which its owner has emptied of bodies by then.
    ~ExtractFolder();
    ExtractFolder(const ExtractFolder&) = delete;
    ExtractFolder& operator=(const ExtractFolder&) = delete;

    const std::string& Path() const { return path_; }  // with a trailing '/'

private:
    std::string path_;
    int lock_ = -1;
};

// Removes below `parent` the extract folders of processes that are gone: folders of ours (our
// user's, not symbolic links) named "urlcache-" and six characters whose lock nobody holds, or
// that have no lock file (as folders made before they had one) and were last changed at least
// `lockless` ago. Only their files go; links in them are removed, never followed. Gives the
// number of folders removed.
int SweepStaleExtractFolders(const std::string& parent, std::chrono::seconds lockless = std::chrono::seconds(60));

// A file name for an extracted body: the URL's last path segment decoded, so a user who meets
// the name again (a picture copied into a collection) recognises it. UTF-8 is kept; bytes of
// no valid UTF-8 sequence, controls, "/" and "\\" become "_"; leading dots go. The result is
// the stem and the extension of "stem[n].ext", the form in which such copies are named.
std::pair<std::string, std::string> ExtractedFileName(const std::string& url);

}  // namespace ql
