#pragma once
// The per-user runtime folder: sockets, the single-instance lock and extracted cache bodies
// live here. ${XDG_RUNTIME_DIR}/quillory when that is set to an absolute path, else
// /tmp/quillory-<uid>; created with mode 0700 and refused when it belongs to someone else or
// others may write to it.
#include <string>

namespace ql {

// The folder with a trailing '/', or "" (with `error` set: which folder, and what is wrong with
// it) when it cannot be made safe.
std::string RuntimeDir(std::string* error = nullptr);

// The per-user configuration folder ${XDG_CONFIG_HOME:-~/.config}/quillory/ with a trailing '/',
// created when missing (a relative XDG_CONFIG_HOME counts as unset); "" when no home folder can
// be found.
std::string ConfigDir();

// The value of an XDG folder variable, or nullptr when it is unset, empty or relative: a
// relative one would name another folder from each working folder (two starts would not meet
// at one lock, the program and the extension not at one registry), and the base-directory
// rules call it invalid, so it counts as unset.
const char* AbsoluteEnvPath(const char* name);

}  // namespace ql
