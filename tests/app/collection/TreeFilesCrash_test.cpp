// Tree saves and ".bak" copies killed at every step and at random instants: the next load must
// see the whole old pair or the whole new one, and never copy a mixed pair to ".bak".
#include "app/collection/FilePair.h"
#include "app/collection/TreeFiles.h"
#include "platform/core/SafeFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <random>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace ql {
namespace {

namespace fs = std::filesystem;

// Two trees whose halves cannot be mixed unnoticed: every caption names its own page id, and
// the trees differ in size and shape.
void BuildTree(CollectionTree& tree, char name, int nodes)
{
    TreeNode* top = nullptr;
    for (int i = 0; i < nodes; ++i) {
        const std::string caption = std::string(1, name) + std::to_string(i);
        TreeNode* n = tree.AddNode(i % 4 == 0 ? nullptr : top, Attach::LastChild, caption);
        if (i % 4 == 0)
            top = n;
        tree.SetPageId(n, "page " + caption);
    }
}

struct Pair {
    std::string frame, data;
    bool operator==(const Pair&) const = default;
};

std::optional<std::string> ReadOptional(const fs::path& path) { return ReadFileBytes(path.string()); }

// A collection folder in memory where there is such a file system: a kill means the same there,
// and hundreds of loads and saves do not wait for the disk's flushes (CI shares its disk).
class MemoryFolder {
public:
    MemoryFolder()
    {
        std::error_code ec;
        std::string base = fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
                               ? "/dev/shm"
                               : fs::temp_directory_path().string();
        std::string templ = base + "/quillory-crash-XXXXXX";
        if (!mkdtemp(templ.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = templ;
    }
    ~MemoryFolder()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    std::string dir() const { return path_.string() + "/"; }
    std::string read(const std::string& name) const { return ReadFileBytes((path_ / name).string()).value_or(""); }

private:
    fs::path path_;
};

class TreeFilesCrashTest : public ::testing::Test {
protected:
    MemoryFolder temp;
    CollectionTree treeA, treeB;
    Pair pairA, pairB;

    TreeFilesCrashTest()
    {
        BuildTree(treeA, 'a', 30);
        BuildTree(treeB, 'b', 37);
        pairA = SaveAndRead(treeA);
        pairB = SaveAndRead(treeB);
        fs::remove_all(temp.path());
        fs::create_directories(temp.path());
    }

    std::string dir() const { return temp.dir(); }

    Pair SaveAndRead(const CollectionTree& tree)
    {
        EXPECT_EQ(SaveTreeFiles(dir(), tree, [] { return 1u; }), TreeSave::Saved);
        return {temp.read(kTreeFrameFile), temp.read(kTreeDataFile)};
    }

    // "old", "new" or what went wrong, for the pair named `frame` and `data`.
    std::string StateOf(const std::string& frame, const std::string& data, const Pair& oldPair,
                        const Pair& newPair) const
    {
        auto f = ReadOptional(temp.path() / frame);
        auto d = ReadOptional(temp.path() / data);
        if (!f && !d)
            return "none";
        if (!f || !d)
            return "half";
        Pair p{*f, *d};
        return p == oldPair ? "old" : p == newPair ? "new" : "mixed";
    }

    // A load of the tree files: the tree it gives must be one of the two, whole.
    std::string LoadedState()
    {
        CollectionTree loaded;
        auto report = LoadTreeFiles(dir(), loaded, [] { return 7u; });
        if (report.result != TreeLoad::Loaded)
            return "not loaded";
        if (report.newIds || report.rejectedIds || report.duplicateIds)
            return "ids lost";
        std::string which;
        bool matching = true;
        loaded.ForEach([&](TreeNode& n) {
            matching = matching && n.PageId() == "page " + n.Text();
            which = n.Text().substr(0, 1);
        });
        if (!matching)
            return "mixed";
        return (which == "a" && loaded.Count() == treeA.Count()) || (which == "b" && loaded.Count() == treeB.Count())
                   ? which
                   : "mixed";
    }

    // Runs `work` in a child process that is killed with SIGKILL just before its step number
    // `killAt` (counted over every step of every pair replacement it makes).
    void RunKilledAt(int killAt, const std::function<void(const FilePairStepHook&)>& work)
    {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int step = 0;
            work([&](std::string_view) {
                if (step++ == killAt)
                    ::raise(SIGKILL);
            });
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
    }
};

TEST_F(TreeFilesCrashTest, SaveKilledAtEveryStepLeavesTheOldOrTheNewPair)
{
    std::vector<std::string> steps;
    ASSERT_EQ(SaveTreeFiles(
                  dir(), treeA, [] { return 1u; }, nullptr, [&](std::string_view s) { steps.emplace_back(s); }),
              TreeSave::Saved);
    ASSERT_GE(steps.size(), 5u);
    int newPairs = 0;
    for (int k = 0; k <= static_cast<int>(steps.size()); ++k) {
        SCOPED_TRACE("killed before step " + std::to_string(k));
        ASSERT_EQ(SaveTreeFiles(dir(), treeA, [] { return 1u; }), TreeSave::Saved);
        RunKilledAt(k, [&](const FilePairStepHook& hook) {
            (void)SaveTreeFiles(
                dir(), treeB, [] { return 1u; }, nullptr, hook);
        });
        const std::string state = LoadedState();
        EXPECT_TRUE(state == "a" || state == "b") << state;
        EXPECT_EQ(StateOf("tvframe", "tvdata", pairA, pairB), state == "a" ? "old" : "new");
        newPairs += state == "b";
        // Nothing of the interrupted save is left beside the pair.
        for (const auto& e : fs::directory_iterator(temp.path()))
            EXPECT_EQ(e.path().filename().string().find(".new"), std::string::npos) << e.path();
    }
    // Killed before the commit the old pair stands, after it the new one.
    EXPECT_GT(newPairs, 0);
    EXPECT_LT(newPairs, static_cast<int>(steps.size()) + 1);
}

TEST_F(TreeFilesCrashTest, BackupKilledAtEveryStepIsNeverMixed)
{
    ASSERT_EQ(SaveTreeFiles(dir(), treeA, [] { return 1u; }), TreeSave::Saved);
    std::vector<std::string> steps;
    CollectionTree probe;
    LoadTreeFiles(
        dir(), probe, [] { return 1u; }, [&](std::string_view s) { steps.emplace_back(s); });
    ASSERT_GE(steps.size(), 5u);
    for (int k = 0; k <= static_cast<int>(steps.size()); ++k) {
        SCOPED_TRACE("killed before step " + std::to_string(k));
        ASSERT_EQ(SaveTreeFiles(dir(), treeA, [] { return 1u; }), TreeSave::Saved);
        CollectionTree a;
        ASSERT_TRUE(LoadTreeFiles(dir(), a).backedUp);
        ASSERT_EQ(SaveTreeFiles(dir(), treeB, [] { return 1u; }), TreeSave::Saved);
        RunKilledAt(k, [&](const FilePairStepHook& hook) {
            CollectionTree t;
            LoadTreeFiles(
                dir(), t, [] { return 1u; }, hook);
        });
        EXPECT_NE(RecoverFilePair(dir(), {"tvframe.bak", "tvdata.bak"}), FilePairRecovery::Failed);
        const std::string state = StateOf("tvframe.bak", "tvdata.bak", pairA, pairB);
        EXPECT_TRUE(state == "old" || state == "new") << state;
        EXPECT_EQ(LoadedState(), "b");
    }
}

// Children save and load in a loop and are killed at random instants: after each kill the next
// load finds one whole pair, and the ".bak" pair is whole too.
TEST_F(TreeFilesCrashTest, RandomKillsDuringSavesAndBackups)
{
    constexpr int kKills = 200;
    using Clock = std::chrono::steady_clock;
    auto round = [&](int n) {
        CollectionTree t;
        LoadTreeFiles(dir(), t, [] { return 1u; });
        (void)SaveTreeFiles(dir(), n % 2 ? treeA : treeB, [] { return 1u; });  // may be killed in it
    };
    // How long one load and save take here, so the kills spread over a few of them.
    const auto start = Clock::now();
    for (int i = 0; i < 4; ++i)
        round(i);
    const auto roundTime = (Clock::now() - start) / 4;

    std::mt19937 rng(12345);
    const auto spread =
        std::min<long long>(std::chrono::duration_cast<std::chrono::microseconds>(roundTime * 3).count(), 20000);
    std::uniform_int_distribution<long long> delay(0, spread);
    int consistent = 0, leftovers = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(ready[0]);
            [[maybe_unused]] ssize_t n = ::write(ready[1], "s", 1);
            for (int i = 0; i < 1000; ++i)
                round(i);
            _exit(0);
        }
        ::close(ready[1]);
        char c;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ::close(ready[0]);
        // The instant of the kill is the point of the test: spin, so no timer slack moves it.
        const auto at = Clock::now() + std::chrono::microseconds(delay(rng));
        while (Clock::now() < at) {
        }
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);

        for (const auto& e : fs::directory_iterator(temp.path()))
            leftovers += e.path().filename().string().find(".tmp") != std::string::npos;
        const std::string state = LoadedState();
        const std::string backup = StateOf("tvframe.bak", "tvdata.bak", pairA, pairB);
        const bool whole = (state == "a" || state == "b") && backup != "mixed" && backup != "half";
        EXPECT_TRUE(whole) << "kill " << kill << ": " << state << ", backup " << backup;
        consistent += whole;
    }
    std::cout << "[          ] " << consistent << " of " << kKills << " kills survived with a consistent pair; "
              << leftovers << " stale temporaries seen after kills\n";
    EXPECT_EQ(consistent, kKills);
    // The last load removed what the last kill left.
    for (const auto& e : fs::directory_iterator(temp.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

}  // namespace
}  // namespace ql
