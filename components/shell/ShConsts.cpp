#include "components/shell/ShConsts.h"

namespace ql::shellctl {

namespace {
struct Text {
    ShConst id;
    const char* text;
};
constexpr Text kTexts[] = {
    {ShConst::SSizeKB, "%sKB"},
    {ShConst::SColumnName, "Name"},
    {ShConst::SColumnSize, "Size"},
    {ShConst::SColumnType, "Type"},
    {ShConst::SColumnModified, "Modified"},
    {ShConst::SSystemFolder, "System Folder"},
    {ShConst::SShortcutSelectAll, "Ctrl+A"},
    {ShConst::SShortcutDelete, "Del"},
    {ShConst::SShortcutCopy, "Ctrl+C"},
    {ShConst::SShortcutCut, "Ctrl+X"},
    {ShConst::SShortcutPaste, "Ctrl+V"},
    {ShConst::SShortcutRefresh, "F5"},
    {ShConst::SShortcutRename, "F2"},
};
}  // namespace

std::string LoadShConst(ShConst id)
{
    for (const auto& t : kTexts)
        if (t.id == id)
            return t.text;
    return {};
}

}  // namespace ql::shellctl
