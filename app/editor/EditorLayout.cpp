#include "app/editor/EditorLayout.h"

#include "app/collection/PageId.h"
#include "foundation/VekCollectClass.h"
#include "platform/core/SafeFile.h"

#include <algorithm>
#include <filesystem>

namespace ql {

int ClampView(int view) { return (view < 0 || view > kViewCount - 1) ? 0 : view; }

int TreeWidthCycle::Click(int currentWidth)
{
    switch (state_) {
    case 0:
        remembered_ = currentWidth;
        state_ = 1;
        return 0;
    case 1:
        state_ = 2;
        return 2 * remembered_;
    default:
        state_ = 0;
        return remembered_;
    }
}

EditorWidths FitBars(int designedTree, int designedClient, const BarWidths& bars)
{
    EditorWidths w;
    w.tree = std::max(designedTree, bars.treeToolbar + bars.treeFrame);
    w.client = std::max(designedClient, w.tree + bars.sash + bars.viewBars);
    return w;
}

LayoutPlan PlanLayout(const TSettings& settings, bool folderView)
{
    return LayoutPlan{settings.ShowImageList && folderView, settings.ShowTree, settings.ShowToolbar};
}

std::string ImagesPanelFolder(const TSettings& settings, bool collectionMoved)
{
    if (IsValidPageId(settings.CurrentNodeId)) {
        std::string own = settings.CollectionDir + settings.CurrentNodeId + "/";
        if (DirectoryExists(own))
            return own;
    }
    if (collectionMoved)
        return settings.ImagesDir;
    std::error_code ec;
    std::filesystem::create_directories(settings.ImagesDir, ec);
    return settings.ImagesDir;
}

}  // namespace ql
