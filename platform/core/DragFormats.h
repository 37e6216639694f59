#pragma once
// What a drag from another program offers, in the clipboard formats the drop code reads: the
// X11 drag's target (MIME type) list decides which formats are offered while the drag runs;
// at the drop the targets' bytes are turned into those formats. Also the way back, for drags
// we start: our formats as X11 targets.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Dib.h"
#include "platform/core/com/DataObject.h"

namespace ql {

// Names of the registered formats the drop code reads.
inline constexpr const char* kFormatUrl = "UniformResourceLocator";
inline constexpr const char* kFormatFileGroupDescriptor = "FileGroupDescriptor";
inline constexpr const char* kFormatNetscapeBookmark = "Netscape Bookmark";
inline constexpr const char* kFormatFileName = "FileName";
inline constexpr const char* kFormatHtml = "HTML Format";

namespace drag {

// Decodes picture bytes (PNG, JPEG, ...) to pixels; false when it cannot.
using ImageDecoder = std::function<bool(std::string_view bytes, RgbaImage& out)>;
// The bytes of one offered target, or nothing when the source does not deliver them.
using Fetcher = std::function<std::optional<std::string>(const std::string& target)>;

// Targets compare without regard to ASCII case and blanks ("text/plain; charset=UTF-8").
bool SameTarget(std::string_view a, std::string_view b);
bool Offers(const std::vector<std::string>& targets, std::string_view target);

// The formats a drag with these targets offers, in this order: "UniformResourceLocator",
// "FileGroupDescriptor", "Netscape Bookmark", "FileName", "HTML Format", CF_TEXT, CF_DIB,
// CF_HDROP (only those offered). Pictures count only when they can be decoded.
std::vector<std::uint32_t> OfferedFormats(const std::vector<std::string>& targets, bool canDecodeImages);

// The block of one format built from the drag's data, fetching only offered targets; nothing
// when the format is not offered or its data is missing or unusable.
std::optional<std::vector<std::uint8_t>> BuildFormat(std::uint32_t format, const std::vector<std::string>& targets,
                                                     const Fetcher& fetch, const ImageDecoder& decode);

// Pieces of the conversion.
std::vector<std::string> FilePathsFromUriList(std::string_view text);
std::string FileUriFromPath(const std::string& path);
// The origin a browser records for the page a selection came from; "" when there is none.
std::string SourceUrlFromTaint(std::string_view bytes);
// "url\ntitle" (either encoding); false when there is no URL.
bool SplitUrlAndTitle(std::string_view bytes, std::string& url, std::string& title);

// The way back: the targets a format of ours is offered as in a drag we start, and the bytes
// for one of them (nothing when the block cannot be converted).
std::vector<std::string> TargetsForFormat(std::uint32_t format);
std::optional<std::string> TargetBytesFromFormat(std::uint32_t format, const std::vector<std::uint8_t>& block,
                                                 const std::string& target);

}  // namespace drag

// The data object that stands for an X11 drag. While the drag runs it answers QueryGetData and
// EnumFormatEtc from the offered targets (X11 hands data over only at the drop); between
// BeginDrop and EndDrop, GetData fetches and converts, each target at most once.
class XDragDataObject : public com::ComObject<com::IDataObject> {
public:
    XDragDataObject(std::vector<std::string> targets, drag::ImageDecoder decode);

    const std::vector<std::string>& Targets() const { return targets_; }
    const std::vector<std::uint32_t>& Formats() const { return formats_; }
    void BeginDrop(drag::Fetcher fetch);
    void EndDrop();
    // The targets fetched so far, in order (for checking that only offered ones are asked for).
    const std::vector<std::string>& Fetched() const { return fetched_; }

    com::HRESULT GetData(const com::FORMATETC* format, com::STGMEDIUM* medium) override;
    com::HRESULT GetDataHere(const com::FORMATETC* format, com::STGMEDIUM* medium) override;
    com::HRESULT QueryGetData(const com::FORMATETC* format) override;
    com::HRESULT GetCanonicalFormatEtc(const com::FORMATETC* in, com::FORMATETC* out) override;
    com::HRESULT SetData(const com::FORMATETC* format, com::STGMEDIUM* medium, bool release) override;
    com::HRESULT EnumFormatEtc(com::DWORD direction, com::IEnumFORMATETC** ppenum) override;
    com::HRESULT DAdvise(const com::FORMATETC* format, com::DWORD advf, com::IAdviseSink* sink,
                         com::DWORD* connection) override;
    com::HRESULT DUnadvise(com::DWORD connection) override;
    com::HRESULT EnumDAdvise(com::IEnumSTATDATA** ppenum) override;

private:
    std::optional<std::string> FetchOnce(const std::string& target);

    std::vector<std::string> targets_;
    drag::ImageDecoder decode_;
    std::vector<std::uint32_t> formats_;
    drag::Fetcher fetch_;
    std::map<std::string, std::optional<std::string>> cache_;
    std::vector<std::string> fetched_;
};

}  // namespace ql
