#pragma once
// Clipboard format numbers: the three standard ones the program uses and a process-wide
// registry that gives every format name its own stable number from 0xC000 up.
#include <cstdint>
#include <string>

namespace ql {

inline constexpr std::uint32_t CF_TEXT = 1;
inline constexpr std::uint32_t CF_DIB = 8;
inline constexpr std::uint32_t CF_HDROP = 15;

inline constexpr std::uint32_t kFirstRegisteredFormat = 0xC000;
inline constexpr std::uint32_t kLastRegisteredFormat = 0xFFFF;

// The number of a named format: the same for every spelling that differs only in ASCII case,
// new names get the next free number. 0 for an empty name or when the range is used up.
// Thread-safe.
std::uint32_t RegisterClipboardFormat(const std::string& name);

// The name a number was registered with (its first spelling), the standard formats' customary
// names for 1, 8 and 15, or "" for an unknown number.
std::string GetClipboardFormatName(std::uint32_t format);

}  // namespace ql
