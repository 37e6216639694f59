#pragma once
// The tree files of a collection folder: "tvframe" (the tree text), "tvdata" (one page id per
// node in absolute order), their ".bak" copies and the scratch file "temp". Each pair is
// replaced as a whole (FilePair.h): after a kill at any instant the next load sees the complete
// old pair or the complete new one.
#include "app/collection/CollectionTree.h"
#include "app/collection/FilePair.h"

#include <cstdint>
#include <functional>
#include <string>

namespace ql {

inline constexpr char kTreeFrameFile[] = "tvframe";
inline constexpr char kTreeDataFile[] = "tvdata";
inline constexpr char kTreeTempFile[] = "temp";
inline constexpr char kBackupSuffix[] = ".bak";
inline constexpr char kImagesIniFile[] = "images.ini";

enum class TreeLoad {
    Missing,     // "tvframe" is not there: the tree is left as it was
    Unreadable,  // a file could not be read, or an interrupted save not finished: the tree is left as it was
    Loaded,
};

struct TreeLoadReport {
    TreeLoad result = TreeLoad::Missing;
    // The pair looked sound (a tree, one valid id per node) and was copied to the ".bak" files.
    // A damaged pair is loaded all the same but never replaces the ".bak" copies.
    bool backedUp = false;
    std::size_t rejectedIds = 0;  // "tvdata" lines that were no valid page id
    std::size_t newIds = 0;       // nodes that got a fresh page id
    // "tvframe" was there without "tvdata": the captions are loaded, every node with a fresh
    // id. Such a tree is no longer the collection's structure with its pages; saving it over
    // the files would lose what a restored "tvdata" could still give back.
    bool idsMissing = false;
    // Nodes whose "tvdata" id an earlier node already had. Each got a fresh id and a copy of the
    // shared page (and of its "images.ini" record), so both keep their content.
    std::size_t duplicateIds = 0;
    std::size_t uncopiedPages = 0;  // of those, pages that could not be copied
    // An interrupted save or backup was finished (its new pair stands) or thrown away.
    FilePairRecovery recovered = FilePairRecovery::Clean;
    std::size_t removedTemporaries = 0;  // left by writes of a program that died
    // The pair held more than a save of the loaded tree would write back (lines that are no
    // node or no id, ids out of step with the nodes, other line ends): its files as they were are
    // kept beside it under this name + kDamagedSuffix (the ".bak" pair holds only sound ones).
    // "" when nothing had to be kept.
    std::string damagedCopy;
};

// The suffix of the copies a damaged pair is kept as: "tvframe" + kDamagedSuffix, and the
// same for "tvdata"; a number follows when older copies hold other bytes. No sweep of
// temporaries or interrupted saves ever removes them.
inline constexpr char kDamagedSuffix[] = ".damaged";

// Random numbers for nodes that hold no page id; tests pass a fixed sequence.
using RandomSource = std::function<std::uint32_t()>;
RandomSource DefaultRandomSource();

// Finishes or throws away an interrupted replacement of the pair and of its ".bak" copies,
// removes stale temporaries of our writes from the folder and its images folder, then loads the
// pair into `tree` and marks the tree loaded; a damaged pair is first copied aside. Nodes beyond the last "tvdata"
// line, or whose line is no valid id or a duplicate, get a fresh id: a random number below 100000 that no node and no
// page file uses (counted on from 100000 once that range is crowded).
TreeLoadReport LoadTreeFiles(const std::string& collectionDir, CollectionTree& tree,
                             const RandomSource& random = DefaultRandomSource(), const FilePairStepHook& onStep = {});

enum class TreeSave {
    Saved,
    TooSmall,  // the tree text is 3 bytes or less: nothing but "temp" was written
    Failed,    // a write failed; `error` says which. "tvframe" and "tvdata" keep their content.
};

// A tiny tree text goes to "temp" only. Otherwise the tree text and the ids replace "tvframe"
// and "tvdata" together and "temp" is removed; a failed save leaves the old pair. A node without
// a page id is written with a free number as above; the node itself is not changed. Creates the
// collection folder when missing; fails when an interrupted save found there cannot be finished.
[[nodiscard]] TreeSave SaveTreeFiles(const std::string& collectionDir, const CollectionTree& tree,
                                     const RandomSource& random, std::string* error = nullptr,
                                     const FilePairStepHook& onStep = {});

}  // namespace ql
