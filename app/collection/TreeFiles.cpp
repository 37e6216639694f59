#include "app/collection/TreeFiles.h"

#include "app/collection/PageId.h"
#include "app/collection/TextUtil.h"
#include "app/collection/TreeText.h"
#include "platform/core/SafeFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace ql {

namespace {

// Tree files beyond this size are not ours; they are left alone.
constexpr std::uint64_t kMaxTreeFileBytes = 64ull << 20;

bool pathExists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool ensureFolder(const std::string& dir, std::string* error)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (DirectoryExists(dir))
        return true;
    if (error)
        *error = "cannot create the folder " + dir + (ec ? ": " + ec.message() : std::string());
    return false;
}

// Where the new "tvdata" waits until "tvframe" has been replaced.
constexpr char kStagedTreeDataFile[] = ".tvdata.new";

TreeSave fail(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
    return TreeSave::Failed;
}

// A copy that already holds these bytes is not written again (it would cost a flush to disk).
bool backUp(const std::string& path, const std::string& bytes)
{
    auto old = ReadFileBytes(path, kMaxTreeFileBytes);
    return (old && *old == bytes) || WriteFileAtomic(path, bytes);
}

// A random number below 100000 (counting on above that range when it is crowded) that no node
// of the tree, no number in `chosen` and no page file uses.
std::string freePageNumber(const std::string& collectionDir, const CollectionTree& tree, const RandomSource& random,
                           const std::unordered_set<std::string>& chosen)
{
    auto isFree = [&](const std::string& id) {
        return !chosen.count(id) && !tree.UsesPageId(id) && !pathExists(PageFileName(collectionDir, id));
    };
    for (int attempt = 0; attempt < 64; ++attempt) {
        std::string candidate = std::to_string(random() % 100000);
        if (isFree(candidate))
            return candidate;
    }
    for (unsigned long n = 100000;; ++n)
        if (isFree(std::to_string(n)))
            return std::to_string(n);
}

}  // namespace

TreeLoadReport LoadTreeFiles(const std::string& collectionDir, CollectionTree& tree, const RandomSource& random)
{
    TreeLoadReport report;
    const std::string framePath = collectionDir + kTreeFrameFile;
    const std::string dataPath = collectionDir + kTreeDataFile;
    if (!pathExists(framePath) || !pathExists(dataPath))
        return report;
    auto frame = ReadFileBytes(framePath, kMaxTreeFileBytes);
    auto data = ReadFileBytes(dataPath, kMaxTreeFileBytes);
    if (!frame || !data) {
        report.result = TreeLoad::Unreadable;
        return report;
    }

    tree.BeginUpdate();
    TextToTree(*frame, tree);
    const StringList ids = SplitPageLines(*data);
    std::size_t i = 0;
    tree.ForEach([&](TreeNode& node) {
        if (i < ids.size()) {
            if (IsValidPageId(ids[i]))
                tree.SetPageId(&node, ids[i]);
            else
                ++report.rejectedIds;
        }
        ++i;
    });
    // Every node has a page of its own: one without a valid id would show, and save into,
    // whichever page was current before. Given only once every id read is known.
    const std::unordered_set<std::string> none;
    tree.ForEach([&](TreeNode& node) {
        if (!node.HasPageId()) {
            tree.SetPageId(&node, freePageNumber(collectionDir, tree, random, none));
            ++report.newIds;
        }
    });
    tree.SetLoaded(true);
    tree.EndUpdate();
    report.result = TreeLoad::Loaded;

    const bool sound = tree.Count() > 0 && ids.size() == tree.Count() && report.rejectedIds == 0 &&
                       frame->find('\0') == std::string::npos && data->find('\0') == std::string::npos;
    if (sound)
        report.backedUp = backUp(framePath + kBackupSuffix, *frame) && backUp(dataPath + kBackupSuffix, *data);
    return report;
}

RandomSource DefaultRandomSource()
{
    auto engine = std::make_shared<std::minstd_rand>(std::random_device{}());
    return [engine] { return static_cast<std::uint32_t>((*engine)()); };
}

TreeSave SaveTreeFiles(const std::string& collectionDir, const CollectionTree& tree, const RandomSource& random,
                       std::string* error)
{
    const std::string text = TreeToText(tree);
    if (!ensureFolder(collectionDir, error))
        return TreeSave::Failed;
    const std::string tempPath = collectionDir + kTreeTempFile;
    if (!WriteFileAtomic(tempPath, text, error))
        return TreeSave::Failed;
    if (text.size() <= 3)
        return TreeSave::TooSmall;

    std::string data;
    data.reserve(tree.Count() * 16);
    std::unordered_set<std::string> chosen;
    tree.ForEach([&](TreeNode& node) {
        if (node.HasPageId()) {
            data += node.PageId();
        } else {
            std::string id = freePageNumber(collectionDir, tree, random, chosen);
            data += id;
            chosen.insert(std::move(id));
        }
        data += "\r\n";
    });

    // The two files only make sense together: both new texts are on disk before either is
    // replaced, and when "tvdata" cannot follow "tvframe" the old "tvframe" is put back.
    const std::string framePath = collectionDir + kTreeFrameFile;
    const std::string dataPath = collectionDir + kTreeDataFile;
    const std::string stagedData = collectionDir + kStagedTreeDataFile;
    std::optional<std::string> oldFrame;
    if (pathExists(framePath)) {
        oldFrame = ReadFileBytes(framePath, kMaxTreeFileBytes);
        if (!oldFrame) {
            if (error)
                *error = "cannot read " + framePath + ", so it could not be put back should the save fail";
            return TreeSave::Failed;
        }
    }
    if (!WriteFileAtomic(stagedData, data, error))
        return TreeSave::Failed;
    if (::rename(tempPath.c_str(), framePath.c_str()) != 0) {
        const TreeSave result = fail(error, "cannot replace " + framePath);
        ::unlink(stagedData.c_str());
        return result;
    }
    if (::rename(stagedData.c_str(), dataPath.c_str()) != 0) {
        const TreeSave result = fail(error, "cannot replace " + dataPath);
        ::unlink(stagedData.c_str());
        const bool restored = oldFrame ? WriteFileAtomic(framePath, *oldFrame) : ::unlink(framePath.c_str()) == 0;
        if (!restored && error)
            *error += "; " + framePath + " could not be put back and no longer matches " + dataPath;
        return result;
    }
    return TreeSave::Saved;
}

}  // namespace ql
