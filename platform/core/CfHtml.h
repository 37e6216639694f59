#pragma once
// The "HTML Format" text: a header of byte offsets, then the document with the fragment
// between marker comments.
#include <cstddef>
#include <string>
#include <string_view>

namespace ql {

// Wraps an HTML fragment (UTF-8) into the HTML Format text: the header lines Version,
// StartHTML, EndHTML, StartFragment, EndFragment, StartSelection, EndSelection and SourceURL
// (in that order, CR LF ends, offsets in bytes from the start), then "<HTML><BODY>", the
// fragment between "<!--StartFragment-->" and "<!--EndFragment-->", and "</BODY></HTML>".
// Line breaks and other control characters are taken out of the source URL, so it stays one
// header line.
std::string BuildCfHtml(std::string_view fragment, std::string_view sourceUrl);

struct CfHtmlOffsets {
    long startHtml = -1, endHtml = -1, startFragment = -1, endFragment = -1;
};

// Reads the numeric header values (missing or malformed ones stay -1) and, when asked, the
// SourceURL value.
CfHtmlOffsets ParseCfHtmlOffsets(std::string_view text, std::string* sourceUrl = nullptr);

// The fragment of an HTML Format text by its offsets, or the document when the fragment
// offsets are unusable, or "" when neither is; offsets are checked against the text.
std::string CfHtmlFragment(std::string_view text);

// Takes away the leading '<meta http-equiv="content-type" ...>' line that one browser puts
// before the HTML it drags (with the line break after it).
std::string DropLeadingContentTypeMeta(std::string html);

}  // namespace ql
