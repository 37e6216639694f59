#include "app/collection/TreeFiles.h"

#include "app/collection/PageId.h"
#include "app/collection/TextUtil.h"
#include "app/collection/TreeText.h"
#include "platform/core/ErrorLog.h"
#include "platform/core/IniFile.h"
#include "platform/core/SafeFile.h"

#include <filesystem>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <utility>
#include <vector>

namespace ql {

namespace {

// Tree files beyond this size are not ours; they are left alone.
constexpr std::uint64_t kMaxTreeFileBytes = 64ull << 20;
// A page shared by duplicate ids is copied only up to this size.
constexpr std::uint64_t kMaxCopiedPageBytes = 256ull << 20;
// Random numbers tried for one fresh id before the range counts as crowded.
constexpr int kRandomAttempts = 64;
constexpr unsigned long kRandomIdRange = 100000;

const FilePairNames kTreePair{kTreeFrameFile, kTreeDataFile};
const FilePairNames kBackupPair{std::string(kTreeFrameFile) + kBackupSuffix,
                                std::string(kTreeDataFile) + kBackupSuffix};

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

// Fresh page ids: a random number below 100000 that no node of the tree, no id given before
// and no page file uses. Once random tries keep failing the range is crowded, and ids are
// counted on from 100000; the count never goes back, so a load of any size stays linear.
class FreePageNumbers {
public:
    FreePageNumbers(const std::string& collectionDir, const CollectionTree& tree, const RandomSource& random)
        : dir_(collectionDir), tree_(tree), random_(random)
    {
    }

    std::string Next()
    {
        std::string id = pick();
        given_.insert(id);
        return id;
    }

private:
    bool isFree(const std::string& id) const
    {
        return !given_.count(id) && !tree_.UsesPageId(id) && !pathExists(PageFileName(dir_, id));
    }

    std::string pick()
    {
        if (!crowded_) {
            for (int attempt = 0; attempt < kRandomAttempts; ++attempt) {
                std::string candidate = std::to_string(random_() % kRandomIdRange);
                if (isFree(candidate))
                    return candidate;
            }
            crowded_ = true;
        }
        for (;; ++counted_) {
            std::string candidate = std::to_string(counted_);
            if (isFree(candidate))
                return candidate;
        }
    }

    const std::string& dir_;
    const CollectionTree& tree_;
    const RandomSource& random_;
    std::unordered_set<std::string> given_;
    bool crowded_ = false;
    unsigned long counted_ = kRandomIdRange;
};

// The copy goes through a safe write: a kill leaves no half page under the new id.
bool copyPage(const std::string& collectionDir, const std::string& from, const std::string& to)
{
    const std::string source = PageFileName(collectionDir, from);
    if (!pathExists(source))
        return true;  // nothing to share: the page is made when the node is first shown
    auto bytes = ReadFileBytes(source, kMaxCopiedPageBytes);
    return bytes && WriteFileAtomic(PageFileName(collectionDir, to), *bytes);
}

// The page's pictures are listed for the copy too, so removing one page's pictures on request
// can see that the other still shows them. False when a record could not be copied.
bool copyPictureRecords(IniFile& images, const std::string& from, const std::string& to)
{
    bool copied = true;
    for (const std::string& key : images.ReadSection(from))
        copied &= images.WriteString(to, key, images.ReadString(from, key, "1"));
    return copied;
}

// The pair as read is kept beside it before anything is written over it. Copies from an earlier
// load that hold the same bytes are kept as they are; others are never overwritten. Gives the
// name the frame's copy has, "" when no copy could be written.
std::string keepDamagedPair(const std::string& dir, const std::string& frame, const std::string& data)
{
    constexpr int kMaxCopies = 100;
    for (int n = 1; n <= kMaxCopies; ++n) {
        const std::string suffix = std::string(kDamagedSuffix) + (n == 1 ? "" : std::to_string(n));
        const std::string frameCopy = dir + kTreeFrameFile + suffix, dataCopy = dir + kTreeDataFile + suffix;
        if (pathExists(frameCopy) || pathExists(dataCopy)) {
            if (ReadFileBytes(frameCopy, kMaxTreeFileBytes) == frame &&
                ReadFileBytes(dataCopy, kMaxTreeFileBytes) == data)
                return kTreeFrameFile + suffix;
            continue;
        }
        std::string error;
        if (WriteFileAtomic(frameCopy, frame, &error) && WriteFileAtomic(dataCopy, data, &error))
            return kTreeFrameFile + suffix;
        LogError("tree files", "the damaged tree files could not be kept aside: " + error);
        return {};
    }
    LogError("tree files", "the damaged tree files were not kept aside: too many older copies in " + dir);
    return {};
}

// What a save of the loaded tree writes back: the captions as the tree text, one id per node.
bool writtenBackAsRead(const CollectionTree& tree, const StringList& ids, const std::string& frame,
                       const std::string& data)
{
    return ids.size() == tree.Count() && TreeToText(tree) == frame && JoinPageLines(ids) == data;
}

// The tree pair as read, after an interrupted save was settled. Nothing (with the report's
// result set) when there is no pair to load.
struct TreePairText {
    std::string frame, data;
};

std::optional<TreePairText> recoverAndReadPair(const std::string& collectionDir, TreeLoadReport& report)
{
    report.recovered = RecoverFilePair(collectionDir, kTreePair);
    report.removedTemporaries = RemoveStaleTemporaries(collectionDir) +
                                RemoveStaleTemporaries(collectionDir + kImagesFolderName + "/");
    if (report.recovered == FilePairRecovery::Failed) {
        // Half of an interrupted save is in place: loading it would pair captions with wrong pages.
        report.result = TreeLoad::Unreadable;
        return std::nullopt;
    }
    const std::string framePath = collectionDir + kTreeFrameFile;
    const std::string dataPath = collectionDir + kTreeDataFile;
    if (!pathExists(framePath))
        return std::nullopt;
    report.idsMissing = !pathExists(dataPath);
    auto frame = ReadFileBytes(framePath, kMaxTreeFileBytes);
    auto data = report.idsMissing ? std::optional<std::string>(std::string())
                                  : ReadFileBytes(dataPath, kMaxTreeFileBytes);
    if (!frame || !data) {
        report.result = TreeLoad::Unreadable;
        return std::nullopt;
    }
    return TreePairText{std::move(*frame), std::move(*data)};
}

using SharedIds = std::vector<std::pair<TreeNode*, std::string>>;

// Gives each node its id read from "tvdata", in order; gives the nodes whose id an earlier node
// already has (they get ids of their own later).
SharedIds assignReadIds(CollectionTree& tree, const StringList& ids, TreeLoadReport& report)
{
    std::size_t i = 0;
    std::unordered_set<std::string_view> seen;
    seen.reserve(ids.size());
    SharedIds duplicates;
    tree.ForEach([&](TreeNode& node) {
        if (i < ids.size()) {
            if (!IsValidPageId(ids[i]))
                ++report.rejectedIds;
            else if (!seen.insert(ids[i]).second)
                duplicates.emplace_back(&node, ids[i]);
            else
                tree.SetPageId(&node, ids[i]);
        }
        ++i;
    });
    return duplicates;
}

// A node sharing an id would overwrite the other's page: it gets a fresh id with a copy of the
// page and of its picture records.
void giveSharedIdsPagesOfTheirOwn(const std::string& collectionDir, CollectionTree& tree, const SharedIds& duplicates,
                                  FreePageNumbers& fresh, TreeLoadReport& report)
{
    if (duplicates.empty())
        return;
    IniFile images(collectionDir + kImagesIniFile, false);
    bool recordsCopied = false, recordsKept = true;
    for (const auto& [node, shared] : duplicates) {
        const std::string id = fresh.Next();
        if (!copyPage(collectionDir, shared, id))
            ++report.uncopiedPages;
        if (images.SectionExists(shared)) {
            recordsKept &= copyPictureRecords(images, shared, id);
            recordsCopied = true;
        }
        tree.SetPageId(node, id);
    }
    if (recordsCopied && (!images.UpdateFile() || !recordsKept))
        LogError(kImagesIniFile, "the picture records of the pages copied for shared ids could not be saved");
    report.duplicateIds = duplicates.size();
}

// A node without a valid id would show, and save into, whichever page was current before.
void giveMissingIds(CollectionTree& tree, FreePageNumbers& fresh, TreeLoadReport& report)
{
    tree.ForEach([&](TreeNode& node) {
        if (!node.HasPageId()) {
            tree.SetPageId(&node, fresh.Next());
            ++report.newIds;
        }
    });
}

// The copies belong to the new ids from now on: "tvdata" says so at once, so a second load
// before the next save neither copies the pages again nor tells the user twice.
void writeRepairedIds(const std::string& collectionDir, const CollectionTree& tree, const std::string& frame,
                      const FilePairStepHook& onStep)
{
    std::string repaired;
    tree.ForEach([&](TreeNode& node) { repaired += node.PageId() + "\r\n"; });
    std::string error;
    // Should it fail, the next load copies the pages once more, which loses nothing.
    if (!ReplaceFilePair(collectionDir, kTreePair, frame, repaired, &error, onStep))
        LogError(kTreeDataFile, error);
}

// Copies a sound pair to the ".bak" files; true when they hold it.
bool backUpPair(const std::string& collectionDir, const TreePairText& pair, const FilePairStepHook& onStep)
{
    // Copies that already hold these bytes are not written again (it would cost flushes to disk).
    auto oldFrame = ReadFileBytes(collectionDir + kBackupPair.first, kMaxTreeFileBytes);
    auto oldData = ReadFileBytes(collectionDir + kBackupPair.second, kMaxTreeFileBytes);
    return (oldFrame && *oldFrame == pair.frame && oldData && *oldData == pair.data) ||
           ReplaceFilePair(collectionDir, kBackupPair, pair.frame, pair.data, nullptr, onStep);
}

}  // namespace

TreeLoadReport LoadTreeFiles(const std::string& collectionDir, CollectionTree& tree, const RandomSource& random,
                             const FilePairStepHook& onStep)
{
    TreeLoadReport report;
    // The ".bak" pair first: its recovery never depends on the tree pair.
    const bool backupSettled = RecoverFilePair(collectionDir, kBackupPair) != FilePairRecovery::Failed;
    const std::optional<TreePairText> pair = recoverAndReadPair(collectionDir, report);
    if (!pair)
        return report;
    const std::string& frame = pair->frame;
    const std::string& data = pair->data;

    tree.BeginUpdate();
    TextToTree(frame, tree);
    const StringList ids = SplitPageLines(data);
    const SharedIds duplicates = assignReadIds(tree, ids, report);
    // Before the repairs below, and any save, write over it.
    if (!report.idsMissing && !(frame.empty() && data.empty()) &&
        (report.rejectedIds > 0 || !duplicates.empty() || !writtenBackAsRead(tree, ids, frame, data)))
        report.damagedCopy = keepDamagedPair(collectionDir, frame, data);
    // Every node has a page of its own; fresh ids are given only once every id read is known.
    FreePageNumbers fresh(collectionDir, tree, random);
    giveSharedIdsPagesOfTheirOwn(collectionDir, tree, duplicates, fresh, report);
    giveMissingIds(tree, fresh, report);
    tree.SetLoaded(true);
    tree.EndUpdate();
    report.result = TreeLoad::Loaded;

    if (report.duplicateIds > 0 && report.uncopiedPages == 0)
        writeRepairedIds(collectionDir, tree, frame, onStep);
    const bool sound = !report.idsMissing && tree.Count() > 0 && ids.size() == tree.Count() &&
                       report.rejectedIds == 0 && report.duplicateIds == 0 && frame.find('\0') == std::string::npos &&
                       data.find('\0') == std::string::npos;
    if (sound && backupSettled)
        report.backedUp = backUpPair(collectionDir, *pair, onStep);
    return report;
}

RandomSource DefaultRandomSource()
{
    auto engine = std::make_shared<std::minstd_rand>(std::random_device{}());
    return [engine] { return static_cast<std::uint32_t>((*engine)()); };
}

TreeSave SaveTreeFiles(const std::string& collectionDir, const CollectionTree& tree, const RandomSource& random,
                       std::string* error, const FilePairStepHook& onStep)
{
    const std::string text = TreeToText(tree);
    if (!ensureFolder(collectionDir, error))
        return TreeSave::Failed;
    const std::string tempPath = collectionDir + kTreeTempFile;
    if (text.size() <= 3)
        return WriteFileAtomic(tempPath, text, error) ? TreeSave::TooSmall : TreeSave::Failed;

    // A save interrupted earlier is settled first, so its marker cannot commit this one's half.
    if (RecoverFilePair(collectionDir, kTreePair) == FilePairRecovery::Failed) {
        if (error)
            *error = "an interrupted save of the tree files in " + collectionDir + " could not be finished";
        return TreeSave::Failed;
    }
    std::string data;
    data.reserve(tree.Count() * 16);
    FreePageNumbers fresh(collectionDir, tree, random);
    tree.ForEach([&](TreeNode& node) {
        data += node.HasPageId() ? node.PageId() : fresh.Next();
        data += "\r\n";
    });
    if (!ReplaceFilePair(collectionDir, kTreePair, text, data, error, onStep))
        return TreeSave::Failed;
    ::unlink(tempPath.c_str());
    return TreeSave::Saved;
}

}  // namespace ql
