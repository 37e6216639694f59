#pragma once
// The drop zone: a borderless, always-on-top window without a taskbar entry that shows the
// zone picture, opens into the collection tree while a drag passes over it, owns the
// notification-area icon and its menu, and receives the clip hand-over.
#include "app/editor/EditorDialogs_wx.h"
#include "app/zone/ZoneController.h"
#include "app/zone/ZoneMenu.h"
#include "components/browserhost/WebHostDde.h"
#include "foundation/TrayIcon_wx.h"
#include "foundation/VekOLEDrop.h"
#include "platform/core/CopyDataTransport.h"
#include "platform/core/Launcher.h"
#include "platform/gui/PausedHint_wx.h"

#include <wx/frame.h>
#include <wx/timer.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class wxMenu;
class wxPanel;
class wxStaticText;
class wxTreeCtrl;
class wxTreeEvent;

namespace ql {

class TAboutForm;
class TAddUrlPageForm;
class TSetForm;
class TreeMirror;

struct ZoneFormOptions {
    std::vector<std::string> args;  // after the program path
    ZoneEditorFactory editorFactory;
    std::function<bool()> saveSettings;
    // Takes the single-instance lock again where its file was removed: "" when held, else why not.
    std::function<std::string()> renewLock;
};

class TPlinderDragZoneForm : public wxFrame, public ZoneWindow {
public:
    TPlinderDragZoneForm(TSettings& settings, ZoneFormOptions options);
    ~TPlinderDragZoneForm() override;

    ZoneController& Controller() { return *controller_; }
    TAddUrlPageForm* AddUrlPageForm() const { return addUrlPageForm_; }
    TSetForm* SetForm() const { return setForm_; }
    TAboutForm* AboutForm() const { return aboutForm_; }
    wxMenu* Menu() const { return TrayIconPopup.get(); }
    wxTreeCtrl* ZoneTreeCtrl() const { return TV2; }
    wxWindow* SaveInformationBar() const;
    std::string StatusText() const;
    // Whether the hand-over receiver listens (and why not).
    bool HandOverListening() const;
    std::string HandOverError() const;
    // Shows the window, and runs FormShow (which places it) once the window is mapped.
    void Start();
    // FormShow has run.
    bool Started() const { return started_; }
    // The exit sequence started from outside the menu (a signal, the end of the session): no box
    // waits for an answer, failures go to the log, and the program ends within a few seconds
    // whatever happens.
    void ExitFromOutside(const std::string& why);
    // The tray menu's command, as the menu runs it.
    void RunCommand(ZoneCommand command);

    // ZoneWindow
    ZoneSize ScreenSize() const override;
    ZonePoint Position() const override;
    void MoveTo(ZonePoint at) override;
    ZoneSize ImageSize() const override;
    ZoneSize PanelSize() const override;
    void SetPanelHeight(int height) override;
    void ShowPanel(bool expanded) override;
    bool ZoneVisible() const override;
    void SetZoneVisible(bool visible) override;
    void SetStatusText(const std::string& text) override;
    void SetHint(const std::string& text) override;
    void SetHintPause(int milliseconds) override;
    bool HintShowing() const { return imageHint_ && imageHint_->Showing(); }
    ZoneTreeHit HitTestZoneTree() const override;
    void ExpandZoneTreeNode(TreeNode* node) override;
    void SetZoneDropHighlight(TreeNode* node) override;
    void SetHoverTimer(bool enabled, int intervalMs) override;
    bool ApplicationActive() const override;
    void BringApplicationToFront() override;
    void SendCtrlC() override;
    void ShowSaveHomepage(const ClipHandOver& handOver) override;
    void ShowOptions() override;
    void ShowAbout() override;
    void Terminate() override;

private:
    class ActionTimerImpl;
    class Picture;

    void OnActivateApp(wxActivateEvent& e);
    void OnFirstMap();
    void OnWindowMoved();
    ZonePoint WindowPosition() const;
    void BuildControls();
    void BuildMenu();
    void BindDropTarget();
    void StartHandOverServer();
    void KeepInstanceClaim();
    template <class F>
    void Safely(F&& handler);

    TSettings& settings_;
    wxPanel* Panel1 = nullptr;
    Picture* Image1 = nullptr;
    wxPanel* Panel2 = nullptr;
    wxPanel* DPanel1 = nullptr;
    wxTreeCtrl* TV2 = nullptr;
    wxStaticText* StatusBar1 = nullptr;
    int panelHeight_ = 264;
    wxTimer TVTimer;
    wxTimer leaveTimer_;
    wxTimer exitCloser_;  // from Terminate on: closes what waits for an answer until the loop ends
    wxTimer claimTimer_;  // KeepInstanceClaim
    std::function<std::string()> renewLock_;
    bool claimLost_ = false;  // the lock could not be renewed, and that was logged
    bool dragOverSinceLeave_ = false;
    std::unique_ptr<ActionTimerImpl> Timer1;
    TVekOLEDrop VekOLEDrop1;
    std::unique_ptr<wxMenu> TrayIconPopup;
    std::unique_ptr<WxTrayMenu> trayMenu_;
    std::unique_ptr<TTrayIcon> TrayIcon1;
    WxEditorDialogs dialogs_;  // boxes above the zone
    SystemShellLauncher launcher_;
    std::unique_ptr<ZoneController> controller_;
    std::unique_ptr<TreeMirror> mirror_;
    std::unique_ptr<PausedHint> imageHint_;  // the picture's hint
    std::unique_ptr<CopyDataServer> handOver_;
    TSetForm* setForm_ = nullptr;
    TAboutForm* aboutForm_ = nullptr;
    TAddUrlPageForm* addUrlPageForm_ = nullptr;
    ZonePoint lastDragPoint_;
    wxLongLong lastTopMost_ = 0;
    bool terminating_ = false;
    unsigned long mapHandler_ = 0;
    bool started_ = false;
    // A move asked of the window manager and not answered yet: where to, and from where.
    struct PendingMove {
        ZonePoint to;
        ZonePoint from;
    };
    std::optional<PendingMove> pendingMove_;
};

}  // namespace ql
