#include "components/shell/IdListContainers.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "components/shell/ShellErrors.h"

namespace ql::shellctl {

int TSvIdListArray::Count() const { return IdList ? static_cast<int>(IdList->ItemCount()) : 0; }

const ItemIdList* TSvIdListArray::Items(int index)
{
    result_.reset();
    int count = Count();
    if (!IdList || index < 0 || (index >= count && count != 0))
        throw EShellError("TSvIdListArray - index " + std::to_string(index) + " out of range");
    if (count == 0) {
        if (index == 0)
            result_ = std::make_unique<ItemIdList>();
        return result_.get();
    }
    auto item = IdList->Item(static_cast<std::size_t>(index));
    result_ = std::make_unique<ItemIdList>(std::move(*item));
    return result_.get();
}

const ItemIdList* TSvIdListArray::Ancestor(int levels)
{
    result_.reset();
    if (!IdList || levels < 0)
        return nullptr;
    auto ancestor = IdList->Ancestor(static_cast<std::size_t>(levels));
    if (ancestor)
        result_ = std::make_unique<ItemIdList>(std::move(*ancestor));
    return result_.get();
}

int TSvPidlList::CompareLists(const ItemIdList* a, const ItemIdList* b) const
{
    static const ItemIdList kEmpty;
    const ItemIdList& x = a ? *a : kEmpty;
    const ItemIdList& y = b ? *b : kEmpty;
    if (ShellFolder) {
        HRESULT hr = ShellFolder->CompareIDs(0, x, y);
        // A failed comparison is not an order; byte order keeps sorts and searches consistent.
        if (com::SUCCEEDED(hr))
            return shell::ShortFromResult(hr);
    }
    return ItemIdList::Compare(x, y);
}

std::size_t TSvPidlList::Index(int position)
{
    if (position < 0)
        throw std::out_of_range("List index out of bounds (" + std::to_string(position) + ")");
    return static_cast<std::size_t>(position);
}

bool TSvPidlList::Find(const ItemIdList* list, int& position) const
{
    int low = 0, high = Count() - 1;
    bool found = false;
    while (low <= high) {
        int middle = (low + high) / 2;
        int c = CompareLists(entries_[static_cast<std::size_t>(middle)].list, list);
        if (c < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (c == 0) {
                found = true;
                if (Duplicates != pdAccept)
                    low = middle;
            }
        }
    }
    position = low;
    return found;
}

int TSvPidlList::Place(Entry entry)
{
    if (!sorted_) {
        entries_.push_back(std::move(entry));
        return Count() - 1;
    }
    int position = 0;
    if (Find(entry.list, position)) {
        if (Duplicates == pdIgnore)
            return position;
        if (Duplicates == pdError)
            throw EShellError("TSvPidlList: Duplicate PIDL");
    }
    entries_.insert(entries_.begin() + position, std::move(entry));
    return position;
}

int TSvPidlList::AddObject(const ItemIdList* list, void* object) { return Place({list, nullptr, object}); }

int TSvPidlList::AddOwned(IdListPtr list, void* object)
{
    const ItemIdList* raw = list.get();
    return Place({raw, std::move(list), object});
}

void TSvPidlList::Insert(int position, const ItemIdList* list, void* object)
{
    std::size_t at = std::min(Index(position), entries_.size());
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), Entry{list, nullptr, object});
}

int TSvPidlList::IndexOf(const ItemIdList* list) const
{
    if (sorted_) {
        int position = 0;
        return Find(list, position) ? position : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (CompareLists(entries_[static_cast<std::size_t>(i)].list, list) == 0)
            return i;
    return -1;
}

void TSvPidlList::Delete(int position)
{
    std::size_t at = Index(position);
    if (at >= entries_.size())
        throw std::out_of_range("List index out of bounds (" + std::to_string(position) + ")");
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
}

void TSvPidlList::Clear() { entries_.clear(); }

void TSvPidlList::Sort()
{
    std::sort(entries_.begin(), entries_.end(),
              [this](const Entry& a, const Entry& b) { return CompareLists(a.list, b.list) < 0; });
}

void TSvPidlList::SetSorted(bool value)
{
    if (value == sorted_)
        return;
    sorted_ = value;
    if (value)
        Sort();
}

}  // namespace ql::shellctl
