#include "app/TreeFiles.h"

#include "app/PageId.h"
#include "app/TextUtil.h"
#include "app/TreeText.h"
#include "platform/core/SafeFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
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

// A copy that already holds these bytes is not written again (it would cost a flush to disk).
bool backUp(const std::string& path, const std::string& bytes)
{
    auto old = ReadFileBytes(path, kMaxTreeFileBytes);
    return (old && *old == bytes) || WriteFileAtomic(path, bytes);
}

}  // namespace

TreeLoadReport LoadTreeFiles(const std::string& collectionDir, CollectionTree& tree)
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
    if (!WriteFileAtomic(collectionDir + kTreeFrameFile, text, error))
        return TreeSave::Failed;

    std::string data;
    data.reserve(tree.Count() * 16);
    std::unordered_set<std::string> chosen;
    auto freeNumber = [&](const std::string& id) {
        return !chosen.count(id) && !tree.UsesPageId(id) && !pathExists(PageFileName(collectionDir, id));
    };
    tree.ForEach([&](TreeNode& node) {
        if (node.HasPageId()) {
            data += node.PageId();
        } else {
            std::string id;
            for (int attempt = 0; attempt < 64 && id.empty(); ++attempt) {
                std::string candidate = std::to_string(random() % 100000);
                if (freeNumber(candidate))
                    id = candidate;
            }
            // A crowded range: count on from the top of it.
            for (unsigned long n = 100000; id.empty(); ++n)
                if (freeNumber(std::to_string(n)))
                    id = std::to_string(n);
            chosen.insert(id);
            data += id;
        }
        data += "\r\n";
    });
    if (!WriteFileAtomic(collectionDir + kTreeDataFile, data, error))
        return TreeSave::Failed;
    ::unlink(tempPath.c_str());
    return TreeSave::Saved;
}

}  // namespace ql
