#pragma once
// SHA-1 (FIPS 180-4). Both browsers name their cache entry files by the SHA-1 of the entry's
// key, so a key known in advance tells which file to open.
#include <array>
#include <cstdint>
#include <string_view>

namespace ql {

using Sha1Digest = std::array<std::uint8_t, 20>;

Sha1Digest Sha1(std::string_view bytes);

}  // namespace ql
