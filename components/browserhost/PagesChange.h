#pragma once
// How the active tab changes at the user's request: the control first asks whether the change
// to that very tab is allowed, then runs the general change check, and only when both agree
// switches and reports the change. Changes made by code skip all of this.
#include <functional>

namespace ql {

struct TabChangeSteps {
    std::function<bool(int tab)> canChangeToTab;  // the veto told the target tab
    std::function<bool()> canChange;              // the general "may the page change" check
    std::function<void(int tab)> activate;
    std::function<void()> changed;
};

// Runs the chain for a change from `current` to `target` (tab indices). Returns true when
// the tab changed. No change is asked for when the target is the current tab or no tab.
bool RequestTabChange(int current, int target, int tabCount, const TabChangeSteps& steps);

enum class TabKey {
    Next,          // right or down arrow: stops at the last tab
    Previous,      // left or up arrow: stops at the first tab
    NextWrap,      // Ctrl+Tab, Ctrl+Page Down
    PreviousWrap,  // Ctrl+Shift+Tab, Ctrl+Page Up
};

// The tab a navigation key leads to from `current`, or -1 when there is nowhere to go.
// With no current tab, forward keys go to the first tab and backward keys to the last.
int TabForKey(TabKey key, int current, int tabCount);

}  // namespace ql
