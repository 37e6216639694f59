#pragma once
// The largest page the collection takes in: pages beyond it are not read into memory, and the
// capture extension hands over no cached page above it.
#include <cstdint>

namespace ql {

inline constexpr std::uint64_t kMaxPageBytes = 256ull << 20;

}  // namespace ql
