#pragma once
// TEditorForm: the editor window. The collection tree on the left; on the right the open page
// in one of three views (Browse, HTML, Text) with a view toolbar each. The handlers keep their
// designer names and hand over to the page session, the clip intake, the tree operations and the
// layout decisions; the form implements the ports those use over its controls.
#include "app/editor/EditWithMenu.h"
#include "app/editor/EditorActions.h"
#include "app/editor/EditorLayout.h"
#include "app/editor/FormCommandTable.h"
#include "app/editor/TreeOperations.h"
#include "app/editor/session/ClipIntake.h"
#include "app/editor/session/EditorDropTargeting.h"
#include "app/editor/session/EditorPorts.h"
#include "app/editor/session/PageSession.h"
#include "foundation/VekAdvClass.h"
#include "foundation/VekOLEDrop.h"
#include "platform/gui/PausedHint_wx.h"
#include "platform/gui/X11WindowActivator_wx.h"

#include <wx/frame.h>
#include <wx/timer.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class wxButton;
class wxMenu;
class wxMenuBar;
class wxMenuItem;
class wxMenuEvent;
class wxPanel;
class wxSplitterWindow;
class wxTextCtrl;
class wxToggleButton;
class wxToolBar;
class wxTreeCtrl;
class wxTreeEvent;

namespace ql {

class ActiveDesktop;
class BrowseStatusText;
class BrowseToolCommands;
class DesktopWallpaper;
class EditCommandBars;
class ExportCommands;
class FormCommandBars;
class ExportDialogs;
class PageFileScanner;
class SchemaSettings;
class SearchController;
class TSearchPanel;
class XfceConfig;
class EditorTreeView;
class Launcher;
class TPageControles;
class TPanelStatusBar;
class TTabSheetes;
class TWebHost;
namespace shellctl {
class TSvShellList;
}
namespace web {
class HtmlEditControl;
}

// What the program (or a test) gives the editor window.
struct EditorFormSetup {
    explicit EditorFormSetup(CollectionContext context) : context(context) {}
    CollectionContext context;               // settings, the clip's source URL, "images.ini"
    Launcher* launcher = nullptr;            // for the Browse view; null: the system launcher
    EditorDialogs* dialogs = nullptr;        // null: wx boxes
    const Clock* clock = nullptr;            // null: the system clock
    ExportDialogs* exportDialogs = nullptr;  // null: the wx save dialog and folder chooser
    EditWithMenu::AppSource editWithApps;    // unset: the desktop's applications for HTML files
    UrlCacheLookup findCachedFile;           // unset: the browsers' caches
    std::string placementKey = kFormPosKey;
    // The drop zone's commands the editor offers as its own. Left unset (an editor without a
    // zone), their menu items and buttons are left out.
    std::function<void()> showOptions;  // the Options dialog, modal
    std::function<void()> showAbout;    // the about box, modal
    std::function<void()> exitProgram;  // the zone's Exit: every save, then the end
};

class TEditorForm : public wxFrame, public FormCommandHandlers {
public:
    ~TEditorForm() override;

    // --- what the program uses ------------------------------------------------------------
    PageSession& Session() { return *session_; }
    ClipIntake& Clips() { return *clips_; }
    CollectionTree& Tree() { return tree_; }
    EditorActions& Actions() { return *actions_; }
    // Reads the placement once, applies the layout, loads the tree once and brings the window
    // forward; also works while the window is hidden and leaves it so.
    void FormShow();
    void ShowEditorForDrag();
    void BringEditorToFront();
    // What the layout points at the page's picture folder: ImageList from the start; without
    // one the images panel stays hidden.
    void SetImageFolderView(ImageFolderView* view);

    // --- layout and views -----------------------------------------------------------------
    void SwitchView(int view, bool load);
    void ApplyLayout();
    void ShowImagePanel(bool show);
    bool CreateHtmlEditor();
    void WidthBClick();
    int ActiveView() const;

    // --- handlers -------------------------------------------------------------------------
    void ToolButton17Click(int view);   // the PageBar buttons, by their Tag
    void ToolButton12Click() override;  // "&New (Clear)"
    void ToolButton14Click() override;  // "&Save"
    void ToolButton46Click() override;  // "&Open..."
    void ToolButton6Click() override;   // "Reload"
    void LoadfromURL1Click();
    void AddItemBClick() override;
    void AddSubItemBClick() override;
    void AddClipboardBClick() override;
    void ToolButton31Click() override;  // "Delete"
    void ToolButton3Click() override;   // "Expand All "
    void ToolButton5Click() override;   // "Collapse All "
    void ExpandAll2Click() override;
    void CollapseAll2Click() override;
    void ToolButton27Click();  // "Prior Item"
    void ToolButton42Click();  // "Next Item"
    void Rename1Click() override;
    void TVDragDrop(const wxPoint& point);  // client coordinates of TV
    void BtnUnicodeClick();
    void BtnCleanupClick();
    void ToolButton8Click() override;  // "Clear all HTML tag": the page as pure text
    void ToolButton9Click() override;  // "WordWrap"
    void Timer1Timer();

    // --- search, export, the Browse view's tools and the outward commands -----------------
    void SearchBClick() override;
    void Search2Click() override;
    void RunSearch();  // Enter in SearchEdit, "&Go"
    void SearchLVClick();
    void webDocumentComplete();
    void webStatusTextChange(const std::string& text);
    void SaveAs1Click() override;  // "Save Homepage As...", "Save as ..."
    void Export1Click() override;  // "Export Node (Include ChildNodes)"
    void CreateIndexHtml1Click() override;
    void ToolButton41Click() override;   // "Back"
    void ToolButton45Click() override;   // "Forward"
    void ToolButton44Click() override;   // "Stop"
    void ToolButton43Click() override;   // "Refresh"
    void ToolButton112Click() override;  // "Open original homepage"
    void ToolButton55Click() override;   // "Open in Browser", "Open With Browser"
    void MenuEditPageClick() override;   // fills the "Edit With" menus once
    void ToolButton54Click() override;   // the "Edit With" button
    void ToolButton51Click() override;   // "Active Desktop", "Set Current Html as Desktop"
    void ClearDesktop1Click() override;
    void HelpDocument1Click() override;
    void SoftwareHomepage1Click() override;
    void Suggestions1Click() override;
    void Backupallcollection1Click() override;  // "Open Storage Folder"
    void Print1Click() override;
    void File1Click();   // the "&Html" menu opens
    void Tools1Click();  // the "Tools" menu opens
    void ShowCollectionTree1Click() override;
    void ShowToolbar1Click() override;
    void ShowImagesFolder1Click() override;
    void Options1Click() override;  // "Options..."
    void About1Click() override;    // "About..."
    void Exit1Click() override;     // "E&xit", the "Exit" button
    SearchController& Searching() { return *search_; }
    EditWithMenu& EditWith() { return *editWith_; }
    EditCommandBars& CommandBars() { return *commandBars_; }  // ToolBar1 and the editing menus

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
    wxSplitterWindow* ImageSplitter = nullptr;                 // the pages above the images panel
    TPageControles* PageControl1 = nullptr;
    wxPanel* ImagePanel = nullptr;
    shellctl::TSvShellList* ImageList = nullptr;  // the page's picture folder, live
    TTabSheetes* tbSheetes3 = nullptr;            // Browse
    TTabSheetes* tbSheetes1 = nullptr;            // HTML
    TTabSheetes* tbSheetes2 = nullptr;            // Text
    TWebHost* web = nullptr;
    wxPanel* ToolBar3 = nullptr;
    wxToolBar* BrowseTools = nullptr;  // ToolBar3's buttons before UnicodePanel
    TSearchPanel* SearchPanel = nullptr;
    wxMenu* File1 = nullptr;               // "&Html"
    wxMenu* Tools1 = nullptr;              // "Tools"
    wxMenu* MenuEditPage = nullptr;        // "Edit With" in Tools
    wxMenu* EditWithButtonMenu = nullptr;  // the DocBar button's copy
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
    class Tools;

    explicit TEditorForm(EditorFormSetup setup);
    void FormCreate();
    void CreateTreePanel();
    void SizeToTools();  // tree width and client size that hold every tool
    void CreatePages();
    void CreateViewBars();       // CoolBar1: WidthB, DocBar, PageBar
    void CreateImageSplitter();  // the page control above the images panel
    void CreateSheets();         // the three views' sheets
    void CreateBrowseSheet();
    void CreateWebHost();
    void CreateTextSheet();
    void CreateHtmlSheet();  // needs the Browse and Text sheets' controls
    void CreateMenus();
    void CreateSearchPanel();
    void CreateBrowseTools();
    void CreateToolMenus(wxMenuBar* bar);  // "Tools" and "&Help"
    void CreateDocBarTools();
    void OnMenuOpen(wxMenuEvent& event);
    ActiveDesktop& Desktop();
    void BindTree();
    void BindDropTarget();
    void PressViewButton(int view);
    void PointImageList();  // at the open page's picture folder, while the panel shows
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
    X11WindowActivator windowActivator_;  // brings the browser that took a URL to the front
    PausedHints hints_;                   // the tools' and controls' hints wait for the hint pause
    std::unique_ptr<EditorDialogs> ownDialogs_;
    std::unique_ptr<Clock> ownClock_;
    CollectionTree tree_;
    std::unique_ptr<Views> views_;
    std::unique_ptr<Window> window_;
    std::unique_ptr<PageSession> session_;
    std::unique_ptr<ClipIntake> clips_;
    std::unique_ptr<EditorDropTargeting> targeting_;
    std::unique_ptr<TreeOperations> ops_;
    std::unique_ptr<EditorActions> actions_;
    std::unique_ptr<EditorTreeView> treeView_;
    std::unique_ptr<EditCommandBars> commandBars_;
    std::unique_ptr<ExportDialogs> ownExportDialogs_;
    std::unique_ptr<Tools> tools_;
    std::unique_ptr<PageFileScanner> scanner_;
    std::unique_ptr<SearchController> search_;
    std::unique_ptr<ExportCommands> export_;
    std::unique_ptr<BrowseToolCommands> browseTools_;
    std::unique_ptr<BrowseStatusText> browseStatus_;
    std::unique_ptr<EditWithMenu> editWith_;
    std::unique_ptr<SchemaSettings> schemaSettings_;
    std::unique_ptr<XfceConfig> xfceConfig_;
    std::unique_ptr<DesktopWallpaper> wallpaper_;
    std::unique_ptr<ActiveDesktop> activeDesktop_;
    std::unique_ptr<FormCommandBars> formBars_;  // the menus and tools of the form's own commands
    TVekOLEDrop VekOLEDrop;
    TreeWidthCycle widthCycle_;
    std::unique_ptr<ImageFolderView> imageListFolder_;
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
