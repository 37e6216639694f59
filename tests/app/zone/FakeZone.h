#pragma once
// Fakes around the drop zone's controller: its window, a timer driven by a fake clock, and an
// editor that holds a real page session over a temporary collection.
#include "app/editor/session/ClipIntake.h"
#include "app/editor/session/PageSession.h"
#include "app/zone/ActionScheduler.h"
#include "app/zone/ZoneEditor.h"
#include "app/zone/ZoneWindow.h"

#include <functional>
#include <string>
#include <vector>

namespace ql::test {

// A periodic timer on a fake clock: Advance(ms) fires every period that completes.
struct FakeActionTimer : ActionTimer {
    bool running = false;
    int interval = 0;
    int elapsed = 0;  // since the period started
    int starts = 0;
    std::function<void()> onTick;

    void Start(int intervalMs) override
    {
        running = true;
        interval = intervalMs;
        elapsed = 0;
        ++starts;
    }
    void Stop() override { running = false; }
    bool Running() const override { return running; }
    void Advance(int ms)
    {
        for (int i = 0; i < ms && running; ++i) {
            if (++elapsed >= interval) {
                elapsed = 0;
                if (onTick)
                    onTick();
            }
        }
    }
};

struct FakeZoneWindow : ZoneWindow {
    ZoneSize screen{1600, 1200};
    ZonePoint position;
    ZoneSize image{38, 34};
    ZoneSize panel{213, 264};
    bool expanded = false;
    bool visible = true;
    std::string status, hint;
    int hintPause = 0;
    ZoneTreeHit hit;
    std::vector<TreeNode*> expandedNodes;
    TreeNode* highlight = nullptr;
    bool hoverTimer = false;
    int hoverInterval = 0;
    bool appActive = false;
    int ctrlC = 0;
    std::vector<std::string> log;
    std::function<void(const ClipHandOver&)> onSaveHomepage;
    bool terminated = false;

    ZoneSize ScreenSize() const override { return screen; }
    ZonePoint Position() const override { return position; }
    void MoveTo(ZonePoint at) override { position = at; }
    ZoneSize ImageSize() const override { return image; }
    ZoneSize PanelSize() const override { return panel; }
    void SetPanelHeight(int h) override { panel.Height = h; }
    void ShowPanel(bool e) override { expanded = e; }
    bool ZoneVisible() const override { return visible; }
    void SetZoneVisible(bool v) override { visible = v; }
    void SetStatusText(const std::string& t) override { status = t; }
    void SetHint(const std::string& t) override { hint = t; }
    void SetHintPause(int ms) override { hintPause = ms; }
    ZoneTreeHit HitTestZoneTree() const override { return hit; }
    void ExpandZoneTreeNode(TreeNode* n) override { expandedNodes.push_back(n); }
    void SetZoneDropHighlight(TreeNode* n) override { highlight = n; }
    void SetHoverTimer(bool on, int ms) override
    {
        hoverTimer = on;
        hoverInterval = ms;
    }
    bool ApplicationActive() const override { return appActive; }
    void BringApplicationToFront() override { log.push_back("front"); }
    void SendCtrlC() override { ++ctrlC; }
    void ShowSaveHomepage(const ClipHandOver& h) override
    {
        log.push_back("save homepage " + h.File + "|" + h.Url + "|" + h.Title + "|" + h.Text);
        if (onSaveHomepage)
            onSaveHomepage(h);
    }
    void ShowOptions() override { log.push_back("options"); }
    void ShowAbout() override { log.push_back("about"); }
    void Terminate() override { terminated = true; }
};

// An editor over a real session (owned by the test).
struct FakeZoneEditor : ZoneEditor {
    PageSession& session;
    ClipIntake& clips;
    PageViews& views;
    bool shown = false, minimized = false, active = false;
    bool placementSaves = true;
    int formShows = 0, fronts = 0;
    std::function<void(ZoneAction, int, int)> sink;

    FakeZoneEditor(PageSession& s, ClipIntake& c, PageViews& v) : session(s), clips(c), views(v) {}
    PageSession& Session() override { return session; }
    ClipIntake& Clips() override { return clips; }
    int ActiveView() const override { return views.ActiveView(); }
    void SwitchView(int view, bool load) override { views.SwitchView(view, load); }
    void PasteIntoHtmlView() override { views.HtmlPaste(); }
    void FormShow() override
    {
        ++formShows;
        session.LoadTreeOnce();
    }
    bool IsShown() const override { return shown; }
    void SetShown(bool s) override { shown = s; }
    bool IsMinimized() const override { return minimized; }
    void Restore() override { minimized = false; }
    void BringToFront() override { ++fronts; }
    bool IsActiveWindow() const override { return active; }
    void SelectNode(TreeNode* n) override
    {
        if (session.TVChanging(n))
            session.EditorTree().Select(n);
    }
    std::vector<std::string> commands;
    void AddNode() override { commands.push_back("add node"); }
    void AddClipboardContents() override { commands.push_back("add clipboard contents"); }
    void RunClipboardPaste() override { session.StartClipboardPaste(); }
    bool unattended = false;
    bool savedUnattended = false;  // the placement was saved while no box could wait
    bool SavePlacement() override
    {
        savedUnattended = unattended;
        return placementSaves;
    }
    void SetUnattended() override { unattended = true; }
    void SetActionSink(std::function<void(ZoneAction, int, int)> s) override { sink = std::move(s); }
};

}  // namespace ql::test
