#pragma once
// Whole-file reads and crash-safe writes. Every file the system writes goes through
// WriteFileAtomic: the bytes land in a temporary file in the same folder, are flushed, the
// temporary is renamed over the target and the folder is flushed, so a failed or interrupted
// write leaves the old file and a finished one survives a power cut.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ql {

// Writes `bytes` to `path` atomically. Returns false (and leaves any old file untouched) when
// the folder is missing or the write, flush or rename fails; also when the folder cannot be
// flushed after the rename (the new bytes are in place then, but may not outlast a power cut).
// `error`, when given, receives a short reason in plain words.
[[nodiscard]] bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error = nullptr);

// Flushes a folder's entries (renames, new and removed names) to the disk; false on failure.
// A file system that cannot flush folders at all (some shared and network folders answer
// EINVAL) counts as flushed: nothing more can be done there, and every save would fail.
[[nodiscard]] bool SyncFolder(const std::string& dir);

// Removes from `folder` the temporaries that writes of WriteFileAtomic left behind when their
// process died (only files named as it names them, and none a live write still holds). Gives
// the number removed.
std::size_t RemoveStaleTemporaries(const std::string& folder);

// The whole file as bytes, or nullopt when it cannot be opened or read. Reads at most
// `maxBytes` (the file counts as unreadable when it is larger).
std::optional<std::string> ReadFileBytes(const std::string& path, std::uint64_t maxBytes = UINT64_MAX);

bool FileExists(const std::string& path);       // a regular file (links followed)
bool DirectoryExists(const std::string& path);  // a folder (links followed)

// Which folder a path names (links followed): the same value for as long as that folder
// exists, another one once the path names a new folder.
struct FolderIdentity {
    std::uint64_t device = 0, inode = 0;
    bool operator==(const FolderIdentity&) const = default;
};
std::optional<FolderIdentity> IdentifyFolder(const std::string& path);

}  // namespace ql
