#pragma once
// Turning text payloads from other programs into UTF-8, and cutting UTF-8 text without
// splitting a character.
#include <cstddef>
#include <string>
#include <string_view>

namespace ql {

// UTF-16 (little or big endian) to UTF-8; unpaired surrogates become U+FFFD, an odd last byte
// is ignored.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
std::string Utf8ToUtf16Le(std::string_view utf8);
bool IsValidUtf8(std::string_view text);
std::string Latin1ToUtf8(std::string_view text);

// A text payload of unknown encoding as UTF-8: a byte-order mark decides when there is one
// (UTF-16 LE, UTF-16 BE, UTF-8); NUL bytes inside mean UTF-16 without a mark (the byte order
// where the NULs sit); otherwise UTF-8, or Latin-1 when the bytes are not valid UTF-8.
// Trailing NUL characters are dropped.
std::string DecodeTextPayload(std::string_view bytes);

// The first `maxChars` characters (code points) of UTF-8 text.
std::string Utf8PrefixChars(std::string_view text, std::size_t maxChars);
// The longest prefix of at most `maxBytes` bytes that ends on a character boundary.
std::string Utf8PrefixBytes(std::string_view text, std::size_t maxBytes);

}  // namespace ql
