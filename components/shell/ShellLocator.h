#pragma once
// Names the folder a shell control shows: by an absolute item-id list (nil is the desktop) or
// by a special-folder number. Stored in forms as the binary property "Pidl"; tells its owner
// of every change through OnLocatorChange.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "components/shell/ShellUtils.h"

namespace ql::shellctl {

class TSvShellLocator {
public:
    TSvShellLocator() = default;
    TSvShellLocator(const TSvShellLocator&) = delete;
    TSvShellLocator& operator=(const TSvShellLocator&) = delete;

    std::function<void(TSvShellLocator&)> OnLocatorChange;

    // The list named (borrowed; nil for the desktop). A special folder is resolved on first
    // use and again later while it cannot be.
    const ItemIdList* GetIdList();
    void SetIdList(const ItemIdList* list);  // the caller keeps its list
    // A path the namespace cannot parse names the desktop.
    void SetPath(const std::string& path);
    std::string GetPath();
    void ClearFolder() { SetIdList(nullptr); }
    bool IsSameFolder(const TSvShellLocator& other) const;
    void Assign(const TSvShellLocator* source);

    bool IsSpecialFolder() const { return kind_ == 1; }
    int SpecialFolder() const { return csidl_; }

    // The "Pidl" property. HasPidlData: false for the desktop named by nil, which is not
    // written. ReadPidl refuses a block that ends early, has bytes left over, or holds a list
    // that does not parse; the locator then names the desktop. Reading fires nothing.
    bool HasPidlData() const { return held_ || kind_ == 1; }
    std::vector<std::uint8_t> WritePidl() const;
    bool ReadPidl(const std::vector<std::uint8_t>& block);

private:
    void Changed()
    {
        if (OnLocatorChange)
            OnLocatorChange(*this);
    }

    std::uint8_t kind_ = 0;  // 0: the list; 1: the special folder
    IdListPtr held_;
    std::uint8_t csidl_ = 0;
};

}  // namespace ql::shellctl
