// The shell list's drag and drop: dragging the selection out, and dropping onto an item or the
// folder through the folder's own drop target.
#include "components/shell/ShellListController.h"

#include "components/shell/ShellErrors.h"
#include "components/shell/ShellItemUtils.h"
#include "platform/core/shell/ShellItems.h"

namespace ql::shellctl {

using namespace com;
using shell::SFGAO_FILESYSANCESTOR;
using shell::SFGAO_FILESYSTEM;
using shell::SFGAO_FOLDER;

void ShellListController::StartOleDrag(int button)
{
    if (!(options_ & svsloOleDrag) || dragging_)
        return;
    auto source = ComPtr<TDropSource_shlvtv>::Adopt(new TDropSource_shlvtv(button));
    if (source->ButtonMask() == 0)
        return;
    ComPtr<IDataObject> data = SelectionDataObject();
    if (!data)
        return;
    const DWORD allowed = DropEffectsOfSelection();
    dragging_ = true;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = E_UNEXPECTED;
    try {
        hr = view_.DragPort().DoDragDrop(data.get(), source.get(), allowed, &effect);
    } catch (...) {
        dragging_ = false;
        throw;
    }
    dragging_ = false;
    const bool refill = refillPending_;
    const bool refresh = hr == DRAGDROP_S_DROP || refreshPending_;
    refreshPending_ = false;
    if (refill) {
        RefillList();
    } else if (refresh) {
        // What the drop brought is appended by the refresh: the order is made again.
        RefreshList();
        SortItems();
    }
}

ComPtr<IDropTarget> ShellListController::FolderDropTarget()
{
    ComPtr<IDropTarget> target;
    if (FAILED(GetUIObjectOfIdList(folderIdList_.get(), IDropTarget::IID_, target.putVoid())))
        target.reset();
    return target;
}

// The drop target under a point: an item's own, or the shown folder's. `item` is the item to
// highlight (-1 for the folder); -2 when the point is over empty space or an item without
// data, which the callers decide about.
ComPtr<IDropTarget> ShellListController::TargetAt(POINTL pt, int& item)
{
    item = view_.ItemAtScreen(pt);
    TSvShListData* data = ItemData(item);
    if (!data || !data->RelativeIdList() || !shellFolder_) {
        item = -2;
        return {};
    }
    ComPtr<IDropTarget> target;
    const ItemIdList* items[] = {data->RelativeIdList()};
    if (SUCCEEDED(shellFolder_->GetUIObjectOf(items, IDropTarget::IID_, target.putVoid())) && target)
        return target;
    item = -1;
    return FolderDropTarget();
}

// TargetAt while hovering: empty space means the folder itself, except in a drag from this
// list, where only the right button may drop there, as a copy. True when that copy is the
// answer (`effect` set, no highlight); `item` is then -1 for the folder.
bool ShellListController::HoverTargetAt(POINTL pt, DWORD keyState, DWORD* effect, int& item,
                                        ComPtr<IDropTarget>& target)
{
    target = TargetAt(pt, item);
    if (item != -2)
        return false;
    item = -1;
    if (!dragging_) {
        target = FolderDropTarget();
        return false;
    }
    if (keyState & MK_RBUTTON) {
        *effect = DROPEFFECT_COPY;
        view_.SetDropHighlight(-1);
        return true;
    }
    return false;
}

HRESULT ShellListController::ListDragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect)
{
    autoScroll_.Start(view_.DragPort());
    enteredData_ = ComPtr<IDataObject>(data);
    enteredKeyState_ = keyState;
    HRESULT result = S_OK;
    int item = -1;
    ComPtr<IDropTarget> target;
    if (HoverTargetAt(pt, keyState, effect, item, target))
        return S_OK;
    view_.SetDropHighlight(-1);
    if (target) {
        result = target->DragEnter(data, keyState, pt, effect);
        target->DragLeave();
        if (*effect != DROPEFFECT_NONE)
            view_.SetDropHighlight(item);
    } else {
        *effect = DROPEFFECT_NONE;
    }
    return result;
}

HRESULT ShellListController::ListDragOver(DWORD keyState, POINTL pt, DWORD* effect)
{
    const int highlighted = view_.DropHighlight();
    HRESULT result = S_OK;
    const int under = view_.ItemAtScreen(pt);
    if (under >= 0 && !ItemData(under)) {
        *effect = DROPEFFECT_COPY;
        view_.SetDropHighlight(-1);
        return S_OK;
    }
    int item = -1;
    ComPtr<IDropTarget> target;
    if (HoverTargetAt(pt, keyState, effect, item, target))
        return S_OK;
    if (target) {
        DWORD scratch = *effect;
        target->DragEnter(enteredData_.get(), keyState, pt, &scratch);
        result = target->DragOver(keyState, pt, effect);
        target->DragLeave();
        if (*effect == DROPEFFECT_NONE)
            view_.SetDropHighlight(-1);
        else if (item != highlighted)
            view_.SetDropHighlight(item);
    } else {
        *effect = DROPEFFECT_NONE;
        view_.SetDropHighlight(-1);
    }
    autoScroll_.Over(view_.DragPort(), pt, *effect);
    if (view_.DropHighlight() != highlighted)
        view_.DragPort().RepaintNow();
    return result;
}

HRESULT ShellListController::ListDragLeave()
{
    enteredData_.reset();
    view_.SetDropHighlight(-1);
    return S_OK;
}

HRESULT ShellListController::ListDrop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect)
{
    HRESULT result = S_OK;
    int item = -1;
    ComPtr<IDropTarget> target = TargetAt(pt, item);
    if (item == -2) {
        target.reset();
        if (dragging_) {
            // Onto the list's own empty space: only the right button copies (never moves) into
            // the folder the items are already in.
            if (enteredKeyState_ & MK_RBUTTON) {
                *effect &= ~DROPEFFECT_MOVE;
                target = FolderDropTarget();
            }
        } else {
            target = FolderDropTarget();
        }
    }
    if (target) {
        result = DropOnShellTarget(*target, data, keyState, enteredKeyState_, pt, effect);
        if (IsNetworkFolder())
            RefreshList();
    } else {
        *effect = DROPEFFECT_NONE;
    }
    view_.SetDropHighlight(-1);
    enteredData_.reset();
    return result;
}

}  // namespace ql::shellctl
