#pragma once
// The shell controls' own texts, by resource id.
#include <string>

namespace ql::shellctl {

enum class ShConst : int {
    SSizeKB = 65288,
    SColumnName = 65289,
    SColumnSize = 65290,
    SColumnType = 65291,
    SColumnModified = 65292,
    SSystemFolder = 65293,
    SShortcutSelectAll = 65294,
    SShortcutDelete = 65295,
    SShortcutCopy = 65264,
    SShortcutCut = 65265,
    SShortcutPaste = 65266,
    SShortcutRefresh = 65267,
    SShortcutRename = 65268,
};

// The text of a resource string ("" for an id that is not ours).
std::string LoadShConst(ShConst id);

}  // namespace ql::shellctl
