#include "app/collection/TreeText.h"

#include <algorithm>
#include <vector>

namespace ql {

std::string CleanCaption(std::string_view caption)
{
    std::string out;
    out.reserve(caption.size());
    for (char c : caption) {
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
        if (c == ' ' && out.empty())
            continue;
        out += c;
    }
    return out;
}

std::string TreeToText(const CollectionTree& tree)
{
    std::string out;
    out.reserve(tree.Count() * 24);
    // Levels are tracked while walking, so deep trees cost no parent walks.
    std::vector<std::pair<const TreeNode*, std::size_t>> stack;
    for (std::size_t i = 0; i < tree.TopLevelCount(); ++i) {
        stack.clear();
        const TreeNode* top = tree.TopLevel(i);
        out += CleanCaption(top->Text());
        out += "\r\n";
        stack.emplace_back(top, 0);
        while (!stack.empty()) {
            auto& [node, next] = stack.back();
            if (next >= node->ChildCount()) {
                stack.pop_back();
                continue;
            }
            const TreeNode* child = node->Child(next++);
            out.append(stack.size(), '\t');
            out += CleanCaption(child->Text());
            out += "\r\n";
            if (child->ChildCount())
                stack.emplace_back(child, 0);
        }
    }
    return out;
}

TreeNode* CopyTreeCaptions(const CollectionTree& from, CollectionTree& to, const TreeNode* mark)
{
    TreeNode* markCopy = nullptr;
    to.BeginUpdate();
    to.Clear();
    to.Reserve(from.Count());
    // (node of `from`, its copy), walked without recursion in absolute order.
    std::vector<std::pair<const TreeNode*, TreeNode*>> stack;
    for (std::size_t i = from.TopLevelCount(); i-- > 0;)
        stack.emplace_back(from.TopLevel(i), nullptr);
    while (!stack.empty()) {
        const auto [node, parentCopy] = stack.back();
        stack.pop_back();
        TreeNode* copy = to.AddNode(parentCopy, Attach::LastChild, CleanCaption(node->Text()));
        if (node == mark)
            markCopy = copy;
        for (std::size_t i = node->ChildCount(); i-- > 0;)
            stack.emplace_back(node->Child(i), copy);
    }
    to.EndUpdate();
    return markCopy;
}

void TextToTree(std::string_view text, CollectionTree& tree)
{
    tree.BeginUpdate();
    tree.Clear();
    // A node per line; lines end in CR LF, LF or CR.
    tree.Reserve(static_cast<std::size_t>(
                     std::max(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r'))) +
                 1);
    // path[k] is the last node read at level k.
    std::vector<TreeNode*> path;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        std::size_t next;
        if (end == std::string_view::npos) {
            end = text.size();
            next = end;
        } else {
            next = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
        }
        std::string_view line = text.substr(start, end - start);
        start = next;

        std::size_t level = 0;
        while (level < line.size() && (line[level] == '\t' || line[level] == ' '))
            ++level;
        std::string caption(line.substr(level));
        if (level > path.size())
            level = path.size();
        TreeNode* parent = level == 0 ? nullptr : path[level - 1];
        TreeNode* node = tree.AddNode(parent, Attach::LastChild, std::move(caption));
        path.resize(level);
        path.push_back(node);
    }
    tree.EndUpdate();
}

}  // namespace ql
