#pragma once
// An item-id list: the name of a shell item as a chain of items, each led by its 16-bit
// little-endian byte count (the two count bytes included), ended by a 16-bit zero. The list
// with no items (the terminator alone) is the desktop. An ItemIdList value is always well
// formed: lists are only made from parts or from bytes that passed a bounded walk.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace ql::shell {

class ItemIdList {
public:
    // Longest list accepted, terminator included; longer input counts as malformed.
    static constexpr std::size_t kMaxBytes = 1 << 20;
    // Most data bytes one item can carry (its count is 16 bits and includes itself).
    static constexpr std::size_t kMaxItemData = 0xFFFF - 2;

    ItemIdList();  // the desktop

    // Walks the list at `data` without reading past `available` bytes. nullopt when an item
    // count is 1, an item runs past the end, the terminator is missing or the list exceeds
    // kMaxBytes. Bytes after the terminator are not part of the list.
    static std::optional<ItemIdList> FromBytes(const void* data, std::size_t available);
    // A list of the given items (each the data after the count). nullopt when an item is too
    // long or the list would exceed kMaxBytes.
    static std::optional<ItemIdList> FromItems(const std::vector<std::string_view>& items);

    std::size_t Size() const { return bytes_.size(); }  // bytes, terminator included (2 when empty)
    std::size_t ItemCount() const { return offsets_.size(); }
    bool IsEmpty() const { return offsets_.empty(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

    // The data of item `index` (without its count); empty view when out of range.
    std::string_view ItemData(std::size_t index) const;
    // The item `index` as a single-item list; nullopt when out of range.
    std::optional<ItemIdList> Item(std::size_t index) const;
    // The last item as a single-item list; the desktop for the desktop.
    ItemIdList LastItem() const;
    // The first ItemCount() - levels items; nullopt when levels > ItemCount().
    std::optional<ItemIdList> Ancestor(std::size_t levels) const;
    // The items after the first `skip` ones (relative to the item `skip` - 1 names); the desktop
    // when none are left.
    ItemIdList Tail(std::size_t skip) const;
    // The items of `first` followed by those of `second`; nullopt when too long.
    static std::optional<ItemIdList> Join(const ItemIdList& first, const ItemIdList& second);

    // Byte order: the first min(size) bytes as unsigned bytes, then the shorter list first.
    // Negative, 0 or positive.
    static int Compare(const ItemIdList& a, const ItemIdList& b);
    friend bool operator==(const ItemIdList& a, const ItemIdList& b) { return a.bytes_ == b.bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::vector<std::size_t> offsets_;  // where each item's count starts
};

}  // namespace ql::shell
