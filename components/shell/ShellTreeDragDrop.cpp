// The shell tree's drag and drop: the drop effects a node allows, dragging a node out, and
// dropping onto a node through its folder's drop target, with highlighting and auto-scroll.
#include "components/shell/ShellTreeController.h"

#include "components/shell/ShellItemUtils.h"
#include "components/shell/ShellListController.h"

namespace ql::shellctl {

using namespace com;

DWORD ShellTreeController::NodeDropEffects(TTreeNode node)
{
    constexpr DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    TSvShTreeData* data = NodeData(node);
    if (!data || !data->ParentData() || !data->RelativeIdList())
        return kAll;
    IShellFolder* folder = data->ParentShellFolder();
    ULONG attributes = shell::SFGAO_CANCOPY | shell::SFGAO_CANMOVE | shell::SFGAO_CANLINK;
    const ItemIdList* items[] = {data->RelativeIdList()};
    if (!folder || FAILED(folder->GetAttributesOf(items, &attributes)))
        return kAll;
    return attributes & kAll;
}

void ShellTreeController::BeginDrag(TTreeNode node, bool rightButton)
{
    dragNode_ = node;
    view_.SetDropHighlight(node);
    TSvShTreeData* data = NodeData(node);
    if (data && data->ParentData())
        StartOleDrag(rightButton);
    view_.SetDropHighlight(nullptr);
}

void ShellTreeController::StartOleDrag(bool rightButton)
{
    dragging_ = true;
    struct End {
        ShellTreeController& self;
        ~End()
        {
            self.dragging_ = false;
            self.refreshPending_ = false;
            self.dragData_.reset();
        }
    };
    bool refresh = false;
    {
        End end{*this};
        dragData_ = TDataObject_shtv::Create(NodeData(dragNode_));
        if (!dragData_)
            return;
        const DWORD allowed = NodeDropEffects(dragNode_);
        auto source = ComPtr<TDropSource_shlvtv>::Adopt(new TDropSource_shlvtv(rightButton ? 1 : 0));
        DWORD effect = DROPEFFECT_NONE;
        const HRESULT hr = view_.DragPort().DoDragDrop(dragData_.get(), source.get(), allowed, &effect);
        refresh = hr == DRAGDROP_S_DROP || refreshPending_;
    }
    if (refresh)
        RefreshTree();
}

ComPtr<IDropTarget> ShellTreeController::NodeDropTarget(TTreeNode node)
{
    ComPtr<IDropTarget> target;
    TSvShTreeData* data = NodeData(node);
    if (!data || FAILED(data->GetDropTarget(target)))
        target.reset();
    return target;
}

HRESULT ShellTreeController::DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    autoScroll_.Start(view_.DragPort());
    enteredData_ = ComPtr<IDataObject>(data);
    enteredKeyState_ = keyState;
    const TTreeNode node = view_.NodeAtScreen(pt);
    if (!node || !IsShellNode(node) || !view_.ParentNode(node)) {
        view_.SetDropHighlight(dragNode_);
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    ComPtr<IDropTarget> target = NodeDropTarget(node);
    view_.SetDropHighlight(node);
    if (!target) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    const HRESULT hr = target->DragEnter(data, keyState, pt, effect);
    target->DragLeave();
    return hr;
}

HRESULT ShellTreeController::DragOver(DWORD keyState, POINTL pt, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    const TTreeNode before = view_.DropHighlight();
    const TTreeNode node = view_.NodeAtScreen(pt);
    HRESULT hr = S_OK;
    if (node && IsShellNode(node)) {
        ComPtr<IDropTarget> target = NodeDropTarget(node);
        view_.SetDropHighlight(node);
        if (target) {
            target->DragEnter(enteredData_.get(), keyState, pt, effect);
            hr = target->DragOver(keyState, pt, effect);
            target->DragLeave();
        } else {
            *effect = DROPEFFECT_NONE;
        }
    } else {
        *effect = DROPEFFECT_NONE;
        view_.SetDropHighlight(dragNode_);
    }
    autoScroll_.Over(view_.DragPort(), pt, *effect);
    if (view_.DropHighlight() != before)
        view_.DragPort().RepaintNow();
    return hr;
}

HRESULT ShellTreeController::DragLeave()
{
    enteredData_.reset();
    view_.SetDropHighlight(nullptr);
    return S_OK;
}

HRESULT ShellTreeController::Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    HRESULT hr = S_OK;
    const TTreeNode node = view_.NodeAtScreen(pt);
    ComPtr<IDropTarget> target = node ? NodeDropTarget(node) : ComPtr<IDropTarget>();
    if (target) {
        hr = DropOnShellTarget(*target, data, keyState, enteredKeyState_, pt, effect);
        RefreshTree();
    } else {
        *effect = DROPEFFECT_NONE;
    }
    view_.SetDropHighlight(nullptr);
    enteredData_.reset();
    return hr;
}

}  // namespace ql::shellctl
