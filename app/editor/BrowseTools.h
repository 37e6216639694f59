#pragma once
// Decisions of the Browse view's tools: the page's original address, and which "Edit With"
// entry the toolbar button starts.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ql {

// The address between the first "<!-- From: \"" and the first "\" -->" of a page; nothing when
// the page has no header line or the address is not one a browser may be handed (http, https,
// ftp, file), so a page can never make "Open original homepage" run something else.
std::optional<std::string> OriginalUrlOf(std::string_view page);
inline constexpr const char* kNoOriginalUrl = "Can't find original URL.";

// The "Edit With" entry the toolbar button starts: `editWith` when it names an entry, else the
// last entry whose caption contains "Front" (any case), else the first. -1 without entries.
int ChooseEditWithEntry(const std::vector<std::string>& captions, int editWith);

}  // namespace ql
