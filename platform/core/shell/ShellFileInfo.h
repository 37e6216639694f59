#pragma once
// What the desktop knows about a file's kind: its content type (guessed from the name, and
// for folders and links from what they are) and that type's description, from GIO's shared
// MIME database.
#include <string>
#include <vector>

#include "platform/core/shell/ItemIdList.h"

namespace ql::shell {

// "inode/directory" for folders; otherwise guessed from the name ("application/octet-stream"
// when nothing matches).
std::string ContentTypeOf(const std::string& name, bool folder);
// The description of a content type in the user's language ("PNG image", "Folder").
std::string ContentTypeDescription(const std::string& contentType);

// Names of desktop-theme icons for the item an absolute list names, the most fitting first:
// the virtual places by their own icons, folders (open or closed), files by content type, a
// generic icon last. Empty for a list that names nothing.
std::vector<std::string> IconNamesOf(const ItemIdList& absolute, bool open);

}  // namespace ql::shell
