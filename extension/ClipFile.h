#pragma once
// The temporary clip file a capture writes and Quillory reads: "qltemp.html" in the per-user
// runtime folder. It is private (0600) and only ever a regular file of ours.
#include <string>

namespace ql::brimhook {

inline constexpr char kClipFileName[] = "qltemp.html";

// The absolute path of the clip file, or "" when there is no usable runtime folder.
std::string ClipFilePath();

// Creates the clip file or empties it, with mode 0600. Refuses (false) a symbolic link, anything
// but a regular file and a file of another user; such a path is left as it is.
bool EmptyClipFile(const std::string& path);

}  // namespace ql::brimhook
