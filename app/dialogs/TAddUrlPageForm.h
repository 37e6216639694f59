#pragma once
// The headless half of the "Save homepage" dialog (TAddUrlPageForm_wx.h), class SaveHomepage: a
// copy of the collection tree to choose the target in, new nodes made on the way, and saving the
// handed-over clip as a new child page.
#include "app/collection/CollectionTree.h"
#include "app/handover/HandOver.h"

#include <string>

namespace ql {

class ClipIntake;
class EditorDialogs;
class PageSession;
struct TSettings;

inline constexpr char kInputTitleCaption[] = "Input Title:";

class SaveHomepage {
public:
    SaveHomepage(PageSession& session, ClipIntake& clips, EditorDialogs& dialogs);

    // FormShow: the title, URL and "Include images" from the hand-over and the settings, and
    // the tree filled.
    void FormShow(const ClipHandOver& handOver);
    void FillTargetTree();

    CollectionTree& Tree() { return tree_; }  // TV2
    std::string Title;                        // TitleEdit
    const std::string& Url() const { return handOver_.Url; }
    bool IncludeImages() const { return includeImages_; }
    void CheckImageClick(bool checked);  // also the setting `imagechecked`
    bool TreeChanged() const { return treeChanged_; }

    // "Create New Item" (a last sibling of the selected node) and "Create New Subitem" (a last
    // child): asks for the caption; nullptr on Cancel. The node gets its page id at once.
    TreeNode* SpeedButton1Click() { return NewNode(false); }
    TreeNode* SpeedButton2Click() { return NewNode(true); }

    // Save needs a target node.
    bool CanSave() const { return tree_.Selected() != nullptr; }
    // Button1Click. False when nothing was saved or a step failed; the user has been told of
    // a failure.
    [[nodiscard]] bool Save();

private:
    enum class Outcome { Saved, Failed, Reported };
    TreeNode* NewNode(bool child);
    Outcome SaveSteps();

    PageSession& session_;
    ClipIntake& clips_;
    EditorDialogs& dialogs_;
    CollectionTree tree_;
    ClipHandOver handOver_;
    bool includeImages_ = false;
    bool treeChanged_ = false;
};

}  // namespace ql
