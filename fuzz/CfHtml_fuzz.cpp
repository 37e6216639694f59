// The "HTML Format" text as another program may hand it over (header offsets pointing anywhere),
// the cut of a clip's stored part out of it, and a dragged text/html payload turned into one.
#include "app/collection/ClipFragment.h"
#include "fuzz/FuzzSupport.h"
#include "platform/core/CfHtml.h"
#include "platform/core/ClipboardFormats.h"
#include "platform/core/DragFormats.h"
#include "platform/core/TextEncoding.h"

using namespace ql;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = fuzz::Bytes(data, size);
    std::string source;
    ParseCfHtmlOffsets(input, &source);
    QL_FUZZ_CHECK(source.find_first_of("\r\n") == std::string::npos);
    const std::string fragment = CfHtmlFragment(input);
    QL_FUZZ_CHECK(fragment.size() <= input.size());
    CutClipFragmentText(input, true);
    CutClipFragmentText(input, false);
    DocumentBodyHtml(input);
    DropLeadingContentTypeMeta(std::string(input));

    // Built from a fragment, the text gives that fragment back, whatever the source URL holds.
    const std::size_t half = input.size() / 2;
    const std::string_view url = input.substr(0, half), body = input.substr(half);
    if (!body.empty()) {
        const std::string built = BuildCfHtml(body, url);
        QL_FUZZ_CHECK(CfHtmlFragment(built) == body);
        std::string builtSource;
        ParseCfHtmlOffsets(built, &builtSource);
        QL_FUZZ_CHECK(builtSource.find_first_of("\r\n") == std::string::npos);
    }

    // A browser's text/html and its origin, as the drop converts them.
    const std::vector<std::string> targets{"chromium/x-renderer-taint", "text/html"};
    drag::Fetcher fetch = [&](const std::string& target) -> std::optional<std::string> {
        return std::string(target == "text/html" ? body : url);
    };
    drag::BuildFormat(RegisterClipboardFormat(kFormatHtml), targets, fetch, nullptr);
    std::string linkUrl, title;
    drag::SplitUrlAndTitle(input, linkUrl, title);
    drag::FilePathsFromUriList(DecodeTextPayload(input));
    return 0;
}
