#include "components/browserhost/WebHostPidls.h"

namespace ql {

void FreeItemIdList(PItemIdList& list) { list.reset(); }

const std::uint8_t* NextItemId(const std::uint8_t* item, const std::uint8_t* end)
{
    if (!item || !end || end < item || end - item < 2)
        return nullptr;
    std::size_t cb = static_cast<std::size_t>(item[0]) | (static_cast<std::size_t>(item[1]) << 8);
    if (cb == 0)
        return item;
    if (cb < 2 || cb + 2 > static_cast<std::size_t>(end - item))
        return nullptr;
    return item + cb;
}

std::size_t ItemIdListSize(const shell::ItemIdList* list) { return list ? list->Size() : 0; }

std::optional<std::vector<std::uint8_t>> AllocItemIdList(std::size_t size)
{
    if (size > shell::ItemIdList::kMaxBytes)
        return std::nullopt;
    return std::vector<std::uint8_t>(size, 0);
}

PItemIdList CopyItemIdList(const std::uint8_t* block, std::size_t blockSize)
{
    auto list = shell::ItemIdList::FromBytes(block, blockSize);
    return list ? std::make_unique<shell::ItemIdList>(std::move(*list)) : nullptr;
}

PItemIdList CopyItemIdList(const shell::ItemIdList* list)
{
    return list ? std::make_unique<shell::ItemIdList>(*list) : nullptr;
}

}  // namespace ql
