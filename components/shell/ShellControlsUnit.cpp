#include "components/shell/ShellControlsUnit.h"

#include "components/shell/CommandShortcuts.h"
#include "components/shell/ShellItemUtils.h"
#include "platform/core/shell/ShellObjects.h"

namespace ql::shellctl {

namespace {
int initCount = 0;
std::uint16_t idListFormat = 0;
std::vector<std::uint8_t> columnWidths;
SavedColumns savedColumns;
}  // namespace

void InitShellControls()
{
    if (initCount++ != 0)
        return;
    LoadCommandShortcutTexts();
    idListFormat = static_cast<std::uint16_t>(shell::ShellIdListFormat());
    columnWidths.clear();
    savedColumns = SavedColumns{};
    // Drag and drop needs no set-up of its own here: the drag bridge registers with the
    // toolkit per window.
}

void FinalizeShellControls()
{
    if (initCount == 0 || --initCount != 0)
        return;
    SendToList().clear();
    SendToList().shrink_to_fit();
    columnWidths.clear();
    columnWidths.shrink_to_fit();
    for (auto& entry : CommandShortcuts())
        entry.keyText.clear();
}

bool ShellControlsInitialised() { return initCount > 0; }
std::uint16_t ShellIdListFormat() { return idListFormat; }
std::vector<std::uint8_t>& ColumnWidthCache() { return columnWidths; }
SavedColumns& SavedDirectoryCols() { return savedColumns; }

}  // namespace ql::shellctl
