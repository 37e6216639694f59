#pragma once
// The file operations behind renames, drops, paste and delete. None of them replaces an
// existing item: a clash is an error (rename) or leads to a free name (copy, move, link).
// Every function returns 0 or an errno value.
#include <string>
#include <vector>

namespace ql::shell {

// Renames `from` to `to` only when `to` does not exist (EEXIST otherwise).
int RenameNoReplace(const std::string& from, const std::string& to);
// True when `inner` is `outer` itself or lies below it (both resolved through links).
bool IsSameOrInside(const std::string& inner, const std::string& outer);
// True when putting `source` into `folder` would put a folder into itself or below itself (a
// link is moved or copied as a link, so it never nests).
bool WouldGoIntoItself(const std::string& source, const std::string& folder);
// `name`, or "stem (2).ext", "stem (3).ext" ... : the first that does not exist in `dir`.
std::string FreeNameIn(const std::string& dir, const std::string& name);

// Copies a file, folder tree or link (links stay links) to `target`, which must not exist.
// A failed copy leaves nothing of itself behind.
int CopyTree(const std::string& source, const std::string& target);
// Moves by renaming; across file systems copies first and removes the source only after the
// whole copy succeeded.
int MoveTree(const std::string& source, const std::string& target);
// Removes a file, link or folder tree; links are removed, never followed.
int DeleteTree(const std::string& path);
// Moves the item to the user's trash (the freedesktop trash, through GIO).
int TrashItem(const std::string& path);

enum class TransferKind { Copy, Move, Link };
struct TransferResult {
    std::vector<std::string> created;  // the new items' paths
    int error = 0;                     // the first failure; the other items still go
};
// Copies, moves or links each source into `folder` under its own name (or a free one when the
// name is taken). Refused per item (EINVAL): a folder into itself or below itself, and a move
// onto its own place. Moving an item to the folder it is in does nothing.
TransferResult TransferInto(const std::vector<std::string>& sources, const std::string& folder, TransferKind kind);

}  // namespace ql::shell
