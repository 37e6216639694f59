#pragma once
// A popup menu as data: what a context menu inserts its commands into and what the GUI turns
// into a real menu. Items are addressed by position or by command identifier.
#include <memory>
#include <string>
#include <vector>

namespace ql::shell {

inline constexpr unsigned MF_GRAYED = 0x1;
inline constexpr unsigned MF_SEPARATOR = 0x800;
inline constexpr unsigned MF_DEFAULT = 0x1000;

class PopupMenu {
public:
    struct Item {
        int id = 0;        // 0 for separators
        std::string text;  // "&" marks the mnemonic
        unsigned flags = 0;
        std::unique_ptr<PopupMenu> submenu;
        std::vector<std::string> icon;  // theme icon names, the first the theme has is shown
    };

    // Inserts at `position` (clamped to the end).
    void Insert(std::size_t position, Item item);
    void Append(Item item) { Insert(items_.size(), std::move(item)); }
    void Delete(std::size_t position);
    std::size_t Count() const { return items_.size(); }
    const Item& At(std::size_t position) const { return items_.at(position); }
    // The item with that identifier (searched in submenus too); nullptr when none.
    const Item* FindById(int id) const;

private:
    std::vector<Item> items_;
};

}  // namespace ql::shell
