#pragma once
// The "Shell IDList Array" block: a 32-bit count n, the offset of the folder's list, the
// offsets of the n items' lists (all little-endian 32-bit, counted from the block's start),
// then the lists themselves.
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/core/shell/ItemIdList.h"

namespace ql::shell {

struct IdListArray {
    ItemIdList folder;              // absolute
    std::vector<ItemIdList> items;  // relative to the folder
};

std::vector<std::uint8_t> BuildIdListArray(const ItemIdList& folder, const std::vector<ItemIdList>& items);
// nullopt when the block is short, an offset points outside it or a list there is malformed.
std::optional<IdListArray> ParseIdListArray(const std::vector<std::uint8_t>& block);

}  // namespace ql::shell
