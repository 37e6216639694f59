#include "components/shell/ShellListOptions.h"

namespace ql::shellctl {

ShellListOptionActions OptionChangeActions(TSvShellListOptions before, TSvShellListOptions after)
{
    const TSvShellListOptions changed = before ^ after;
    ShellListOptionActions a;
    if (changed & svsloOleDrop) {
        a.registerDrop = after & svsloOleDrop;
        a.revokeDrop = !a.registerDrop;
    }
    if (changed & svsloDynamicRefresh) {
        a.startWatching = after & svsloDynamicRefresh;
        a.stopWatching = !a.startWatching;
    }
    a.refresh = changed & (svsloHideFoldersWhenLinkedToTree | svsloShowHidden);
    return a;
}

}  // namespace ql::shellctl
