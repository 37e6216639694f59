#include "app/editor/SearchController.h"

#include "app/editor/session/PageSession.h"

namespace ql {

SearchController::SearchController(PageSession& session, PageViews& views, EditorWindow& window, Dialogs& dialogs,
                                   SearchPanelView& panel, PageTextSearcher& pages)
    : session_(session),
      views_(views),
      window_(window),
      dialogs_(dialogs),
      panel_(panel),
      search_(session.EditorTree(), session.AppSettings().CollectionDir, pages)
{
}

void SearchController::SearchBClick() { panel_.ShowPanel(!panel_.PanelVisible()); }

void SearchController::Search2Click()
{
    SearchBClick();
    panel_.SetSearchButtonDown(panel_.PanelVisible());
}

void SearchController::RunSearch(const std::string& text, bool inResults, bool onlyTitles)
{
    if (text.empty())
        return;
    {
        BusyCursor busy(window_);
        search_.inResults = inResults;
        search_.onlyTitles = onlyTitles;
        search_.RunSearch(text);
        panel_.ShowRows(search_.Rows());
    }
    dialogs_.ShowMessage(search_.ResultText());
}

void SearchController::SearchLVClick(std::optional<std::size_t> row)
{
    TreeNode* node = row ? search_.NodeOfRow(*row) : nullptr;
    if (!node)
        return;
    // Edits that could not be saved stay in their view (the user was told).
    if (!session_.SaveCurrentPage(""))
        return;
    views_.SwitchView(kViewBrowse, false);
    panel_.SetBrowseTag(kWebTagSearchHit);
    // The node already selected loads nothing now: its mark comes with the next complete page.
    if (node != session_.EditorTree().Selected())
        window_.SelectNode(node);
}

void SearchController::webDocumentComplete(const std::string& searchText)
{
    if (panel_.BrowseTag() == kWebTagSearchHit)
        panel_.HighlightInBrowse(searchText);
    panel_.SetBrowseTag(0);
}

void SearchController::NodeDeleting(const TreeNode& node)
{
    const std::size_t before = search_.Rows().size();
    search_.ForgetSubtree(node);
    if (search_.Rows().size() != before)
        panel_.ShowRows(search_.Rows());
}

}  // namespace ql
