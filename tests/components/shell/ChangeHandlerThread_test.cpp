#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>

#include "components/shell/ChangeHandlerThread.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;
using namespace ql;
using namespace ql::shellctl;

namespace {

// Collects what the worker posts and lets the test wait for it.
class Posts {
public:
    TChangeHandlerThread::Poster Poster()
    {
        return [this](std::uint32_t message, int slot) {
            std::lock_guard lock(mutex_);
            messages_.push_back(message);
            slots_.push_back(slot);
            cv_.notify_all();
        };
    }
    // Waits until at least `count` posts arrived; false after 5 seconds.
    bool WaitFor(std::size_t count)
    {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, std::chrono::seconds(5), [&] { return slots_.size() >= count; });
    }
    std::vector<int> Slots()
    {
        std::lock_guard lock(mutex_);
        return slots_;
    }
    std::vector<std::uint32_t> Messages()
    {
        std::lock_guard lock(mutex_);
        return messages_;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<int> slots_;
    std::vector<std::uint32_t> messages_;
};

constexpr std::uint32_t kNames = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;

TEST(TChangeHandlerThread, PostsOnceForEachChangeWithTheWatchesSlot)
{
    test::TempDir dir;
    fs::create_directories(dir.path() / "a");
    fs::create_directories(dir.path() / "b");
    Posts posts;
    TChangeHandlerThread thread(posts.Poster(), kChangeNotifyMessage);
    int slotA = -5, slotB = -5;
    ASSERT_TRUE(thread.AddWatch((dir.path() / "a").string(), kNames, slotA, false));
    ASSERT_TRUE(thread.AddWatch((dir.path() / "b").string(), kNames, slotB, false));
    EXPECT_EQ(slotA, 0);
    EXPECT_EQ(slotB, 1);

    std::ofstream(dir.path() / "b/new.txt") << "x";
    ASSERT_TRUE(posts.WaitFor(1));
    fs::create_directory(dir.path() / "a/sub");
    ASSERT_TRUE(posts.WaitFor(2));
    EXPECT_EQ(posts.Slots(), (std::vector<int>{slotB, slotA}));
    EXPECT_EQ(posts.Messages()[0], kChangeNotifyMessage);

    // A filter for folder names only ignores new files.
    int slotC = -1;
    fs::create_directories(dir.path() / "c");
    ASSERT_TRUE(thread.AddWatch((dir.path() / "c").string(), FILE_NOTIFY_CHANGE_DIR_NAME, slotC, false));
    std::ofstream(dir.path() / "c/file") << "x";
    fs::create_directory(dir.path() / "c/dir");
    ASSERT_TRUE(posts.WaitFor(3));
    EXPECT_EQ(posts.Slots(), (std::vector<int>{slotB, slotA, slotC}));
}

TEST(TChangeHandlerThread, FailedWatchesAndTheLowestFreeSlot)
{
    test::TempDir dir;
    for (const char* name : {"a", "b", "c"})
        fs::create_directories(dir.path() / name);
    Posts posts;
    TChangeHandlerThread thread(posts.Poster(), kChangeNotifyMessage);
    int slot = 42;
    EXPECT_FALSE(thread.AddWatch("", kNames, slot, false));
    EXPECT_FALSE(thread.AddWatch((dir.path() / "missing").string(), kNames, slot, false));
    std::ofstream(dir.path() / "file") << "";
    EXPECT_FALSE(thread.AddWatch((dir.path() / "file").string(), kNames, slot, false));
    EXPECT_EQ(slot, 42);

    int a, b, c;
    ASSERT_TRUE(thread.AddWatch((dir.path() / "a").string(), kNames, a, false));
    ASSERT_TRUE(thread.AddWatch((dir.path() / "b").string(), kNames, b, false));
    ASSERT_TRUE(thread.AddWatch((dir.path() / "c").string(), kNames, c, false));
    // A watched folder that goes away ends its watch (one message), freeing its slot for reuse.
    fs::remove(dir.path() / "b");
    ASSERT_TRUE(posts.WaitFor(1));
    EXPECT_EQ(posts.Slots()[0], b);
    fs::create_directories(dir.path() / "d");
    int d = -1;
    ASSERT_TRUE(thread.AddWatch((dir.path() / "d").string(), kNames, d, false));
    EXPECT_EQ(d, 1);

    thread.RemoveAllWatches();
    ASSERT_TRUE(thread.AddWatch((dir.path() / "c").string(), kNames, slot, false));
    EXPECT_EQ(slot, 0);
}

TEST(TChangeHandlerThread, TheSlotTableGrowsAndSubtreesFollowShownFolders)
{
    test::TempDir dir;
    Posts posts;
    auto thread = std::make_unique<TChangeHandlerThread>(posts.Poster(), kChangeNotifyMessage);
    int slot = -1;
    for (int i = 0; i < TChangeHandlerThread::kInitialSlots + 2; ++i) {
        fs::create_directories(dir.path() / std::to_string(i));
        ASSERT_TRUE(thread->AddWatch((dir.path() / std::to_string(i)).string(), kNames, slot, false));
        EXPECT_EQ(slot, i);
    }
    thread->RemoveAllWatches();

    fs::create_directories(dir.path() / "root/shown/deeper");
    int root = -1;
    ASSERT_TRUE(thread->AddWatch((dir.path() / "root").string(), kNames, root, true));
    EXPECT_TRUE(thread->WatchShownFolder((dir.path() / "root/shown").string()));
    EXPECT_FALSE(thread->WatchShownFolder((dir.path() / "0").string()));  // under no subtree
    std::ofstream(dir.path() / "root/shown/new") << "";
    ASSERT_TRUE(posts.WaitFor(1));
    EXPECT_EQ(posts.Slots()[0], root);

    // Destroying the thread with watches in place returns promptly and posts nothing more.
    thread.reset();
    std::ofstream(dir.path() / "root/later") << "";
    EXPECT_EQ(posts.Slots().size(), 1u);
}

}  // namespace
