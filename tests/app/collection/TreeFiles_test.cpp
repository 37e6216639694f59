#include "app/collection/TreeFiles.h"
#include "app/collection/PageId.h"
#include "app/collection/TreeText.h"
#include "platform/core/SafeFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>
#include <unordered_set>

namespace ql {
namespace {

// "caption@level" per node, in absolute order, with "#id" when the node has one.
std::string Describe(const CollectionTree& tree)
{
    std::string out;
    tree.ForEach([&](TreeNode& n) {
        out += n.Text() + "@" + std::to_string(n.Level());
        if (n.HasPageId())
            out += "#" + n.PageId();
        out += "|";
    });
    return out;
}

RandomSource Sequence(std::vector<std::uint32_t> values)
{
    auto state = std::make_shared<std::pair<std::vector<std::uint32_t>, std::size_t>>(std::move(values), 0);
    return [state] { return state->first[state->second++ % state->first.size()]; };
}

TEST(TreeText, ReadsLevelsFromLeadingTabsAndBlanksAndClampsJumps)
{
    CollectionTree tree;
    // "c" jumps three levels below "a": it becomes a's child. "d" with two blanks is at level 2.
    TextToTree("a\r\n\t\t\tc\r\n  d\r\ne\n\tf\rg", tree);
    EXPECT_EQ(Describe(tree), "a@0|c@1|d@2|e@0|f@1|g@0|");
    EXPECT_EQ(tree.Count(), 6u);

    CollectionTree first;
    TextToTree("\t\tdeep first\r\n", first);  // nothing to hang it under: top level
    EXPECT_EQ(Describe(first), "deep first@0|");
}

TEST(TreeText, CaptionsWithOddCharactersComeBackAtTheirDepth)
{
    CollectionTree tree;
    TreeNode* a = tree.AddNode(nullptr, Attach::LastChild, "  leading blanks");
    TreeNode* b = tree.AddNode(a, Attach::LastChild, "line\r\nbreak\tand tab");
    tree.AddNode(b, Attach::LastChild, "\t\ttabbed start");
    tree.AddNode(a, Attach::LastChild, "ünïcödé – 中文 \"quoted\" [x]=y");
    tree.AddNode(nullptr, Attach::LastChild, "");

    const std::string text = TreeToText(tree);
    EXPECT_EQ(text.find("\r\n\t\tline break and tab"), std::string::npos);  // b is level 1
    CollectionTree back;
    TextToTree(text, back);
    EXPECT_EQ(Describe(back),
              "leading blanks@0|line  break and tab@1|tabbed start@2|ünïcödé – 中文 \"quoted\" [x]=y@1|@0|");
    EXPECT_EQ(TreeToText(back), text);
}

// The zone copies the editor's tree at every drag: straight from node to node, with the same
// result as going through the tree text, and the copy of the selected node at hand.
TEST(TreeText, ACopyOfCaptionsIsWhatTheTextRoundTripGives)
{
    CollectionTree tree;
    TreeNode* a = tree.AddNode(nullptr, Attach::LastChild, "  leading blanks");
    TreeNode* b = tree.AddNode(a, Attach::LastChild, "line\r\nbreak\tand tab");
    TreeNode* c = tree.AddNode(b, Attach::LastChild, "\t\ttabbed start");
    tree.AddNode(a, Attach::LastChild, "\xC3\xBCnicode \"quoted\"");
    tree.AddNode(nullptr, Attach::LastChild, "");
    tree.AddNode(nullptr, Attach::LastChild, " \t ");
    tree.SetPageId(c, "c");
    CollectionTree viaText, copy;
    TextToTree(TreeToText(tree), viaText);
    copy.AddNode(nullptr, Attach::LastChild, "replaced");
    TreeNode* cCopy = CopyTreeCaptions(tree, copy, c);
    EXPECT_EQ(Describe(copy), Describe(viaText));
    ASSERT_NE(cCopy, nullptr);
    EXPECT_EQ(copy.AbsoluteIndex(cCopy), tree.AbsoluteIndex(c));
    EXPECT_FALSE(cCopy->HasPageId());
    EXPECT_EQ(CopyTreeCaptions(tree, copy), nullptr);
    CollectionTree empty;
    EXPECT_EQ(CopyTreeCaptions(empty, copy, c), nullptr);
    EXPECT_TRUE(copy.Empty());
}

TEST(TreeText, DeepNestingNeitherOverflowsNorLosesNodes)
{
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += std::string(static_cast<std::size_t>(i), '\t') + "n\r\n";
    CollectionTree tree;
    TextToTree(text, tree);
    ASSERT_EQ(tree.Count(), 2000u);
    EXPECT_EQ(tree.NodeAt(1999)->Level(), 1999);
    EXPECT_EQ(TreeToText(tree), text);

    // Far deeper than any stack could recurse: counting, walking and freeing stay iterative.
    CollectionTree chain;
    TreeNode* last = nullptr;
    for (int i = 0; i < 300000; ++i)
        last = chain.AddNode(last, Attach::LastChild, "c");
    EXPECT_EQ(chain.AbsoluteIndex(last), 299999);
    chain.Delete(chain.TopLevel(0));
    EXPECT_EQ(chain.Count(), 0u);
}

class TreeFilesTest : public ::testing::Test {
protected:
    test::TempDir temp;
    std::string dir() const { return temp.dir(); }
    bool exists(const std::string& name) const { return std::filesystem::exists(temp.path() / name); }
};

TEST_F(TreeFilesTest, RoundTripKeepsShapeCaptionsAndIds)
{
    CollectionTree tree;
    TreeNode* a = tree.AddNode(nullptr, Attach::LastChild, "Alpha");
    tree.SetPageId(a, "Alpha");
    TreeNode* b = tree.AddNode(a, Attach::LastChild, "Beta\nsecond line");
    tree.SetPageId(b, "Beta(1-2-24)");
    TreeNode* c = tree.AddNode(b, Attach::LastChild, " Gamma");
    tree.SetPageId(c, "Gamma 2");
    TreeNode* d = tree.AddNode(nullptr, Attach::LastChild, "Delta");
    tree.SetPageId(d, "Delta");

    ASSERT_EQ(SaveTreeFiles(dir(), tree, Sequence({1})), TreeSave::Saved);
    EXPECT_EQ(temp.read("tvframe"), "Alpha\r\n\tBeta second line\r\n\t\tGamma\r\nDelta\r\n");
    EXPECT_EQ(temp.read("tvdata"), "Alpha\r\nBeta(1-2-24)\r\nGamma 2\r\nDelta\r\n");
    EXPECT_FALSE(exists("temp"));

    CollectionTree back;
    auto report = LoadTreeFiles(dir(), back);
    EXPECT_EQ(report.result, TreeLoad::Loaded);
    EXPECT_TRUE(report.backedUp);
    EXPECT_TRUE(back.Loaded());
    EXPECT_EQ(Describe(back), "Alpha@0#Alpha|Beta second line@1#Beta(1-2-24)|Gamma@2#Gamma 2|Delta@0#Delta|");
    EXPECT_EQ(temp.read("tvframe.bak"), temp.read("tvframe"));
    EXPECT_EQ(temp.read("tvdata.bak"), temp.read("tvdata"));
}

TEST_F(TreeFilesTest, MissingFilesLeaveTheTreeAlone)
{
    CollectionTree tree;
    tree.AddNode(nullptr, Attach::LastChild, "kept");
    temp.write("tvdata", "x\r\n");
    EXPECT_EQ(LoadTreeFiles(dir(), tree).result, TreeLoad::Missing);
    EXPECT_EQ(Describe(tree), "kept@0|");
    EXPECT_FALSE(tree.Loaded());
}

TEST_F(TreeFilesTest, AStructureWithoutIdsKeepsItsCaptionsAndIsNoGoodBackup)
{
    temp.write("tvframe", "x\r\n\ty\r\n");
    temp.write("tvframe.bak", "old x\r\n");
    temp.write("tvdata.bak", "old\r\n");
    CollectionTree tree;
    auto report = LoadTreeFiles(dir(), tree, Sequence({3, 4}));
    EXPECT_EQ(report.result, TreeLoad::Loaded);
    EXPECT_TRUE(report.idsMissing);
    EXPECT_EQ(Describe(tree), "x@0#3|y@1#4|");
    EXPECT_FALSE(report.backedUp);
    EXPECT_EQ(temp.read("tvdata.bak"), "old\r\n");
    EXPECT_FALSE(exists("tvdata"));
}

TEST_F(TreeFilesTest, ShortAndLongTvdata)
{
    temp.write("tvframe", "a\r\n\tb\r\nc\r\n");
    temp.write("tvdata", "A\r\n");
    temp.write("7.html", "orphan page");
    CollectionTree tree;
    // The nodes without id get distinct random numbers, never one in use or with a page file,
    // and keep them: each shows and saves its own page.
    auto report = LoadTreeFiles(dir(), tree, Sequence({100007, 7, 42, 42, 100042, 5}));
    EXPECT_EQ(Describe(tree), "a@0#A|b@1#42|c@0#5|");
    EXPECT_EQ(report.newIds, 2u);
    EXPECT_FALSE(report.backedUp);  // a mismatched pair is no good copy
    EXPECT_FALSE(exists("tvframe.bak"));
    ASSERT_EQ(SaveTreeFiles(dir(), tree, Sequence({9})), TreeSave::Saved);
    EXPECT_EQ(temp.read("tvdata"), "A\r\n42\r\n5\r\n");

    // A node made without an id is still written with a free number, the node left alone.
    TreeNode* bare = tree.AddNode(nullptr, Attach::LastChild, "d");
    ASSERT_EQ(SaveTreeFiles(dir(), tree, Sequence({42, 7, 5, 6})), TreeSave::Saved);
    EXPECT_EQ(temp.read("tvdata"), "A\r\n42\r\n5\r\n6\r\n");
    EXPECT_FALSE(bare->HasPageId());

    temp.write("tvframe", "a\r\n\tb\r\nc\r\n");
    temp.write("tvdata", "A\r\nB\r\nC\r\nD\r\nE\r\n");
    CollectionTree longer;
    LoadTreeFiles(dir(), longer);
    EXPECT_EQ(Describe(longer), "a@0#A|b@1#B|c@0#C|");
}

TEST_F(TreeFilesTest, IdsThatCouldLeaveThePageFilesAreRejected)
{
    temp.write("tvframe", "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\n");
    temp.write("tvdata", "ok\r\n../../etc/passwd\r\n\r\n.\r\n..\r\n!images\r\nfine id\r\n");
    CollectionTree tree;
    auto report = LoadTreeFiles(dir(), tree, Sequence({1, 2, 3, 4, 5}));
    EXPECT_EQ(report.rejectedIds, 5u);
    EXPECT_EQ(Describe(tree), "a@0#ok|b@0#1|c@0#2|d@0#3|e@0#4|f@0#5|g@0#fine id|");
}

TEST_F(TreeFilesTest, DamagedPairNeverReplacesGoodBackup)
{
    temp.write("tvframe", "a\r\n");
    temp.write("tvdata", "A\r\n");
    CollectionTree tree;
    ASSERT_TRUE(LoadTreeFiles(dir(), tree).backedUp);

    temp.write("tvframe", "");  // truncated by a crash
    CollectionTree damaged;
    auto report = LoadTreeFiles(dir(), damaged);
    EXPECT_EQ(report.result, TreeLoad::Loaded);
    EXPECT_FALSE(report.backedUp);
    EXPECT_EQ(temp.read("tvframe.bak"), "a\r\n");
    EXPECT_EQ(temp.read("tvdata.bak"), "A\r\n");

    temp.write("tvframe", std::string("a\0b\r\n", 5));
    LoadTreeFiles(dir(), damaged);
    EXPECT_EQ(temp.read("tvframe.bak"), "a\r\n");
}

// A pair the load had to mend (an id out of the folder, ids out of step with the nodes, line
// ends of another kind) is kept as it was before the first save replaces it by what was loaded;
// sweeps and later loads leave the copy, and a second damaged pair gets a copy of its own.
TEST_F(TreeFilesTest, ADamagedPairIsKeptAsItWasBeforeASaveReplacesIt)
{
    const std::string frame = "a\n\tb\n\tc\n", data = "A\r\n../../etc/passwd\r\n";
    temp.write("tvframe", frame);
    temp.write("tvdata", data);
    CollectionTree tree;
    TreeLoadReport report = LoadTreeFiles(dir(), tree, Sequence({7}));
    EXPECT_EQ(report.result, TreeLoad::Loaded);
    EXPECT_EQ(report.damagedCopy, std::string(kTreeFrameFile) + kDamagedSuffix);
    ASSERT_EQ(SaveTreeFiles(dir(), tree, Sequence({8})), TreeSave::Saved);
    EXPECT_NE(temp.read("tvframe"), frame);
    EXPECT_EQ(temp.read("tvframe.damaged"), frame);
    EXPECT_EQ(temp.read("tvdata.damaged"), data);

    CollectionTree again;  // the saved pair is sound: nothing more is kept
    EXPECT_EQ(LoadTreeFiles(dir(), again).damagedCopy, "");
    EXPECT_EQ(RemoveStaleTemporaries(dir()), 0u);
    EXPECT_EQ(temp.read("tvframe.damaged"), frame);

    temp.write("tvdata", "A\r\n");  // fewer ids than nodes
    CollectionTree second;
    EXPECT_EQ(LoadTreeFiles(dir(), second, Sequence({9})).damagedCopy,
              std::string(kTreeFrameFile) + kDamagedSuffix + "2");
    EXPECT_EQ(temp.read("tvdata.damaged2"), "A\r\n");
    EXPECT_EQ(temp.read("tvdata.damaged"), data);
}

TEST_F(TreeFilesTest, TinyTreesAreNeverWritten)
{
    temp.write("tvframe", "old\r\n");
    temp.write("tvdata", "old\r\n");
    CollectionTree tree;
    EXPECT_EQ(SaveTreeFiles(dir(), tree, Sequence({1})), TreeSave::TooSmall);
    TreeNode* n = tree.AddNode(nullptr, Attach::LastChild, "x");
    EXPECT_EQ(SaveTreeFiles(dir(), tree, Sequence({1})), TreeSave::TooSmall);
    EXPECT_EQ(temp.read("tvframe"), "old\r\n");
    EXPECT_TRUE(exists("temp"));
    tree.SetText(n, "xy");
    EXPECT_EQ(SaveTreeFiles(dir(), tree, Sequence({1})), TreeSave::Saved);
    EXPECT_EQ(temp.read("tvframe"), "xy\r\n");
}

TEST_F(TreeFilesTest, WriteIntoAFolderThatCannotBeCreatedFails)
{
    temp.write("blocker", "a file where the folder should be");
    CollectionTree tree;
    tree.AddNode(nullptr, Attach::LastChild, "node");
    std::string error;
    EXPECT_EQ(SaveTreeFiles(dir() + "blocker/Collection/", tree, Sequence({1}), &error), TreeSave::Failed);
    EXPECT_FALSE(error.empty());
}

TEST_F(TreeFilesTest, FailedTvframeWriteLeavesThePairIntact)
{
    temp.write("tvframe", "old\r\n");
    temp.write("tvdata", "old\r\n");
    // A folder in the place of "tvframe" makes its rename fail.
    std::filesystem::remove(temp.path() / "tvframe");
    std::filesystem::create_directory(temp.path() / "tvframe");
    temp.write("tvframe/keep", "x");
    CollectionTree tree;
    tree.AddNode(nullptr, Attach::LastChild, "new tree");
    EXPECT_EQ(SaveTreeFiles(dir(), tree, Sequence({1})), TreeSave::Failed);
    EXPECT_EQ(temp.read("tvdata"), "old\r\n");
}

TEST_F(TreeFilesTest, FailedTvdataWriteKeepsTheOldPair)
{
    temp.write("tvframe", "old a\r\nold b\r\n");
    // A folder in the place of "tvdata" makes its replacement fail after "tvframe" could go.
    std::filesystem::create_directory(temp.path() / "tvdata");
    temp.write("tvdata/keep", "x");
    CollectionTree tree;
    TreeNode* n = tree.AddNode(nullptr, Attach::LastChild, "new tree");
    tree.SetPageId(n, "new");
    std::string error;
    EXPECT_EQ(SaveTreeFiles(dir(), tree, Sequence({1}), &error), TreeSave::Failed);
    EXPECT_NE(error.find("tvdata"), std::string::npos) << error;
    EXPECT_EQ(temp.read("tvframe"), "old a\r\nold b\r\n");
    for (const auto& entry : std::filesystem::directory_iterator(temp.path()))
        EXPECT_TRUE(entry.path().filename() == "tvframe" || entry.path().filename() == "tvdata" ||
                    entry.path().filename() == "temp")
            << entry.path();

    // With no "tvframe" before, none is left behind either: a lone new shape would meet no ids.
    std::filesystem::remove(temp.path() / "tvframe");
    EXPECT_EQ(SaveTreeFiles(dir(), tree, Sequence({1})), TreeSave::Failed);
    EXPECT_FALSE(exists("tvframe"));

    std::filesystem::remove_all(temp.path() / "tvdata");
    EXPECT_EQ(SaveTreeFiles(dir(), tree, Sequence({1})), TreeSave::Saved);
    EXPECT_EQ(temp.read("tvframe"), "new tree\r\n");
    EXPECT_EQ(temp.read("tvdata"), "new\r\n");
    EXPECT_FALSE(exists("temp"));
}

}  // namespace
}  // namespace ql

namespace ql {
namespace {

TEST_F(TreeFilesTest, DuplicateIdsGetACopyOfTheSharedPage)
{
    temp.write("tvframe", "a\r\n\tb\r\nc\r\nd\r\n");
    temp.write("tvdata", "P\r\nP\r\nQ\r\nP\r\n");
    temp.write("P.html", "<p>shared</p>\r\n");
    temp.write("images.ini", "[P]\r\npic.png=1\r\n[Q]\r\nq.png=1\r\n");
    temp.write("tvframe.bak", "good\r\n");
    temp.write("tvdata.bak", "good\r\n");
    CollectionTree tree;
    auto report = LoadTreeFiles(dir(), tree, Sequence({11, 12}));
    // The first holder keeps the id; each later one gets its own page with the same content.
    EXPECT_EQ(Describe(tree), "a@0#P|b@1#11|c@0#Q|d@0#12|");
    EXPECT_EQ(report.duplicateIds, 2u);
    EXPECT_EQ(report.uncopiedPages, 0u);
    EXPECT_EQ(temp.read("11.html"), "<p>shared</p>\r\n");
    EXPECT_EQ(temp.read("12.html"), "<p>shared</p>\r\n");
    EXPECT_EQ(temp.read("P.html"), "<p>shared</p>\r\n");
    EXPECT_EQ(temp.read("images.ini"),
              "[P]\r\npic.png=1\r\n[Q]\r\nq.png=1\r\n[11]\r\npic.png=1\r\n[12]\r\npic.png=1\r\n");
    // The repaired ids are on disk at once; the damaged pair never became the backup.
    EXPECT_EQ(temp.read("tvdata"), "P\r\n11\r\nQ\r\n12\r\n");
    EXPECT_EQ(temp.read("tvframe"), "a\r\n\tb\r\nc\r\nd\r\n");
    EXPECT_EQ(temp.read("tvdata.bak"), "good\r\n");

    CollectionTree again;
    auto second = LoadTreeFiles(dir(), again, Sequence({13}));
    EXPECT_EQ(second.duplicateIds, 0u);
    EXPECT_EQ(Describe(again), Describe(tree));
    EXPECT_FALSE(exists("13.html"));
}

TEST_F(TreeFilesTest, FreshIdsForALargeTreeWithoutIdsTakeLinearTime)
{
    // Every random number is taken after the first, so nearly every id is counted on: a scan
    // that started again for each node would take minutes here.
    constexpr std::size_t kNodes = 30000;
    std::string frame;
    for (std::size_t i = 0; i < kNodes; ++i)
        frame += "n" + std::to_string(i) + "\r\n";
    temp.write("tvframe", frame);
    temp.write("tvdata", "");
    temp.write("100001.html", "taken");
    CollectionTree tree;
    const auto start = std::chrono::steady_clock::now();
    auto report = LoadTreeFiles(dir(), tree, Sequence({0}));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(2));
    ASSERT_EQ(report.newIds, kNodes);
    std::unordered_set<std::string> ids;
    tree.ForEach([&](TreeNode& n) { ids.insert(n.PageId()); });
    EXPECT_EQ(ids.size(), kNodes);
    EXPECT_EQ(tree.NodeAt(0)->PageId(), "0");
    EXPECT_EQ(tree.NodeAt(1)->PageId(), "100000");
    EXPECT_EQ(tree.NodeAt(2)->PageId(), "100002");  // past the page file
}

TEST_F(TreeFilesTest, ALoadRemovesStaleTemporariesOfOurWritesOnly)
{
    temp.write("tvframe", "a\r\n");
    temp.write("tvdata", "A\r\n");
    const std::vector<std::string> stale = {".tvdata.tmp=Ab12Cd", ".A.html.tmp=zzzzzz", "!images/.pic.png.tmp=Q1w2E3",
                                            ".images.ini.tmp=000000"};
    // A picture named after its address may look much like a temporary.
    const std::vector<std::string> foreign = {
        "notes.tmp=Ab12Cd",           ".draft.tmp=",          ".x.tmp=Ab12C!", "sub/.y.tmp=Ab12Cd",
        "!images/.pic.png.tmpQ1w2E3", ".busy.html.tmp=BUSY00"};
    for (const auto& name : stale)
        temp.write(name, "half written");
    for (const auto& name : foreign)
        temp.write(name, "someone else's");
    // A write still under way holds its temporary locked.
    int busy = ::open((temp.path() / ".busy.html.tmp=BUSY00").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(busy, 0);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);

    CollectionTree tree;
    auto report = LoadTreeFiles(dir(), tree);
    ::close(busy);
    EXPECT_EQ(report.removedTemporaries, stale.size());
    for (const auto& name : stale)
        EXPECT_FALSE(exists(name)) << name;
    for (const auto& name : foreign)
        EXPECT_TRUE(exists(name)) << name;
}

}  // namespace
}  // namespace ql
