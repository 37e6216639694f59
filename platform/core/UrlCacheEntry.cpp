#include "platform/core/UrlCacheEntry.h"

#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>

namespace ql::urlcache {
namespace {

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::array<std::uint32_t, 256> MakeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

}  // namespace

bool ReadAt(int fd, std::uint64_t offset, std::size_t length, std::string& out)
{
    return ReadUpTo(fd, offset, length, out) && out.size() == length;
}

bool ReadUpTo(int fd, std::uint64_t offset, std::size_t length, std::string& out)
{
    out.resize(length);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd, out.data() + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    out.resize(done);
    return true;
}

bool UsableResponseHead(std::string_view head, std::uint64_t bodyLength)
{
    bool first = true;
    bool contentLengthSeen = false;
    while (!head.empty()) {
        std::size_t end = head.find_first_of(std::string_view("\0\r\n", 3));
        const std::string_view line = head.substr(0, end);
        head.remove_prefix(end == std::string_view::npos ? head.size() : end + 1);
        if (line.empty()) {
            if (first)
                return false;
            continue;
        }
        if (first) {
            // "HTTP/1.1 200 OK", "HTTP/2 200"
            first = false;
            if (line.substr(0, 5) != "HTTP/")
                return false;
            const std::size_t sp = line.find(' ');
            if (sp == std::string_view::npos)
                return false;
            const std::string_view status = line.substr(sp + 1, 4);
            if (status != "200" && status != "200 ")
                return false;
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view name = TrimBlanks(line.substr(0, colon));
        const std::string_view value = TrimBlanks(line.substr(colon + 1));
        if (EqualsNoCase(name, "Content-Encoding")) {
            if (!value.empty() && !EqualsNoCase(value, "identity"))
                return false;
        } else if (EqualsNoCase(name, "Content-Length")) {
            if (value.empty() || value.size() > 19 || contentLengthSeen)
                return false;
            std::uint64_t n = 0;
            for (const char c : value) {
                if (c < '0' || c > '9')
                    return false;
                n = n * 10 + static_cast<std::uint64_t>(c - '0');
            }
            if (n != bodyLength)
                return false;
            contentLengthSeen = true;
        }
    }
    return !first;
}

std::uint32_t Crc32(std::uint32_t crc, std::string_view bytes)
{
    static const std::array<std::uint32_t, 256> table = MakeCrcTable();
    crc = ~crc;
    for (const char ch : bytes)
        crc = table[(crc ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t FirefoxHash(std::string_view bytes)
{
    auto mix = [](std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
        a -= b;
        a -= c;
        a ^= (c >> 13);
        b -= c;
        b -= a;
        b ^= (a << 8);
        c -= a;
        c -= b;
        c ^= (b >> 13);
        a -= b;
        a -= c;
        a ^= (c >> 12);
        b -= c;
        b -= a;
        b ^= (a << 16);
        c -= a;
        c -= b;
        c ^= (b >> 5);
        a -= b;
        a -= c;
        a ^= (c >> 3);
        b -= c;
        b -= a;
        b ^= (a << 10);
        c -= a;
        c -= b;
        c ^= (b >> 15);
    };
    auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])); };
    auto word = [&](std::size_t i) { return byte(i) | byte(i + 1) << 8 | byte(i + 2) << 16 | byte(i + 3) << 24; };
    std::uint32_t a = 0x9e3779b9u, b = 0x9e3779b9u, c = 0;
    std::size_t i = 0;
    for (; bytes.size() - i >= 12; i += 12) {
        a += word(i);
        b += word(i + 4);
        c += word(i + 8);
        mix(a, b, c);
    }
    c += static_cast<std::uint32_t>(bytes.size());
    // The tail: bytes 8..10 go to c above its lowest byte (which holds the length), 4..7 to b,
    // 0..3 to a.
    const std::size_t rest = bytes.size() - i;
    for (std::size_t k = rest; k-- > 0;) {
        const std::uint32_t v = byte(i + k);
        if (k >= 8)
            c += v << (8 * (k - 7));
        else if (k >= 4)
            b += v << (8 * (k - 4));
        else
            a += v << (8 * k);
    }
    mix(a, b, c);
    return c;
}

}  // namespace ql::urlcache
