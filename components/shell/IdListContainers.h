#pragma once
// Two containers of item-id lists: one absolute list seen as an array of its items, and a list
// of lists with attached objects, kept in the shell's order when asked to.
#include <cstddef>
#include <functional>
#include <vector>

#include "components/shell/ShellUtils.h"

namespace ql::shellctl {

class TSvIdListArray {
public:
    explicit TSvIdListArray(const ItemIdList* idList) : IdList(idList) {}

    const ItemIdList* const IdList;  // not owned

    int Count() const;
    // The item at `index` as a list of its own. The result belongs to the array and stays valid
    // until the next Items or Ancestor call. Raises "TSvIdListArray - index %d out of range"
    // when there is no list, the index is negative, or it is not below a non-zero Count; an
    // empty list gives an empty result for index 0 and nil beyond.
    const ItemIdList* Items(int index);
    // The first Count - levels items (the same lifetime rule); nil past the desktop.
    const ItemIdList* Ancestor(int levels);

private:
    IdListPtr result_;
};

enum TSvPidlDuplicates { pdIgnore, pdAccept, pdError };

class TSvPidlList {
public:
    TSvPidlList() = default;
    virtual ~TSvPidlList() = default;
    TSvPidlList(const TSvPidlList&) = delete;
    TSvPidlList& operator=(const TSvPidlList&) = delete;

    // Orders the entries when set (the folder is not kept alive by the list); byte order when
    // not. The comparison belongs to this list alone.
    IShellFolder* ShellFolder = nullptr;
    TSvPidlDuplicates Duplicates = pdError;

    // Adds a list that stays the caller's, or (AddOwned) one the list frees on Delete and Clear.
    // The position of the entry, or of the equal entry that pdIgnore kept. Raises
    // "TSvPidlList: Duplicate PIDL" for a duplicate under pdError, leaving the list unchanged.
    virtual int AddObject(const ItemIdList* list, void* object);
    virtual int Add(const ItemIdList* list) { return AddObject(list, nullptr); }
    int AddOwned(IdListPtr list, void* object = nullptr);
    void Insert(int position, const ItemIdList* list, void* object);

    bool Find(const ItemIdList* list, int& position) const;
    int IndexOf(const ItemIdList* list) const;
    void Delete(int position);
    void Clear();
    void Sort();
    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);

    const ItemIdList* Pidls(int position) const { return entries_.at(Index(position)).list; }
    void* Objects(int position) const { return entries_.at(Index(position)).object; }
    int Count() const { return static_cast<int>(entries_.size()); }
    int Capacity() const { return static_cast<int>(entries_.capacity()); }
    void SetCapacity(int capacity) { entries_.reserve(static_cast<std::size_t>(std::max(0, capacity))); }

    // The order of entry `a` against `b`: negative, 0 or positive.
    int CompareLists(const ItemIdList* a, const ItemIdList* b) const;

private:
    struct Entry {
        const ItemIdList* list = nullptr;
        IdListPtr owned;
        void* object = nullptr;  // the caller's, not owned
    };
    static std::size_t Index(int position);
    int Place(Entry entry);

    std::vector<Entry> entries_;
    bool sorted_ = false;
};

}  // namespace ql::shellctl
