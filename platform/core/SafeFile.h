#pragma once
// Whole-file reads and crash-safe writes. Every file the system writes goes through
// WriteFileAtomic: the bytes land in a temporary file in the same folder, are flushed, and the
// temporary is renamed over the target, so a failed or interrupted write leaves the old file.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ql {

// Writes `bytes` to `path` atomically. Returns false (and leaves any old file untouched) when
// the folder is missing or the write, flush or rename fails. `error`, when given, receives a
// short reason in plain words.
bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error = nullptr);

// Removes from `folder` the temporaries that writes of WriteFileAtomic left behind when their
// process died (only files named as it names them, and none a live write still holds). Gives
// the number removed.
std::size_t RemoveStaleTemporaries(const std::string& folder);

// The whole file as bytes, or nullopt when it cannot be opened or read. Reads at most
// `maxBytes` (the file counts as unreadable when it is larger).
std::optional<std::string> ReadFileBytes(const std::string& path, std::uint64_t maxBytes = UINT64_MAX);

bool FileExists(const std::string& path);       // a regular file (links followed)
bool DirectoryExists(const std::string& path);  // a folder (links followed)

}  // namespace ql
