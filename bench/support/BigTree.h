#pragma once
// The shape of a big collection's tree for the benchmarks.
#include "app/collection/CollectionTree.h"

#include <string>

namespace ql::bench {

// `nodes` nodes: top-level nodes each holding 9 children of 10 grandchildren (the last child
// fewer), so a hundred nodes per topic; captions of ordinary length; with `pageIds`, every node
// has a page id named after its caption.
inline void BuildBigTree(CollectionTree& tree, int nodes, bool pageIds = true)
{
    auto add = [&](TreeNode* parent, std::string caption) {
        TreeNode* node = tree.AddNode(parent, Attach::LastChild, caption);
        if (pageIds)
            tree.SetPageId(node, std::move(caption));
        return node;
    };
    int made = 0;
    for (int t = 0; made < nodes; ++t) {
        TreeNode* top = add(nullptr, "Topic number " + std::to_string(t));
        ++made;
        for (int c = 0; c < 9 && made < nodes; ++c) {
            TreeNode* child = add(top, "Clip from a web page " + std::to_string(made));
            ++made;
            for (int g = 0; g < 10 && made < nodes; ++g, ++made)
                add(child, "Selection (12-31-24) " + std::to_string(made));
        }
    }
}

}  // namespace ql::bench
