#pragma once
// The tree text: one line per node in absolute order, the caption preceded by one TAB per level
// below the top, lines ended by CR LF. It is the content of "tvframe" and the in-memory form in
// which a tree is copied into another view.
#include "app/collection/CollectionTree.h"

#include <string>
#include <string_view>

namespace ql {

// A caption as it can be written: CR, LF and TAB inside become blanks and leading blanks go,
// because on reading every leading TAB or blank counts as one level.
std::string CleanCaption(std::string_view caption);

std::string TreeToText(const CollectionTree& tree);

// What TextToTree(TreeToText(from), to) makes, without the text: `to` gets `from`'s nodes with
// their captions cleaned and no page ids. Returns the copy of `mark` (nullptr for none).
TreeNode* CopyTreeCaptions(const CollectionTree& from, CollectionTree& to, const TreeNode* mark = nullptr);

// Replaces the tree's nodes with those of the text. A line's leading TABs and blanks give its
// level; a level more than one below the previous line's is taken as one below it. Page ids
// are not part of the text: the nodes come without.
void TextToTree(std::string_view text, CollectionTree& tree);

}  // namespace ql
