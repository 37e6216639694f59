#include "app/editor/FormCommandTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace ql {
namespace {

using C = FormCommand;

constexpr CommandPlace kPlaces[] = {
    CommandPlace::NodesMenu, CommandPlace::HtmlMenu,      CommandPlace::ToolsMenu,
    CommandPlace::HelpMenu,  CommandPlace::TreePopup,     CommandPlace::TreeToolbar,
    CommandPlace::DocBar,    CommandPlace::BrowseToolbar, CommandPlace::TextToolbar,
};

TEST(FormCommandTable, EveryCommandHasOneEntryWithItsCaptionAndHandlerAndAPlace)
{
    std::set<C> placed;
    for (CommandPlace place : kPlaces)
        for (C id : CommandsOf(place))
            placed.insert(id);
    std::set<C> ids;
    for (const FormCommandEntry& entry : FormCommands()) {
        const int number = static_cast<int>(entry.id);
        EXPECT_TRUE(ids.insert(entry.id).second) << "two entries for " << number;
        EXPECT_EQ(FormCommandOf(entry.id), &entry) << number;
        EXPECT_TRUE(entry.caption && *entry.caption) << number;
        EXPECT_TRUE(entry.handler) << number;
        EXPECT_EQ(entry.kind == CommandKind::DropDown, !entry.items.empty() || entry.opening) << number;
        for (C item : entry.items) {
            EXPECT_NE(FormCommandOf(item), nullptr) << number;
            placed.insert(item);
        }
    }
    for (C id : ids)
        EXPECT_TRUE(placed.count(id)) << "nowhere: " << FormCommandOf(id)->caption;
    EXPECT_EQ(FormCommandOf(C::Separator), nullptr);
}

TEST(FormCommandTable, EveryPlaceListsKnownCommandsEachOnce)
{
    for (CommandPlace place : kPlaces) {
        std::set<C> seen;
        for (C id : CommandsOf(place)) {
            if (id == C::Separator)
                continue;
            EXPECT_NE(FormCommandOf(id), nullptr) << static_cast<int>(place) << ": " << static_cast<int>(id);
            EXPECT_TRUE(seen.insert(id).second) << static_cast<int>(place) << ": " << static_cast<int>(id);
        }
    }
}

TEST(FormCommandTable, CommandsTheZoneDoesNotGiveGoWithTheirSeparators)
{
    const OfferedCommands none, all{true, true, true};
    EXPECT_EQ(ShownCommands(CommandPlace::NodesMenu, none).back(), C::OpenStorageFolder);
    const std::vector<C> nodes = ShownCommands(CommandPlace::NodesMenu, all);
    EXPECT_EQ(std::vector<C>(nodes.end() - 3, nodes.end()),
              (std::vector<C>{C::OpenStorageFolder, C::Separator, C::Exit}));
    EXPECT_EQ(ShownCommands(CommandPlace::ToolsMenu, none).back(), C::ShowImagesFolder);
    EXPECT_EQ(ShownCommands(CommandPlace::HelpMenu, none).back(), C::Suggestions);
    EXPECT_EQ(ShownCommands(CommandPlace::DocBar, none),
              (std::vector<C>{C::SaveTool, C::Separator, C::EditWith, C::ActiveDesktop}));
    EXPECT_EQ(ShownCommands(CommandPlace::DocBar, OfferedCommands{false, false, true}).back(), C::ExitTool);

    for (CommandPlace place : kPlaces)
        for (OfferedCommands offered : {none, all}) {
            const std::vector<C> shown = ShownCommands(place, offered);
            ASSERT_FALSE(shown.empty());
            EXPECT_NE(shown.front(), C::Separator);
            EXPECT_NE(shown.back(), C::Separator);
            for (std::size_t i = 1; i < shown.size(); ++i)
                EXPECT_FALSE(shown[i] == C::Separator && shown[i - 1] == C::Separator) << static_cast<int>(place);
        }
}

}  // namespace
}  // namespace ql
