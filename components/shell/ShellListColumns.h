#pragma once
// The shell list's columns: the four file columns with their widths from the "DirectoryCols"
// value, and the widths one list leaves to the next through the shared width cache.
#include <cstdint>
#include <string>
#include <vector>

#include "components/shell/ShellControlsUnit.h"

namespace ql {
class Registry;
}

namespace ql::shellctl {

enum class ColumnAlign { Left, Right, Center };

struct ListColumn {
    std::string caption;
    int width = 0;
    ColumnAlign align = ColumnAlign::Left;
};

inline constexpr const char* kExplorerKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
inline constexpr const char* kDirectoryColsValue = "DirectoryCols";

// The column data: defaults 200, 60, 100, 120, 50 (10 bytes), overlaid by the stored value
// when it is at most 22 bytes long.
SavedColumns ReadDirectoryCols(const Registry* registry);

// The default columns. Their widths come from the width cache when the column data is the
// same as at the last build and the cache holds widths, else from the column data. Remembers
// the data in `saved`.
std::vector<ListColumn> BuildDefaultColumns(const SavedColumns& read, SavedColumns& saved,
                                            const std::vector<std::uint8_t>& cache);

// The cache: a 32-bit count, then the widths (little-endian, signed).
void SaveColumnWidths(const std::vector<int>& widths, std::vector<std::uint8_t>& cache);
// Sets the widths of the first min(count, columns) columns, as far as the cache holds them.
void RestoreColumnWidths(const std::vector<std::uint8_t>& cache, std::vector<ListColumn>& columns);

}  // namespace ql::shellctl
