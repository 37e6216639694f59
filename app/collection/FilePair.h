#pragma once
// Two files of one folder that only make sense together ("tvframe" and "tvdata", and their
// ".bak" copies), replaced so that a kill at any instant leaves the old pair or the new pair:
// both new files are staged beside the old ones ("." + name + ".new"), then a commit marker
// ("." + first + ".commit") is written, then both are renamed into place and the marker goes.
// RecoverFilePair, run before the pair is read or replaced again, finishes a committed
// replacement (both new files) and throws away an uncommitted one (both old files).
#include <functional>
#include <string>
#include <string_view>

namespace ql {

struct FilePairNames {
    std::string first, second;  // file names inside the folder
};

// Called with the name of each step of a replacement just before it is taken, and with "done"
// after the last; lets tests stop the process at every step. Production passes none.
using FilePairStepHook = std::function<void(std::string_view step)>;

// `dir` ends with '/'. False with `error` set when the pair could not be replaced (also while
// an interrupted replacement is not recovered); the old pair is then in place (or, when the folder is too broken even
// to put it back, `error` says so).
[[nodiscard]] bool ReplaceFilePair(const std::string& dir, const FilePairNames& names, const std::string& firstBytes,
                                   const std::string& secondBytes, std::string* error = nullptr,
                                   const FilePairStepHook& onStep = {});

enum class FilePairRecovery {
    Clean,          // no replacement was under way
    RolledBack,     // an uncommitted one was thrown away: the old pair stands
    RolledForward,  // a committed one was finished: the new pair stands
    Failed,         // a committed one could not be finished: the pair may be mixed
};
[[nodiscard]] FilePairRecovery RecoverFilePair(const std::string& dir, const FilePairNames& names);

}  // namespace ql
