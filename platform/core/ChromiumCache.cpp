// Chromium-family disk cache, "simple cache" format, as Chromium 156 writes it on Linux
// (folder <profile>/Cache/Cache_Data, or the --disk-cache-dir equivalent).
//
// One entry per URL key in a file named "<16 lower-case hex>_0" (the first 8 bytes of the key's
// SHA-1 as a little-endian u64). Integers are little-endian. The file holds:
//   header, 24 bytes:  u64 magic 0xfcfb6d1ba7725c30, u32 version (5), u32 key length,
//                      u32 key hash, u32 padding
//   the key            e.g. "1/0/_dk_http://site http://site http://host/img/a.png?v=2";
//                      the URL is the last blank-separated field (URLs hold no blanks)
//   stream 1           the response body, exactly as received
//   EOF record 1       24 bytes: u64 magic 0xf4fa6f45970d41d8, u32 flags (bit 0: the CRC-32 of
//                      stream 1 is valid), u32 CRC-32, u32 size (0 here), u32 padding
//   stream 0           the response info: a pickle whose headers string is a u32 length
//                      followed by "HTTP/1.1 200 OK\0Name: value\0...\0\0"
//   [32 bytes]         SHA-256 of the key, when the final record's flags have bit 1
//   EOF record 0       24 bytes as above; its size field is the length of stream 0
// Files "<hash>_1" (stream 2) and "<hash>_s" (sparse data), "index" and "index-dir/" are not
// needed. The index may lag behind the entry files, so it is not used.
#include "platform/core/Sha1.h"
#include "platform/core/UrlCacheEntry.h"
#include "platform/core/UrlText.h"

#include <algorithm>

namespace ql::urlcache {
namespace {

constexpr std::uint64_t kHeaderMagic = 0xfcfb6d1ba7725c30ull;
constexpr std::uint64_t kEofMagic = 0xf4fa6f45970d41d8ull;
constexpr std::uint32_t kVersion = 5;
constexpr std::size_t kHeaderSize = 24;
constexpr std::size_t kEofSize = 24;
constexpr std::size_t kKeySha256Size = 32;
constexpr std::uint32_t kFlagCrc32 = 1;
constexpr std::uint32_t kFlagKeySha256 = 2;
constexpr std::uint32_t kMaxKeyLength = 64 * 1024;
constexpr std::uint32_t kMaxStream0 = 1 << 20;

std::uint32_t U32(const std::string& b, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

std::uint64_t U64(const std::string& b, std::size_t at)
{
    return static_cast<std::uint64_t>(U32(b, at)) | (static_cast<std::uint64_t>(U32(b, at + 4)) << 32);
}

struct EofRecord {
    std::uint32_t flags = 0, crc = 0, size = 0;
};

std::optional<EofRecord> ReadEof(int fd, std::uint64_t at)
{
    std::string b;
    if (!ReadAt(fd, at, kEofSize, b) || U64(b, 0) != kEofMagic)
        return std::nullopt;
    return EofRecord{U32(b, 8), U32(b, 12), U32(b, 16)};
}

// The key from the header; nullopt when the file does not start like an entry.
std::optional<std::string> ReadKey(int fd)
{
    // One read covers the header and most keys.
    std::string b;
    if (!ReadUpTo(fd, 0, 512, b) || b.size() < kHeaderSize)
        return std::nullopt;
    if (U64(b, 0) != kHeaderMagic || U32(b, 8) != kVersion)
        return std::nullopt;
    const std::uint32_t keyLength = U32(b, 12);
    if (keyLength == 0 || keyLength > kMaxKeyLength)
        return std::nullopt;
    if (b.size() >= kHeaderSize + keyLength)
        return b.substr(kHeaderSize, keyLength);
    std::string key;
    if (!ReadAt(fd, kHeaderSize, keyLength, key))
        return std::nullopt;
    return key;
}

}  // namespace

bool IsChromiumEntryName(std::string_view name)
{
    if (name.size() != 18 || name.substr(16) != "_0")
        return false;
    for (std::size_t i = 0; i < 16; ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

std::string ChromiumEntryName(std::string_view key)
{
    const Sha1Digest digest = Sha1(key);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name;
    for (int i = 7; i >= 0; --i) {
        name += kHex[digest[static_cast<std::size_t>(i)] >> 4];
        name += kHex[digest[static_cast<std::size_t>(i)] & 15];
    }
    return name + "_0";
}

std::string UrlFromChromiumKey(std::string_view key)
{
    const std::size_t blank = key.rfind(' ');
    if (blank != std::string_view::npos)
        key.remove_prefix(blank + 1);
    // Unpartitioned keys may still carry the "<upload id>/<flags>/" prefix.
    for (;;) {
        std::size_t digits = 0;
        while (digits < key.size() && key[digits] >= '0' && key[digits] <= '9')
            ++digits;
        if (digits == 0 || digits >= key.size() || key[digits] != '/')
            break;
        key.remove_prefix(digits + 1);
    }
    if (!HasUrlScheme(key))
        return {};
    return std::string(key);
}

std::optional<std::string> ReadChromiumEntryUrl(int fd)
{
    const std::optional<std::string> key = ReadKey(fd);
    if (!key)
        return std::nullopt;
    std::string url = UrlFromChromiumKey(*key);
    if (url.empty())
        return std::nullopt;
    return url;
}

std::optional<std::string> ReadChromiumEntryBody(int fd, std::uint64_t fileSize, const std::string& url,
                                                 std::uint64_t maxBytes)
{
    const std::optional<std::string> key = ReadKey(fd);
    if (!key || UrlFromChromiumKey(*key) != url)
        return std::nullopt;
    const std::uint64_t bodyStart = kHeaderSize + key->size();
    if (fileSize < bodyStart + 2 * kEofSize)
        return std::nullopt;

    const std::optional<EofRecord> last = ReadEof(fd, fileSize - kEofSize);
    if (!last)
        return std::nullopt;  // cut short or still being written
    const std::uint64_t shaSize = (last->flags & kFlagKeySha256) ? kKeySha256Size : 0;
    const std::uint64_t stream0Size = last->size;
    if (stream0Size > kMaxStream0 || bodyStart + 2 * kEofSize + shaSize + stream0Size > fileSize)
        return std::nullopt;
    const std::uint64_t stream0Start = fileSize - kEofSize - shaSize - stream0Size;
    const std::optional<EofRecord> eof1 = ReadEof(fd, stream0Start - kEofSize);
    if (!eof1)
        return std::nullopt;
    const std::uint64_t bodyLength = stream0Start - kEofSize - bodyStart;
    if (bodyLength > std::min(maxBytes, kMaxBodyBytes))
        return std::nullopt;

    std::string stream0;
    if (!ReadAt(fd, stream0Start, static_cast<std::size_t>(stream0Size), stream0))
        return std::nullopt;
    // The headers string is the pickle's first length-prefixed field starting "HTTP/".
    const std::size_t http = stream0.find("HTTP/");
    if (http == std::string::npos || http < 4)
        return std::nullopt;
    const std::uint32_t headLength = U32(stream0, http - 4);
    if (headLength > stream0.size() - http)
        return std::nullopt;
    if (!UsableResponseHead(std::string_view(stream0).substr(http, headLength), bodyLength))
        return std::nullopt;

    std::string body;
    if (!ReadAt(fd, bodyStart, static_cast<std::size_t>(bodyLength), body))
        return std::nullopt;
    if ((eof1->flags & kFlagCrc32) && Crc32(0, body) != eof1->crc)
        return std::nullopt;
    return body;
}

}  // namespace ql::urlcache
