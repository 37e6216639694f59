#pragma once
// The drop zone's window as its controller sees it: the picture and the tree panel, its
// position, its timers and the dialogs it opens. The wx form implements it; tests use a fake.
#include "app/handover/HandOver.h"
#include "app/zone/ZoneGeometry.h"

#include <string>

namespace ql {

class TreeNode;

// Where the cursor is, for the zone tree at this moment.
struct ZoneTreeHit {
    TreeNode* node = nullptr;  // the zone tree's node under the cursor
    bool inTree = false;       // inside the tree's client area
    unsigned hit = 0;          // TreeHit flags of the hit test
    bool inBar = false;        // inside the " Save information" bar
};

class ZoneWindow {
public:
    virtual ~ZoneWindow() = default;

    virtual ZoneSize ScreenSize() const = 0;
    virtual ZonePoint Position() const = 0;
    virtual void MoveTo(ZonePoint at) = 0;
    virtual ZoneSize ImageSize() const = 0;
    virtual ZoneSize PanelSize() const = 0;
    virtual void SetPanelHeight(int height) = 0;
    // Collapsed: the picture at (0, 0) and the window its size. Expanded: the tree panel.
    virtual void ShowPanel(bool expanded) = 0;
    virtual bool ZoneVisible() const = 0;
    virtual void SetZoneVisible(bool visible) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetHint(const std::string& text) = 0;
    // How long the pointer rests on a control before its hint shows (the application's).
    virtual void SetHintPause(int milliseconds) = 0;

    virtual ZoneTreeHit HitTestZoneTree() const = 0;
    virtual void ExpandZoneTreeNode(TreeNode* node) = 0;
    virtual void SetZoneDropHighlight(TreeNode* node) = 0;

    // The hover timer (TVTimer).
    virtual void SetHoverTimer(bool enabled, int intervalMs) = 0;

    virtual bool ApplicationActive() const = 0;
    virtual void BringApplicationToFront() = 0;
    virtual void SendCtrlC() = 0;

    // Modal dialogs; each returns when it has closed.
    virtual void ShowSaveHomepage(const ClipHandOver& handOver) = 0;
    virtual void ShowOptions() = 0;
    virtual void ShowAbout() = 0;

    // Ends the event loop; the program then finishes.
    virtual void Terminate() = 0;
};

}  // namespace ql
