#include "platform/core/shell/PopupMenu.h"

#include <algorithm>

namespace ql::shell {

void PopupMenu::Insert(std::size_t position, Item item)
{
    position = std::min(position, items_.size());
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position), std::move(item));
}

void PopupMenu::Delete(std::size_t position)
{
    if (position < items_.size())
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(position));
}

const PopupMenu::Item* PopupMenu::FindById(int id) const
{
    for (const auto& item : items_) {
        if (item.id == id && !(item.flags & MF_SEPARATOR))
            return &item;
        if (item.submenu)
            if (const Item* found = item.submenu->FindById(id))
                return found;
    }
    return nullptr;
}

}  // namespace ql::shell
