#pragma once
// Page ids: the name of a node's page file (collection folder + id + ".html") and of its
// optional page folder. Ids are made from captions and read back from "tvdata".
#include "app/collection/CollectionTree.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace ql {

// The images folder below the collection folder; no page id may name it.
inline constexpr char kImagesFolderName[] = "!images";
// The characters a page id never holds.
inline constexpr std::string_view kPageIdRemovedChars = "\\/:*?\"<>|[]=";
inline constexpr std::size_t kPageIdMaxChars = 100;
// Room left for ".html" and a numbering suffix within the 255-byte file-name limit.
inline constexpr std::size_t kPageIdMaxBytes = 240;

// An id read from disk may be used: not empty, no '/', no control characters, not "." or "..",
// not the images folder's name, and short enough for a file name. Anything else could name a
// file or folder outside the collection's pages.
bool IsValidPageId(std::string_view id);

// The text without the removed characters and without control characters (a line break in an
// id would break "tvdata").
std::string CleanPageIdText(std::string_view text);

std::string PageFileName(const std::string& collectionDir, const std::string& pageId);

// A new page id for `node` made from its caption: trimmed, cleaned, given "(" + date + ")"
// when empty or taken, cut to 100 characters (and to kPageIdMaxBytes), then numbered 2, 3 ...
// until free. Taken means a page file of that name exists, another node of the node's tree
// holds it, or it is not a valid id. `shortDate` is today's date in the short date format; its
// "/" become "-". The file is not created.
std::string MakeNodeFileName(const TreeNode& node, const std::string& collectionDir, const std::string& shortDate);

}  // namespace ql
