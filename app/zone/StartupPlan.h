#pragma once
// What the drop zone does at its first show, from the command line and the settings.
#include "app/editor/session/DeferredWork.h"
#include "app/handover/HandOver.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ql {

inline constexpr char kForceHide[] = "forcehide";  // exact case only

struct StartupPlan {
    ZoneAction action = ZoneAction::None;  // armed with kActionIntervalMs and one tick
    // Set when argument 1 names an existing file: the dialog's values (Text not read here).
    std::optional<ClipHandOver> handOver;
};

// `args` are the arguments after the program path.
StartupPlan PlanStartup(const std::vector<std::string>& args, bool showMainForm,
                        const std::function<bool(const std::string&)>& fileExists);

// The zone's visibility for the `showDragForm` setting. Without a notification area the zone is
// the only way to reach the running program, so it stays visible.
bool ZoneShouldBeVisible(bool showDragForm, bool trayAvailable);

}  // namespace ql
