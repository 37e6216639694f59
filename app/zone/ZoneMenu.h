#pragma once
// The zone's menu (the notification-area icon's and the picture's right-click menu), in order.
#include <array>

namespace ql {

enum class ZoneCommand : int {
    Separator = 0,
    ShowHideMainWindow = 1,
    ShowHideDragZone,
    AddClipboardContents,
    AddEmptyHomepage,
    PasteClipboardContents,
    Options,
    About,
    Help,
    Exit,
};

struct ZoneMenuItem {
    ZoneCommand command;
    const char* caption;
    bool hidden;
};

inline constexpr std::array<ZoneMenuItem, 14> kZoneMenu{{
    {ZoneCommand::ShowHideMainWindow, "Show/Hide Main Window", false},
    {ZoneCommand::Separator, "-", false},
    {ZoneCommand::ShowHideDragZone, "Show/Hide DragZone", false},
    {ZoneCommand::Separator, "-", false},
    {ZoneCommand::AddClipboardContents, "Add Clipboard Contents", false},
    {ZoneCommand::AddEmptyHomepage, "Add Empty Homepage", false},
    {ZoneCommand::PasteClipboardContents, "Paste Clipboard Contents", false},
    {ZoneCommand::Separator, "-", false},
    {ZoneCommand::Options, "Options...", false},
    {ZoneCommand::Separator, "-", true},
    {ZoneCommand::About, "About", true},
    {ZoneCommand::Help, "Help", true},
    {ZoneCommand::Separator, "-", false},
    {ZoneCommand::Exit, "E&xit", false},
}};

}  // namespace ql
