#include "app/editor/CollectionSearch.h"

#include "app/collection/CollectionTree.h"
#include "app/collection/TextUtil.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ql {

namespace {

constexpr std::size_t kChunkBytes = 256 * 1024;

// The node's page file; "" for a node without a page id.
std::string PageFileOf(const std::string& collectionDir, const TreeNode& node)
{
    return node.HasPageId() ? collectionDir + node.PageId() + ".html" : std::string();
}

}  // namespace

bool PageFileScanner::FileContains(const std::string& file, const std::string& needle)
{
    if (file.empty() || needle.empty())
        return false;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Each chunk keeps the needle's length - 1 bytes of the one before, so a match across the
    // boundary is found.
    const std::size_t keep = needle.size() - 1;
    buffer_.resize(kChunkBytes + keep);
    std::size_t have = 0;
    bool found = false;
    for (;;) {
        const ssize_t n = ::read(fd, buffer_.data() + have, kChunkBytes);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        have += static_cast<std::size_t>(n);
        if (ContainsNoCase(std::string_view(buffer_.data(), have), needle)) {
            found = true;
            break;
        }
        const std::size_t tail = std::min(keep, have);
        std::memmove(buffer_.data(), buffer_.data() + have - tail, tail);
        have = tail;
    }
    ::close(fd);
    return found;
}

CollectionSearch::CollectionSearch(const CollectionTree& tree, std::string collectionDir, PageTextSearcher& pages)
    : tree_(tree), collectionDir_(std::move(collectionDir)), pages_(pages)
{
}

bool CollectionSearch::RunSearch(const std::string& text)
{
    if (text.empty())
        return false;
    std::vector<std::uint64_t> previous;
    if (inResults)
        for (const SearchRow& row : rows_)
            previous.push_back(row.serial);
    rows_.clear();
    if (inResults) {
        for (std::uint64_t serial : previous)
            if (TreeNode* node = tree_.Find(serial))
                SearchNode(*node, text);
    } else {
        tree_.ForEach([&](TreeNode& node) { SearchNode(node, text); });
    }
    return true;
}

bool CollectionSearch::SearchNode(TreeNode& node, const std::string& text)
{
    const bool titleHit = ContainsNoCase(node.Text(), text);
    bool pageHit = false;
    const std::string file = PageFileOf(collectionDir_, node);
    if (!onlyTitles && !titleHit)
        pageHit = pages_.FileContains(file, text);
    if (!titleHit && !pageHit)
        return false;
    rows_.push_back(SearchRow{node.Serial(), node.Text(), PositionText(node), file});
    return true;
}

std::string CollectionSearch::ResultText() const { return "Results: " + std::to_string(rows_.size()); }

TreeNode* CollectionSearch::NodeOfRow(std::size_t row) const
{
    return row < rows_.size() ? tree_.Find(rows_[row].serial) : nullptr;
}

void CollectionSearch::ForgetSubtree(const TreeNode& node)
{
    std::erase_if(rows_, [&](const SearchRow& row) {
        const TreeNode* hit = tree_.Find(row.serial);
        return !hit || hit == &node || node.IsAncestorOf(hit);
    });
}

std::string CollectionSearch::PositionText(const TreeNode& node)
{
    std::string text = node.Text();
    for (const TreeNode* up = node.Parent(); up; up = up->Parent())
        text = up->Text() + "->" + text;
    return text;
}

}  // namespace ql
