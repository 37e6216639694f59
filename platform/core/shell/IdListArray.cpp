#include "platform/core/shell/IdListArray.h"

namespace ql::shell {

namespace {

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t Get32(const std::vector<std::uint8_t>& in, std::size_t at)
{
    return static_cast<std::uint32_t>(in[at]) | (static_cast<std::uint32_t>(in[at + 1]) << 8) |
           (static_cast<std::uint32_t>(in[at + 2]) << 16) | (static_cast<std::uint32_t>(in[at + 3]) << 24);
}

}  // namespace

std::vector<std::uint8_t> BuildIdListArray(const ItemIdList& folder, const std::vector<ItemIdList>& items)
{
    std::size_t header = 8 + 4 * items.size();
    std::vector<std::uint8_t> out(header);
    Put32(out, 0, static_cast<std::uint32_t>(items.size()));
    auto append = [&](const ItemIdList& list, std::size_t field) {
        Put32(out, field, static_cast<std::uint32_t>(out.size()));
        out.insert(out.end(), list.Bytes().begin(), list.Bytes().end());
    };
    append(folder, 4);
    for (std::size_t i = 0; i < items.size(); ++i)
        append(items[i], 8 + 4 * i);
    return out;
}

std::optional<IdListArray> ParseIdListArray(const std::vector<std::uint8_t>& block)
{
    if (block.size() < 8)
        return std::nullopt;
    std::uint64_t n = Get32(block, 0);
    if (8 + 4 * n > block.size())
        return std::nullopt;
    auto listAt = [&](std::size_t field) -> std::optional<ItemIdList> {
        std::uint32_t off = Get32(block, field);
        if (off >= block.size())
            return std::nullopt;
        return ItemIdList::FromBytes(block.data() + off, block.size() - off);
    };
    IdListArray result;
    auto folder = listAt(4);
    if (!folder)
        return std::nullopt;
    result.folder = std::move(*folder);
    for (std::size_t i = 0; i < n; ++i) {
        auto item = listAt(8 + 4 * i);
        if (!item)
            return std::nullopt;
        result.items.push_back(std::move(*item));
    }
    return result;
}

}  // namespace ql::shell
