#include "app/collection/PictureLocalizer.h"

#include "app/collection/HtmlTags.h"
#include "app/collection/TextUtil.h"
#include "foundation/VekBaseClass.h"
#include "foundation/VekHtmlClass.h"
#include "platform/core/IniFile.h"
#include "platform/core/SafeFile.h"
#include "platform/core/UrlText.h"

#include <filesystem>
#include <sys/stat.h>

namespace ql {

namespace {

// Characters that leave a picture's name: the three cache copies carry, and those that would
// make "!images\" + name mean something else in a page or an ini file.
constexpr std::string_view kImageNameRemovedChars = "=[]\\/:*?\"<>|#%;";
constexpr std::size_t kMaxImageNameBytes = 200;

bool pathExists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The folder a web page's relative addresses count from: the URL without query and fragment,
// up to the last "/" of its path.
std::string webFolder(const std::string& url)
{
    std::string u = url.substr(0, url.find_first_of("?#"));
    std::size_t scheme = u.find("://");
    std::size_t pathStart = scheme == std::string::npos ? 0 : u.find('/', scheme + 3);
    if (pathStart == std::string::npos)
        return u + "/";
    return u.substr(0, u.rfind('/') + 1);
}

bool isImagesReference(std::string_view value)
{
    return StartsWithNoCase(value, "!images\\") || StartsWithNoCase(value, "!images/");
}

}  // namespace

bool IsSameFile(const std::string& a, const std::string& b)
{
    std::int64_t size = GetFileSize(a);
    // Dates are whole seconds: two pictures extracted within one second share size and date, so
    // only the bytes tell them apart.
    if (size < 0 || size != GetFileSize(b) || static_cast<std::uint64_t>(size) > kMaxPictureBytes)
        return false;
    auto x = ReadFileBytes(a, kMaxPictureBytes);
    auto y = ReadFileBytes(b, kMaxPictureBytes);
    return x && y && *x == *y;
}

PictureLocalizer::PictureLocalizer(std::string imagesDir, IniFile* imagesIni, UrlCacheLookup findCachedFile)
    : imagesDir_(std::move(imagesDir)), imagesIni_(imagesIni), findCachedFile_(std::move(findCachedFile))
{
}

std::string PictureLocalizer::ResolveClipResource(bool picture, const std::string& value,
                                                  const std::string& sourceUrl) const
{
    const std::string base = TrimControls(sourceUrl);
    const std::string v = TrimControls(DecodeHtmlEntities(value));
    if (v.empty() || v[0] == '#' || isImagesReference(v) || StartsWithNoCase(v, "data:"))
        return {};

    const bool localSource = StartsWithNoCase(base, "file://") || (!base.empty() && base[0] == '/');
    std::string result;
    if (localSource && (!HasUrlScheme(v) || StartsWithNoCase(v, "file:"))) {
        // The page came from a local file: its pictures and links are files beside it.
        std::string basePath = FileUrlToPath(base);
        std::string folder = basePath.substr(0, basePath.rfind('/') + 1);
        std::string url = MakeAbsoluteUrl(FilePathToUrl(folder), v);
        return StartsWithNoCase(url, "file:") ? FileUrlToPath(url) : std::string();
    }
    if (HasUrlScheme(v))
        result = v;
    else if (base.empty())
        return {};  // relative, and nothing to resolve it against
    else if (v[0] == '?')
        result = base.substr(0, base.find_first_of("?#")) + v;
    else
        result = MakeAbsoluteUrl(webFolder(base), v);

    if (picture && findCachedFile_) {
        // Written absolute or resolved, the address is looked up as the browser fetched it.
        std::string cached = findCachedFile_(FetchedUrl(result), kMaxPictureBytes, base);
        if (!cached.empty() && FileExists(cached))
            return cached;
    }
    return result;
}

std::string PictureLocalizer::UniqueImageName(const std::string& file) const
{
    std::string name = file.substr(file.rfind('/') + 1);
    std::string clean;
    for (char c : name)
        if (kImageNameRemovedChars.find(c) == std::string_view::npos && static_cast<unsigned char>(c) >= 0x20 &&
            c != 0x7F)
            clean += c;
    clean = Utf8CutBytes(TrimControls(clean), kMaxImageNameBytes);
    if (clean.empty() || clean == "." || clean == "..")
        clean = "image";
    const std::size_t dot = clean.rfind('.');
    const std::string stem = dot == std::string::npos ? clean : clean.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : clean.substr(dot);

    std::string candidate = clean;
    for (unsigned long n = 2; n <= 1000000; ++n) {
        const std::string path = imagesDir_ + candidate;
        if (!pathExists(path) || IsSameFile(file, path))
            return candidate;
        candidate = stem + std::to_string(n) + ext;
    }
    return {};
}

bool PictureLocalizer::CopyPicture(const std::string& from, const std::string& to) const
{
    // Only regular files: opening a pipe or a device could block or never end.
    struct stat st {};
    if (::stat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > kMaxPictureBytes)
        return false;
    auto bytes = ReadFileBytes(from, kMaxPictureBytes);
    if (!bytes || !WriteFileAtomic(to, *bytes))
        return false;
    // The copy keeps the original's date.
    std::error_code ec;
    std::filesystem::last_write_time(to, std::filesystem::last_write_time(from, ec), ec);
    return true;
}

LocalizeResult PictureLocalizer::Localize(const std::string& html, std::size_t begin, std::size_t end,
                                          const std::string& sourceUrl, const std::string& pageId, bool withLinks) const
{
    LocalizeResult result;
    end = std::min(end, html.size());

    // Rewrites the value tokens of the given (attribute, new value) pairs, in text order; the
    // range's end moves with the lengths.
    using Edits = std::vector<std::pair<const HtmlAttribute*, std::string>>;
    auto rewrite = [](const std::string& text, const Edits& edits, std::size_t& rangeEnd) {
        std::string out;
        std::size_t pos = 0;
        long long delta = 0;
        for (const auto& [attr, value] : edits) {
            out.append(text, pos, attr->valueBegin - pos);
            const std::string token = Enclose("\"", EscapeHtmlAttribute(value), "\"");
            delta += static_cast<long long>(token.size()) - static_cast<long long>(attr->valueEnd - attr->valueBegin);
            out += token;
            pos = attr->valueEnd;
        }
        out.append(text, pos, std::string::npos);
        rangeEnd = static_cast<std::size_t>(static_cast<long long>(rangeEnd) + delta);
        return out;
    };

    std::string text = html;
    {
        // One save of "images.ini" for all the pictures, before the caller saves the page that
        // shows them: a page on disk never refers to a picture without its record.
        IniFile::Batch records(pageId.empty() ? nullptr : imagesIni_);
        bool recorded = true;
        std::vector<HtmlTag> tags = FindStartTags(text, {"img"}, begin, end);
        Edits edits;
        for (const HtmlTag& tag : tags) {
            const HtmlAttribute* src = tag.Find("src");
            if (!src || TrimControls(src->value).empty())
                continue;
            const std::string file = ResolveClipResource(true, src->value, sourceUrl);
            if (file.empty())
                continue;
            struct stat st {};
            if (!imagesDir_.empty() && ::stat(file.c_str(), &st) == 0) {
                if (!S_ISREG(st.st_mode))
                    continue;
                const std::string name = UniqueImageName(file);
                if (name.empty())
                    continue;
                const std::string target = imagesDir_ + name;
                std::error_code ec;
                std::filesystem::create_directories(imagesDir_, ec);
                if (!pathExists(target) && !CopyPicture(file, target))
                    continue;
                edits.emplace_back(src, kImagesReference + name);
                result.changed = true;
                result.pictures.push_back(name);
                if (imagesIni_ && !pageId.empty())
                    recorded &= imagesIni_->WriteString(pageId, name, "1");
            } else if (file != TrimControls(DecodeHtmlEntities(src->value))) {
                edits.emplace_back(src, file);  // stays remote, but absolute
            }
        }
        result.recordsSaved = records.Commit() && recorded;
        text = rewrite(text, edits, end);
    }
    if (withLinks) {
        std::vector<HtmlTag> tags = FindStartTags(text, {"a", "area"}, begin, end);
        Edits edits;
        for (const HtmlTag& tag : tags) {
            const HtmlAttribute* href = tag.Find("href");
            if (!href)
                continue;
            const std::string target = ResolveClipResource(false, href->value, sourceUrl);
            if (target.empty() || target == TrimControls(DecodeHtmlEntities(href->value)))
                continue;
            edits.emplace_back(href, target);
            result.changed = true;
        }
        text = rewrite(text, edits, end);
    }
    result.html = std::move(text);
    return result;
}

}  // namespace ql
