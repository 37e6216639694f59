#pragma once
// Searching the collection: node titles and the raw page files (markup and header line
// included), ignoring letter case. The search panel shows the rows; a row keeps its node's
// serial so a deleted node's row is never followed.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ql {

class CollectionTree;
class TreeNode;

// Whether a page file contains a text. Production scans the file in bounded chunks
// (PageFileScanner); tests count the calls.
class PageTextSearcher {
public:
    virtual ~PageTextSearcher() = default;
    // Letter case ignored (ASCII, as everywhere in the program); a missing or unreadable file
    // contains nothing.
    virtual bool FileContains(const std::string& file, const std::string& text) = 0;
};

// Reads a file in fixed-size chunks (never the whole file at once, so a huge page costs no
// memory) and stops at the first occurrence, as `grep -il` does.
class PageFileScanner : public PageTextSearcher {
public:
    bool FileContains(const std::string& file, const std::string& text) override;

private:
    std::vector<char> buffer_;
};

struct SearchRow {
    std::uint64_t serial = 0;  // the node's serial (CollectionTree::Find)
    std::string title;
    std::string position;  // "A->B->C", top-level ancestor first
    std::string fileName;  // CollectionDir + page id + ".html"
};

class CollectionSearch {
public:
    CollectionSearch(const CollectionTree& tree, std::string collectionDir, PageTextSearcher& pages);

    bool onlyTitles = false;  // "Search Only Titles"
    bool inResults = false;   // "Search In Results"

    // Runs a search; an empty text does nothing and returns false. Otherwise the rows are
    // replaced and true is returned.
    bool RunSearch(const std::string& text);
    // Tests one node and adds its row on a hit.
    bool SearchNode(TreeNode& node, const std::string& text);

    const std::vector<SearchRow>& Rows() const { return rows_; }
    // "Results: " N
    std::string ResultText() const;
    // The row's node, or nullptr when the row is gone or its node was deleted.
    TreeNode* NodeOfRow(std::size_t row) const;
    // Drops the rows of a node and its subtree (called before the node is deleted).
    void ForgetSubtree(const TreeNode& node);
    void Clear() { rows_.clear(); }

    static std::string PositionText(const TreeNode& node);

private:
    const CollectionTree& tree_;
    std::string collectionDir_;
    PageTextSearcher& pages_;
    std::vector<SearchRow> rows_;
};

}  // namespace ql
