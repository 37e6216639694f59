#include "app/zone/TPlinderDragZoneForm_wx.h"

#include "app/collection/TreeMirror_wx.h"
#include "app/dialogs/TAboutForm_wx.h"
#include "app/dialogs/TAddUrlPageForm_wx.h"
#include "app/dialogs/TSetForm_wx.h"
#include "app/editor/EditorTreeView_wx.h"
#include "app/product/ZoneArtwork_wx.h"
#include "app/zone/StartupPlan.h"
#include "app/zone/ZoneTargeting.h"
#include "app/zone/ZoneTreeManners_wx.h"
#include "foundation/VekAdvClass_wx.h"
#include "foundation/VekBaseClass_wx.h"
#include "foundation/VekCollectClass.h"
#include "foundation/VekOLEDrop_wx.h"
#include "platform/core/ErrorLog.h"
#include "platform/core/ExitDeadline.h"

#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/dcbuffer.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/treectrl.h>

// Last: the X11 headers' macros clash with names in other headers.
#include <X11/extensions/shape.h>
#include <gdk/gdkx.h>

namespace ql {

namespace {

constexpr int kPanelWidth = 213;
constexpr int kBarHeight = 22;
const wxColour kPanelColour(0x8f, 0xb4, 0xef);
constexpr int kTopMostEveryMs = 500;
constexpr int kLeaveSettleMs = 250;
// An exit from outside ends by then, saved or not.
constexpr std::chrono::milliseconds kExitFromOutsideDeadline{5000};

// The toolkit ends the innermost loop that runs: asked while a modal dialog's loop is still
// unwinding, the request would end that loop and leave the main loop running. It is asked
// again until the main loop is the one running.
void ExitMainLoopOnceOutermost()
{
    if (!wxTheApp)
        return;
    if (const wxEventLoopBase* active = wxEventLoopBase::GetActive(); active && !active->IsMain()) {
        wxTheApp->CallAfter([] { ExitMainLoopOnceOutermost(); });
        return;
    }
    wxTheApp->ExitMainLoop();
}

// What a box closed unanswered said goes to the log, once: nobody may have read it (a failed
// save's box that was waiting when the signal came).
void LogClosedUnanswered(GtkWindow* window, const std::string& what)
{
    static const char kLogged[] = "quillory-closed-unanswered";
    if (g_object_get_data(G_OBJECT(window), kLogged))
        return;
    g_object_set_data(G_OBJECT(window), kLogged, GINT_TO_POINTER(1));
    LogError("exit", "closed unanswered: " + what);
}

std::string MessageBoxText(GtkMessageDialog* box)
{
    gchar* text = nullptr;
    gchar* secondary = nullptr;
    g_object_get(box, "text", &text, "secondary-text", &secondary, nullptr);
    std::string all = text ? text : "";
    if (secondary && *secondary)
        all += (all.empty() ? "" : " ") + std::string(secondary);
    g_free(text);
    g_free(secondary);
    return all;
}

// Closes every dialog that waits for an answer, as its window's close button would. Message
// boxes run the toolkit's own dialog loop, which no wx dialog list holds.
void CloseWaitingDialogs()
{
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxDialog*>(w); dialog && dialog->IsModal()) {
            LogClosedUnanswered(GTK_WINDOW(dialog->GetHandle()),
                                "the dialog \"" + dialog->GetTitle().utf8_string() + "\"");
            dialog->EndModal(wxID_CANCEL);
        }
    GList* toplevels = gtk_window_list_toplevels();
    for (GList* l = toplevels; l; l = l->next)
        if (GTK_IS_DIALOG(l->data) && gtk_window_get_modal(GTK_WINDOW(l->data))) {
            if (GTK_IS_MESSAGE_DIALOG(l->data))
                LogClosedUnanswered(GTK_WINDOW(l->data), MessageBoxText(GTK_MESSAGE_DIALOG(l->data)));
            gtk_dialog_response(GTK_DIALOG(l->data), GTK_RESPONSE_DELETE_EVENT);
        }
    g_list_free(toplevels);
}

constexpr int kExitCloserEveryMs = 50;
constexpr int kClaimCheckEveryMs = 500;

}  // namespace

// Timer1 as the scheduler's timer.
class TPlinderDragZoneForm::ActionTimerImpl : public ActionTimer {
public:
    explicit ActionTimerImpl(wxEvtHandler* owner) : timer_(owner) {}
    void Start(int intervalMs) override { timer_.Start(intervalMs, wxTIMER_CONTINUOUS); }
    void Stop() override { timer_.Stop(); }
    bool Running() const override { return timer_.IsRunning(); }
    wxTimer& Timer() { return timer_; }

private:
    wxTimer timer_;
};

// Image1: the zone picture; moves the zone and opens the menu.
class TPlinderDragZoneForm::Picture : public wxWindow {
public:
    explicit Picture(wxWindow* parent) : wxWindow(parent, wxID_ANY), bitmap_(ZonePicture())
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        SetSize(bitmap_.GetWidth(), bitmap_.GetHeight());
        SetCursor(wxCursor(wxCURSOR_SIZING));
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxAutoBufferedPaintDC dc(this);
            dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
            dc.Clear();
            dc.DrawBitmap(bitmap_, 0, 0, true);
        });
    }

private:
    wxBitmap bitmap_;
};

template <class F>
void TPlinderDragZoneForm::Safely(F&& handler)
{
    GuardHandler("drop zone", std::forward<F>(handler));
}

TPlinderDragZoneForm::TPlinderDragZoneForm(TSettings& settings, ZoneFormOptions options)
    : wxFrame(nullptr, wxID_ANY, "Quillory", wxDefaultPosition, wxSize(258, 316),
              wxBORDER_NONE | wxSTAY_ON_TOP | wxFRAME_NO_TASKBAR | wxFRAME_TOOL_WINDOW, kZoneWindowClass),
      settings_(settings),
      TVTimer(this),
      leaveTimer_(this),
      exitCloser_(this),
      claimTimer_(this),
      renewLock_(std::move(options.renewLock)),
      Timer1(std::make_unique<ActionTimerImpl>(this)),
      dialogs_(this)
{
    wxIconBundle icons;
    for (int size : {16, 32, 48}) {
        wxIcon icon;
        icon.CopyFromBitmap(ProgramIconBitmap(size));
        icons.AddIcon(icon);
    }
    SetIcons(icons);
    BuildControls();

    const bool trayAvailable = TrayAvailable();
    ZoneControllerDeps deps{settings, *this, dialogs_, launcher_, *Timer1};
    deps.editorFactory = std::move(options.editorFactory);
    deps.runCommand = [this](ZoneCommand command) { RunCommand(command); };
    deps.args = std::move(options.args);
    deps.trayAvailable = trayAvailable;
    deps.saveSettings = std::move(options.saveSettings);
    deps.appDir = AppDirPath;
    controller_ = std::make_unique<ZoneController>(std::move(deps));
    mirror_ = std::make_unique<TreeMirror>(controller_->ZoneTree(), TV2);

    BuildMenu();
    TrayIcon1 = std::make_unique<TTrayIcon>(MakeWxTrayShell());
    TrayIcon1->SetIcon(ProgramTrayIcon());
    TrayIcon1->SetToolTip("Quillory");
    TrayIcon1->PopupMenu = trayMenu_.get();
    TrayIcon1->OnClick = [this](TTrayIcon*) { Safely([&] { controller_->Image1DblClick(); }); };
    if (trayAvailable)
        TrayIcon1->SetActive(true);

    // The forms of the program, in their order after the zone.
    setForm_ = new TSetForm(this, settings_, [this] { controller_->ApplyZoneVisibility(); });
    aboutForm_ = new TAboutForm(this, launcher_);
    addUrlPageForm_ = new TAddUrlPageForm(this, dialogs_);

    BindDropTarget();

    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { Safely([&] { controller_->Timer1Timer(); }); }, Timer1->Timer().GetId());
    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { Safely([&] { controller_->TVTimerTimer(); }); }, TVTimer.GetId());
    // Unbound again when the zone goes: the application outlives it.
    wxTheApp->Bind(wxEVT_ACTIVATE_APP, &TPlinderDragZoneForm::OnActivateApp, this);
    // Kept in the topmost band while visible, also against windows raised since.
    Bind(wxEVT_IDLE, [this](wxIdleEvent& e) {
        e.Skip();
        wxLongLong now = wxGetLocalTimeMillis();
        if (now - lastTopMost_ < kTopMostEveryMs || !controller_->WantsTopMost())
            return;
        lastTopMost_ = now;
        SetTopMost(this, true);
    });
    Bind(wxEVT_MOVE, [this](wxMoveEvent& e) {
        OnWindowMoved();
        e.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
        if (terminating_ || !e.CanVeto()) {
            e.Skip();
            return;
        }
        e.Veto();  // the zone is left through Exit only
        RunCommand(ZoneCommand::Exit);
    });

    StartHandOverServer();
    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { Safely([&] { KeepInstanceClaim(); }); }, claimTimer_.GetId());
    claimTimer_.Start(kClaimCheckEveryMs);
}

void TPlinderDragZoneForm::StartHandOverServer()
{
    handOver_ = std::make_unique<CopyDataServer>(
        kZoneWindowClass,
        [this](const CopyDataMessage& msg) -> std::int64_t {
            std::int64_t result = 0;
            Safely([&] { result = controller_->HandOver(msg.Text()); });
            return result;
        },
        [](const std::function<void()>& work) {
            if (wxTheApp)
                wxTheApp->CallAfter(work);
        });
    if (!handOver_->Listening())
        LogError("clips cannot be handed over to this instance", handOver_->Error());
}

// The lock file and the socket lie in a folder that can be emptied while the zone runs (a
// cleaner of old files in /tmp, a user): a start meanwhile would find neither, take a lock of its
// own and run a second zone on the collection. Both are made again at once.
void TPlinderDragZoneForm::KeepInstanceClaim()
{
    if (renewLock_) {
        const std::string problem = renewLock_();
        if (!problem.empty() && !claimLost_)
            LogError("single instance", problem + "; another start may run a second zone on the collection");
        claimLost_ = !problem.empty();  // said once for as long as it lasts
    }
    if (handOver_ && handOver_->Listening() && !handOver_->SocketInPlace()) {
        LogError("hand-over", "the socket " + handOver_->SocketPath() + " was removed; listening there again");
        StartHandOverServer();
    }
}

TPlinderDragZoneForm::~TPlinderDragZoneForm()
{
    if (mapHandler_)
        g_signal_handler_disconnect(GetHandle(), mapHandler_);
    if (wxTheApp)
        wxTheApp->Unbind(wxEVT_ACTIVATE_APP, &TPlinderDragZoneForm::OnActivateApp, this);
    handOver_.reset();
    TVTimer.Stop();
    leaveTimer_.Stop();
    exitCloser_.Stop();
    claimTimer_.Stop();
    Timer1->Stop();
    if (auto* target = VekOLEDrop1.DropTarget())
        target->Detach();
    mirror_.reset();
}

void TPlinderDragZoneForm::OnActivateApp(wxActivateEvent& e)
{
    e.Skip();
    if (terminating_)
        return;
    Safely([&] {
        if (e.GetActive())
            controller_->ApplicationActivate();
        else
            controller_->ApplicationDeactivate();
    });
}

void TPlinderDragZoneForm::BuildControls()
{
    Panel1 = new wxPanel(this, wxID_ANY);
    Panel1->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_DESKTOP));
    Image1 = new Picture(Panel1);
    Image1->Move(0, 0);

    Panel2 = new wxPanel(Panel1, wxID_ANY, wxPoint(0, 0), wxSize(kPanelWidth, panelHeight_), wxBORDER_SIMPLE);
    Panel2->SetBackgroundColour(kPanelColour);
    DPanel1 = new wxPanel(Panel2, wxID_ANY, wxDefaultPosition, wxSize(-1, kBarHeight));
    DPanel1->SetBackgroundColour(kPanelColour);
    auto* bar = new wxStaticText(DPanel1, wxID_ANY, kSaveInformationCaption);
    auto* barSizer = new wxBoxSizer(wxHORIZONTAL);
    barSizer->Add(bar, 0, wxALIGN_CENTER_VERTICAL);
    DPanel1->SetSizer(barSizer);
    TV2 = new wxTreeCtrl(Panel2, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                         wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE | wxBORDER_NONE);
    TV2->SetIndent(19);
    SetCollectionTreeImages(TV2);
    GiveZoneTreeItsManners(TV2);
    StatusBar1 = new wxStaticText(Panel2, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxST_ELLIPSIZE_END);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(DPanel1, 0, wxEXPAND);
    sizer->Add(TV2, 1, wxEXPAND);
    sizer->Add(StatusBar1, 0, wxEXPAND | wxALL, 2);
    Panel2->SetSizer(sizer);
    Panel2->Hide();

    auto* frameSizer = new wxBoxSizer(wxVERTICAL);
    frameSizer->Add(Panel1, 1, wxEXPAND);
    SetSizer(frameSizer);

    TV2->Bind(wxEVT_TREE_SEL_CHANGED, [this](wxTreeEvent& e) {
        e.Skip();
        if (mirror_)
            mirror_->SelectionFromControl();
    });
    Image1->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
        Image1->CaptureMouse();
        wxPoint s = wxGetMousePosition();
        Safely([&] { controller_->Image1MouseDown({e.GetX(), e.GetY()}, {s.x, s.y}); });
    });
    Image1->Bind(wxEVT_MOTION, [this](wxMouseEvent& e) {
        Safely([&] { controller_->Image1MouseMove({e.GetX(), e.GetY()}); });
    });
    Image1->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) {
        if (Image1->HasCapture())
            Image1->ReleaseMouse();
        wxPoint s = wxGetMousePosition();
        Safely([&] { controller_->Image1MouseUp(true, false, {s.x, s.y}); });
    });
    Image1->Bind(wxEVT_LEFT_DCLICK, [this](wxMouseEvent&) { Safely([&] { controller_->Image1DblClick(); }); });
    Image1->Bind(wxEVT_MOUSE_CAPTURE_LOST,
                 [this](wxMouseCaptureLostEvent&) { Safely([&] { controller_->Image1MouseUp(false, false, {}); }); });
    Image1->Bind(wxEVT_RIGHT_UP, [this](wxMouseEvent&) {
        if (TrayIconPopup)
            Image1->PopupMenu(TrayIconPopup.get());
    });
    ShowPanel(false);
}

void TPlinderDragZoneForm::BuildMenu()
{
    TrayIconPopup = std::make_unique<wxMenu>();
    for (const ZoneMenuItem& item : kZoneMenu) {
        if (item.hidden)
            continue;  // About and Help stay out of the menu, as their separator does
        if (item.command == ZoneCommand::Separator) {
            TrayIconPopup->AppendSeparator();
            continue;
        }
        const int id = wxID_HIGHEST + static_cast<int>(item.command);
        TrayIconPopup->Append(id, wxString::FromUTF8(item.caption));
        const ZoneCommand command = item.command;
        TrayIconPopup->Bind(
            wxEVT_MENU, [this, command](wxCommandEvent&) { RunCommand(command); }, id);
    }
    trayMenu_ = std::make_unique<WxTrayMenu>(TrayIconPopup.get());
}

void TPlinderDragZoneForm::RunCommand(ZoneCommand command)
{
    // Menus may run their commands from inside the menu's own loop: let it close first.
    CallAfter([this, command] {
        Safely([&] {
            ZoneController& c = *controller_;
            switch (command) {
            case ZoneCommand::ShowHideMainWindow:
                c.Image1DblClick();
                break;
            case ZoneCommand::ShowHideDragZone:
                c.HideDrogZone1Click();
                break;
            case ZoneCommand::AddClipboardContents:
                c.AddClipboardContents1Click();
                break;
            case ZoneCommand::AddEmptyHomepage:
                c.Add1Click();
                break;
            case ZoneCommand::PasteClipboardContents:
                c.CopyClipboardContents1Click();
                break;
            case ZoneCommand::Options:
                c.Options1Click();
                break;
            case ZoneCommand::About:
                c.About1Click();
                break;
            case ZoneCommand::Help:
                c.Help1Click();
                break;
            case ZoneCommand::Exit: {
                std::string report = c.Exit1Click();
                if (!report.empty()) {
                    LogError("exit", report);
                    wxMessageBox(wxString::FromUTF8(report), "Quillory", wxOK | wxICON_ERROR);
                }
                break;
            }
            case ZoneCommand::Separator:
                break;
            }
        });
    });
}

void TPlinderDragZoneForm::ExitFromOutside(const std::string& why)
{
    ArmExitDeadline(kExitFromOutsideDeadline);
    Safely([&] {
        std::string report = controller_->Exit1Click(ZoneController::ExitBy::Outside);
        if (!report.empty())
            LogError("exit (" + why + ")", report);
    });
}

void TPlinderDragZoneForm::BindDropTarget()
{
    VekOLEDrop1.TargetControl = WxDropTargetWindow(Panel1);
    VekOLEDrop1.OnOLEDragOver = [this](TMyDragDrop*, int, com::POINTL pt, int&, int&, TDropType&) {
        lastDragPoint_ = ZonePoint{pt.x, pt.y};
        dragOverSinceLeave_ = true;
        Safely([&] { controller_->DragOver(); });
    };
    // GTK also reports a leave when the widgets under the pointer change (the zone opening
    // into its tree panel) and enters again at once: only a leave that no drag-over follows
    // soon collapses the zone.
    VekOLEDrop1.OnOLEDragLeave = [this](TMyDragDrop*, int&) {
        dragOverSinceLeave_ = false;
        leaveTimer_.StartOnce(kLeaveSettleMs);
    };
    Bind(
        wxEVT_TIMER,
        [this](wxTimerEvent&) {
            if (!dragOverSinceLeave_)
                Safely([&] { controller_->DragLeave(); });
        },
        leaveTimer_.GetId());
    VekOLEDrop1.OnDropHTML = [this](TMyDragDrop*, const std::string& url, const StringList& lines,
                                    const std::string& text) {
        Safely([&] { controller_->DropHTML(url, lines, text); });
    };
    // Rich text is dropped as text.
    VekOLEDrop1.OnDropRichText = [this](TMyDragDrop*, const std::string& text) {
        Safely([&] { controller_->DropText(text); });
    };
    VekOLEDrop1.OnDropText = [this](TMyDragDrop*, const std::string& text) {
        Safely([&] { controller_->DropText(text); });
    };
    VekOLEDrop1.OnDropURL = [this](TMyDragDrop*, const std::string& url, const std::string& script) {
        Safely([&] { controller_->DropURL(url, script); });
    };
    VekOLEDrop1.Loaded();
}

bool TPlinderDragZoneForm::HandOverListening() const { return handOver_ && handOver_->Listening(); }
std::string TPlinderDragZoneForm::HandOverError() const { return handOver_ ? handOver_->Error() : std::string(); }

void TPlinderDragZoneForm::Start()
{
    // The zone is placed once it is mapped. Chromium's drag source keeps watching the windows
    // for a few seconds after a drag, and for a window made meanwhile it keeps the place the
    // window had on the screen before the window manager put it into a frame, read as a place
    // inside that frame: a zone placed before it was mapped is then looked for at twice its
    // position, and no drag reaches it. Mapped where it was made and then moved, only its frame
    // moves. (Without a window manager the map comes at once.)
    mapHandler_ = g_signal_connect(GetHandle(), "map-event",
                                   G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer self) -> gboolean {
                                       static_cast<TPlinderDragZoneForm*>(self)->OnFirstMap();
                                       return FALSE;
                                   }),
                                   this);
    Show();
    SetTopMost(this, true);
}

void TPlinderDragZoneForm::OnFirstMap()
{
    g_signal_handler_disconnect(GetHandle(), mapHandler_);
    mapHandler_ = 0;
    Safely([&] { controller_->FormShow(); });
    started_ = true;
}

// ---- ZoneWindow ---------------------------------------------------------------------------

ZoneSize TPlinderDragZoneForm::ScreenSize() const
{
    wxSize s = wxGetDisplaySize();
    return ZoneSize{s.x, s.y};
}

ZonePoint TPlinderDragZoneForm::Position() const
{
    // A move the window manager has not made yet counts as made: Exit saves the place the zone
    // is going to, and a drag by the picture adds up from there.
    return pendingMove_ ? pendingMove_->to : WindowPosition();
}

ZonePoint TPlinderDragZoneForm::WindowPosition() const
{
    // Where the window manager has the zone now: the toolkit's copy may still hold a place from
    // before the manager took the window, which Exit would save.
    GtkWidget* widget = GetHandle();
    if (widget && GTK_IS_WINDOW(widget) && gtk_widget_get_mapped(widget)) {
        int x = 0, y = 0;
        gtk_window_get_position(GTK_WINDOW(widget), &x, &y);
        return ZonePoint{x, y};
    }
    wxPoint p = GetPosition();
    return ZonePoint{p.x, p.y};
}

void TPlinderDragZoneForm::MoveTo(ZonePoint at)
{
    const ZonePoint from = WindowPosition();
    if (from == at)
        pendingMove_.reset();
    else
        pendingMove_ = PendingMove{at, from};
    Move(at.X, at.Y);
}

void TPlinderDragZoneForm::OnWindowMoved()
{
    // The manager's answer to the move: from now on the window's own place is the truth, also
    // where the manager put the zone somewhere else than asked.
    if (pendingMove_ && !(WindowPosition() == pendingMove_->from))
        pendingMove_.reset();
}

ZoneSize TPlinderDragZoneForm::ImageSize() const { return ZoneSize{kZoneImageWidth, kZoneImageHeight}; }

ZoneSize TPlinderDragZoneForm::PanelSize() const { return ZoneSize{kPanelWidth, panelHeight_}; }

void TPlinderDragZoneForm::SetPanelHeight(int height)
{
    panelHeight_ = std::max(height, 120);
    Panel2->SetSize(kPanelWidth, panelHeight_);
    if (Panel2->IsShown())
        SetClientSize(kPanelWidth, panelHeight_);
}

namespace {

// Drag sources keep the shape of the window under the pointer until they are told it changed;
// for a window without an explicit shape that is its size at the start of the drag. The zone
// grows during a drag, so it says so by giving itself explicit shapes of its new size: the
// input shape, which GTK's drag sources read, and the bounding shape, which Chromium's reads.
// Both are set on the X window itself: GDK leaves out a bounding shape that covers the whole
// window as it knows it, and the window manager has not resized it yet.
void AnnounceShape(wxWindow* window, wxSize size)
{
    GtkWidget* widget = window->GetHandle();
    GdkWindow* gdkWindow = widget ? gtk_widget_get_window(widget) : nullptr;
    if (!gdkWindow || !GDK_IS_X11_WINDOW(gdkWindow))
        return;
    XRectangle rect{0, 0, static_cast<unsigned short>(size.x), static_cast<unsigned short>(size.y)};
    Display* display = GDK_WINDOW_XDISPLAY(gdkWindow);
    for (int kind : {ShapeBounding, ShapeInput})
        XShapeCombineRectangles(display, GDK_WINDOW_XID(gdkWindow), kind, 0, 0, &rect, 1, ShapeSet, Unsorted);
}

}  // namespace

void TPlinderDragZoneForm::ShowPanel(bool expanded)
{
    if (expanded) {
        Image1->Hide();
        Panel2->SetSize(0, 0, kPanelWidth, panelHeight_);
        Panel2->Show();
        SetClientSize(kPanelWidth, panelHeight_);
        Panel2->Layout();
        Panel2->Raise();
    } else {
        Panel2->Hide();
        Image1->Move(0, 0);
        Image1->Show();
        SetClientSize(kZoneImageWidth, kZoneImageHeight);
    }
    AnnounceShape(this, GetSize());
}

bool TPlinderDragZoneForm::ZoneVisible() const { return IsShown(); }

void TPlinderDragZoneForm::SetZoneVisible(bool visible)
{
    if (visible == IsShown())
        return;
    Show(visible);
    if (visible)
        SetTopMost(this, true);
}

wxWindow* TPlinderDragZoneForm::SaveInformationBar() const { return DPanel1; }

std::string TPlinderDragZoneForm::StatusText() const { return std::string(StatusBar1->GetLabel().utf8_str()); }

void TPlinderDragZoneForm::SetStatusText(const std::string& text) { StatusBar1->SetLabel(wxString::FromUTF8(text)); }

void TPlinderDragZoneForm::SetHint(const std::string& text)
{
    wxString hint = wxString::FromUTF8(text);
    hint.Replace("\r", "\n");
    if (!imageHint_)
        imageHint_ = std::make_unique<PausedHint>(Image1);
    imageHint_->SetText(hint);
}

void TPlinderDragZoneForm::SetHintPause(int milliseconds)
{
    // The whole program's: every window's hints wait this long.
    SetApplicationHintPause(milliseconds);
}

ZoneTreeHit TPlinderDragZoneForm::HitTestZoneTree() const
{
    ZoneTreeHit hit;
    if (!Panel2->IsShown())
        return hit;
    const wxPoint screen(lastDragPoint_.X, lastDragPoint_.Y);
    const wxPoint inTree = TV2->ScreenToClient(screen);
    const wxSize treeSize = TV2->GetClientSize();
    if (inTree.x >= 0 && inTree.y >= 0 && inTree.x < treeSize.x && inTree.y < treeSize.y) {
        hit.inTree = true;
        int flags = 0;
        wxTreeItemId item = TV2->HitTest(inTree, flags);
        hit.hit = TreeHitFromWx(flags, false);
        hit.node = mirror_ ? mirror_->NodeOf(item) : nullptr;
    }
    const wxPoint inBar = DPanel1->ScreenToClient(screen);
    const wxSize barSize = DPanel1->GetClientSize();
    hit.inBar = inBar.x >= 0 && inBar.y >= 0 && inBar.x < barSize.x && inBar.y < barSize.y;
    return hit;
}

void TPlinderDragZoneForm::ExpandZoneTreeNode(TreeNode* node)
{
    if (wxTreeItemId item = mirror_->ItemOf(node); item.IsOk())
        TV2->Expand(item);
}

void TPlinderDragZoneForm::SetZoneDropHighlight(TreeNode* node)
{
    if (wxTreeItemId item = mirror_->ItemOf(node); item.IsOk()) {
        TV2->SetFocusedItem(item);
        TV2->EnsureVisible(item);
    }
}

void TPlinderDragZoneForm::SetHoverTimer(bool enabled, int intervalMs)
{
    if (enabled)
        TVTimer.Start(intervalMs, wxTIMER_CONTINUOUS);
    else
        TVTimer.Stop();
}

bool TPlinderDragZoneForm::ApplicationActive() const { return wxTheApp && wxTheApp->IsActive(); }

void TPlinderDragZoneForm::BringApplicationToFront()
{
    if (!IsShown())
        return;
    Raise();
}

void TPlinderDragZoneForm::SendCtrlC() { ql::SendCtrlC(); }

void TPlinderDragZoneForm::ShowSaveHomepage(const ClipHandOver& handOver)
{
    if (ZoneEditor* editor = controller_->Editor())
        addUrlPageForm_->ShowFor(handOver, editor->Session(), editor->Clips());
}

void TPlinderDragZoneForm::ShowOptions() { setForm_->ShowModal(); }

void TPlinderDragZoneForm::ShowAbout() { aboutForm_->ShowModal(); }

void TPlinderDragZoneForm::Terminate()
{
    terminating_ = true;
    TVTimer.Stop();
    Timer1->Stop();
    claimTimer_.Stop();
    handOver_.reset();
    if (TrayIcon1)
        TrayIcon1->SetActive(false);
    // A dialog left open would keep its own loop running. The code that showed one goes on once
    // it is closed and may show another (the box of a failed save was waiting in front of the
    // Save homepage dialog): those are closed too, until the main loop has ended.
    CloseWaitingDialogs();
    Bind(
        wxEVT_TIMER,
        [](wxTimerEvent&) {
            CloseWaitingDialogs();
            ExitMainLoopOnceOutermost();
        },
        exitCloser_.GetId());
    exitCloser_.Start(kExitCloserEveryMs);
    Hide();
    ExitMainLoopOnceOutermost();
}

}  // namespace ql
