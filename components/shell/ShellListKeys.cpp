#include "components/shell/ShellListKeys.h"

namespace ql::shellctl {

ListKeyAction ListKeyDispatch(TShortCut shortcut)
{
    EnsureCommandShortcuts();
    const auto& table = CommandShortcuts();
    // The order in which the entries are compared.
    struct Step {
        std::size_t entry;
        ListKeyAction action;
    };
    static constexpr Step kOrder[] = {
        {0, ListKeyAction::SelectAll}, {5, ListKeyAction::Refill}, {2, ListKeyAction::Copy},   {3, ListKeyAction::Cut},
        {4, ListKeyAction::Paste},     {6, ListKeyAction::Rename}, {1, ListKeyAction::Delete},
    };
    for (const Step& s : kOrder)
        if (table[s.entry].code != 0 && table[s.entry].code == shortcut)
            return s.action;
    const TShortCut withoutShift = shortcut & static_cast<TShortCut>(~scShift);
    if (table[1].code != 0 && withoutShift == table[1].code)
        return ListKeyAction::Delete;
    return ListKeyAction::None;
}

ListCharAction ListCharDispatch(int character)
{
    switch (character) {
    case kKeyBack:
        return ListCharAction::FolderUp;
    case kKeyReturn:
        return ListCharAction::OpenSelection;
    default:
        return ListCharAction::None;
    }
}

}  // namespace ql::shellctl
