#include "app/collection/FilePair.h"

#include "platform/core/SafeFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {

namespace {

// The old first file is read to be put back should the second rename fail; larger files are not ours.
constexpr std::uint64_t kMaxPairFileBytes = 256ull << 20;

struct PairPaths {
    std::string first, second, stagedFirst, stagedSecond, marker;
    PairPaths(const std::string& dir, const FilePairNames& names)
        : first(dir + names.first),
          second(dir + names.second),
          stagedFirst(dir + "." + names.first + ".new"),
          stagedSecond(dir + "." + names.second + ".new"),
          marker(dir + "." + names.first + ".commit")
    {
    }
};

bool pathExists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }

bool fail(std::string* error, const std::string& what, int err)
{
    if (error)
        *error = what + ": " + std::strerror(err);
    return false;
}

}  // namespace

bool ReplaceFilePair(const std::string& dir, const FilePairNames& names, const std::string& firstBytes,
                     const std::string& secondBytes, std::string* error, const FilePairStepHook& onStep)
{
    auto step = [&](std::string_view name) {
        if (onStep)
            onStep(name);
    };
    const PairPaths p(dir, names);
    // An unfinished replacement's marker would commit this one's half-staged pair.
    if (pathExists(p.marker)) {
        if (error)
            *error = "an interrupted replacement of " + p.first + " and " + p.second + " is not finished";
        return false;
    }
    std::optional<std::string> oldFirst;
    if (pathExists(p.first)) {
        oldFirst = ReadFileBytes(p.first, kMaxPairFileBytes);
        if (!oldFirst)
            return fail(error, "cannot read " + p.first + ", so it could not be put back should the save fail", errno);
    }

    step("stage first");
    if (!WriteFileAtomic(p.stagedFirst, firstBytes, error))
        return false;
    step("stage second");
    if (!WriteFileAtomic(p.stagedSecond, secondBytes, error)) {
        removeFile(p.stagedFirst);
        return false;
    }
    // From here on the new pair wins: a kill leaves the marker, and the next recovery finishes.
    // Its write flushes the folder, so the staged files and the marker are on disk before the renames.
    step("commit");
    if (!WriteFileAtomic(p.marker, names.first + "\r\n" + names.second + "\r\n", error)) {
        removeFile(p.marker);
        removeFile(p.stagedFirst);
        removeFile(p.stagedSecond);
        return false;
    }
    step("replace first");
    if (::rename(p.stagedFirst.c_str(), p.first.c_str()) != 0) {
        const int err = errno;
        removeFile(p.marker);
        removeFile(p.stagedFirst);
        removeFile(p.stagedSecond);
        return fail(error, "cannot replace " + p.first, err);
    }
    step("replace second");
    if (::rename(p.stagedSecond.c_str(), p.second.c_str()) != 0) {
        fail(error, "cannot replace " + p.second, errno);
        const bool restored = oldFirst ? WriteFileAtomic(p.first, *oldFirst) : removeFile(p.first);
        if (restored) {
            removeFile(p.marker);
            removeFile(p.stagedSecond);
        } else if (error) {
            // The marker stays: the next recovery tries to finish the new pair.
            *error += "; " + p.first + " could not be put back and no longer matches " + p.second;
        }
        return false;
    }
    step("finish");
    // The renames reach the disk before the marker goes: the marker alone finishes nothing.
    const bool flushed = SyncFolder(dir);
    const int err = errno;
    removeFile(p.marker);
    step("done");
    return flushed || fail(error, "cannot flush " + dir, err);
}

FilePairRecovery RecoverFilePair(const std::string& dir, const FilePairNames& names)
{
    const PairPaths p(dir, names);
    if (pathExists(p.marker)) {
        for (const auto& [staged, target] :
             {std::pair{&p.stagedFirst, &p.first}, std::pair{&p.stagedSecond, &p.second}}) {
            if (pathExists(*staged) && ::rename(staged->c_str(), target->c_str()) != 0)
                return FilePairRecovery::Failed;
        }
        if (!SyncFolder(dir))
            return FilePairRecovery::Failed;
        // A marker left behind would later commit a half-staged pair.
        return ::unlink(p.marker.c_str()) == 0 || errno == ENOENT ? FilePairRecovery::RolledForward
                                                                  : FilePairRecovery::Failed;
    }
    bool found = false;
    for (const std::string* staged : {&p.stagedFirst, &p.stagedSecond}) {
        if (pathExists(*staged)) {
            found = true;
            removeFile(*staged);
        }
    }
    return found ? FilePairRecovery::RolledBack : FilePairRecovery::Clean;
}

}  // namespace ql
