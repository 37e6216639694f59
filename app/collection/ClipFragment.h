#pragma once
// Cutting the stored part out of a dropped "HTML Format" text, and the header lines that a
// clip page starts with.
#include "app/collection/TextUtil.h"

#include <string>
#include <string_view>

namespace ql {

// For a new node: from the first "<HTML>" on (the header lines of the format go). For an
// append: the inner part of the body ("<BODY" ... ">" up to "</BODY"). Exact case, as the
// format's own wrapper is written.
std::string CutClipFragmentText(std::string_view text, bool forNewNode);
void CutClipFragment(StringList& lines, bool forNewNode);
// The inner part of a whole document's body (any case, attributes on the tag); the whole text
// when it has no body tag.
std::string DocumentBodyHtml(std::string_view document);
// The fragment with its pictures' and links' addresses made absolute against `sourceUrl`
// (nothing is copied): what an appended clip gets instead of a base address, which would
// re-point the page's older content.
std::string MakeClipAddressesAbsolute(const std::string& fragment, const std::string& sourceUrl);

// A URL as it may stand inside a header line: quotes, angle brackets and control characters
// are %-escaped, so it can end neither the quoted value nor the comment.
std::string HeaderSafeUrl(std::string_view url);
// "<!-- From: "url" -->"
std::string ClipFromLine(std::string_view url);
// "<base href="url">"
std::string ClipBaseLine(std::string_view url);

}  // namespace ql
