#pragma once
// The state the shell controls and their drag-and-drop objects share, set up by the first
// InitShellControls and taken down by the matching last FinalizeShellControls.
#include <array>
#include <cstdint>
#include <vector>

namespace ql::shellctl {

void InitShellControls();
void FinalizeShellControls();
bool ShellControlsInitialised();

// The clipboard format number of "Shell IDList Array" (0 before start-up).
std::uint16_t ShellIdListFormat();
// The column widths the last shell list left for the next one (an in-memory stream).
std::vector<std::uint8_t>& ColumnWidthCache();
// The copy of the column data read last: a 22-byte buffer and how many bytes of it hold data.
struct SavedColumns {
    std::array<std::uint8_t, 22> bytes{};
    std::uint32_t count = 0;
};
SavedColumns& SavedDirectoryCols();

}  // namespace ql::shellctl
