#include "platform/core/shell/ItemIdList.h"

#include <algorithm>
#include <cstring>

namespace ql::shell {

namespace {

std::size_t ReadCount(const std::uint8_t* p)
{
    return static_cast<std::size_t>(p[0]) | (static_cast<std::size_t>(p[1]) << 8);
}

}  // namespace

ItemIdList::ItemIdList() : bytes_{0, 0} {}

std::optional<ItemIdList> ItemIdList::FromBytes(const void* data, std::size_t available)
{
    if (!data)
        return std::nullopt;
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::vector<std::size_t> offsets;
    std::size_t pos = 0;
    for (;;) {
        if (available - pos < 2 || pos + 2 > kMaxBytes)
            return std::nullopt;
        std::size_t cb = ReadCount(p + pos);
        if (cb == 0)
            break;
        if (cb < 2 || cb > available - pos)
            return std::nullopt;
        offsets.push_back(pos);
        pos += cb;
    }
    ItemIdList list;
    list.bytes_.assign(p, p + pos + 2);
    list.offsets_ = std::move(offsets);
    return list;
}

std::optional<ItemIdList> ItemIdList::FromItems(const std::vector<std::string_view>& items)
{
    std::size_t total = 2;
    for (auto item : items) {
        if (item.size() > kMaxItemData)
            return std::nullopt;
        total += item.size() + 2;
        if (total > kMaxBytes)
            return std::nullopt;
    }
    ItemIdList list;
    list.bytes_.clear();
    list.bytes_.reserve(total);
    for (auto item : items) {
        std::size_t cb = item.size() + 2;
        list.offsets_.push_back(list.bytes_.size());
        list.bytes_.push_back(static_cast<std::uint8_t>(cb & 0xFF));
        list.bytes_.push_back(static_cast<std::uint8_t>(cb >> 8));
        list.bytes_.insert(list.bytes_.end(), item.begin(), item.end());
    }
    list.bytes_.push_back(0);
    list.bytes_.push_back(0);
    return list;
}

std::string_view ItemIdList::ItemData(std::size_t index) const
{
    if (index >= offsets_.size())
        return {};
    std::size_t at = offsets_[index];
    std::size_t cb = ReadCount(bytes_.data() + at);
    return {reinterpret_cast<const char*>(bytes_.data() + at + 2), cb - 2};
}

std::optional<ItemIdList> ItemIdList::Item(std::size_t index) const
{
    if (index >= offsets_.size())
        return std::nullopt;
    return FromItems({ItemData(index)});
}

ItemIdList ItemIdList::LastItem() const
{
    if (offsets_.empty())
        return {};
    return *Item(offsets_.size() - 1);
}

std::optional<ItemIdList> ItemIdList::Ancestor(std::size_t levels) const
{
    if (levels > offsets_.size())
        return std::nullopt;
    std::size_t keep = offsets_.size() - levels;
    std::size_t end = keep == offsets_.size() ? bytes_.size() - 2 : offsets_[keep];
    ItemIdList list;
    list.bytes_.assign(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(end));
    list.bytes_.push_back(0);
    list.bytes_.push_back(0);
    list.offsets_.assign(offsets_.begin(), offsets_.begin() + static_cast<std::ptrdiff_t>(keep));
    return list;
}

ItemIdList ItemIdList::Tail(std::size_t skip) const
{
    if (skip >= offsets_.size())
        return {};
    ItemIdList list;
    std::size_t base = offsets_[skip];
    list.bytes_.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(base), bytes_.end());
    for (std::size_t i = skip; i < offsets_.size(); ++i)
        list.offsets_.push_back(offsets_[i] - base);
    return list;
}

std::optional<ItemIdList> ItemIdList::Join(const ItemIdList& first, const ItemIdList& second)
{
    std::size_t total = first.Size() + second.Size() - 2;
    if (total > kMaxBytes)
        return std::nullopt;
    ItemIdList list;
    list.bytes_.assign(first.bytes_.begin(), first.bytes_.end() - 2);
    std::size_t base = list.bytes_.size();
    list.bytes_.insert(list.bytes_.end(), second.bytes_.begin(), second.bytes_.end());
    list.offsets_ = first.offsets_;
    for (std::size_t off : second.offsets_)
        list.offsets_.push_back(base + off);
    return list;
}

int ItemIdList::Compare(const ItemIdList& a, const ItemIdList& b)
{
    std::size_t n = std::min(a.Size(), b.Size());
    for (std::size_t i = 0; i < n; ++i) {
        if (a.bytes_[i] != b.bytes_[i])
            return static_cast<int>(a.bytes_[i]) - static_cast<int>(b.bytes_[i]);
    }
    if (a.Size() == b.Size())
        return 0;
    return a.Size() < b.Size() ? -1 : 1;
}

}  // namespace ql::shell
