// A drag from another program: any set of the targets the bridge knows, each delivering the
// input's bytes, turned into every format the drop code reads; and the file lists and
// descriptors that come back as blocks.
#include "fuzz/FuzzSupport.h"
#include "platform/core/ClipboardFormats.h"
#include "platform/core/DragFormats.h"
#include "platform/core/FileDropFormats.h"

#include <algorithm>

using namespace ql;

namespace {

const char* const kTargets[] = {"text/html",
                                "chromium/x-renderer-taint",
                                "text/x-moz-url",
                                "_NETSCAPE_URL",
                                "text/uri-list",
                                "text/plain;charset=utf-8",
                                "UTF8_STRING",
                                "text/plain",
                                "STRING",
                                "TEXT",
                                "image/png",
                                "image/jpeg",
                                "application/octet-stream",
                                "text/_moz_htmlcontext",
                                "text/x-moz-url-data",
                                "text/x-moz-url-desc"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // Two bytes choose the offered targets, the rest is what each of them delivers.
    const unsigned offered = data[0] | (data[1] << 8);
    const std::string payload(fuzz::Bytes(data + 2, size - 2));
    std::vector<std::string> targets;
    for (std::size_t i = 0; i < std::size(kTargets); ++i)
        if (offered & (1u << i))
            targets.push_back(kTargets[i]);
    const drag::Fetcher fetch = [&](const std::string& target) -> std::optional<std::string> {
        QL_FUZZ_CHECK(drag::Offers(targets, target));  // never a target that is not offered
        return payload;
    };
    // Any bytes make a one-pixel picture, so the picture road is taken too.
    const drag::ImageDecoder decode = [](std::string_view bytes, RgbaImage& out) {
        if (bytes.empty())
            return false;
        out.width = out.height = 1;
        out.rgba.assign(4, static_cast<std::uint8_t>(bytes[0]));
        return true;
    };
    for (std::uint32_t format : drag::OfferedFormats(targets, true)) {
        auto block = drag::BuildFormat(format, targets, fetch, decode);
        if (!block)
            continue;
        if (format == CF_HDROP)
            ParseHDrop(*block);
        for (const std::string& target : drag::TargetsForFormat(format))
            drag::TargetBytesFromFormat(format, *block, target);
    }

    // The pieces on the raw bytes, and the blocks read as another program may have built them.
    std::string url, title;
    drag::SplitUrlAndTitle(payload, url, title);
    drag::SourceUrlFromTaint(payload);
    const std::vector<std::uint8_t> raw(payload.begin(), payload.end());
    ParseHDrop(raw);
    FirstFileDescriptorName(raw);

    // A file list built from the dropped paths gives them back.
    const std::vector<std::string> paths = drag::FilePathsFromUriList(payload);
    if (std::none_of(paths.begin(), paths.end(),
                     [](const std::string& p) { return p.empty() || p.find('\0') != std::string::npos; }))
        QL_FUZZ_CHECK(ParseHDrop(BuildHDrop(paths)) == paths);
    const std::string name = FirstFileDescriptorName(BuildFileGroupDescriptor(title));
    QL_FUZZ_CHECK(name.size() <= title.size() && title.compare(0, name.size(), name) == 0);
    return 0;
}
