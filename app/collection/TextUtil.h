#pragma once
// Small text helpers of the application: trimming as the collection files need it, cutting
// UTF-8 on character boundaries, ASCII case-insensitive search and replace, and the line list
// form in which pages and tree files are read and written (lines ended by CR LF).
#include "foundation/VekBaseClass.h"
#include "platform/core/AsciiCase.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ql {

// Without leading and trailing blanks and control characters (every byte up to 0x20).
std::string TrimControls(std::string_view text);

// The first `chars` characters of UTF-8 text (a character is a lead byte with its continuation
// bytes; a stray continuation byte counts as one character).
std::string Utf8Left(std::string_view text, std::size_t chars);
std::size_t Utf8Length(std::string_view text);
// At most `maxBytes` bytes, never ending inside a character.
std::string Utf8CutBytes(std::string_view text, std::size_t maxBytes);

// ASCII case-insensitive search; npos when absent.
std::size_t FindNoCase(std::string_view text, std::string_view sub, std::size_t from = 0);
bool ContainsNoCase(std::string_view text, std::string_view sub);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
std::string ReplaceAllNoCase(std::string_view text, std::string_view from, std::string_view to);

// Splits at CR LF, CR or LF; a break at the very end does not start another line.
StringList SplitPageLines(std::string_view text);
// Every line followed by CR LF.
std::string JoinPageLines(const StringList& lines);
// Every line break (CR LF, CR, LF) made CR LF; nothing added or taken at the ends.
std::string NormaliseLineBreaks(std::string_view text);
// open + text + close, built by appending (which also keeps GCC 12's -Wrestrict quiet at -O3).
std::string Enclose(std::string_view open, std::string_view text, std::string_view close);
// The first line of a text (up to the first CR or LF).
std::string FirstLine(std::string_view text);

}  // namespace ql
