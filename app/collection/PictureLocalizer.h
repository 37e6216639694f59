#pragma once
// Keeping a clip's pictures: each picture's address is resolved against the clip's source, its
// local copy (a file of a local page, or the browser cache's copy) is copied into the images
// folder under a unique name, the page points at "!images\" + that name, and "images.ini" lists
// the picture under the page id. Links are made absolute on the way.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ql {

class IniFile;

// The local copy of a URL's body no longer than `maxBytes`, or "" (production: FindUrlCacheFile,
// whose index the program starts building at start-up with StartUrlCacheIndexing). Larger bodies
// are left in the cache: the caller would refuse them anyway. `pageUrl` is the address of the
// page the resource was shown in, as far as the clip tells it ("" when unknown).
using UrlCacheLookup =
    std::function<std::string(const std::string& url, std::uint64_t maxBytes, const std::string& pageUrl)>;

// How a page refers to a picture in the images folder (browsers read "\" as "/" in file URLs).
inline constexpr char kImagesReference[] = "!images\\";
// Larger files are not copied.
inline constexpr std::uint64_t kMaxPictureBytes = 64ull << 20;

// Equal size and equal content (whatever the dates: a cached copy extracted again gets a new
// one, and two pictures extracted within one second share one). Files beyond the picture size
// cap are never the same.
bool IsSameFile(const std::string& a, const std::string& b);

struct LocalizeResult {
    std::string html;
    bool changed = false;               // a picture was copied or a link made absolute
    std::vector<std::string> pictures;  // names in the images folder, in document order
    bool recordsSaved = true;           // false when "images.ini" could not be saved
};

class PictureLocalizer {
public:
    // `imagesIni` may be null (no records are written then). With no images folder nothing is
    // copied: addresses are only made absolute.
    PictureLocalizer(std::string imagesDir, IniFile* imagesIni, UrlCacheLookup findCachedFile);

    // A local file or an absolute address for an attribute value (entities decoded), or ""
    // when it is to stay as it is: empty, an "!images\" reference, a fragment of the page itself,
    // or relative with no source to resolve it against. A local source (a path or "file:"
    // URL) resolves to a path; otherwise addresses resolve by RFC 3986 against the source's
    // folder, and for a picture the browser cache's copy is preferred when it exists.
    std::string ResolveClipResource(bool picture, const std::string& value, const std::string& sourceUrl) const;

    // A name in the images folder that is free or holds the same file: the file's name without
    // "=", "[" and "]" (and without characters that would break a reference), then stem2.ext,
    // stem3.ext ... "" when no name could be found.
    std::string UniqueImageName(const std::string& file) const;

    // Localises the pictures (and, with `withLinks`, the links) of the start tags that begin in
    // [begin, end) of `html`. Only the attribute values change; the rest stays byte for byte.
    LocalizeResult Localize(const std::string& html, std::size_t begin, std::size_t end, const std::string& sourceUrl,
                            const std::string& pageId, bool withLinks) const;

private:
    [[nodiscard]] bool CopyPicture(const std::string& from, const std::string& to) const;

    std::string imagesDir_;
    IniFile* imagesIni_;
    UrlCacheLookup findCachedFile_;
};

}  // namespace ql
