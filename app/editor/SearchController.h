#pragma once
// The search panel of the editor window: showing and hiding it, running a search into its list,
// opening a hit in the Browse view with the search text marked once the page is complete, and
// dropping the rows of deleted nodes.
#include "app/editor/CollectionSearch.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace ql {

class Dialogs;
class EditorWindow;
class PageSession;
class PageViews;
class TreeNode;

// The Browse view's Tag while a search hit is being opened: its next completed document gets
// the search text marked.
inline constexpr int kWebTagSearchHit = 1000;

// The panel's controls and the Browse view's marking, as the controller sees them.
class SearchPanelView {
public:
    virtual ~SearchPanelView() = default;
    virtual bool PanelVisible() const = 0;
    // Shown, the panel covers the tree and the search text takes the focus.
    virtual void ShowPanel(bool show) = 0;
    virtual void SetSearchButtonDown(bool down) = 0;
    virtual void ShowRows(const std::vector<SearchRow>& rows) = 0;
    virtual int BrowseTag() const = 0;
    virtual void SetBrowseTag(int tag) = 0;
    // Gives every occurrence of `text` in the Browse view's document a yellow background.
    virtual void HighlightInBrowse(const std::string& text) = 0;
};

class SearchController {
public:
    SearchController(PageSession& session, PageViews& views, EditorWindow& window, Dialogs& dialogs,
                     SearchPanelView& panel, PageTextSearcher& pages);

    void SearchBClick();  // the tree toolbar's check button: it shows its own state
    void Search2Click();  // the Tools menu: the button follows the panel
    // Enter in the search text and "&Go": replaces the rows and tells their number.
    void RunSearch(const std::string& text, bool inResults, bool onlyTitles);
    // A row was clicked (nullopt: none selected).
    void SearchLVClick(std::optional<std::size_t> row);
    // The Browse view completed a document.
    void webDocumentComplete(const std::string& searchText);
    // A node and its subtree are about to be deleted.
    void NodeDeleting(const TreeNode& node);

    const CollectionSearch& Search() const { return search_; }

private:
    PageSession& session_;
    PageViews& views_;
    EditorWindow& window_;
    Dialogs& dialogs_;
    SearchPanelView& panel_;
    CollectionSearch search_;
};

}  // namespace ql
