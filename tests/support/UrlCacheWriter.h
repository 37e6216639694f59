#pragma once
// Builds browser cache entry files in the layouts the readers document, for tests and the
// benchmark (the real-browser fixtures cover what the browsers actually write).
#include "platform/core/UrlCacheEntry.h"

#include <cstdint>
#include <string>

namespace ql::test {

inline void PutLe32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void PutLe64(std::string& out, std::uint64_t v)
{
    PutLe32(out, static_cast<std::uint32_t>(v));
    PutLe32(out, static_cast<std::uint32_t>(v >> 32));
}
inline void PutBe32(std::string& out, std::uint32_t v)
{
    for (int i = 3; i >= 0; --i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A "simple cache" entry file (<hash>_0). `headLines` are the header lines after the status.
inline std::string ChromiumEntry(const std::string& key, const std::string& body, const std::string& status = "200 OK",
                                 const std::string& headLines = "Content-Type: image/png")
{
    std::string f;
    PutLe64(f, 0xfcfb6d1ba7725c30ull);
    PutLe32(f, 5);
    PutLe32(f, static_cast<std::uint32_t>(key.size()));
    PutLe32(f, 0x1234abcd);
    PutLe32(f, 0);
    f += key;
    f += body;
    PutLe64(f, 0xf4fa6f45970d41d8ull);
    PutLe32(f, 1);
    PutLe32(f, ql::urlcache::Crc32(0, body));
    PutLe32(f, 0);
    PutLe32(f, 0);
    std::string head = "HTTP/1.1 " + status + '\0';
    for (std::size_t at = 0; at < headLines.size();) {
        std::size_t nl = headLines.find('\n', at);
        if (nl == std::string::npos)
            nl = headLines.size();
        head += headLines.substr(at, nl - at) + '\0';
        at = nl + 1;
    }
    head += '\0';
    std::string stream0;
    PutLe32(stream0, 0);  // pickle payload size (not read)
    PutLe32(stream0, 3);  // flags
    PutLe64(stream0, 1);  // request time
    PutLe64(stream0, 2);  // response time
    PutLe32(stream0, static_cast<std::uint32_t>(head.size()));
    stream0 += head;
    while (stream0.size() % 4)
        stream0 += '\0';
    f += stream0;
    f += std::string(32, '\x5a');  // key SHA-256 (not checked)
    PutLe64(f, 0xf4fa6f45970d41d8ull);
    PutLe32(f, 3);
    PutLe32(f, 0);
    PutLe32(f, static_cast<std::uint32_t>(stream0.size()));
    PutLe32(f, 0);
    return f;
}

inline void PutBe16(std::string& out, std::uint16_t v)
{
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v & 0xFF);
}

// A "cache2" entry file with valid hashes. `extraElements` are appended "name\0value\0" pairs.
inline std::string FirefoxEntry(const std::string& key, const std::string& body, const std::string& status = "200 OK",
                                const std::string& headLines = "Content-Type: image/png",
                                const std::string& extraElements = "")
{
    constexpr std::size_t kChunk = 256 * 1024;
    std::string meta;  // from the chunk hashes to the field before the offset
    for (std::size_t at = 0; at < body.size(); at += kChunk)
        PutBe16(meta, static_cast<std::uint16_t>(ql::urlcache::FirefoxHash(std::string_view(body).substr(at, kChunk))));
    for (std::uint32_t v : {4u, 1u, 1700000000u, 1700000000u, 1000u, 1800000000u})
        PutBe32(meta, v);
    PutBe32(meta, static_cast<std::uint32_t>(key.size()));
    PutBe32(meta, 0);
    meta += key;
    meta += '\0';
    std::string head = "HTTP/1.1 " + status + "\r\n";
    for (std::size_t at = 0; at < headLines.size();) {
        std::size_t nl = headLines.find('\n', at);
        if (nl == std::string::npos)
            nl = headLines.size();
        head += headLines.substr(at, nl - at) + "\r\n";
        at = nl + 1;
    }
    meta += std::string("request-method\0GET\0", 19);
    meta += "response-head";
    meta += '\0';
    meta += head;
    meta += '\0';
    meta += extraElements;
    std::string f = body;
    PutBe32(f, ql::urlcache::FirefoxHash(meta));
    f += meta;
    PutBe32(f, 4);
    PutBe32(f, static_cast<std::uint32_t>(body.size()));
    return f;
}

}  // namespace ql::test
