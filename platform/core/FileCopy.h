#pragma once
// Copying files between open folders by name, with as few system calls as a plain copy takes:
// the bytes move inside the kernel (copy_file_range, else read and write), nothing is flushed.
// For copies the user can make again, such as exports; files the program keeps go through
// WriteFileAtomic.
#include "platform/core/UniqueFd.h"

#include <string>

namespace ql {

// An open folder (links followed); empty when it cannot be opened.
UniqueFd OpenFolder(const std::string& path);

enum class FileCopyResult {
    Copied,
    Exists,   // the target name is taken (by anything, a link included): nothing was written
    Missing,  // no regular file of that name in the source folder
    Failed,   // a read or write failed: nothing is left at the target
};

// Copies the regular file `name` of folder `from` (a link there is followed) to the new file
// `toName` of folder `to`, with the source's permissions less the umask. Never replaces
// anything, nor writes through a link at the target.
[[nodiscard]] FileCopyResult CopyToNewFile(int from, const std::string& name, int to, const std::string& toName);

// As CopyToNewFile, but an existing target is replaced: the copy is made beside it and renamed
// over it, so a failed copy leaves the old file as it was.
[[nodiscard]] FileCopyResult CopyReplacing(int from, const std::string& name, int to, const std::string& toName);

}  // namespace ql
