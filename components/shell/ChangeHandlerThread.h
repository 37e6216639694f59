#pragma once
// The worker that keeps a shell control current: it waits for changes in the folders the
// control watches (inotify) and posts one message to the control per wake-up of each watch.
// Watches are added and removed from the GUI thread through a command and its reply.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace ql::shellctl {

// What a watch reports.
inline constexpr std::uint32_t FILE_NOTIFY_CHANGE_FILE_NAME = 0x1;
inline constexpr std::uint32_t FILE_NOTIFY_CHANGE_DIR_NAME = 0x2;
inline constexpr std::uint32_t FILE_NOTIFY_CHANGE_ATTRIBUTES = 0x4;
inline constexpr std::uint32_t FILE_NOTIFY_CHANGE_SIZE = 0x8;
inline constexpr std::uint32_t FILE_NOTIFY_CHANGE_LAST_WRITE = 0x10;

// The message the shell controls have their changes posted as.
inline constexpr std::uint32_t WM_USER = 0x400;
inline constexpr std::uint32_t kChangeNotifyMessage = WM_USER + 101;

class TChangeHandlerThread {
public:
    // Posts (message, slot) to the control; called on the worker thread, so it must be safe to
    // call from there (queue an event). Empty: nothing is posted.
    using Poster = std::function<void(std::uint32_t message, int slot)>;

    TChangeHandlerThread(Poster post, std::uint32_t message);
    ~TChangeHandlerThread();  // stops and joins the worker, then closes every watch
    TChangeHandlerThread(const TChangeHandlerThread&) = delete;
    TChangeHandlerThread& operator=(const TChangeHandlerThread&) = delete;

    // Watches a folder; `slot` gets the watch's number (the lowest free one; the table grows
    // when all are taken). False, slot untouched, for an empty or unwatchable path or when the
    // worker does not answer within 2 seconds. A watch "with subtree" covers the folder and
    // every folder below it that the control shows and hands to WatchShownFolder: inotify has
    // no recursive watch, and a whole disk cannot be watched folder by folder.
    bool AddWatch(const std::string& path, std::uint32_t filter, int& slot, bool watchSubtree);
    // Adds a shown folder to the subtree watch whose folder holds it; false when none does.
    bool WatchShownFolder(const std::string& path);
    void RemoveAllWatches();

    static constexpr int kInitialSlots = 63;

private:
    enum class Command { Add, WatchFolder, RemoveAll, Exit };
    struct Slot {
        bool used = false;
        bool subtree = false;
        std::uint32_t filter = 0;
        std::string root;
        std::set<int> wds;
    };

    bool Run(Command command);  // under no lock; waits for the reply
    void Body();
    void Act(Command command);
    void HandleEvents();
    void FreeSlot(std::size_t index);

    Poster post_;
    std::uint32_t message_;
    int inotify_ = -1;
    int wake_ = -1;  // eventfd

    std::mutex mutex_;  // guards the command block and the reply
    std::condition_variable replied_;
    std::uint64_t sent_ = 0, done_ = 0;
    Command command_ = Command::Add;
    std::string pendingPath_;
    std::uint32_t pendingFilter_ = 0;
    bool pendingSubtree_ = false;
    int resultSlot_ = -1;
    std::mutex gui_;  // one command at a time from the GUI side

    // Worker's own.
    std::vector<Slot> slots_;
    std::map<int, std::size_t> slotOfWd_;

    std::thread thread_;
};

}  // namespace ql::shellctl
