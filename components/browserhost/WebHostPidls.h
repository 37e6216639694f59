#pragma once
// Item-id-list helpers of the browser host: measuring, walking, allocating, copying and
// freeing lists. A list is owned through PItemIdList (nullptr = nil); raw blocks that come from
// elsewhere are only read within the bounds given with them.
#include "platform/core/shell/ItemIdList.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace ql {

using PItemIdList = std::unique_ptr<shell::ItemIdList>;

// Frees the list (nothing for nil) and leaves nil behind.
void FreeItemIdList(PItemIdList& list);
// The item after `item` (the next item or the terminator), or nullptr when the item's count
// is malformed or it does not end, with room for the next count, before `end`. The terminator
// is its own successor.
const std::uint8_t* NextItemId(const std::uint8_t* item, const std::uint8_t* end);
// 0 for nil; else 2 plus the byte counts of all items.
std::size_t ItemIdListSize(const shell::ItemIdList* list);
// A zero-filled block of `size` bytes; nullopt when larger than any list may be.
std::optional<std::vector<std::uint8_t>> AllocItemIdList(std::size_t size);
// A new list holding a copy of the list in `block` (at most `blockSize` bytes are read);
// nil when the block holds no well-formed list.
PItemIdList CopyItemIdList(const std::uint8_t* block, std::size_t blockSize);
PItemIdList CopyItemIdList(const shell::ItemIdList* list);

}  // namespace ql
