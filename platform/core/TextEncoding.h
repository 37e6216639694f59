#pragma once
// Turning text payloads from other programs into UTF-8, converting between UTF-8 and UTF-16,
// and cutting UTF-8 text without splitting a character. The program's one UTF-8 encoder and
// decoder live here, so broken input is repaired alike wherever text changes form.
#include <cstddef>
#include <string>
#include <string_view>

namespace ql {

// Appends the UTF-8 form of a code point (at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t cp);
// Reads the character at text[i] (i < text.size()) into `cp` and returns its length in bytes.
// A byte that starts no valid sequence (cut off, overlong, a surrogate, past U+10FFFF) gives
// 0 and cp = U+FFFD; callers step over that one byte.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& cp);

// UTF-8 to UTF-16; each byte of an invalid sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// UTF-16 (little or big endian) to UTF-8; unpaired surrogates become U+FFFD, an odd last byte
// is ignored.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
// UTF-8 to UTF-16 little endian bytes, as Utf8ToUtf16 repairs it.
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
