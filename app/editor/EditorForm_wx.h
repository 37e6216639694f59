#pragma once
// TEditorForm: the editor window. The collection tree on the left; on the right the open page
// in one of three views (Browse, HTML, Text) with a view toolbar each. The handlers keep their
// designer names and hand over to the page session, the clip core, the tree operations and the
// layout decisions; the form implements the ports those use over its controls.
#include "app/collection/ClipCore.h"
#include "app/collection/EditorDropTargeting.h"
#include "app/collection/EditorPorts.h"
#include "app/collection/PageSession.h"
#include "app/editor/EditorActions.h"
#include "app/editor/EditorLayout.h"
#include "app/editor/TreeOperations.h"
#include "foundation/VekAdvClass.h"
#include "foundation/VekOLEDrop.h"

#include <wx/frame.h>
#include <wx/timer.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

class wxButton;
class wxMenu;
class wxPanel;
class wxSplitterWindow;
class wxTextCtrl;
class wxToggleButton;
class wxToolBar;
class wxTreeCtrl;
class wxTreeEvent;

namespace ql {

class EditCommandBars;
class EditorTreeView;
class Launcher;
class TPageControles;
class TPanelStatusBar;
class TTabSheetes;
class TWebHost;
namespace web {
class HtmlEditControl;
}

// What the program (or a test) gives the editor window.
struct EditorFormSetup {
    explicit EditorFormSetup(CollectionContext context) : context(context) {}
    CollectionContext context;           // settings, the clip's source URL, "images.ini"
    Launcher* launcher = nullptr;        // for the Browse view; null: the system launcher
    EditorDialogs* dialogs = nullptr;    // null: wx boxes
    const Clock* clock = nullptr;        // null: the system clock
    UrlCacheLookup findCachedFile;       // unset: the browsers' caches
    std::string placementKey = kFormPosKey;
};

class TEditorForm : public wxFrame {
public:
    ~TEditorForm() override;

    // --- what the program uses ------------------------------------------------------------
    PageSession& Session() { return *session_; }
    ClipCore& Clips() { return *clips_; }
    CollectionTree& Tree() { return tree_; }
    EditorActions& Actions() { return *actions_; }
    // Reads the placement once, applies the layout, loads the tree once and brings the window
    // forward; also works while the window is hidden and leaves it so.
    void FormShow();
    void ShowEditorForDrag();
    void BringEditorToFront();
    // The shell list of the images panel, when there is one (the panel stays hidden without).
    void SetImageFolderView(ImageFolderView* view);

    // --- layout and views -----------------------------------------------------------------
    void SwitchView(int view, bool load);
    void ApplyLayout();
    void ShowImagePanel(bool show);
    bool CreateHtmlEditor();
    void WidthBClick();
    int ActiveView() const;

    // --- handlers -------------------------------------------------------------------------
    void ToolButton17Click(int view);  // the PageBar buttons, by their Tag
    void ToolButton12Click();          // "&New (Clear)"
    void ToolButton14Click();          // "&Save"
    void ToolButton46Click();          // "&Open..."
    void ToolButton6Click();           // "Reload"
    void LoadfromURL1Click();
    void AddItemBClick();
    void AddSubItemBClick();
    void AddClipboardBClick();
    void ToolButton31Click();          // "Delete"
    void ToolButton3Click();           // "Expand All "
    void ToolButton5Click();           // "Collapse All "
    void ExpandAll2Click();
    void CollapseAll2Click();
    void ToolButton27Click();          // "Prior Item"
    void ToolButton42Click();          // "Next Item"
    void Rename1Click();
    void TVDragDrop(const wxPoint& point);  // client coordinates of TV
    void BtnUnicodeClick();
    void BtnCleanupClick();
    void ToolButton8Click();           // "Clear all HTML tag": the page as pure text
    void ToolButton9Click();           // "WordWrap"
    void Timer1Timer();

    // --- components -----------------------------------------------------------------------
    TPanelStatusBar* StatusBar1 = nullptr;
    wxSplitterWindow* Panel2 = nullptr;  // the tree panel and the pages, TreeSplitter between
    wxPanel* TreePanel = nullptr;
    wxTreeCtrl* TV = nullptr;
    wxToolBar* ToolBar_main = nullptr;
    wxPanel* Panel3 = nullptr;
    wxPanel* CoolBar1 = nullptr;
    wxToolBar* DocBar = nullptr;
    wxButton* WidthB = nullptr;
    wxPanel* PageBar = nullptr;
    std::array<wxToggleButton*, kViewCount> PageBarButtons{};  // "Browse", "Edit", "Source"
    wxSplitterWindow* ImageSplitter = nullptr;  // the pages above the images panel
    TPageControles* PageControl1 = nullptr;
    wxPanel* ImagePanel = nullptr;
    TTabSheetes* tbSheetes3 = nullptr;  // Browse
    TTabSheetes* tbSheetes1 = nullptr;  // HTML
    TTabSheetes* tbSheetes2 = nullptr;  // Text
    TWebHost* web = nullptr;
    wxPanel* ToolBar3 = nullptr;
    wxPanel* UnicodePanel = nullptr;
    wxPanel* dtPanel = nullptr;
    wxToolBar* ToolBar1 = nullptr;
    web::HtmlEditControl* HtmlEditor = nullptr;
    wxToolBar* ToolBar2 = nullptr;
    wxTextCtrl* SourceEditor = nullptr;
    wxPanel* PureTextPanel = nullptr;
    web::HtmlEditControl* PureTextEditor = nullptr;
    std::unique_ptr<wxMenu> TVPopup;
    wxTimer Timer1;

    // The window's status text (the first panel).
    std::string StatusText() const;

private:
    friend TEditorForm* CreateEditorForm(EditorFormSetup setup);
    class Views;
    class Window;

    explicit TEditorForm(EditorFormSetup setup);
    void FormCreate();
    void CreateTreePanel();
    void CreatePages();
    void CreateMenus();
    void BindTree();
    void BindDropTarget();
    void PressViewButton(int view);
    void RenderPlainText(const std::string& file, std::function<void(const std::string&)> done);
    void OnClose(wxCloseEvent& event);
    void OnShow(wxShowEvent& event);
    void OnSelChanging(wxTreeEvent& event);
    void OnSelChanged(wxTreeEvent& event);
    void OnEndLabelEdit(wxTreeEvent& event);
    void OnTreeKey(wxTreeEvent& event);
    void OnEndDrag(wxTreeEvent& event);
    void EndDropDrag();

    EditorFormSetup setup_;
    std::unique_ptr<Launcher> ownLauncher_;
    std::unique_ptr<EditorDialogs> ownDialogs_;
    std::unique_ptr<Clock> ownClock_;
    CollectionTree tree_;
    std::unique_ptr<Views> views_;
    std::unique_ptr<Window> window_;
    std::unique_ptr<PageSession> session_;
    std::unique_ptr<ClipCore> clips_;
    std::unique_ptr<EditorDropTargeting> targeting_;
    std::unique_ptr<TreeOperations> ops_;
    std::unique_ptr<EditorActions> actions_;
    std::unique_ptr<EditorTreeView> treeView_;
    std::unique_ptr<EditCommandBars> commandBars_;
    TVekOLEDrop VekOLEDrop;
    TreeWidthCycle widthCycle_;
    ImageFolderView* imageFolderView_ = nullptr;
    bool placementLoaded_ = false;
    bool closing_ = false;  // the controls are going: their events are not handled any more
    int treeWidth_ = 206;
    std::function<void(const std::string&)> pureTextDone_;
};

// The editor window, hidden, with its HTML editing control created and the view of the
// settings chosen. When the HTML editing control cannot be made the user is told and the
// application's main loop is asked to end.
TEditorForm* CreateEditorForm(EditorFormSetup setup);

}  // namespace ql
