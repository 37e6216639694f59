#include "platform/core/DragFormats.h"

#include <algorithm>
#include <cctype>

#include "platform/core/CfHtml.h"
#include "platform/core/ClipboardFormats.h"
#include "platform/core/FileDropFormats.h"
#include "platform/core/TextEncoding.h"
#include "platform/core/UrlText.h"

namespace ql {

namespace drag {

namespace {

// Text targets in the order their text is preferred.
const std::vector<std::string>& TextTargets()
{
    static const std::vector<std::string> t{"text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "STRING"};
    return t;
}
// Picture targets we decode, in order of preference.
const std::vector<std::string>& ImageTargets()
{
    static const std::vector<std::string> t{"image/png", "image/jpeg", "image/gif", "image/bmp"};
    return t;
}
constexpr std::string_view kMozUrl = "text/x-moz-url";
constexpr std::string_view kNetscapeUrl = "_NETSCAPE_URL";
constexpr std::string_view kUriList = "text/uri-list";
constexpr std::string_view kHtml = "text/html";
constexpr std::string_view kTaint = "chromium/x-renderer-taint";
constexpr std::string_view kOctetStream = "application/octet-stream";
// Offered along with the original bytes of a picture dragged out of a page.
constexpr std::string_view kDirectSave = "XdndDirectSave0";

std::string Normalised(std::string_view s)
{
    std::string r;
    for (char c : s)
        if (c != ' ' && c != '\t')
            r += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

// Qt offers every list of addresses as text/x-moz-url as well, so files dragged from a Qt file
// manager come with it. Browsers' links always bring _NETSCAPE_URL, and their pages' markup.
bool QtAddressList(const std::vector<std::string>& t)
{
    return Offers(t, kUriList) && Offers(t, kMozUrl) && !Offers(t, kNetscapeUrl) && !Offers(t, kHtml);
}
bool OffersUrl(const std::vector<std::string>& t)
{
    return (Offers(t, kMozUrl) || Offers(t, kNetscapeUrl)) && !QtAddressList(t);
}
// A browser offers its page's link targets for a dragged picture too; its uri-list then names
// web addresses, not files.
bool OffersFiles(const std::vector<std::string>& t) { return Offers(t, kUriList) && !OffersUrl(t); }
bool OffersText(const std::vector<std::string>& t)
{
    return std::any_of(TextTargets().begin(), TextTargets().end(), [&](const std::string& x) { return Offers(t, x); });
}
bool OffersImageBytes(const std::vector<std::string>& t)
{
    return std::any_of(ImageTargets().begin(), ImageTargets().end(),
                       [&](const std::string& x) { return Offers(t, x); }) ||
           (Offers(t, kOctetStream) && Offers(t, kDirectSave));
}

std::optional<std::string> FetchIfOffered(const std::vector<std::string>& t, std::string_view target,
                                          const Fetcher& fetch)
{
    if (!fetch)
        return std::nullopt;
    // Ask with the source's own spelling of the target.
    for (const std::string& offered : t)
        if (SameTarget(offered, target))
            return fetch(offered);
    return std::nullopt;
}

bool UrlAndTitle(const std::vector<std::string>& t, const Fetcher& fetch, std::string& url, std::string& title)
{
    for (std::string_view target : {kMozUrl, kNetscapeUrl})
        if (auto bytes = FetchIfOffered(t, target, fetch); bytes && SplitUrlAndTitle(*bytes, url, title))
            return true;
    return false;
}

std::vector<std::string> DroppedFiles(const std::vector<std::string>& t, const Fetcher& fetch)
{
    if (!OffersFiles(t))
        return {};
    auto bytes = FetchIfOffered(t, kUriList, fetch);
    return bytes ? FilePathsFromUriList(DecodeTextPayload(*bytes)) : std::vector<std::string>{};
}

std::string Trimmed(std::string_view s)
{
    std::size_t a = 0, b = s.size();
    while (a < b && static_cast<unsigned char>(s[a]) <= ' ')
        ++a;
    while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ')
        --b;
    return std::string(s.substr(a, b - a));
}

std::string WithoutControls(std::string_view s)
{
    std::string r;
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
            r += c;
    return r;
}

}  // namespace

bool SameTarget(std::string_view a, std::string_view b) { return Normalised(a) == Normalised(b); }

bool Offers(const std::vector<std::string>& targets, std::string_view target)
{
    return std::any_of(targets.begin(), targets.end(), [&](const std::string& t) { return SameTarget(t, target); });
}

std::vector<std::uint32_t> OfferedFormats(const std::vector<std::string>& t, bool canDecodeImages)
{
    std::vector<std::uint32_t> r;
    bool url = OffersUrl(t), files = OffersFiles(t);
    if (url) {
        r.push_back(RegisterClipboardFormat(kFormatUrl));
        r.push_back(RegisterClipboardFormat(kFormatFileGroupDescriptor));
        r.push_back(RegisterClipboardFormat(kFormatNetscapeBookmark));
    }
    if (files)
        r.push_back(RegisterClipboardFormat(kFormatFileName));
    if (Offers(t, kHtml))
        r.push_back(RegisterClipboardFormat(kFormatHtml));
    if (OffersText(t))
        r.push_back(CF_TEXT);
    if (canDecodeImages && OffersImageBytes(t))
        r.push_back(CF_DIB);
    if (files)
        r.push_back(CF_HDROP);
    return r;
}

std::optional<std::vector<std::uint8_t>> BuildFormat(std::uint32_t format, const std::vector<std::string>& t,
                                                     const Fetcher& fetch, const ImageDecoder& decode)
{
    auto offered = OfferedFormats(t, static_cast<bool>(decode));
    if (std::find(offered.begin(), offered.end(), format) == offered.end())
        return std::nullopt;

    if (format == CF_TEXT) {
        for (const std::string& target : TextTargets())
            if (auto bytes = FetchIfOffered(t, target, fetch))
                return com::ToTextBlock(DecodeTextPayload(*bytes));
        return std::nullopt;
    }
    if (format == CF_DIB) {
        std::vector<std::string> order = ImageTargets();
        order.emplace_back(kOctetStream);
        for (const std::string& target : order) {
            auto bytes = FetchIfOffered(t, target, fetch);
            RgbaImage image;
            if (bytes && decode(*bytes, image))
                if (auto dib = BuildDib(image); !dib.empty())
                    return dib;
        }
        return std::nullopt;
    }
    if (format == CF_HDROP || format == RegisterClipboardFormat(kFormatFileName)) {
        auto files = DroppedFiles(t, fetch);
        if (files.empty())
            return std::nullopt;
        return format == CF_HDROP ? BuildHDrop(files) : com::ToTextBlock(files.front());
    }
    if (format == RegisterClipboardFormat(kFormatHtml)) {
        // The small origin first: the markup may be too large for the source to hand over.
        std::string source;
        if (auto taint = FetchIfOffered(t, kTaint, fetch))
            source = SourceUrlFromTaint(*taint);
        auto bytes = FetchIfOffered(t, kHtml, fetch);
        if (!bytes)
            return std::nullopt;
        std::string fragment = DropLeadingContentTypeMeta(DecodeTextPayload(*bytes));
        return com::ToTextBlock(BuildCfHtml(fragment, source));
    }
    std::string url, title;
    if (!UrlAndTitle(t, fetch, url, title))
        return std::nullopt;
    if (format == RegisterClipboardFormat(kFormatFileGroupDescriptor))
        return BuildFileGroupDescriptor(title + ".url");
    return com::ToTextBlock(url);  // "UniformResourceLocator", "Netscape Bookmark"
}

std::vector<std::string> FilePathsFromUriList(std::string_view text)
{
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        std::string line =
            Trimmed(text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
        pos = end == std::string_view::npos ? text.size() + 1 : end + 1;
        if (line.empty() || line[0] == '#' || line.size() < 7)
            continue;
        std::string scheme = line.substr(0, 7);
        std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return std::tolower(c); });
        if (scheme != "file://")
            continue;
        std::string rest = line.substr(7);
        if (rest.rfind("localhost/", 0) == 0)
            rest = rest.substr(9);
        if (rest.empty() || rest[0] != '/')
            continue;  // a file on another host
        if (auto path = PercentDecode(rest.substr(0, rest.find_first_of("?#"))))
            out.push_back(std::move(*path));
    }
    return out;
}

std::string FileUriFromPath(const std::string& path)
{
    return "file://" + PercentEscape(path, [](unsigned char c) {
               return !std::isalnum(c) && c != '/' && c != '-' && c != '_' && c != '.' && c != '~';
           });
}

std::string SourceUrlFromTaint(std::string_view bytes)
{
    std::string text = DecodeTextPayload(bytes);
    std::string line = Trimmed(text.substr(0, text.find_first_of("\r\n")));
    line = WithoutControls(line);
    std::size_t scheme = line.find("://");
    if (scheme == std::string::npos || scheme == 0 || line.find(' ') != std::string::npos)
        return "";
    return line;
}

bool SplitUrlAndTitle(std::string_view bytes, std::string& url, std::string& title)
{
    std::string text = DecodeTextPayload(bytes);
    std::size_t nl = text.find_first_of("\r\n");
    url = WithoutControls(Trimmed(text.substr(0, nl)));
    title.clear();
    if (nl != std::string::npos) {
        std::size_t start = text.find_first_not_of("\r\n", nl);
        if (start != std::string::npos)
            title = WithoutControls(Trimmed(text.substr(start, text.find_first_of("\r\n", start) - start)));
    }
    return !url.empty();
}

std::vector<std::string> TargetsForFormat(std::uint32_t format)
{
    if (format == CF_TEXT)
        return TextTargets();
    if (format == CF_HDROP)
        return {std::string(kUriList)};
    if (format == RegisterClipboardFormat(kFormatHtml))
        return {std::string(kHtml)};
    if (format == RegisterClipboardFormat(kFormatUrl))
        return {std::string(kMozUrl), std::string(kNetscapeUrl)};
    return {};
}

std::optional<std::string> TargetBytesFromFormat(std::uint32_t format, const std::vector<std::uint8_t>& block,
                                                 const std::string& target)
{
    std::string_view raw(reinterpret_cast<const char*>(block.data()), block.size());
    std::string text(raw.substr(0, raw.find('\0')));
    if (format == CF_TEXT && Offers(TextTargets(), target))
        return text;
    if (format == CF_HDROP && SameTarget(target, kUriList)) {
        auto paths = ParseHDrop(block);
        if (paths.empty())
            return std::nullopt;
        std::string list;
        for (const std::string& p : paths)
            list += FileUriFromPath(p) + "\r\n";
        return list;
    }
    if (format == RegisterClipboardFormat(kFormatHtml) && SameTarget(target, kHtml)) {
        std::string fragment = CfHtmlFragment(text);
        return fragment.empty() ? std::nullopt : std::optional<std::string>(fragment);
    }
    if (format == RegisterClipboardFormat(kFormatUrl)) {
        std::string url = WithoutControls(Trimmed(text));
        if (url.empty())
            return std::nullopt;
        if (SameTarget(target, kMozUrl))
            return Utf8ToUtf16Le(url + "\n" + url);
        if (SameTarget(target, kNetscapeUrl))
            return url + "\n" + url;
    }
    return std::nullopt;
}

}  // namespace drag

XDragDataObject::XDragDataObject(std::vector<std::string> targets, drag::ImageDecoder decode)
    : targets_(std::move(targets)),
      decode_(std::move(decode)),
      formats_(drag::OfferedFormats(targets_, static_cast<bool>(decode_)))
{
}

void XDragDataObject::BeginDrop(drag::Fetcher fetch)
{
    fetch_ = std::move(fetch);
    cache_.clear();
}

void XDragDataObject::EndDrop()
{
    fetch_ = nullptr;
    cache_.clear();
}

std::optional<std::string> XDragDataObject::FetchOnce(const std::string& target)
{
    if (auto it = cache_.find(target); it != cache_.end())
        return it->second;
    std::optional<std::string> bytes;
    try {
        fetched_.push_back(target);
        bytes = fetch_(target);
    } catch (...) {
        bytes.reset();
    }
    cache_[target] = bytes;
    return bytes;
}

com::HRESULT XDragDataObject::GetData(const com::FORMATETC* format, com::STGMEDIUM* medium)
{
    if (!format || !medium)
        return com::E_POINTER;
    if (com::HRESULT hr = QueryGetData(format); hr != com::S_OK)
        return hr;
    if (!fetch_)
        return com::E_UNEXPECTED;  // the source hands its data over only at the drop
    try {
        auto block = drag::BuildFormat(
            format->cfFormat, targets_, [this](const std::string& t) { return FetchOnce(t); }, decode_);
        if (!block)
            return com::DV_E_FORMATETC;
        medium->tymed = com::TYMED_HGLOBAL;
        medium->hGlobal = std::move(*block);
        medium->pUnkForRelease.reset();
        return com::S_OK;
    } catch (const std::bad_alloc&) {
        return com::E_OUTOFMEMORY;
    } catch (...) {
        return com::E_UNEXPECTED;
    }
}

com::HRESULT XDragDataObject::GetDataHere(const com::FORMATETC*, com::STGMEDIUM*) { return com::E_NOTIMPL; }

com::HRESULT XDragDataObject::QueryGetData(const com::FORMATETC* format)
{
    if (!format)
        return com::E_POINTER;
    if (format->dwAspect != com::DVASPECT_CONTENT)
        return com::DV_E_FORMATETC;
    if (std::find(formats_.begin(), formats_.end(), format->cfFormat) == formats_.end())
        return com::DV_E_FORMATETC;
    if (!(format->tymed & com::TYMED_HGLOBAL))
        return com::DV_E_TYMED;
    return com::S_OK;
}

com::HRESULT XDragDataObject::GetCanonicalFormatEtc(const com::FORMATETC* in, com::FORMATETC* out)
{
    if (!in || !out)
        return com::E_POINTER;
    *out = *in;
    out->ptd.clear();
    return com::DATA_S_SAMEFORMATETC;
}

com::HRESULT XDragDataObject::SetData(const com::FORMATETC*, com::STGMEDIUM*, bool) { return com::E_NOTIMPL; }

com::HRESULT XDragDataObject::EnumFormatEtc(com::DWORD direction, com::IEnumFORMATETC** ppenum)
{
    if (!ppenum)
        return com::E_POINTER;
    *ppenum = nullptr;
    if (direction != com::DATADIR_GET)
        return com::E_NOTIMPL;
    std::vector<com::FORMATETC> list;
    for (std::uint32_t f : formats_)
        list.push_back(com::HGlobalFormat(static_cast<com::CLIPFORMAT>(f)));
    *ppenum = com::MakeFormatEnumerator(std::move(list)).detach();
    return com::S_OK;
}

com::HRESULT XDragDataObject::DAdvise(const com::FORMATETC*, com::DWORD, com::IAdviseSink*, com::DWORD*)
{
    return com::OLE_E_ADVISENOTSUPPORTED;
}
com::HRESULT XDragDataObject::DUnadvise(com::DWORD) { return com::OLE_E_ADVISENOTSUPPORTED; }
com::HRESULT XDragDataObject::EnumDAdvise(com::IEnumSTATDATA**) { return com::OLE_E_ADVISENOTSUPPORTED; }

}  // namespace ql
