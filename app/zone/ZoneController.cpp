#include "app/zone/ZoneController.h"

#include "app/collection/TreeText.h"
#include "app/editor/session/ClipIntake.h"
#include "app/editor/session/PageSession.h"
#include "app/zone/StartupPlan.h"
#include "app/zone/ZoneTargeting.h"
#include "foundation/VekCollectClass.h"
#include "platform/core/ErrorLog.h"
#include "platform/core/Launcher.h"
#include "platform/core/SafeFile.h"

#include <cstdio>

namespace ql {

namespace {

// Runs one step of a handler; a step that throws counts as failed.
template <class F>
bool Guarded(F&& step)
{
    return GuardHandler("drop zone", std::forward<F>(step));
}

// The clip file's text with CR LF line ends, or nothing when it is no readable file of a
// page's size.
std::optional<std::string> ReadClipText(const std::string& file)
{
    if (file.empty() || !FileExists(file))
        return std::nullopt;
    std::optional<std::string> bytes = ReadFileBytes(file, kMaxPageBytes);
    if (!bytes)
        return std::nullopt;
    return JoinLinesCrLf(SplitLines(*bytes));
}

}  // namespace

ZoneController::ZoneController(ZoneControllerDeps deps)
    : settings_(deps.settings),
      window_(deps.window),
      dialogs_(deps.dialogs),
      launcher_(deps.launcher),
      scheduler_(deps.actionTimer),
      editorFactory_(std::move(deps.editorFactory)),
      runCommand_(std::move(deps.runCommand)),
      args_(std::move(deps.args)),
      trayAvailable_(deps.trayAvailable),
      saveSettings_(std::move(deps.saveSettings)),
      appDir_(std::move(deps.appDir))
{
}

ZoneEditor* ZoneController::EnsureEditorForm()
{
    if (editor_)
        return editor_.get();
    if (editorFailed_)
        return nullptr;
    if (editorFactory_ && !GuardHandler("editor window", [&] { editor_ = editorFactory_(runCommand_); }))
        editor_.reset();
    if (!editor_) {
        editorFailed_ = true;
        LogError("", kEditorUnavailable);
        return nullptr;
    }
    editor_->SetActionSink(
        [this](ZoneAction action, int intervalMs, int ticks) { ScheduleAction(action, intervalMs, ticks); });
    return editor_.get();
}

ZoneEditor* ZoneController::RequireEditor()
{
    ZoneEditor* editor = EnsureEditorForm();
    if (!editor)
        dialogs_.ShowMessage(kEditorUnavailable);
    return editor;
}

void ZoneController::ApplyZoneVisibility()
{
    window_.SetZoneVisible(ZoneShouldBeVisible(settings_.showDragForm, trayAvailable_));
}

// ---- the window --------------------------------------------------------------------------

void ZoneController::ExpandZone(bool expand)
{
    zoneTree_.Clear();
    expanded_ = expand;
    if (!expand) {
        window_.ShowPanel(false);
        // The start-up hide runs on the same timer and must not be lost to an early collapse.
        if (hoverTag_ != kStartupHideTag)
            window_.SetHoverTimer(false, kHoverTimerMs);
        hoverSerial_ = 0;
        return;
    }
    ZonePoint at = KeepExpandedZoneOnScreen(window_.Position(), window_.PanelSize(), window_.ScreenSize());
    if (!(at == window_.Position()))
        window_.MoveTo(at);
    window_.ShowPanel(true);
    window_.SetHoverTimer(true, kHoverTimerMs);
}

void ZoneController::PlaceZone()
{
    ExpandZone(false);
    window_.MoveTo(
        ql::PlaceZone(settings_.DragZoneLeft, settings_.DragZoneTop, window_.ImageSize(), window_.ScreenSize()));
    placed_ = true;
}

void ZoneController::FormShow()
{
    PlaceZone();
    window_.SetHintPause(kHintPauseMs);
    // Only a clip file that can be read is taken: without one no node would be worth making.
    StartupPlan plan = PlanStartup(args_, settings_.ShowMainForm,
                                   [](const std::string& f) { return ReadClipText(f).has_value(); });
    if (plan.handOver) {
        if (ZoneEditor* editor = EnsureEditorForm())
            editor->FormShow();
        if (!TakeHandOver(*plan.handOver))
            plan.action = ZoneAction::None;  // gone since the plan was made
    }
    if (plan.action != ZoneAction::None)
        ScheduleAction(plan.action, kActionIntervalMs, 1);
    window_.SetPanelHeight(window_.ScreenSize().Height * 3 / 5);
    window_.SetHint(kZoneHint);
    if (!settings_.showDragForm) {
        hoverTag_ = kStartupHideTag;
        window_.SetHoverTimer(true, 1);
    }
}

void ZoneController::TVTimerTimer()
{
    if (hoverTag_ == kStartupHideTag) {
        hoverTag_ = 0;
        ApplyZoneVisibility();
        window_.SetHoverTimer(false, kHoverTimerMs);
    }
    ZoneTreeHit hit = window_.HitTestZoneTree();
    if (hit.node && hit.node == HoverNode())
        ++hoverTag_;
    else
        hoverTag_ = 0;
    if (hoverTag_ >= 2) {
        hoverTag_ = 0;
        window_.ExpandZoneTreeNode(hit.node);
    }
}

void ZoneController::Image1MouseDown(ZonePoint local, ZonePoint screen) { mover_.Down(local, screen); }

void ZoneController::Image1MouseMove(ZonePoint local)
{
    if (auto by = mover_.Move(local)) {
        if (by->X == 0 && by->Y == 0)
            return;
        ZonePoint at = window_.Position();
        window_.MoveTo(ZonePoint{at.X + by->X, at.Y + by->Y});
    }
}

void ZoneController::Image1MouseUp(bool leftButton, bool doubleClick, ZonePoint screen)
{
    if (mover_.Up(leftButton, doubleClick, screen))
        Image1DblClick();
}

void ZoneController::Image1DblClick()
{
    ZoneEditor* editor = RequireEditor();
    if (!editor)
        return;
    if (editor->IsMinimized())
        editor->Restore();
    else
        editor->SetShown(!editor->IsShown());
}

void ZoneController::ApplicationDeactivate()
{
    // A drag over the zone keeps it open: where the keyboard focus follows the pointer (an X
    // display without a window manager) the drag itself deactivates the program on its way.
    if (!dragOverZone_)
        ExpandZone(false);
    if (settings_.MonitorFileChange && editor_)
        settings_.CurrentPageTime = FileExists(settings_.CurrentPageFile) ? GetFileDateTime(settings_.CurrentPageFile)
                                                                          : 0;
}

void ZoneController::ApplicationActivate()
{
    if (!editor_ || !settings_.MonitorFileChange || settings_.CurrentPageTime == 0 ||
        !FileExists(settings_.CurrentPageFile) ||
        GetFileDateTime(settings_.CurrentPageFile) == settings_.CurrentPageTime)
        return;
    TreeNode* selected = editor_->Tree().Selected();
    std::string text = (selected ? selected->Text() : std::string()) + " has been changed by another application." +
                       "\r\n\r\nDo you want to reload it?";
    if (dialogs_.AskYesNo("Reload", text))
        editor_->Session().ShowCurrentPage("");
}

// ---- the tray menu -----------------------------------------------------------------------

void ZoneController::HideDrogZone1Click()
{
    settings_.showDragForm = !settings_.showDragForm;
    ApplyZoneVisibility();
}

void ZoneController::AddClipboardContents1Click()
{
    ZoneEditor* editor = RequireEditor();
    if (!editor)
        return;
    editor->Session().ClipSourceUrl().clear();
    editor->SetShown(true);
    editor->AddClipboardContents();
    editor->BringToFront();
}

void ZoneController::Add1Click()
{
    ZoneEditor* editor = RequireEditor();
    if (!editor)
        return;
    editor->SetShown(true);
    editor->AddNode();
    editor->SwitchView(kViewHtml, true);
    editor->BringToFront();
}

void ZoneController::CopyClipboardContents1Click()
{
    ZoneEditor* editor = RequireEditor();
    if (!editor)
        return;
    editor->Session().ClipSourceUrl().clear();
    editor->SetShown(true);
    if (editor->ActiveView() == kViewHtml) {
        editor->PasteIntoHtmlView();
    } else {
        editor->Session().PasteIntoNextDocument();
        editor->SwitchView(kViewHtml, true);
    }
    editor->BringToFront();
}

void ZoneController::Options1Click() { window_.ShowOptions(); }
void ZoneController::About1Click() { window_.ShowAbout(); }
void ZoneController::Help1Click() { launcher_.OpenWithDesktop(appDir_ + "help.chm"); }

std::string ZoneController::Exit1Click(ExitBy by)
{
    if (exiting_)
        return {};
    exiting_ = true;
    std::vector<std::string> failed;
    if (editor_) {
        if (by == ExitBy::Outside)
            editor_->SetUnattended();
        if (!Guarded([&] { return editor_->SavePlacement(); }))
            failed.push_back("the editor window's placement");
        // Without a selected node the state has no node to remember, which is no failure;
        // failed writes have been reported by the session in any case.
        if (!Guarded([&] { return editor_->Session().SaveEditorState() || !editor_->Tree().Selected(); }))
            failed.push_back("the open page and the collection tree");
    }
    // Until the zone has been put at its stored place, the window is wherever the window manager
    // first showed it; that place is no choice of the user's and must not replace the stored one.
    if (placed_) {
        ZonePoint at = window_.Position();
        settings_.DragZoneTop = at.Y;
        settings_.DragZoneLeft = at.X;
    }
    if (saveSettings_ && !Guarded([&] { return saveSettings_(); }))
        failed.push_back("the settings (gleanhoard.ini)");
    window_.Terminate();
    if (failed.empty())
        return {};
    std::string text = "Quillory could not save ";
    for (std::size_t i = 0; i < failed.size(); ++i)
        text += (i ? (i + 1 == failed.size() ? " and " : ", ") : "") + failed[i];
    return text + ".";
}

// ---- drags and drops ---------------------------------------------------------------------

void ZoneController::CopyEditorTreeToZone(ZoneEditor& editor)
{
    editor.Session().LoadTreeOnce();
    CollectionTree& tree = editor.Tree();
    if (!tree.Empty() && !tree.Selected())
        editor.SelectNode(tree.NodeAt(0));
    // The node at the selected node's absolute index is its copy.
    if (TreeNode* mirror = CopyTreeCaptions(tree, zoneTree_, tree.Selected())) {
        zoneTree_.Select(mirror);
        window_.SetZoneDropHighlight(mirror);
    }
}

void ZoneController::DragOver()
{
    dragOverZone_ = true;
    if (window_.ApplicationActive() && editor_ && editor_->IsActiveWindow()) {
        dropAllowed_ = false;  // the drag comes from our own editor
        return;
    }
    dropAllowed_ = true;
    if (zoneTree_.Empty()) {
        if (ZoneEditor* editor = EnsureEditorForm())
            CopyEditorTreeToZone(*editor);
    }
    if (!expanded_)
        ExpandZone(true);  // empties the zone tree; the next move copies it again

    ZoneTreeHit hit = window_.HitTestZoneTree();
    hoverSerial_ = hit.node ? hit.node->Serial() : 0;
    if (hit.node)
        zoneTree_.Select(hit.node);
    if (!editor_)
        return;
    // Every move says what a drop there does, so the status never tells of an earlier place.
    TreeNode* selected = zoneTree_.Selected();
    const ZoneAim aim = AimZoneDrop(hit, selected, editor_->Tree().Empty());
    ClipIntake& clips = editor_->Clips();
    clips.ClipMode = aim.clipMode;
    editor_->Session().AppSettings().DragCreateNew = aim.createNew;
    window_.SetStatusText(aim.status);
    clips.SetClipTarget(selected ? editor_->Tree().NodeAt(static_cast<std::size_t>(zoneTree_.AbsoluteIndex(selected)))
                                 : nullptr);
}

void ZoneController::EndDrag()
{
    dragOverZone_ = false;
    ExpandZone(false);
}

void ZoneController::DragLeave() { EndDrag(); }

void ZoneController::DropHTML(const std::string& url, const StringList& htmlLines, const std::string& selText)
{
    EndDrag();
    if (dropAllowed_ && editor_)
        editor_->Clips().DropHTMLClip(url, htmlLines, selText);
}

void ZoneController::DropText(const std::string& text)
{
    EndDrag();
    if (dropAllowed_ && editor_)
        editor_->Clips().AddTextClip(text);
}

void ZoneController::DropURL(const std::string& url, const std::string& urlScript)
{
    EndDrag();
    if (dropAllowed_ && editor_)
        editor_->Clips().AddUrlClip(url, urlScript);
}

// ---- the hand-over and the deferred actions ----------------------------------------------

bool ZoneController::TakeHandOver(ClipHandOver h)
{
    // The clip file is read now: a later capture may rewrite the same file while this one
    // waits for its dialog. Without one there is no clip, and no node is made for it.
    std::optional<std::string> text = ReadClipText(h.File);
    if (!text) {
        LogError("hand-over", "refused: \"" + h.File + "\" is no readable clip file");
        return false;
    }
    h.Text = std::move(*text);
    if (!dialogOpen_ && lastPendingReplaceable_ && !pending_.empty()) {
        pending_.back() = std::move(h);  // not shown yet: the newer one wins
        return true;
    }
    pending_.push_back(std::move(h));
    lastPendingReplaceable_ = !dialogOpen_;
    return true;
}

std::int64_t ZoneController::HandOver(const std::string& text)
{
    ClipHandOver h = ParseHandOverText(text);
    if (!TakeHandOver(std::move(h)))
        return static_cast<std::int64_t>(HandOverReply::NoClipFile);
    if (ZoneEditor* editor = EnsureEditorForm())
        Guarded([&] {
            editor->FormShow();
            return true;
        });
    ScheduleAction(ZoneAction::SaveHomepage, kActionIntervalMs, 1);
    return static_cast<std::int64_t>(HandOverReply::Taken);
}

void ZoneController::ScheduleAction(ZoneAction action, int intervalMs, int ticks)
{
    if (exiting_)
        return;
    scheduler_.ScheduleAction(action, intervalMs, ticks);
}

void ZoneController::ShowSaveHomepage()
{
    if (dialogOpen_ || pending_.empty() || !RequireEditor())
        return;
    ClipHandOver h = std::move(pending_.front());
    pending_.pop_front();
    lastPendingReplaceable_ = false;
    dialogOpen_ = true;
    struct Closed {
        ZoneController& zone;
        ~Closed()
        {
            zone.dialogOpen_ = false;
            // Hand-overs that came while the dialog was open get theirs now, one after another.
            if (!zone.pending_.empty())
                zone.ScheduleAction(ZoneAction::SaveHomepage, kActionIntervalMs, 1);
        }
    } closed{*this};
    window_.BringApplicationToFront();
    window_.ShowSaveHomepage(h);
}

void ZoneController::Timer1Timer()
{
    EnsureEditorForm();
    switch (scheduler_.Tick()) {
    case ZoneAction::ShowEditor:
        if (editor_)
            editor_->SetShown(true);
        break;
    case ZoneAction::CopyAndPaste:
        Guarded([&] {
            window_.SendCtrlC();
            if (editor_)
                editor_->RunClipboardPaste();
            return true;
        });
        break;
    case ZoneAction::SaveHomepage:
        Guarded([&] {
            ShowSaveHomepage();
            return true;
        });
        break;
    case ZoneAction::CopyOnly:
        window_.SendCtrlC();
        break;
    case ZoneAction::None:
        break;
    }
}

}  // namespace ql
