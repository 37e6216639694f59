#pragma once
// The interfaces of our shell namespace: folders, their item enumerators and the items'
// context menus, with the namespace's entry points (the desktop folder, special folders, paths
// of item-id lists). The namespace covers the file system: the desktop is a virtual root
// holding Home, the entries of the desktop folder and Computer; Computer holds the
// file-system root and the mounted volumes.
#include <span>
#include <string>
#include <vector>

#include "platform/core/com/ComBase.h"
#include "platform/core/shell/PopupMenu.h"
#include "platform/core/shell/ShellTypes.h"

namespace ql::shell {

class IEnumIDList : public com::IUnknown {
public:
    static constexpr com::IID IID_{0x000214F2, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    // Up to `count` relative lists; S_FALSE when fewer than asked were left.
    virtual HRESULT Next(ULONG count, IdListPtr* items, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumIDList** out) = 0;
};

// Lists of items relative to the folder they are handed to.
using ItemSpan = std::span<const ItemIdList* const>;

class IShellFolder : public com::IUnknown {
public:
    static constexpr com::IID IID_{0x000214E6, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    // The list of the item a name denotes, relative to this folder: a path, absolute for the
    // desktop and Computer, relative below a file-system folder. Fails when the item does not
    // exist; `attributes` (optional) asks for attributes of the item as GetAttributesOf does.
    virtual HRESULT ParseDisplayName(const std::u16string& name, ULONG* eaten, IdListPtr* out, ULONG* attributes) = 0;
    virtual HRESULT EnumObjects(DWORD flags, IEnumIDList** out) = 0;
    // The folder (IID_IShellFolder) an item of this folder (or a deeper relative list) names.
    virtual HRESULT BindToObject(const ItemIdList& relative, const com::IID& iid, void** out) = 0;
    // Orders two relative lists by a column (low 16 bits of `column`): folders first, then the
    // column, then the name, so distinct items never compare equal. The result's low 16 bits
    // hold -1, 0 or 1.
    virtual HRESULT CompareIDs(std::intptr_t column, const ItemIdList& a, const ItemIdList& b) = 0;
    // Clears from *inOut every bit that some item lacks. With no items, only SFGAO_VALIDATE
    // is understood.
    virtual HRESULT GetAttributesOf(ItemSpan items, ULONG* inOut) = 0;
    // IContextMenu (IContextMenu2), IDropTarget (one folder item) or IDataObject of items.
    virtual HRESULT GetUIObjectOf(ItemSpan items, const com::IID& iid, void** out) = 0;
    virtual HRESULT GetDisplayNameOf(const ItemIdList& item, DWORD flags, STRRET* name) = 0;
    // Renames an item; never replaces an existing one. `out` (optional) gets the new list.
    virtual HRESULT SetNameOf(const ItemIdList& item, const std::u16string& name, DWORD flags, IdListPtr* out) = 0;
};

// Context menus ------------------------------------------------------------------------------

inline constexpr unsigned CMF_NORMAL = 0;
inline constexpr unsigned CMF_DEFAULTONLY = 1;
inline constexpr unsigned CMF_EXPLORE = 4;
inline constexpr unsigned CMF_CANRENAME = 0x10;

inline constexpr unsigned GCS_VERBA = 0;
inline constexpr unsigned GCS_HELPTEXTA = 1;

struct CMINVOKECOMMANDINFO {
    std::uint32_t cbSize = 36;
    std::uint32_t fMask = 0;
    void* hwnd = nullptr;
    // A command offset (high 16 bits 0) or a verb.
    std::uint32_t offset = 0;
    std::string verb;  // used when not empty
    int nShow = 1;
};

class IContextMenu : public com::IUnknown {
public:
    static constexpr com::IID IID_{0x000214E4, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    // Inserts the commands at `index`, numbered from `first` (never past `last`); the result's
    // low word is the number of identifiers used.
    virtual HRESULT QueryContextMenu(PopupMenu& menu, unsigned index, unsigned first, unsigned last,
                                     unsigned flags) = 0;
    virtual HRESULT InvokeCommand(const CMINVOKECOMMANDINFO& info) = 0;
    // The verb or help text of a command offset.
    virtual HRESULT GetCommandString(unsigned offset, unsigned type, std::string* out) = 0;
};

// Menu messages reach our menus as plain events; the second interface exists so callers that
// forward menu messages find it.
class IContextMenu2 : public IContextMenu {
public:
    static constexpr com::IID IID_{0x000214F4, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    virtual HRESULT HandleMenuMsg(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// Entry points ---------------------------------------------------------------------------------

HRESULT SHGetDesktopFolder(IShellFolder** out);
// The absolute list of a special folder (the number masked to 0x7F by the caller). Fails for
// folders that do not exist here (Send To).
HRESULT SHGetSpecialFolderLocation(int csidl, IdListPtr* out);
// The file-system path of an absolute list; "" when it has none (the desktop, Computer) or the
// list is not one of ours. nullptr is the desktop.
std::string SHGetPathFromIDList(const ItemIdList* list);
// The absolute list of an existing path (never cut short); nullptr when it does not exist.
IdListPtr PathToAbsoluteIdList(const std::string& path);

}  // namespace ql::shell
