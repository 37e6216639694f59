#include <algorithm>
#include <cerrno>

#include "platform/core/shell/FileOperations.h"
#include "platform/core/shell/ShellObjects.h"
#include "platform/core/shell/ShellServices.h"

#include <strings.h>

namespace ql::shell {

namespace {

const ShellMenuCommand* CommandAt(unsigned offset)
{
    for (const auto& c : kShellMenuCommands)
        if (c.offset == offset)
            return &c;
    return nullptr;
}

class ItemContextMenu : public com::ComObject<IContextMenu2> {
public:
    explicit ItemContextMenu(std::vector<MenuItemInfo> items) : items_(std::move(items)) {}

    HRESULT QueryInterface(const com::IID& iid, void** object) override
    {
        if (object && iid == IContextMenu::IID_) {
            *object = static_cast<IContextMenu*>(this);
            AddRef();
            return com::S_OK;
        }
        return ComObject::QueryInterface(iid, object);
    }

    HRESULT QueryContextMenu(PopupMenu& menu, unsigned index, unsigned first, unsigned last, unsigned flags) override
    {
        unsigned used = 0;
        for (const auto& c : kShellMenuCommands) {
            if (!Offered(c.offset, flags) || first + c.offset > last)
                continue;
            PopupMenu::Item item;
            item.id = static_cast<int>(first + c.offset);
            item.text = c.caption;
            item.flags = c.offset == kCmdOpen ? MF_DEFAULT : 0;
            if (c.offset == kCmdPaste && !ClipboardHasFiles())
                item.flags |= MF_GRAYED;
            menu.Insert(index++, std::move(item));
            used = std::max(used, c.offset + 1);
            if (c.offset == kCmdOpen && !(flags & CMF_DEFAULTONLY) && first + kCmdSendToPlaceholder <= last) {
                menu.Insert(index++, SendToSubmenu(first));
                used = std::max(used, kCmdSendToPlaceholder + 1);
            }
        }
        return static_cast<HRESULT>(used);
    }

    HRESULT InvokeCommand(const CMINVOKECOMMANDINFO& info) override
    {
        unsigned offset = info.offset;
        if (!info.verb.empty()) {
            const ShellMenuCommand* found = nullptr;
            for (const auto& c : kShellMenuCommands)
                if (strcasecmp(c.verb, info.verb.c_str()) == 0)
                    found = &c;
            if (!found)
                return com::E_INVALIDARG;
            offset = found->offset;
        }
        if (!Offered(offset, CMF_CANRENAME))
            return com::E_INVALIDARG;
        switch (offset) {
        case kCmdOpen:
            return Open();
        case kCmdCut:
            return PutOnClipboard(true);
        case kCmdCopy:
            return PutOnClipboard(false);
        case kCmdPaste:
            return Paste();
        case kCmdDelete:
            return Delete();
        default:
            // Renaming is the control's: it edits the label and renames through SetNameOf.
            return com::E_INVALIDARG;
        }
    }

    HRESULT GetCommandString(unsigned offset, unsigned type, std::string* out) override
    {
        const ShellMenuCommand* c = CommandAt(offset);
        if (!c || !out || (type != GCS_VERBA && type != GCS_HELPTEXTA))
            return com::E_INVALIDARG;
        *out = type == GCS_VERBA ? c->verb : c->help;
        return com::S_OK;
    }

    // Nothing of ours is drawn by its owner: our menus are ordinary menus.
    HRESULT HandleMenuMsg(unsigned, std::uintptr_t, std::intptr_t) override { return com::S_OK; }

private:
    // "Send To" with one grayed placeholder: the controls fill it with their own entries
    // (identifiers 1 to 49) before the menu is shown.
    static PopupMenu::Item SendToSubmenu(unsigned first)
    {
        PopupMenu::Item placeholder;
        placeholder.id = static_cast<int>(first + kCmdSendToPlaceholder);
        placeholder.text = "(empty)";
        placeholder.flags = MF_GRAYED;
        PopupMenu::Item sendTo;
        sendTo.text = kSendToCaption;
        sendTo.submenu = std::make_unique<PopupMenu>();
        sendTo.submenu->Append(std::move(placeholder));
        return sendTo;
    }

    bool Offered(unsigned offset, unsigned flags) const
    {
        const auto& services = GetShellServices();
        if (flags & CMF_DEFAULTONLY)
            return offset == kCmdOpen;
        bool removable = std::all_of(items_.begin(), items_.end(), [](const auto& i) { return i.removable; });
        switch (offset) {
        case kCmdOpen:
            return true;
        case kCmdCut:
            return services.clipboard != nullptr && removable;
        case kCmdCopy:
            return services.clipboard != nullptr;
        case kCmdPaste:
            return services.clipboard && items_.size() == 1 && items_[0].folder;
        case kCmdDelete:
            return removable;
        case kCmdRename:
            return (flags & CMF_CANRENAME) && items_.size() == 1 && removable;
        default:
            return false;
        }
    }

    bool ClipboardHasFiles() const
    {
        std::vector<std::string> paths;
        bool cut = false;
        auto* clipboard = GetShellServices().clipboard;
        return clipboard && clipboard->GetFiles(paths, cut);
    }

    std::vector<std::string> Paths() const
    {
        std::vector<std::string> paths;
        for (const auto& i : items_)
            paths.push_back(i.path);
        return paths;
    }

    HRESULT Open()
    {
        Launcher* launcher = GetShellServices().launcher;
        if (!launcher)
            return com::E_FAIL;
        HRESULT hr = com::S_OK;
        for (const auto& i : items_)
            if (!launcher->OpenWithDesktop(i.path))
                hr = com::E_FAIL;
        return hr;
    }

    HRESULT PutOnClipboard(bool cut)
    {
        return GetShellServices().clipboard->PutFiles(Paths(), cut) ? com::S_OK : com::E_FAIL;
    }

    HRESULT Paste()
    {
        auto* clipboard = GetShellServices().clipboard;
        std::vector<std::string> paths;
        bool cut = false;
        if (!clipboard->GetFiles(paths, cut))
            return com::S_FALSE;
        auto result = TransferInto(paths, items_[0].path, cut ? TransferKind::Move : TransferKind::Copy);
        if (cut && !result.error)
            clipboard->Clear();
        return HResultFromErrno(result.error);
    }

    HRESULT Delete()
    {
        // The user confirms every delete, also the one that only moves the items to the trash.
        auto* confirm = GetShellServices().confirm;
        if (!confirm || !confirm->ConfirmMoveToTrash(Paths()))
            return com::E_ABORT;
        std::vector<std::string> untrashable;
        int error = 0;
        for (const auto& i : items_) {
            int err = TrashItem(i.path);
            if (err == ENOENT)
                error = error ? error : err;
            else if (err)
                untrashable.push_back(i.path);
        }
        if (!untrashable.empty()) {
            if (!confirm->ConfirmPermanentDelete(untrashable))
                return com::E_ABORT;
            for (const auto& p : untrashable)
                if (int err = DeleteTree(p); err && !error)
                    error = err;
        }
        return HResultFromErrno(error);
    }

    std::vector<MenuItemInfo> items_;
};

}  // namespace

com::ComPtr<IContextMenu2> MakeItemContextMenu(std::vector<MenuItemInfo> items)
{
    auto menu = com::MakeCom<ItemContextMenu>(std::move(items));
    return com::ComPtr<IContextMenu2>(menu.get());
}

}  // namespace ql::shell
