#pragma once
// The shell list's file filter: ";"-separated name patterns, matched against the folder's files
// when a fill or refresh starts. Folders always pass.
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace ql::shellctl {

// The non-empty parts of the filter text.
std::vector<std::string> SplitFileFilter(const std::string& filter);

// The upper-cased names of the files (not folders) in `folderPath` that a pattern matches.
// nullopt (no filtering) when the folder has no path or the filter is empty, "*" or "*.*". A
// folder that cannot be read stops the scan with what was found so far.
std::optional<std::set<std::string>> BuildFileFilter(const std::string& folderPath, const std::string& filter,
                                                     const std::vector<std::string>& patterns);
bool MatchesFileFilter(const std::set<std::string>& names, const std::string& fileName, bool folder);

}  // namespace ql::shellctl
