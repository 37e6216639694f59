#include "app/collection/FilePair.h"
#include "app/collection/TreeFiles.h"
#include "tests/support/FlushRecorder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ql {
namespace {

namespace fs = std::filesystem;

class FilePairTest : public ::testing::Test {
protected:
    test::TempDir temp;
    const FilePairNames names{"tvframe", "tvdata"};
    std::string dir() const { return temp.dir(); }
    bool exists(const std::string& name) const { return fs::exists(fs::symlink_status(temp.path() / name)); }
    std::string pair() const { return temp.read("tvframe") + "|" + temp.read("tvdata"); }
    void oldPair() const
    {
        temp.write("tvframe", "old frame");
        temp.write("tvdata", "old data");
    }
};

TEST_F(FilePairTest, RecoveryFinishesCommittedAndDropsUncommittedReplacements)
{
    EXPECT_EQ(RecoverFilePair(dir(), names), FilePairRecovery::Clean);

    // Staged but not committed: the old pair stands.
    oldPair();
    temp.write(".tvframe.new", "new frame");
    temp.write(".tvdata.new", "new data");
    EXPECT_EQ(RecoverFilePair(dir(), names), FilePairRecovery::RolledBack);
    EXPECT_EQ(pair(), "old frame|old data");
    EXPECT_FALSE(exists(".tvframe.new") || exists(".tvdata.new"));

    // Committed, nothing renamed yet.
    temp.write(".tvframe.new", "new frame");
    temp.write(".tvdata.new", "new data");
    temp.write(".tvframe.commit", "");
    EXPECT_EQ(RecoverFilePair(dir(), names), FilePairRecovery::RolledForward);
    EXPECT_EQ(pair(), "new frame|new data");
    EXPECT_FALSE(exists(".tvframe.commit") || exists(".tvframe.new") || exists(".tvdata.new"));

    // Committed, killed between the renames: the mixed pair on disk is completed.
    oldPair();
    temp.write("tvframe", "new frame");
    temp.write(".tvdata.new", "new data");
    temp.write(".tvframe.commit", "");
    EXPECT_EQ(RecoverFilePair(dir(), names), FilePairRecovery::RolledForward);
    EXPECT_EQ(pair(), "new frame|new data");
}

TEST_F(FilePairTest, AReplacementThatCannotBeFinishedBlocksLoadsAndSaves)
{
    temp.write("tvframe", "new frame\r\n");
    temp.write("tvdata/keep", "a folder where the ids should go");
    temp.write(".tvdata.new", "new data\r\n");
    temp.write(".tvframe.commit", "");
    EXPECT_EQ(RecoverFilePair(dir(), names), FilePairRecovery::Failed);
    std::string error;
    EXPECT_FALSE(ReplaceFilePair(dir(), names, "a", "b", &error));
    EXPECT_NE(error.find("interrupted"), std::string::npos) << error;

    CollectionTree tree;
    EXPECT_EQ(LoadTreeFiles(dir(), tree).result, TreeLoad::Unreadable);
    EXPECT_TRUE(tree.Empty());
    tree.AddNode(nullptr, Attach::LastChild, "new tree");
    error.clear();
    EXPECT_EQ(SaveTreeFiles(
                  dir(), tree, [] { return 1u; }, &error),
              TreeSave::Failed);
    EXPECT_NE(error.find("interrupted"), std::string::npos) << error;
    EXPECT_EQ(temp.read("tvframe"), "new frame\r\n");
    EXPECT_TRUE(exists(".tvdata.new"));
    EXPECT_FALSE(exists("tvframe.bak"));
}

// The last flush comes after both renames and before the marker goes: a power cut never leaves
// a marker without its pair on disk. No marker is left behind.
TEST_F(FilePairTest, TheFolderIsFlushedOnceBothNewFilesAreInPlace)
{
    oldPair();
    std::vector<std::string> atFolderFlush;
    test::FlushRecorder flushes([&](const test::Flush& f) {
        if (f.folder)
            atFolderFlush.push_back(pair() + (exists(".tvframe.commit") ? " marked" : ""));
    });
    ASSERT_TRUE(ReplaceFilePair(dir(), names, "new frame", "new data"));
    ASSERT_FALSE(atFolderFlush.empty());
    EXPECT_EQ(atFolderFlush.back(), "new frame|new data marked");
    EXPECT_EQ(pair(), "new frame|new data");
    EXPECT_FALSE(exists(".tvframe.commit") || exists(".tvframe.new") || exists(".tvdata.new"));
}

// Only the second rename of a committed replacement fails (a folder cannot replace a file):
// the ids are still readable, yet the pair is mixed, and no load may go on with it.
TEST_F(FilePairTest, ALoadAfterARecoveryThatFailedAtTheSecondRenameFindsThePairUnreadable)
{
    temp.write("tvframe", "old\r\n");
    temp.write("tvdata", "OLD\r\n");
    temp.write(".tvframe.new", "new\r\n");
    temp.write(".tvdata.new/keep", "x");
    temp.write(".tvframe.commit", "");
    CollectionTree tree;
    EXPECT_EQ(LoadTreeFiles(dir(), tree).result, TreeLoad::Unreadable);
    EXPECT_TRUE(tree.Empty());
    EXPECT_EQ(pair(), "new\r\n|OLD\r\n");  // the first rename was made
}

}  // namespace
}  // namespace ql
