#include "components/shell/ShellNodeData.h"

#include <sys/stat.h>

#include "components/shell/ShellErrors.h"
#include "components/shell/ShellItemUtils.h"
#include "platform/core/shell/ShellItems.h"

namespace ql::shellctl {

using namespace shell;

void TSvShTreeData::Init(TSvShTreeData* parent, const ItemIdList* relative)
{
    parent_ = parent;
    relative_ = CopyIdList(relative);
    absolute_.reset();
    initialised_ = true;
}

const ItemIdList* TSvShTreeData::AbsoluteIdList()
{
    if (!absolute_ && relative_)
        absolute_ = parent_ ? ConcatIdLists(parent_->AbsoluteIdList(), relative_.get()) : CopyIdList(relative_.get());
    return absolute_.get();
}

IShellFolder* TSvShTreeData::ParentShellFolder() { return parent_ ? parent_->ShellFolder() : nullptr; }

IShellFolder* TSvShTreeData::ShellFolder()
{
    if (folder_)
        return folder_.get();
    const ItemIdList* absolute = AbsoluteIdList();
    if (!absolute || absolute->IsEmpty()) {
        if (HRESULT hr = SHGetDesktopFolder(folder_.put()); com::FAILED(hr))
            RaiseSystemError(hr);
        return folder_.get();
    }
    if (IShellFolder* parent = ParentShellFolder())
        parent->BindToObject(*relative_, IShellFolder::IID_, folder_.putVoid());
    return folder_.get();
}

bool TSvShTreeData::CanRename()
{
    const ItemIdList* absolute = AbsoluteIdList();
    if (!absolute || absolute->IsEmpty() || !parent_)
        return false;
    IShellFolder* parent = ParentShellFolder();
    if (!parent)
        return false;
    ULONG attributes = kTreeNodeRequest;
    const ItemIdList* items[] = {relative_.get()};
    return com::SUCCEEDED(parent->GetAttributesOf(items, &attributes)) && (attributes & SFGAO_CANRENAME);
}

std::string TSvShTreeData::Path()
{
    if (!initialised_)
        throw EShellError("TSvShTreeData not initialised");
    return IdListToPath(AbsoluteIdList());
}

void TSvShTreeData::SetRelativeIdList(const ItemIdList& relative)
{
    absolute_.reset();
    folder_.reset();
    relative_ = CopyIdList(&relative);
    AbsoluteIdList();
}

void TSvShTreeData::ForgetCache()
{
    absolute_.reset();
    folder_.reset();
}

HRESULT TSvShTreeData::GetDropTarget(ComPtr<com::IDropTarget>& target)
{
    target.reset();
    if (parent_) {
        IShellFolder* folder = parent_->ShellFolder();
        if (!folder)
            return com::E_FAIL;
        const ItemIdList* items[] = {relative_.get()};
        return folder->GetUIObjectOf(items, com::IDropTarget::IID_, target.putVoid());
    }
    const ItemIdList* absolute = AbsoluteIdList();
    if (!absolute)
        return GetDesktopDropTarget(target);
    return GetUIObjectOfIdList(absolute, com::IDropTarget::IID_, target.putVoid());
}

const ItemIdList* TSvShListData::AbsoluteIdList()
{
    if (!absolute_ && relative_)
        absolute_ = ConcatIdLists(List.ListFolderIdList(), relative_.get());
    return absolute_.get();
}

void TSvShListData::SetRelativeIdList(IdListPtr relative)
{
    relative_ = std::move(relative);
    Invalidate();
}

void TSvShListData::Invalidate()
{
    absolute_.reset();
    displayName_.clear();
    columnsFilled_ = false;
}

ULONG TSvShListData::Attributes()
{
    IShellFolder* folder = List.ListShellFolder();
    if (!folder || !relative_)
        return 0;
    ULONG request = kListItemRequest;
    std::string path = Path();
    if (IsBeyondDriveRoot(path) && IsOnRemovableVolume(path))
        request &= ~SFGAO_READONLY;
    const ItemIdList* items[] = {relative_.get()};
    if (com::FAILED(folder->GetAttributesOf(items, &request)))
        return 0;
    return request;
}

bool TSvShListData::IsLink()
{
    struct stat st {};
    std::string path = Path();
    return !path.empty() && ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string TSvShListData::DisplayName()
{
    if (displayName_.empty() && relative_)
        displayName_ = GetFolderDisplayName(List.ListShellFolder(), *relative_, SHGDN_NORMAL);
    return displayName_;
}

std::string TSvShListData::Path() { return IdListToPath(AbsoluteIdList()); }

std::string TSvShListData::ColumnText(int column)
{
    if (column < 1 || column > 3)
        return {};
    FillColumnTexts();
    return column == 1 ? size_ : column == 2 ? type_ : modified_;
}

void TSvShListData::FillColumnTexts()
{
    if (columnsFilled_)
        return;
    GetItemColumnTexts(AbsoluteIdList(), Attributes(), size_, modified_, type_);
    columnsFilled_ = true;
}

}  // namespace ql::shellctl
