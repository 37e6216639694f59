#pragma once
// Reading single entry files of the browsers' disk caches (used by UrlCache). Every function
// takes an open read-only descriptor and never writes. Bytes come from another program and
// may be cut short or damaged at any point: every offset is bounds-checked.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ql::urlcache {

// Bodies above this size are never extracted; callers pass their own, usually smaller, limit.
inline constexpr std::uint64_t kMaxBodyBytes = 256ull << 20;

// Reads exactly `length` bytes at `offset`; false on a short read or an error.
bool ReadAt(int fd, std::uint64_t offset, std::size_t length, std::string& out);
// Reads up to `length` bytes at `offset` (fewer at the end of the file); false on an error.
bool ReadUpTo(int fd, std::uint64_t offset, std::size_t length, std::string& out);

// Whether a stored HTTP response head allows its body to be used as the resource itself: a
// 200 status, no content-encoding other than "identity", and a Content-Length (when given)
// equal to the stored body's length. `head` holds the status line and header lines separated
// by NUL (Chromium) or CR LF (Firefox).
bool UsableResponseHead(std::string_view head, std::uint64_t bodyLength);

// CRC-32 (the zlib polynomial), continued from `crc`.
std::uint32_t Crc32(std::uint32_t crc, std::string_view bytes);
// The 32-bit hash Firefox keeps of an entry's metadata and (its low 16 bits) of each body chunk:
// Bob Jenkins' 1996 hash ("lookup2") with initial value 0, as the real entries bear out.
std::uint32_t FirefoxHash(std::string_view bytes);

// --- Chromium family, "simple cache" ---
bool IsChromiumEntryName(std::string_view name);
// The file an entry of this key lives in: the first 8 bytes of SHA-1(key), read as a
// little-endian u64, in 16 lower-case hex digits, then "_0".
std::string ChromiumEntryName(std::string_view key);
// The URL part of a cache key ("1/0/_dk_<site> <site> <url>" or a bare URL); "" when none.
std::string UrlFromChromiumKey(std::string_view key);
// The URL of the entry's key, read from the file's head; nullopt when it is no entry.
std::optional<std::string> ReadChromiumEntryUrl(int fd);
// The body when the file is a complete, usable entry for exactly `url` whose body holds at most
// `maxBytes` (larger bodies are not read).
std::optional<std::string> ReadChromiumEntryBody(int fd, std::uint64_t fileSize, const std::string& url,
                                                 std::uint64_t maxBytes = kMaxBodyBytes);

// --- Firefox family, "cache2" ---
bool IsFirefoxEntryName(std::string_view name);
// The file an entry of this key lives in: SHA-1(key) in 40 upper-case hex digits.
std::string FirefoxEntryName(std::string_view key);
// The URL part of a cache key ("O^<attributes>,a,:<url>", "a,:<url>", ":<url>"); "" when none.
std::string UrlFromFirefoxKey(std::string_view key);
std::optional<std::string> ReadFirefoxEntryUrl(int fd, std::uint64_t fileSize);
// As ReadChromiumEntryBody; the metadata hash and the hash of every body chunk must match.
std::optional<std::string> ReadFirefoxEntryBody(int fd, std::uint64_t fileSize, const std::string& url,
                                                std::uint64_t maxBytes = kMaxBodyBytes);

}  // namespace ql::urlcache
