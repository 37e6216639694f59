// Firefox-family disk cache, "cache2" format, as Firefox ESR 153 writes it on Linux
// (folder <cache parent>/cache2/entries; the parent is ~/.cache/mozilla/firefox/<profile> or
// the profile folder itself).
//
// One entry per key in a file named by the SHA-1 of the key as 40 upper-case hex digits.
// Integers are big-endian. The file holds:
//   the body           bytes [0, offset), exactly as received
//   metadata at offset:
//     u32              FirefoxHash of the metadata from the chunk hashes up to the u32 before
//                      the offset field
//     u16 per chunk    the low 16 bits of FirefoxHash of each started 256 KiB of [0, offset)
//     8 x u32          version (4; 2 and 3 share the layout), fetch count, last fetched,
//                      last modified, frecency, expiration time, key size, flags
//     the key, NUL     e.g. "O^partitionKey=%28http%2C127.0.0.1%29,:http://host/img/a.png";
//                      the URL follows the first ':' that starts the key or follows a ','
//     "name\0value\0"  pairs: "request-method", "response-head" (status line and header
//                      lines, CR LF separated), "alt-data" ("<n>;<offset>,<type>": the body
//                      ends at offset, another representation follows) ...; an empty name
//                      ends the list
//     u32              (4 in every entry seen)
//   u32 offset         the last 4 bytes; its top bit marks an encrypted (unreadable) entry
// "cache2/index" and "cache2/doomed/" are not needed.
#include "platform/core/Sha1.h"
#include "platform/core/UrlCacheEntry.h"
#include "platform/core/UrlText.h"

#include <algorithm>

namespace ql::urlcache {
namespace {

constexpr std::uint32_t kChunkSize = 256 * 1024;
constexpr std::uint32_t kEncryptedBit = 0x80000000u;
constexpr std::uint64_t kMaxMetadata = 4 << 20;
constexpr std::size_t kHeaderFields = 8;

std::uint32_t BigU32(std::string_view b, std::size_t at)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

std::uint16_t BigU16(std::string_view b, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) << 8 | static_cast<unsigned char>(b[at + 1]));
}

struct Metadata {
    std::uint32_t bodyEnd = 0;  // the metadata offset
    std::string chunkHashes;    // two bytes per chunk
    std::string key;
    std::string responseHead;
    bool hasResponseHead = false;
    std::optional<std::uint64_t> altDataOffset;
    bool altDataMalformed = false;
};

// "1;1234,javascript/moz-script": the number between ';' and ','.
std::optional<std::uint64_t> AltDataOffset(std::string_view value)
{
    const std::size_t semi = value.find(';');
    if (semi == std::string_view::npos)
        return std::nullopt;
    value.remove_prefix(semi + 1);
    const std::size_t comma = value.find(',');
    const std::string_view digits = value.substr(0, comma);
    if (digits.empty() || digits.size() > 19)
        return std::nullopt;
    std::uint64_t n = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return n;
}

// Parses the metadata; `wantElements` false stops after the key (indexing needs no more).
std::optional<Metadata> ReadMetadata(int fd, std::uint64_t fileSize, bool wantElements)
{
    if (fileSize < 4)
        return std::nullopt;
    // One read from the end usually covers the whole metadata of a small entry.
    const std::uint64_t tailLength = std::min<std::uint64_t>(fileSize, 4096);
    std::string tail;
    if (!ReadAt(fd, fileSize - tailLength, static_cast<std::size_t>(tailLength), tail))
        return std::nullopt;
    const std::uint32_t offset = BigU32(tail, tail.size() - 4);
    if (offset & kEncryptedBit)
        return std::nullopt;
    if (offset >= fileSize - 4 || fileSize - 4 - offset > kMaxMetadata)
        return std::nullopt;

    std::string meta;
    if (offset >= fileSize - tailLength) {
        meta = tail.substr(static_cast<std::size_t>(offset - (fileSize - tailLength)));
        meta.resize(meta.size() - 4);
    } else if (!ReadAt(fd, offset, static_cast<std::size_t>(fileSize - 4 - offset), meta)) {
        return std::nullopt;
    }
    const std::string_view m(meta);

    const std::uint64_t chunks = (static_cast<std::uint64_t>(offset) + kChunkSize - 1) / kChunkSize;
    const std::uint64_t headerAt = 4 + 2 * chunks;
    if (headerAt + 4 * kHeaderFields + 4 > m.size())
        return std::nullopt;
    if (FirefoxHash(m.substr(4, m.size() - 8)) != BigU32(m, 0))
        return std::nullopt;  // damaged
    const std::uint32_t version = BigU32(m, headerAt);
    if (version < 2 || version > 4)
        return std::nullopt;
    const std::uint32_t keySize = BigU32(m, headerAt + 4 * 6);
    const std::size_t keyAt = static_cast<std::size_t>(headerAt + 4 * kHeaderFields);
    if (keySize == 0 || keySize >= m.size() - keyAt || m[keyAt + keySize] != '\0')
        return std::nullopt;

    Metadata out;
    out.bodyEnd = offset;
    out.chunkHashes.assign(m.substr(4, static_cast<std::size_t>(2 * chunks)));
    out.key.assign(m.substr(keyAt, keySize));
    if (!wantElements)
        return out;

    std::size_t pos = keyAt + keySize + 1;
    while (pos < m.size()) {
        const std::size_t nameEnd = m.find('\0', pos);
        if (nameEnd == std::string_view::npos || nameEnd == pos)
            break;
        const std::size_t valueEnd = m.find('\0', nameEnd + 1);
        if (valueEnd == std::string_view::npos)
            return std::nullopt;  // cut inside a pair
        const std::string_view name = m.substr(pos, nameEnd - pos);
        const std::string_view value = m.substr(nameEnd + 1, valueEnd - nameEnd - 1);
        if (name == "response-head") {
            out.responseHead.assign(value);
            out.hasResponseHead = true;
        } else if (name == "alt-data") {
            out.altDataOffset = AltDataOffset(value);
            out.altDataMalformed = !out.altDataOffset;
        }
        pos = valueEnd + 1;
    }
    return out;
}

}  // namespace

bool IsFirefoxEntryName(std::string_view name)
{
    if (name.size() != 40)
        return false;
    for (const char c : name)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

std::string FirefoxEntryName(std::string_view key)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string name;
    for (const std::uint8_t b : Sha1(key)) {
        name += kHex[b >> 4];
        name += kHex[b & 15];
    }
    return name;
}

std::string UrlFromFirefoxKey(std::string_view key)
{
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (key[i] == ':' && (i == 0 || key[i - 1] == ',')) {
            const std::string_view url = key.substr(i + 1);
            return HasUrlScheme(url) ? std::string(url) : std::string();
        }
    }
    return {};
}

std::optional<std::string> ReadFirefoxEntryUrl(int fd, std::uint64_t fileSize)
{
    const std::optional<Metadata> meta = ReadMetadata(fd, fileSize, false);
    if (!meta)
        return std::nullopt;
    std::string url = UrlFromFirefoxKey(meta->key);
    if (url.empty())
        return std::nullopt;
    return url;
}

std::optional<std::string> ReadFirefoxEntryBody(int fd, std::uint64_t fileSize, const std::string& url,
                                                std::uint64_t maxBytes)
{
    const std::optional<Metadata> meta = ReadMetadata(fd, fileSize, true);
    if (!meta || !meta->hasResponseHead || meta->altDataMalformed)
        return std::nullopt;
    if (UrlFromFirefoxKey(meta->key) != url)
        return std::nullopt;
    std::uint64_t bodyLength = meta->bodyEnd;
    if (meta->altDataOffset) {
        if (*meta->altDataOffset > meta->bodyEnd)
            return std::nullopt;
        bodyLength = *meta->altDataOffset;
    }
    if (bodyLength > std::min(maxBytes, kMaxBodyBytes))
        return std::nullopt;
    if (!UsableResponseHead(meta->responseHead, bodyLength))
        return std::nullopt;
    // Every chunk the body touches is read whole (it may run on into alt-data) and checked.
    const std::uint64_t chunks = (bodyLength + kChunkSize - 1) / kChunkSize;
    const std::uint64_t readLength = std::min<std::uint64_t>(chunks * kChunkSize, meta->bodyEnd);
    std::string data;
    if (!ReadAt(fd, 0, static_cast<std::size_t>(readLength), data))
        return std::nullopt;
    for (std::uint64_t i = 0; i < chunks; ++i) {
        const std::string_view chunk = std::string_view(data).substr(static_cast<std::size_t>(i * kChunkSize),
                                                                     kChunkSize);
        if (static_cast<std::uint16_t>(FirefoxHash(chunk)) !=
            BigU16(meta->chunkHashes, static_cast<std::size_t>(2 * i)))
            return std::nullopt;
    }
    data.resize(static_cast<std::size_t>(bodyLength));
    return data;
}

}  // namespace ql::urlcache
