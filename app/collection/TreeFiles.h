#pragma once
// The tree files of a collection folder: "tvframe" (the tree text), "tvdata" (one page id per
// node in absolute order), their ".bak" copies and the scratch file "temp".
#include "app/collection/CollectionTree.h"

#include <cstdint>
#include <functional>
#include <string>

namespace ql {

inline constexpr char kTreeFrameFile[] = "tvframe";
inline constexpr char kTreeDataFile[] = "tvdata";
inline constexpr char kTreeTempFile[] = "temp";
inline constexpr char kBackupSuffix[] = ".bak";

enum class TreeLoad {
    Missing,     // "tvframe" or "tvdata" is not there: the tree is left as it was
    Unreadable,  // one of them could not be read: the tree is left as it was
    Loaded,
};

struct TreeLoadReport {
    TreeLoad result = TreeLoad::Missing;
    // The pair looked sound (a tree, one valid id per node) and was copied to the ".bak" files.
    // A damaged pair is loaded all the same but never replaces the ".bak" copies.
    bool backedUp = false;
    std::size_t rejectedIds = 0;  // "tvdata" lines that were no valid page id
    std::size_t newIds = 0;       // nodes that got a fresh page id
};

// Random numbers for nodes that hold no page id; tests pass a fixed sequence.
using RandomSource = std::function<std::uint32_t()>;
RandomSource DefaultRandomSource();

// Loads the pair into `tree` and marks the tree loaded. Nodes beyond the last "tvdata" line,
// or whose line is no valid id, get a fresh id: a random number below 100000 that no node and
// no page file uses.
TreeLoadReport LoadTreeFiles(const std::string& collectionDir, CollectionTree& tree,
                             const RandomSource& random = DefaultRandomSource());

enum class TreeSave {
    Saved,
    TooSmall,  // the tree text is 3 bytes or less: nothing but "temp" was written
    Failed,    // a write failed; `error` says which. "tvframe" and "tvdata" keep their content.
};

// Writes the tree text to "temp"; unless it is tiny, writes the ids beside it, then moves "temp"
// over "tvframe" and the ids over "tvdata". When "tvdata" cannot be replaced the old "tvframe"
// is put back, so the pair on disk never mixes an old and a new half. A node without a page id
// is written with a random number below 100000 that no node, no other line and no page file
// uses; the node itself is not changed. Creates the collection folder when missing.
TreeSave SaveTreeFiles(const std::string& collectionDir, const CollectionTree& tree, const RandomSource& random,
                       std::string* error = nullptr);

}  // namespace ql
