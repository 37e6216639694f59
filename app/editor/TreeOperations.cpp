#include "app/editor/TreeOperations.h"

#include "app/collection/PageId.h"
#include "app/collection/TextUtil.h"
#include "app/collection/TreeText.h"
#include "app/editor/session/PageSession.h"
#include "foundation/VekBaseClass.h"
#include "platform/core/IniFile.h"
#include "platform/core/SafeFile.h"

#include <algorithm>
#include <filesystem>

namespace ql {

namespace fs = std::filesystem;

namespace {

bool SameNameNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// A picture record names a file inside the images folder, never a path out of it.
bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

}  // namespace

TreeIcon NodeIcon(bool hasChildren, bool expanded)
{
    if (!hasChildren)
        return kIconLeaf;
    return expanded ? kIconExpanded : kIconCollapsed;
}

std::optional<Attach> NodeMoveAttachForHit(unsigned hit)
{
    constexpr unsigned kTaken = kHitNowhere | kHitOnLabel | kHitOnButton | kHitOnIcon | kHitOnIndent;
    if (!(hit & kTaken))
        return std::nullopt;
    if (hit == kHitOnButton)
        return Attach::FirstSibling;
    if (hit & (kHitOnLabel | kHitOnIcon))
        return Attach::LastChild;
    if (hit & kHitNowhere)
        return Attach::LastSibling;
    if (hit & kHitOnIndent)
        return Attach::InsertBefore;
    return Attach::LastChild;
}

std::string DeleteImagesQuestion(const std::vector<std::string>& pictures)
{
    std::string text = "These image files are related to current node:\n" + std::string(46, '-') + "\n\n";
    for (std::size_t i = 0; i < pictures.size(); ++i)
        text += "(" + std::to_string(i + 1) + ")" + pictures[i] + " ";
    text += "\n\nDo you want to delete all of them?\nNote: these images may also used by other pages.";
    return text;
}

TreeOperations::TreeOperations(PageSession& session, PageViews& views, EditorWindow& window, EditorDialogs& dialogs,
                               IniFile* imagesIni)
    : session_(session), views_(views), window_(window), dialogs_(dialogs), imagesIni_(imagesIni)
{
}

std::string TreeOperations::CollectionDir() const { return session_.AppSettings().CollectionDir; }
std::string TreeOperations::ImagesDir() const { return session_.AppSettings().ImagesDir; }

TreeNode* TreeOperations::AddItemBClick() { return AddNode(false); }
TreeNode* TreeOperations::AddSubItemBClick() { return AddNode(true); }

TreeNode* TreeOperations::AddNode(bool child)
{
    std::optional<std::string> title = dialogs_.InputBox(kInputTitleCaption, "", "");
    if (!title)
        return nullptr;
    // Edits of the open page that cannot be kept must not be left behind by the new node.
    if (!session_.SaveCurrentPage(""))
        return nullptr;
    CollectionTree& tree = session_.EditorTree();
    TreeNode* selected = tree.Selected();
    TreeNode* node = tree.AddNode(selected, (child && selected) ? Attach::LastChild : Attach::LastSibling,
                                  TrimControls(CleanCaption(*title)));
    return InitNewNodePage(node) ? node : nullptr;
}

bool TreeOperations::InitNewNodePage(TreeNode* node)
{
    CollectionTree& tree = session_.EditorTree();
    const std::string id = session_.MakeNodeFileName(*node);
    tree.SetPageId(node, id);
    const std::string& templateFile = session_.AppSettings().templateFile;
    std::optional<std::string> templ = (!templateFile.empty() && FileExists(templateFile))
                                           ? ReadFileBytes(templateFile, kMaxPageBytes)
                                           : std::nullopt;
    if (templ) {
        // A node whose page was never written would later show, and save, an empty page.
        if (!session_.EnsureCollectionFolder() || !WriteFileAtomic(PageFileName(CollectionDir(), id), *templ)) {
            tree.Delete(node);
            session_.ReportSaveFailure();
            return false;
        }
    } else {
        views_.HtmlNewDocument();
        views_.SwitchView(kViewHtml, false);
        // The empty document is the new node's: the save that runs when the selection leaves
        // the previous node must not put it over that node's page.
        session_.MarkHtmlViewSaved();
    }
    session_.SaveTree();
    window_.SelectNode(node);
    return true;
}

void TreeOperations::DeleteNodeTree(TreeNode* node)
{
    CollectionTree& tree = session_.EditorTree();
    if (!node) {
        dialogs_.ShowMessage(kPleaseSelectNode);
        return;
    }
    if (!node->Parent() && tree.TopLevelCount() == 1) {
        dialogs_.ShowMessage(kCannotDeleteLastNode);
        return;
    }
    if (!dialogs_.AskYesNo("Delete", "Delete \"" + node->Text() + "\" and all its subitems?"))
        return;

    if (EmptyActiveView(views_) == kViewHtml) {
        session_.MarkHtmlViewSaved();
    }

    // The node that takes the selection: the next sibling, else the previous one, else the parent.
    TreeNode* parent = node->Parent();
    const std::size_t index = node->IndexInParent();
    const std::size_t siblings = parent ? parent->ChildCount() : tree.TopLevelCount();
    auto sibling = [&](std::size_t i) { return parent ? parent->Child(i) : tree.TopLevel(i); };
    TreeNode* next = index + 1 < siblings ? sibling(index + 1) : index > 0 ? sibling(index - 1) : parent;
    const std::uint64_t nextSerial = next ? next->Serial() : 0;

    if (onDeleting)
        onDeleting(*node);
    std::vector<std::string> pictures;
    {
        IniFile::Batch records(imagesIni_);  // one save for the records of the whole subtree
        const bool erased = DeleteNodeFiles(node, pictures);
        if (!records.Commit() || !erased)
            session_.ReportSaveFailure();
    }
    session_.SaveTree();

    if (!pictures.empty() && dialogs_.AskYesNo("Delete Images", DeleteImagesQuestion(pictures))) {
        for (const std::string& name : pictures) {
            std::error_code ec;
            fs::remove(ImagesDir() + name, ec);
        }
    }
    if (TreeNode* n = nextSerial ? tree.Find(nextSerial) : nullptr)
        window_.SelectNode(n);
}

bool TreeOperations::DeleteNodeFiles(TreeNode* node, std::vector<std::string>& pictures)
{
    bool erased = true;
    for (std::size_t i = node->ChildCount(); i-- > 0;)
        erased &= DeleteNodeFiles(node->Child(i), pictures);

    CollectionTree& tree = session_.EditorTree();
    const std::string id = node->PageId();
    // Only a valid id names a page of the collection, and a page another node still shows stays.
    if (IsValidPageId(id) && !tree.UsesPageId(id, node)) {
        std::error_code ec;
        fs::remove(PageFileName(CollectionDir(), id), ec);
        const std::string folder = CollectionDir() + id;
        const fs::file_type kind = fs::symlink_status(folder, ec).type();
        if (kind == fs::file_type::symlink)
            fs::remove(folder, ec);  // the link alone: what it points at lies outside the collection
        else if (kind == fs::file_type::directory)
            DeleteFolderTree(folder + "/");
        session_.NotePageDeleted(id);
    }
    if (imagesIni_ && !id.empty() && imagesIni_->SectionExists(id)) {
        for (const std::string& key : imagesIni_->ReadSection(id)) {
            if (!IsPlainFileName(key) || !FileExists(ImagesDir() + key))
                continue;
            if (std::none_of(pictures.begin(), pictures.end(),
                             [&](const std::string& p) { return SameNameNoCase(p, key); }))
                pictures.push_back(key);
        }
        erased &= imagesIni_->EraseSection(id);
    }
    tree.Delete(node);
    return erased;
}

bool TreeOperations::TVEdited(TreeNode* node, const std::string& text)
{
    const std::string caption = TrimControls(CleanCaption(text));
    // A node needs a caption: a blank one would leave it nameless in the tree and its files.
    if (!node || caption.empty() || !session_.SaveCurrentPage(""))
        return false;
    CollectionTree& tree = session_.EditorTree();
    const std::string oldId = node->PageId();
    const std::string oldText = node->Text();
    tree.SetText(node, caption);
    const std::string newId = session_.MakeNodeFileName(*node);
    if (newId == oldId)
        return true;

    if (IsValidPageId(oldId)) {
        const std::string oldFile = PageFileName(CollectionDir(), oldId);
        const std::string newFile = PageFileName(CollectionDir(), newId);
        if (FileExists(oldFile)) {
            std::error_code ec;
            fs::rename(oldFile, newFile, ec);
            if (ec) {
                // The old file stays until its copy is complete.
                std::optional<std::string> bytes = ReadFileBytes(oldFile, kMaxPageBytes);
                if (!bytes || !WriteFileAtomic(newFile, *bytes)) {
                    tree.SetText(node, oldText);
                    session_.ReportSaveFailure();
                    return false;
                }
                fs::remove(oldFile, ec);
            }
        }
    }
    tree.SetPageId(node, newId);
    if (imagesIni_ && !oldId.empty() && imagesIni_->SectionExists(oldId)) {
        IniFile::Batch records(imagesIni_);  // the records move in one save
        bool moved = true;
        for (const std::string& key : imagesIni_->ReadSection(oldId))
            moved &= imagesIni_->WriteString(newId, key, "1");
        moved &= imagesIni_->EraseSection(oldId);
        if (!records.Commit() || !moved)
            session_.ReportSaveFailure();
    }
    session_.NotePageRenamed(oldId, newId);
    session_.SaveTree();
    return true;
}

bool TreeOperations::TVDragDrop(TreeNode* target, unsigned hit)
{
    CollectionTree& tree = session_.EditorTree();
    TreeNode* node = tree.Selected();
    if (!node)
        return false;
    std::optional<Attach> mode = NodeMoveAttachForHit(hit);
    if (!mode || !tree.MoveNode(node, target, *mode))
        return false;
    if (TreeNode* parent = node->Parent())
        window_.ExpandNode(parent);
    session_.SaveTree();
    return true;
}

void TreeOperations::ToolButton27Click()
{
    CollectionTree& tree = session_.EditorTree();
    if (tree.Empty())
        return;
    long index = std::max(0L, tree.AbsoluteIndex(tree.Selected()));
    if (index <= 0)
        index = static_cast<long>(tree.Count());
    window_.SelectNode(tree.NodeAt(static_cast<std::size_t>(index - 1)));
}

void TreeOperations::ToolButton42Click()
{
    CollectionTree& tree = session_.EditorTree();
    if (tree.Empty())
        return;
    const long index = std::max(0L, tree.AbsoluteIndex(tree.Selected()));
    const long count = static_cast<long>(tree.Count());
    window_.SelectNode(tree.NodeAt(index < count - 1 ? static_cast<std::size_t>(index + 1) : 0));
}

}  // namespace ql
