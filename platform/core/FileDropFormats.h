#pragma once
// Binary layouts of the file-list format (CF_HDROP) and the file descriptor group
// ("FileGroupDescriptor"), built and read with every offset checked against the block.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ql {

// CF_HDROP: a 20-byte header (offset of the list, drop point x and y, non-client flag, wide
// flag; little-endian 32-bit), then each path followed by a NUL and one more NUL at the end.
std::vector<std::uint8_t> BuildHDrop(const std::vector<std::string>& paths);
// The paths of a CF_HDROP block in order (UTF-16 lists decoded to UTF-8); names are read
// whole, however long. A block that is too short or whose list offset lies outside it gives
// nothing; an unterminated last name ends at the block's end.
std::vector<std::string> ParseHDrop(const std::vector<std::uint8_t>& block);

// "FileGroupDescriptor": a 32-bit item count, then per item a 332-byte descriptor whose file
// name field (260 bytes, NUL-terminated) starts 72 bytes in, so the first name lies 76 bytes
// from the start of the block.
inline constexpr std::size_t kFileDescriptorSize = 332;
inline constexpr std::size_t kFileDescriptorNameOffset = 72;
inline constexpr std::size_t kFileDescriptorNameSize = 260;
// One item named `fileName`, cut on a character boundary to fit the field.
std::vector<std::uint8_t> BuildFileGroupDescriptor(const std::string& fileName);
// The name of the first item, read no further than the block and the name field reach;
// "" when the block holds no item.
std::string FirstFileDescriptorName(const std::vector<std::uint8_t>& block);

// "a/b.c.url" -> "a/b.c": the name without the extension after its last dot; ".url" -> "" (a
// dot in a folder name does not begin an extension).
std::string StripExtension(const std::string& name);

}  // namespace ql
