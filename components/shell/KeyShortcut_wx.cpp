#include "components/shell/KeyShortcut_wx.h"

#include "components/shell/CustomTreeViewMenus.h"

namespace ql::shellctl {

int VirtualKeyOf(const wxKeyEvent& event)
{
    const int code = event.GetKeyCode();
    if (code >= 'a' && code <= 'z')
        return code - 'a' + 'A';
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return code;
    if (code >= WXK_F1 && code <= WXK_F24)
        return 0x70 + (code - WXK_F1);
    switch (code) {
    case WXK_DELETE:
        return 0x2E;
    case WXK_INSERT:
        return 0x2D;
    case WXK_BACK:
        return 0x08;
    case WXK_RETURN:
        return 0x0D;
    case WXK_MENU:
        return VK_APPS;
    default:
        return 0;
    }
}

TShortCut ShortCutOf(const wxKeyEvent& event)
{
    const int key = VirtualKeyOf(event);
    if (key == 0)
        return 0;
    TShortCut shortcut = static_cast<TShortCut>(key);
    if (event.ShiftDown())
        shortcut |= scShift;
    if (event.ControlDown())
        shortcut |= scCtrl;
    if (event.AltDown())
        shortcut |= scAlt;
    return shortcut;
}

}  // namespace ql::shellctl
