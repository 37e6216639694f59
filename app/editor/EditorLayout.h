#pragma once
// The editor window's layout decisions, apart from the controls: which view a stored index
// opens, the tree-width button's three states, what the layout switches show, and which folder
// the images panel lists.
#include <string>

namespace ql {

struct TSettings;

inline constexpr int kViewCount = 3;
// An index outside the views (a damaged ini value) opens the Browse view.
int ClampView(int view);

// WidthB: normal width -> hidden -> double the remembered width -> the remembered width.
class TreeWidthCycle {
public:
    int State() const { return state_; }  // 0 normal, 1 hidden, 2 double
    int Remembered() const { return remembered_; }
    // The tree panel's width after one click, given its width now. The width is remembered
    // only when leaving the normal state, so a width dragged meanwhile is not taken.
    int Click(int currentWidth);

private:
    int state_ = 0;
    int remembered_ = 0;
};

// What GTK's own metrics make the editor's bars need, in pixels.
struct BarWidths {
    int treeToolbar = 0;  // ToolBar_main with all its tools
    int treeFrame = 0;    // the tree panel's border, both sides
    int sash = 0;         // TreeSplitter
    int viewBars = 0;     // the widest of CoolBar1 and the three view toolbars (with their sheets' bevels)
};
struct EditorWidths {
    int tree = 0;    // TreePanel
    int client = 0;  // the window's client area
};
// The designed tree and client widths, each widened just enough where the toolkit's tools
// would not fit in them: no tool of a bar then goes into an overflow menu at the default size.
EditorWidths FitBars(int designedTree, int designedClient, const BarWidths& bars);

struct LayoutPlan {
    bool imagePanel = false;  // the images panel and its splitter
    bool tree = false;        // the tree panel and its splitter
    bool toolbars = false;    // the cool bar, the three view toolbars and the tree toolbar
};
// `folderView` says whether the images panel has a list to show: without one it stays hidden.
LayoutPlan PlanLayout(const TSettings& settings, bool folderView);

// The folder the images panel lists: the open page's own folder when it exists, else the images
// folder (created when missing, unless `collectionMoved`: the collection folder the tree was
// loaded from is no longer at its path, and making the images folder would make a new one
// there). A current id that is empty or no valid page id never makes it the collection folder
// itself.
std::string ImagesPanelFolder(const TSettings& settings, bool collectionMoved = false);

// What the images panel shows; the shell list implements it.
class ImageFolderView {
public:
    virtual ~ImageFolderView() = default;
    virtual void SetFolder(const std::string& folder) = 0;
};

}  // namespace ql
