#pragma once
// The drop zone's behaviour: its first show, expanding and moving, the hover timer, the tray
// menu's commands, the exit sequence, drag targeting and drops, the clip hand-over and the
// deferred actions. The form turns toolkit events into these calls.
#include "app/collection/CollectionTree.h"
#include "app/editor/session/EditorPorts.h"
#include "app/handover/HandOver.h"
#include "app/zone/ActionScheduler.h"
#include "app/zone/ZoneEditor.h"
#include "app/zone/ZoneWindow.h"
#include "foundation/VekBaseClass.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ql {

class Launcher;
struct TSettings;

inline constexpr int kHoverTimerMs = 700;
inline constexpr int kStartupHideTag = 1000;
inline constexpr int kHintPauseMs = 1000;
inline constexpr char kZoneHint[] = "Hint: save information by dragging it\rfrom your browser to here.";
inline constexpr char kEditorUnavailable[] = "The editor window could not be opened.";

struct ZoneControllerDeps {
    ZoneControllerDeps(TSettings& s, ZoneWindow& w, EditorDialogs& d, Launcher& l, ActionTimer& t)
        : settings(s), window(w), dialogs(d), launcher(l), actionTimer(t)
    {
    }
    TSettings& settings;
    ZoneWindow& window;
    EditorDialogs& dialogs;
    Launcher& launcher;
    ActionTimer& actionTimer;
    ZoneEditorFactory editorFactory;
    // How the zone's window runs its menu commands; handed to the editor it makes.
    ZoneCommandRunner runCommand;
    std::vector<std::string> args;  // after the program path
    bool trayAvailable = true;
    // Writes the settings file at exit; false when it failed.
    std::function<bool()> saveSettings;
    // The program's folder, trailing '/' ("help.chm" lies there).
    std::string appDir;
};

class ZoneController {
public:
    explicit ZoneController(ZoneControllerDeps deps);

    // The editor, made when needed; nullptr when it cannot be made (the user is told once).
    ZoneEditor* EnsureEditorForm();
    ZoneEditor* Editor() const { return editor_.get(); }
    // The zone's visibility from `showDragForm` (kept visible where no notification area exists).
    void ApplyZoneVisibility();
    CollectionTree& ZoneTree() { return zoneTree_; }

    // The window.
    void FormShow();
    void ExpandZone(bool expand);
    bool Expanded() const { return expanded_; }
    void PlaceZone();
    void TVTimerTimer();
    void Image1MouseDown(ZonePoint local, ZonePoint screen);
    void Image1MouseMove(ZonePoint local);
    void Image1MouseUp(bool leftButton, bool doubleClick, ZonePoint screen);
    void Image1DblClick();
    void ApplicationDeactivate();
    void ApplicationActivate();
    // Whether the zone is to be raised into the topmost band again now.
    bool WantsTopMost() const { return !exiting_ && window_.ZoneVisible(); }

    // The tray menu.
    void HideDrogZone1Click();
    void AddClipboardContents1Click();
    void Add1Click();
    void CopyClipboardContents1Click();
    void Options1Click();
    void About1Click();
    void Help1Click();
    // Runs every save step even when one fails, then ends the program. The failures, as a text
    // for the user ("" when all went well); the menu shows it, a signal prints it. An exit from
    // outside (a signal, the end of the session) has nobody to answer a box: the editor's boxes
    // stop waiting first.
    enum class ExitBy { User, Outside };
    std::string Exit1Click(ExitBy by = ExitBy::User);
    bool Exiting() const { return exiting_; }

    // Drags and drops.
    void DragOver();
    void DragLeave();
    void DropHTML(const std::string& url, const StringList& htmlLines, const std::string& selText);
    void DropText(const std::string& text);
    void DropURL(const std::string& url, const std::string& urlScript);
    bool DropAllowed() const { return dropAllowed_; }

    // The clip hand-over message: its text up to the first NUL. The result is the reply: Taken,
    // or NoClipFile when the message names no readable clip file (nothing is shown then).
    std::int64_t HandOver(const std::string& text);
    // Hand-overs taken and not yet shown in the dialog.
    const std::deque<ClipHandOver>& PendingHandOvers() const { return pending_; }

    void ScheduleAction(ZoneAction action, int intervalMs, int ticks);
    void Timer1Timer();
    ActionScheduler& Scheduler() { return scheduler_; }

private:
    bool TakeHandOver(ClipHandOver h);  // false: no readable clip file
    void ShowSaveHomepage();
    void CopyEditorTreeToZone(ZoneEditor& editor);
    void EndDrag();  // a leave or a drop: the drag is no longer over the zone
    TreeNode* HoverNode() const { return zoneTree_.Find(hoverSerial_); }
    // EnsureEditorForm for a command of the user's: tells the user when there is no editor.
    ZoneEditor* RequireEditor();

    TSettings& settings_;
    ZoneWindow& window_;
    EditorDialogs& dialogs_;
    Launcher& launcher_;
    ActionScheduler scheduler_;
    ZoneEditorFactory editorFactory_;
    ZoneCommandRunner runCommand_;
    std::vector<std::string> args_;
    bool trayAvailable_;
    std::function<bool()> saveSettings_;
    std::string appDir_;

    std::unique_ptr<ZoneEditor> editor_;
    bool editorFailed_ = false;
    CollectionTree zoneTree_;
    bool expanded_ = false;
    bool dropAllowed_ = false;
    bool dragOverZone_ = false;      // from a drag-over to the leave or the drop
    std::uint64_t hoverSerial_ = 0;  // HoverNode, by serial: the zone tree is rebuilt often
    int hoverTag_ = 0;               // TVTimer.Tag
    ZoneMover mover_;
    std::deque<ClipHandOver> pending_;
    bool lastPendingReplaceable_ = false;
    bool dialogOpen_ = false;
    bool exiting_ = false;
    bool placed_ = false;  // the zone has been put at its stored place
};

}  // namespace ql
