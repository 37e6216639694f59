#pragma once
// The shell identity hung on every node of the shell tree and every item of the shell list,
// with what the controls ask of it computed on demand and cached.
#include <string>

#include "components/shell/ShellUtils.h"
#include "platform/core/com/DragDrop.h"

namespace ql::shellctl {

class TSvCustomShellTree;

// Attribute requests.
inline constexpr ULONG kTreeNodeRequest = shell::SFGAO_FILESYSTEM | shell::SFGAO_CAPABILITYMASK;  // 0x40000177
inline constexpr ULONG kListItemRequest = 0xF00F0037;

class TSvShTreeData {
public:
    explicit TSvShTreeData(TSvCustomShellTree* tree) : Tree(tree) {}
    TSvShTreeData(const TSvShTreeData&) = delete;
    TSvShTreeData& operator=(const TSvShTreeData&) = delete;

    TSvCustomShellTree* const Tree;  // not owned

    // Keeps the parent's data (nil for a top-level node) and a copy of the relative list.
    void Init(TSvShTreeData* parent, const ItemIdList* relative);
    // A top-level node's folder, which the tree enumerated and must hand over.
    void SetShellFolder(ComPtr<IShellFolder> folder) { folder_ = std::move(folder); }

    TSvShTreeData* ParentData() const { return parent_; }
    const ItemIdList* RelativeIdList() const { return relative_.get(); }
    const ItemIdList* AbsoluteIdList();
    IShellFolder* ParentShellFolder();
    // The node's own folder; the desktop's when the node names it (raising when it cannot be
    // had); nil when binding fails.
    IShellFolder* ShellFolder();
    bool CanRename();
    // The file-system path; raises "TSvShTreeData not initialised" before Init.
    std::string Path();
    // After a rename: the new relative list, with the absolute one recomputed at once.
    void SetRelativeIdList(const ItemIdList& relative);
    void ForgetCache();
    HRESULT GetDropTarget(ComPtr<com::IDropTarget>& target);

private:
    TSvShTreeData* parent_ = nullptr;
    bool initialised_ = false;
    IdListPtr relative_;
    IdListPtr absolute_;
    ComPtr<IShellFolder> folder_;
};

// What a list item needs of its list: the shown folder and its absolute list.
class TSvShListSource {
public:
    virtual ~TSvShListSource() = default;
    virtual IShellFolder* ListShellFolder() = 0;
    virtual const ItemIdList* ListFolderIdList() = 0;
};

class TSvShListData {
public:
    explicit TSvShListData(TSvShListSource& list) : List(list) {}
    TSvShListData(const TSvShListData&) = delete;
    TSvShListData& operator=(const TSvShListData&) = delete;

    TSvShListSource& List;

    const ItemIdList* RelativeIdList() const { return relative_.get(); }
    const ItemIdList* AbsoluteIdList();
    void SetRelativeIdList(IdListPtr relative);
    void Invalidate();
    // Asked of the folder on every call; 0 when it cannot answer. Items on removable volumes
    // are not asked whether they are read-only.
    ULONG Attributes();
    bool IsFolder() { return Attributes() & shell::SFGAO_FOLDER; }
    bool CanRename() { return Attributes() & shell::SFGAO_CANRENAME; }
    // On this desktop a link is a symbolic link.
    bool IsLink();
    std::string DisplayName();
    std::string Path();
    // Column 0 (the name is the caption) and columns past 3 are empty.
    std::string ColumnText(int column);
    void FillColumnTexts();

private:
    IdListPtr relative_;
    IdListPtr absolute_;
    std::string displayName_;
    bool columnsFilled_ = false;
    std::string size_, type_, modified_;
};

// The item data of a shell combo box: everything it holds is released with it.
struct TSvShComboData {
    ComPtr<com::IUnknown> First;
    IdListPtr FirstIdList;
    ComPtr<com::IUnknown> Second;
    IdListPtr SecondIdList;
    IdListPtr ThirdIdList;
};

}  // namespace ql::shellctl
