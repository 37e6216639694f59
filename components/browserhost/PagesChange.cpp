#include "components/browserhost/PagesChange.h"

namespace ql {

bool RequestTabChange(int current, int target, int tabCount, const TabChangeSteps& steps)
{
    if (target < 0 || target >= tabCount || target == current)
        return false;
    if (steps.canChangeToTab && !steps.canChangeToTab(target))
        return false;
    if (steps.canChange && !steps.canChange())
        return false;
    if (steps.activate)
        steps.activate(target);
    if (steps.changed)
        steps.changed();
    return true;
}

int TabForKey(TabKey key, int current, int tabCount)
{
    if (tabCount <= 0)
        return -1;
    const bool forward = key == TabKey::Next || key == TabKey::NextWrap;
    const bool wrap = key == TabKey::NextWrap || key == TabKey::PreviousWrap;
    if (current < 0 || current >= tabCount)
        return forward ? 0 : tabCount - 1;
    const int next = current + (forward ? 1 : -1);
    if (next >= 0 && next < tabCount)
        return next;
    if (!wrap)
        return -1;
    return forward ? 0 : tabCount - 1;
}

}  // namespace ql
