#pragma once
// The editor's view switching and page reload: the view buttons save the open page first and
// stay when that fails; "Reload" shows the page again from its file after asking.
#include <string>

namespace ql {

class EditorDialogs;
class PageSession;
class PageViews;

// ToolButton17Click: the PageBar button of `view` was pressed. False when the open page's
// edits could not be saved: the current view stays (its button must show it again).
bool SwitchViewByButton(PageSession& session, PageViews& views, int view);

inline constexpr char kReloadCaption[] = "Reload";
inline constexpr char kReloadQuestion[] = "Reload current document?";
// ToolButton6Click: drops the view's unsaved edits and shows the page from its file again.
void ReloadCurrentPage(PageSession& session, EditorDialogs& dialogs);

}  // namespace ql
