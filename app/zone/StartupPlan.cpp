#include "app/zone/StartupPlan.h"

namespace ql {

StartupPlan PlanStartup(const std::vector<std::string>& args, bool showMainForm,
                        const std::function<bool(const std::string&)>& fileExists)
{
    StartupPlan plan;
    const bool forceHide = !args.empty() && args[0] == kForceHide;
    if (showMainForm && !forceHide)
        plan.action = ZoneAction::ShowEditor;
    if (!args.empty() && !forceHide && fileExists(args[0])) {
        ClipHandOver h;
        h.File = args[0];
        h.Url = args.size() > 1 ? args[1] : std::string();
        h.Title = args.size() > 2 ? args[2] : std::string();
        plan.handOver = std::move(h);
        plan.action = ZoneAction::SaveHomepage;  // the dialog instead of the editor
    }
    return plan;
}

bool ZoneShouldBeVisible(bool showDragForm, bool trayAvailable) { return showDragForm || !trayAvailable; }

}  // namespace ql
