// TEditorForm: creation of the window and its controls, the menus, and the layout.
#include "app/editor/EditorForm_wx.h"

#include "app/editor/ActiveDesktop.h"
#include "app/editor/BrowseToolCommands.h"
#include "app/editor/EditCommandBars_wx.h"
#include "app/editor/EditorDialogs_wx.h"
#include "app/editor/EditorFormPorts_wx.h"
#include "app/editor/EditorTreeView_wx.h"
#include "app/editor/ExportCommands.h"
#include "app/editor/FormCommandBars_wx.h"
#include "app/editor/ImageListFolder_wx.h"
#include "app/editor/SearchController.h"
#include "app/editor/SearchPanel_wx.h"
#include "app/editor/UndoTextCtrl_wx.h"
#include "components/browserhost/Pages_wx.h"
#include "components/browserhost/PanelStatusBar_wx.h"
#include "components/browserhost/WebHost_wx.h"
#include "foundation/VekAdvClass_wx.h"
#include "foundation/VekBaseClass_wx.h"
#include "foundation/VekHtmlClass.h"
#include "foundation/VekOLEDrop_wx.h"
#include "platform/core/Launcher.h"
#include "platform/gui/DesktopWallpaper.h"
#include "platform/gui/HtmlEditControl_wx.h"
#include "platform/gui/WebViewEngine_wx.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>
#include <wx/toolbar.h>
#include <wx/treectrl.h>

namespace ql {

namespace {

constexpr int kTreePanelWidth = 206;
constexpr int kClientWidth = 753, kClientHeight = 438;
constexpr int kImagePanelHeight = 56;
constexpr int kViewToolbarHeight = 30;
constexpr int kUnicodePanelLeft = 155;  // UnicodePanel.Tag: room for the Browse tools before it
constexpr int kPureTextPanelWidth = 117, kPureTextPanelHeight = 24;

// The view buttons of PageBar, by their Tag (the view index).
constexpr const char* kViewButtonCaptions[kViewCount] = {"Browse", "Edit", "Source"};
// The sheets, by view index.
constexpr const char* kSheetCaptions[kViewCount] = {"Browse", "HTML", "Text"};

constexpr char kHtmlEditorMissing[] =
    "Failed to load Micorsoft DHtmlEdit, \n\nYou may need to install the web engine package "
    "libwebkit2gtk-4.0-37 (WebKitGTK) or a higher version.";

}  // namespace

TEditorForm* CreateEditorForm(EditorFormSetup setup)
{
    auto* form = new TEditorForm(std::move(setup));
    form->FormCreate();
    return form;
}

TEditorForm::TEditorForm(EditorFormSetup setup)
    : wxFrame(nullptr, wxID_ANY, "Quillory", wxDefaultPosition, wxDefaultSize), setup_(std::move(setup))
{
    if (!setup_.launcher) {
        ownLauncher_ = std::make_unique<SystemShellLauncher>();
        setup_.launcher = ownLauncher_.get();
    }
    if (!setup_.dialogs) {
        ownDialogs_ = std::make_unique<WxEditorDialogs>(this);
        setup_.dialogs = ownDialogs_.get();
    }
    if (!setup_.clock) {
        ownClock_ = std::make_unique<SystemClock>();
        setup_.clock = ownClock_.get();
    }
    if (!setup_.findCachedFile)
        setup_.findCachedFile = [](const std::string& url, std::uint64_t maxBytes, const std::string& pageUrl) {
            return FindUrlCacheFile(url, maxBytes, pageUrl);
        };

    views_ = std::make_unique<Views>(*this);
    window_ = std::make_unique<Window>(*this);
    session_ = std::make_unique<PageSession>(setup_.context, tree_, *views_, *window_, *setup_.dialogs, *setup_.clock,
                                             setup_.findCachedFile);
    clips_ = std::make_unique<ClipIntake>(*session_, *views_, *window_, *setup_.dialogs);
    targeting_ = std::make_unique<EditorDropTargeting>(*clips_, setup_.context.settings, *window_);
    ops_ = std::make_unique<TreeOperations>(*session_, *views_, *window_, *setup_.dialogs, setup_.context.imagesIni);
    actions_ = std::make_unique<EditorActions>(*session_, *views_);

    if (!setup_.exportDialogs) {
        ownExportDialogs_ = std::make_unique<WxExportDialogs>(this);
        setup_.exportDialogs = ownExportDialogs_.get();
    }
    if (!setup_.editWithApps)
        setup_.editWithApps = [] { return AppsForMimeType(kEditWithMimeType); };
    tools_ = std::make_unique<Tools>(*this);
    scanner_ = std::make_unique<PageFileScanner>();
    search_ = std::make_unique<SearchController>(*session_, *views_, *window_, *setup_.dialogs, *tools_, *scanner_);
    ops_->onDeleting = [this](const TreeNode& node) { search_->NodeDeleting(node); };
    export_ = std::make_unique<ExportCommands>(*session_, *window_, *setup_.dialogs, *setup_.exportDialogs,
                                               *setup_.launcher, windowActivator_, setup_.context.imagesIni);
    browseTools_ = std::make_unique<BrowseToolCommands>(setup_.context.settings, *setup_.dialogs, *setup_.launcher,
                                                        windowActivator_, AppDir());
    browseStatus_ = std::make_unique<BrowseStatusText>();
    editWith_ = std::make_unique<EditWithMenu>(*session_, *setup_.launcher, setup_.editWithApps);
}

TEditorForm::~TEditorForm()
{
    closing_ = true;
    Timer1.Stop();
    if (HtmlEditor) {
        HtmlEditor->OnDocumentComplete = nullptr;
        HtmlEditor->OnDisplayChanged = nullptr;
    }
    if (PureTextEditor)
        PureTextEditor->OnDocumentComplete = nullptr;
    if (web) {
        web->OnDocumentComplete = nullptr;
        web->OnStatusTextChange = nullptr;
    }
    // A page being rendered for the desktop reports to nobody now.
    tools_->CancelRendering();
    treeView_.reset();
    // The controls go before the objects their handlers use.
    DestroyChildren();
}

void TEditorForm::FormCreate()
{
    // Before the controls, which take the form's font when they are made.
    if (ChineseSystem)
        SetFont(wxFont(wxFontInfo(10).FaceName("SimSun").Encoding(wxFONTENCODING_GB2312)));
    formBars_ = std::make_unique<FormCommandBars>(
        *this, *this, OfferedCommands{bool(setup_.showOptions), bool(setup_.showAbout), bool(setup_.exitProgram)});
    StatusBar1 = new TPanelStatusBar(this);
    StatusBar1->SetFieldsCount(1);
    SetStatusBar(StatusBar1);

    Panel2 = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_LIVE_UPDATE | wxSP_3DSASH);
    // Dragging the splitter never takes the tree out: only the switches and WidthB do.
    Panel2->SetMinimumPaneSize(1);
    Panel2->SetSashGravity(0);
    CreateTreePanel();
    Panel3 = new wxPanel(Panel2);
    CreatePages();
    auto* frameSizer = new wxBoxSizer(wxVERTICAL);
    frameSizer->Add(Panel2, 1, wxEXPAND);
    SetSizer(frameSizer);

    // The pure-text rendering's control is never seen. Sent to the back, a GTK child window
    // still takes the pointer and paints over the tree toolbar: it is hidden instead (its web
    // view lays out and renders the page all the same).
    PureTextPanel = new wxPanel(this, wxID_ANY, wxPoint(0, 0), wxSize(kPureTextPanelWidth, kPureTextPanelHeight));
    PureTextPanel->SetSizer(new wxBoxSizer(wxVERTICAL));
    PureTextPanel->Hide();

    CreateMenus();
    SizeToTools();  // once the menu bar is there: the client area is what lies below it
    BindTree();
    BindDropTarget();
    Timer1.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Timer1Timer(); });
    Bind(wxEVT_CLOSE_WINDOW, &TEditorForm::OnClose, this);
    Bind(wxEVT_SHOW, &TEditorForm::OnShow, this);
    Bind(wxEVT_MENU_OPEN, &TEditorForm::OnMenuOpen, this);
    web->OnStatusTextChange = [this](const std::string& text) { webStatusTextChange(text); };
    web->OnDocumentComplete = [this](com::IDispatch*, const std::string&) { webDocumentComplete(); };

    SwitchView(setup_.context.settings.ActiveTabIndex, true);
    hints_.TakeOver(this);
}

void TEditorForm::SizeToTools()
{
    // The designed 206 and 753 pixels are narrower than GTK's tools: with Debian's default
    // theme the tree toolbar needs 206 pixels plus the panel's border (208), and the HTML view's
    // bar 748 plus its sheet's bevels (752), which makes the client area 965 pixels wide.
    BarWidths bars;
    bars.treeToolbar = ToolBar_main->GetBestSize().x;
    bars.treeFrame = TreePanel->GetWindowBorderSize().x;
    bars.sash = Panel2->GetSashSize();
    bars.viewBars = CoolBar1->GetBestSize().x;
    // The view toolbars lie inside their sheet's bevels.
    const std::pair<wxWindow*, TTabSheetes*> viewBars[] = {
        {ToolBar3, tbSheetes3}, {ToolBar1, tbSheetes1}, {ToolBar2, tbSheetes2}};
    for (const auto& [bar, sheet] : viewBars)
        if (bar)
            bars.viewBars = std::max(bars.viewBars, bar->GetBestSize().x + sheet->ContentInset().x);
    const EditorWidths widths = FitBars(FromDIP(kTreePanelWidth), FromDIP(kClientWidth), bars);
    treeWidth_ = widths.tree;
    Panel2->SplitVertically(TreePanel, Panel3, treeWidth_);
    // The designed client area holds the status bar; wx's leaves it out.
    SetClientSize(widths.client, FromDIP(kClientHeight) - StatusBar1->GetSize().y);
}

void TEditorForm::CreateTreePanel()
{
    TreePanel = new wxPanel(Panel2, wxID_ANY, wxDefaultPosition, wxSize(kTreePanelWidth, -1), wxBORDER_THEME);
    ToolBar_main = new wxToolBar(TreePanel, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTB_FLAT | wxTB_HORIZONTAL);
    formBars_->AddTools(ToolBar_main, CommandPlace::TreeToolbar);
    ToolBar_main->Realize();

    TV = new wxTreeCtrl(TreePanel, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                        wxTR_HAS_BUTTONS | wxTR_NO_LINES | wxTR_HIDE_ROOT | wxTR_EDIT_LABELS | wxTR_SINGLE |
                            wxTR_FULL_ROW_HIGHLIGHT | wxBORDER_NONE);
    TV->SetIndent(19);
    TV->AssignImageList(EditorTreeView::MakeImageList());
    treeView_ = std::make_unique<EditorTreeView>(TV, tree_);

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(ToolBar_main, 0, wxEXPAND);
    sizer->Add(TV, 1, wxEXPAND);
    TreePanel->SetSizer(sizer);
    CreateSearchPanel();
}

void TEditorForm::CreatePages()
{
    CreateViewBars();
    CreateImageSplitter();
    CreateSheets();
    CreateBrowseSheet();
    CreateTextSheet();
    CreateHtmlSheet();
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(CoolBar1, 0, wxEXPAND);
    sizer->Add(ImageSplitter, 1, wxEXPAND);
    Panel3->SetSizer(sizer);
}

void TEditorForm::CreateViewBars()
{
    // CoolBar1: DocBar (with WidthB before it) and, on the same row, PageBar.
    CoolBar1 = new wxPanel(Panel3);
    WidthB = new wxButton(CoolBar1, wxID_ANY, wxString::FromUTF8("\xE2\x87\x94"), wxDefaultPosition,
                          wxSize(FromDIP(22), FromDIP(22)), wxBU_EXACTFIT);
    WidthB->SetCursor(wxCursor(wxCURSOR_HAND));
    WidthB->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { WidthBClick(); });
    DocBar = new wxToolBar(CoolBar1, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTB_FLAT | wxTB_HORIZONTAL);
    CreateDocBarTools();
    DocBar->Realize();
    PageBar = new wxPanel(CoolBar1);
    auto* pageBarSizer = new wxBoxSizer(wxHORIZONTAL);
    for (int view = 0; view < kViewCount; ++view) {
        auto* button = new wxToggleButton(PageBar, wxID_ANY, kViewButtonCaptions[view]);
        button->Bind(wxEVT_TOGGLEBUTTON, [this, view](wxCommandEvent&) { ToolButton17Click(view); });
        PageBarButtons[view] = button;
        pageBarSizer->Add(button, 0, wxALIGN_CENTER_VERTICAL);
    }
    PageBar->SetSizer(pageBarSizer);
    auto* coolSizer = new wxBoxSizer(wxHORIZONTAL);
    coolSizer->Add(WidthB, 0, wxALIGN_CENTER_VERTICAL);
    coolSizer->Add(DocBar, 1, wxALIGN_CENTER_VERTICAL);
    coolSizer->Add(PageBar, 0, wxALIGN_CENTER_VERTICAL);
    CoolBar1->SetSizer(coolSizer);
}

void TEditorForm::CreateImageSplitter()
{
    ImageSplitter = new wxSplitterWindow(Panel3, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                         wxSP_LIVE_UPDATE | wxSP_3DSASH);
    ImageSplitter->SetSashGravity(1.0);
    PageControl1 = new TPageControles(ImageSplitter);
    PageControl1->SetHotTrack(true);
    PageControl1->SetMultiLine(true);
    PageControl1->SetBorderInvisible(true);
    // The pages change only through the view buttons; should the control change them itself,
    // the page is saved and shown as with the buttons.
    PageControl1->OnChanging = [this](TCustomPageControles*, bool& allow) { allow = session_->PageControl1Changing(); };
    PageControl1->OnChange = [this](TCustomPageControles*) {
        session_->PageControl1Change();
        PressViewButton(ActiveView());
    };
    ImagePanel = new wxPanel(ImageSplitter, wxID_ANY, wxDefaultPosition, wxSize(-1, kImagePanelHeight));
    // With its default options; several items can be selected, and renamed.
    ImageList = new shellctl::TSvShellList(ImagePanel);
    ImageList->SetToolTip("Images Folder");
    ImageList->Shell().ReadOnly = false;
    auto* imageSizer = new wxBoxSizer(wxVERTICAL);
    imageSizer->Add(ImageList, 1, wxEXPAND);
    ImagePanel->SetSizer(imageSizer);
    ImagePanel->Hide();
    imageListFolder_ = std::make_unique<ImageListFolder>(*ImageList);
    imageFolderView_ = imageListFolder_.get();
    ImageSplitter->Initialize(PageControl1);
}

void TEditorForm::CreateSheets()
{
    TTabSheetes** sheets[kViewCount] = {&tbSheetes3, &tbSheetes1, &tbSheetes2};
    for (int view = 0; view < kViewCount; ++view) {
        auto* sheet = new TTabSheetes(PageControl1, kSheetCaptions[view]);
        sheet->SetTabVisible(false);
        sheet->SetTabColor(clBtnFace);
        sheet->SetTabFontColor(clBlack);
        sheet->SetSizer(new wxBoxSizer(wxVERTICAL));
        *sheets[view] = sheet;
    }
}

void TEditorForm::CreateBrowseSheet()
{
    // Browse: ToolBar3 with the Unicode panel, and the web view.
    ToolBar3 = new wxPanel(tbSheetes3, wxID_ANY, wxDefaultPosition, wxSize(-1, kViewToolbarHeight));
    UnicodePanel = new wxPanel(ToolBar3);
    // 55 and 49 pixels wide, or as wide as GTK needs for the caption (57 and 55 measured).
    auto captionButton = [this](const char* caption, int width, const char* hint, void (TEditorForm::*handler)()) {
        auto* button = new wxButton(UnicodePanel, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
        button->SetMinSize(wxSize(std::max(FromDIP(width), button->GetBestSize().x), -1));
        button->SetToolTip(hint);
        button->Bind(wxEVT_BUTTON, [this, handler](wxCommandEvent&) { (this->*handler)(); });
        return button;
    };
    wxButton* cleanUp = captionButton("CleanUp", 55, "Fix the disorderly charset", &TEditorForm::BtnCleanupClick);
    wxButton* unicode = captionButton("Unicode", 49, "Browser in Unicode Mode", &TEditorForm::BtnUnicodeClick);
    auto* unicodeSizer = new wxBoxSizer(wxHORIZONTAL);
    unicodeSizer->AddStretchSpacer();
    unicodeSizer->Add(cleanUp, 0, wxALIGN_CENTER_VERTICAL);
    unicodeSizer->Add(unicode, 0, wxALIGN_CENTER_VERTICAL);
    UnicodePanel->SetSizer(unicodeSizer);
    // ToolBar3Resize: the panel takes the toolbar's width right of its left position.
    CreateBrowseTools();
    // Our toolkit's tools are wider than the original's: the panel starts after the last one.
    BrowseTools->SetMinSize(wxSize(std::max(FromDIP(kUnicodePanelLeft), BrowseTools->GetBestSize().x), -1));
    auto* toolBar3Sizer = new wxBoxSizer(wxHORIZONTAL);
    toolBar3Sizer->Add(BrowseTools, 0, wxALIGN_CENTER_VERTICAL);
    toolBar3Sizer->Add(UnicodePanel, 1, wxEXPAND | wxRIGHT, 5);
    ToolBar3->SetSizer(toolBar3Sizer);
    CreateWebHost();
    tbSheetes3->GetSizer()->Add(ToolBar3, 0, wxEXPAND);
    tbSheetes3->GetSizer()->Add(web, 1, wxEXPAND);
}

void TEditorForm::CreateWebHost()
{
    web = new TWebHost(tbSheetes3, *setup_.launcher);
    using D = TDownloadControlOption;
    web->SetDownloadOptions({D::DLCTL_DLIMAGES, D::DLCTL_VIDEOS, D::DLCTL_NO_SCRIPTS, D::DLCTL_NO_JAVA,
                             D::DLCTL_NO_RUNACTIVEXCTLS, D::DLCTL_NO_DLACTIVEXCTLS, D::DLCTL_SILENT, D::DLCTL_OFFLINE});
    web->SetUserInterfaceOptions({TUserInterfaceOption::OPENNEWWIN, TUserInterfaceOption::ENABLE_FORMS_AUTOCOMPLETE});
    web->PrintOptions.Margins = {19.05, 19.05, 19.05, 19.05};  // millimetres
    // "&w&b", the word for page number, a full-width comma, "&p/&P".
    web->PrintOptions.Header = "&w&b\xE9\xA1\xB5\xE7\xA0\x81\xEF\xBC\x8C&p/&P";
    web->PrintOptions.Footer = "&u&b&d";
    web->PrintOptions.Orientation = TPrintOrientationOption::poPortrait;
    web->ReplaceCaption = false;
    web->EnableDDE = false;
    web->SetfpExceptions(false);
    // "Print..." prints with the engine's own page setup; the print options fill its page-setup
    // dialog when the automation is armed.
    if (web->Engine())
        web->Engine()->PageSetupSource = nullptr;
}

void TEditorForm::CreateTextSheet()
{
    // Text: ToolBar2 and SourceEditor.
    ToolBar2 = new wxToolBar(tbSheetes2, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                             wxTB_FLAT | wxTB_HORIZONTAL | wxTB_HORZ_TEXT);
    formBars_->AddTools(ToolBar2, CommandPlace::TextToolbar);
    ToolBar2->Realize();
    SourceEditor = new UndoTextCtrl(tbSheetes2, wxID_ANY,
                                    wxTE_MULTILINE | wxTE_DONTWRAP | wxHSCROLL | wxTE_RICH2 | wxBORDER_NONE);
    tbSheetes2->GetSizer()->Add(ToolBar2, 0, wxEXPAND);
    tbSheetes2->GetSizer()->Add(SourceEditor, 1, wxEXPAND);
}

void TEditorForm::CreateHtmlSheet()
{
    // HTML: ToolBar1 (the editing commands) and dtPanel, parent of HtmlEditor.
    dtPanel = new wxPanel(tbSheetes1);
    dtPanel->SetSizer(new wxBoxSizer(wxVERTICAL));
    EditCommandTargets targets;
    targets.activeView = [this] { return ActiveView(); };
    targets.htmlEditor = [this] { return HtmlEditor; };
    targets.sourceEditor = SourceEditor;
    targets.web = web;
    commandBars_ = std::make_unique<EditCommandBars>(std::move(targets));
    ToolBar1 = commandBars_->CreateToolBar1(tbSheetes1);
    if (ToolBar1)
        tbSheetes1->GetSizer()->Add(ToolBar1, 0, wxEXPAND);
    tbSheetes1->GetSizer()->Add(dtPanel, 1, wxEXPAND);
}

void TEditorForm::CreateMenus()
{
    auto* bar = new wxMenuBar;
    bar->Append(formBars_->CreateMenu(CommandPlace::NodesMenu), MenuTitle(CommandPlace::NodesMenu));
    File1 = formBars_->CreateMenu(CommandPlace::HtmlMenu);
    bar->Append(File1, MenuTitle(CommandPlace::HtmlMenu));
    commandBars_->AppendMenus(this, bar);
    CreateToolMenus(bar);
    SetMenuBar(bar);

    TVPopup.reset(formBars_->CreateMenu(CommandPlace::TreePopup));
}

void TEditorForm::BindTree()
{
    TV->Bind(wxEVT_TREE_SEL_CHANGING, &TEditorForm::OnSelChanging, this);
    TV->Bind(wxEVT_TREE_SEL_CHANGED, &TEditorForm::OnSelChanged, this);
    TV->Bind(wxEVT_TREE_END_LABEL_EDIT, &TEditorForm::OnEndLabelEdit, this);
    TV->Bind(wxEVT_TREE_KEY_DOWN, &TEditorForm::OnTreeKey, this);
    TV->Bind(wxEVT_TREE_BEGIN_DRAG, [](wxTreeEvent& event) { event.Allow(); });
    TV->Bind(wxEVT_TREE_END_DRAG, &TEditorForm::OnEndDrag, this);
    auto icon = [this](wxTreeEvent& event) {
        if (!closing_)
            treeView_->UpdateIcon(event.GetItem());
    };
    TV->Bind(wxEVT_TREE_ITEM_EXPANDED, icon);
    TV->Bind(wxEVT_TREE_ITEM_COLLAPSED, icon);
    TV->Bind(wxEVT_TREE_ITEM_MENU, [this](wxTreeEvent&) { TV->PopupMenu(TVPopup.get()); });
}

void TEditorForm::BindDropTarget()
{
    VekOLEDrop.TargetControl = WxDropTargetWindow(TV);
    VekOLEDrop.OnOLEDragEnter = [this](TMyDragDrop*, com::IDataObject*, int, com::POINTL, int&, int&) {
        targeting_->DragEnter();
        Timer1.Start(kHoverExpandIntervalMs);
        TV->Refresh();
    };
    VekOLEDrop.OnOLEDragOver = [this](TMyDragDrop*, int, com::POINTL pt, int&, int&, TDropType&) {
        unsigned hit = 0;
        TreeNode* under = treeView_->HitTest(TV->ScreenToClient(wxPoint(pt.x, pt.y)), &hit);
        targeting_->DragOver(under, hit);
    };
    VekOLEDrop.OnOLEDragLeave = [this](TMyDragDrop*, int&) {
        EndDropDrag();
        targeting_->DragLeave();
    };
    VekOLEDrop.OnDropHTML = [this](TMyDragDrop*, const std::string& url, const StringList& lines,
                                   const std::string& text) {
        EndDropDrag();
        clips_->DropHTMLClip(url, lines, text);
    };
    VekOLEDrop.OnDropText = [this](TMyDragDrop*, const std::string& text) {
        EndDropDrag();
        clips_->AddTextClip(text);
    };
    VekOLEDrop.OnDropRichText = [this](TMyDragDrop*, const std::string& text) {
        EndDropDrag();
        clips_->AddTextClip(text);
    };
    VekOLEDrop.OnDropURL = [this](TMyDragDrop*, const std::string& url, const std::string& title) {
        EndDropDrag();
        clips_->AddUrlClip(url, title);
    };
    VekOLEDrop.Loaded();
}

void TEditorForm::EndDropDrag()
{
    Timer1.Stop();
    window_->SetDropHighlight(nullptr);
}

int TEditorForm::ActiveView() const { return PageControl1->ActivePageIndex(); }

std::string TEditorForm::StatusText() const { return std::string(StatusBar1->GetStatusText(0).utf8_str()); }

bool TEditorForm::CreateHtmlEditor()
{
    if (HtmlEditor)
        return true;
    std::string error;
    HtmlEditor = web::HtmlEditControl::Create(dtPanel, wxID_ANY, &error);
    if (!HtmlEditor)
        return false;
    dtPanel->GetSizer()->Add(HtmlEditor, 1, wxEXPAND);
    dtPanel->Layout();
    if (setup_.context.settings.UseDiv)
        HtmlEditor->SetUseDivOnCarriageReturn(true);
    HtmlEditor->OnDisplayChanged = [this] { commandBars_->DisplayChanged(); };
    HtmlEditor->OnDocumentComplete = [this] { session_->dtDocumentComplete(); };
    return true;
}

void TEditorForm::SwitchView(int view, bool load)
{
    // A second attempt catches an engine that was still starting up.
    if (!HtmlEditor && !CreateHtmlEditor() && !CreateHtmlEditor()) {
        setup_.dialogs->ShowMessage(kHtmlEditorMissing);
        if (wxTheApp)
            wxTheApp->ExitMainLoop();
    }
    view = ClampView(view);
    PageControl1->SetActivePageIndex(view);
    if (load)
        session_->ShowCurrentPage(session_->PageIdOfNode(tree_.Selected()));
    PressViewButton(view);
}

void TEditorForm::PressViewButton(int view)
{
    for (int i = 0; i < kViewCount; ++i)
        PageBarButtons[i]->SetValue(i == view);
}

void TEditorForm::SetImageFolderView(ImageFolderView* view)
{
    imageFolderView_ = view;
    ApplyLayout();
}

void TEditorForm::ApplyLayout()
{
    const TSettings& s = setup_.context.settings;
    const LayoutPlan plan = PlanLayout(s, imageFolderView_ != nullptr);
    ShowImagePanel(plan.imagePanel);
    // A tree the width button made 0 wide is still shown.
    const bool treeShown = Panel2->IsSplit() || widthCycle_.State() == 1;
    if (plan.tree && !treeShown) {
        TreePanel->Show();
        Panel2->SplitVertically(TreePanel, Panel3, treeWidth_);
    } else if (!plan.tree && treeShown && Panel2->IsSplit()) {
        treeWidth_ = Panel2->GetSashPosition();
        Panel2->Unsplit(TreePanel);
    }
    for (wxWindow* bar :
         {static_cast<wxWindow*>(CoolBar1), static_cast<wxWindow*>(ToolBar1), static_cast<wxWindow*>(ToolBar2),
          static_cast<wxWindow*>(ToolBar3), static_cast<wxWindow*>(ToolBar_main)}) {
        if (bar)
            bar->Show(plan.toolbars);
    }
    for (wxWindow* w :
         {static_cast<wxWindow*>(TreePanel), static_cast<wxWindow*>(Panel3), static_cast<wxWindow*>(tbSheetes1),
          static_cast<wxWindow*>(tbSheetes2), static_cast<wxWindow*>(tbSheetes3)})
        w->Layout();
    PointImageList();
}

void TEditorForm::PointImageList()
{
    if (ImageSplitter->IsSplit() && imageFolderView_)
        imageFolderView_->SetFolder(
            ImagesPanelFolder(setup_.context.settings, session_ && session_->CollectionFolderMoved()));
}

void TEditorForm::ShowImagePanel(bool show)
{
    if (show && !ImageSplitter->IsSplit()) {
        ImagePanel->Show();
        ImageSplitter->SplitHorizontally(PageControl1, ImagePanel, -kImagePanelHeight);
    } else if (!show && ImageSplitter->IsSplit()) {
        ImageSplitter->Unsplit(ImagePanel);
    }
}

void TEditorForm::WidthBClick()
{
    if (!setup_.context.settings.ShowTree || (!Panel2->IsSplit() && widthCycle_.State() != 1))
        return;
    const int width = widthCycle_.Click(Panel2->IsSplit() ? Panel2->GetSashPosition() : 0);
    // Where the button lies in the pages' panel, which moves with the tree's edge.
    const wxPoint inPanel3 = WidthB->GetScreenPosition() - Panel3->GetScreenPosition();
    // A splitter reads position 0 as "the middle": width 0 takes the tree out instead.
    if (width == 0) {
        Panel2->Unsplit(TreePanel);
    } else if (!Panel2->IsSplit()) {
        TreePanel->Show();
        Panel2->SplitVertically(TreePanel, Panel3, width);
    } else {
        Panel2->SetSashPosition(width);
    }
    // The button moved with the panel's edge: the pointer goes with it. GTK shows the move at
    // its next frame, so the place is taken from the panel's new position, known at once.
    Panel2->WarpPointer(Panel3->GetPosition().x + inPanel3.x + 6, Panel3->GetPosition().y + inPanel3.y + 11);
}

void TEditorForm::FormShow()
{
    if (!placementLoaded_) {
        // The tree shows its selected node at the size the window has as it is filled; the
        // window manager's frame may take some of it later.
        LoadFormPlacement(setup_.placementKey, this, false, [this] { treeView_->ShowSelection(); });
        placementLoaded_ = true;
    }
    ApplyLayout();
    session_->LoadTreeOnce();
    BringEditorToFront();
}

void TEditorForm::ShowEditorForDrag()
{
    Show();
    if (IsIconized())
        Iconize(false);
    // Above the other windows, without staying there. A window manager may map a window
    // below the one in use; the raise, which it handles after the map, puts it on top.
    SetTopMost(this, true);
    SetTopMost(this, false);
    Raise();
}

void TEditorForm::BringEditorToFront()
{
    if (!IsShown())
        return;
    Raise();
    SetFocus();
}

}  // namespace ql
