#include "components/shell/ChangeHandlerThread.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace ql::shellctl {

namespace {

std::uint32_t MaskOf(std::uint32_t filter)
{
    std::uint32_t mask = IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    if (filter & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME))
        mask |= IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
    if (filter & FILE_NOTIFY_CHANGE_ATTRIBUTES)
        mask |= IN_ATTRIB;
    if (filter & (FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE))
        mask |= IN_MODIFY | IN_CLOSE_WRITE;
    return mask;
}

// Whether an event is one the watch's filter asks for.
bool Wanted(std::uint32_t filter, std::uint32_t mask)
{
    if (mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED))
        return true;  // the folder itself went away
    if (mask & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO))
        return filter & ((mask & IN_ISDIR) ? FILE_NOTIFY_CHANGE_DIR_NAME : FILE_NOTIFY_CHANGE_FILE_NAME);
    if (mask & IN_ATTRIB)
        return filter & FILE_NOTIFY_CHANGE_ATTRIBUTES;
    if (mask & (IN_MODIFY | IN_CLOSE_WRITE))
        return filter & (FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    return false;
}

bool Inside(const std::string& path, const std::string& root)
{
    if (path == root)
        return true;
    std::string base = root == "/" ? root : root + "/";
    return path.compare(0, base.size(), base) == 0;
}

}  // namespace

TChangeHandlerThread::TChangeHandlerThread(Poster post, std::uint32_t message)
    : post_(std::move(post)), message_(message), slots_(kInitialSlots)
{
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (inotify_ >= 0 && wake_ >= 0)
        thread_ = std::thread([this] { Body(); });  // without both, every AddWatch fails
}

TChangeHandlerThread::~TChangeHandlerThread()
{
    {
        std::lock_guard lock(mutex_);
        command_ = Command::Exit;
        ++sent_;
    }
    std::uint64_t one = 1;
    if (wake_ >= 0)
        (void)!::write(wake_, &one, sizeof one);
    if (thread_.joinable())
        thread_.join();
    // Closing the inotify descriptor ends every watch it holds.
    if (inotify_ >= 0)
        ::close(inotify_);
    if (wake_ >= 0)
        ::close(wake_);
}

bool TChangeHandlerThread::Run(Command command)
{
    std::unique_lock lock(mutex_);
    command_ = command;
    std::uint64_t id = ++sent_;
    std::uint64_t one = 1;
    if (!thread_.joinable() || ::write(wake_, &one, sizeof one) != sizeof one)
        return false;
    return replied_.wait_for(lock, std::chrono::milliseconds(2000), [&] { return done_ >= id; });
}

bool TChangeHandlerThread::AddWatch(const std::string& path, std::uint32_t filter, int& slot, bool watchSubtree)
{
    if (path.empty() || !thread_.joinable())
        return false;
    std::lock_guard gui(gui_);
    {
        std::lock_guard lock(mutex_);
        pendingPath_ = path;
        pendingFilter_ = filter;
        pendingSubtree_ = watchSubtree;
        resultSlot_ = -1;
    }
    if (!Run(Command::Add))
        return false;
    std::lock_guard lock(mutex_);
    if (resultSlot_ < 0)
        return false;
    slot = resultSlot_;
    return true;
}

bool TChangeHandlerThread::WatchShownFolder(const std::string& path)
{
    if (path.empty() || !thread_.joinable())
        return false;
    std::lock_guard gui(gui_);
    {
        std::lock_guard lock(mutex_);
        pendingPath_ = path;
        resultSlot_ = -1;
    }
    if (!Run(Command::WatchFolder))
        return false;
    std::lock_guard lock(mutex_);
    return resultSlot_ >= 0;
}

void TChangeHandlerThread::RemoveAllWatches()
{
    std::lock_guard gui(gui_);
    Run(Command::RemoveAll);
}

void TChangeHandlerThread::Body()
{
    for (;;) {
        pollfd fds[2] = {{wake_, POLLIN, 0}, {inotify_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents & POLLIN) {
            std::uint64_t count = 0;
            (void)!::read(wake_, &count, sizeof count);
            Command command;
            std::uint64_t id;
            {
                std::lock_guard lock(mutex_);
                command = command_;
                id = sent_;
            }
            if (command == Command::Exit)
                return;
            Act(command);
            {
                std::lock_guard lock(mutex_);
                done_ = id;
            }
            replied_.notify_all();
        }
        if (fds[1].revents & POLLIN)
            HandleEvents();
    }
}

void TChangeHandlerThread::Act(Command command)
{
    std::lock_guard lock(mutex_);
    switch (command) {
    case Command::Add: {
        int wd = ::inotify_add_watch(inotify_, pendingPath_.c_str(), MaskOf(pendingFilter_));
        if (wd < 0)
            return;
        std::size_t index = 0;
        while (index < slots_.size() && slots_[index].used)
            ++index;
        if (index == slots_.size())
            slots_.emplace_back();
        Slot& s = slots_[index];
        s = Slot{true, pendingSubtree_, pendingFilter_, pendingPath_, {wd}};
        slotOfWd_[wd] = index;
        resultSlot_ = static_cast<int>(index);
        return;
    }
    case Command::WatchFolder:
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            Slot& s = slots_[i];
            if (!s.used || !s.subtree || !Inside(pendingPath_, s.root))
                continue;
            int wd = ::inotify_add_watch(inotify_, pendingPath_.c_str(), MaskOf(s.filter));
            if (wd < 0)
                return;
            // One folder watched twice gets the same descriptor: it stays with its first slot.
            if (slotOfWd_.emplace(wd, i).second)
                s.wds.insert(wd);
            resultSlot_ = static_cast<int>(i);
            return;
        }
        return;
    case Command::RemoveAll:
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].used)
                FreeSlot(i);
        return;
    case Command::Exit:
        return;
    }
}

void TChangeHandlerThread::FreeSlot(std::size_t index)
{
    for (int wd : slots_[index].wds) {
        ::inotify_rm_watch(inotify_, wd);
        slotOfWd_.erase(wd);
    }
    slots_[index] = Slot{};
}

void TChangeHandlerThread::HandleEvents()
{
    alignas(inotify_event) char buf[64 * 1024];
    std::set<std::size_t> signalled;
    std::unique_lock lock(mutex_);
    for (;;) {
        ssize_t n = ::read(inotify_, buf, sizeof buf);
        if (n <= 0)
            break;
        for (char* p = buf; p < buf + n;) {
            auto* e = reinterpret_cast<inotify_event*>(p);
            p += sizeof(inotify_event) + e->len;
            auto found = slotOfWd_.find(e->wd);
            if (found == slotOfWd_.end())
                continue;
            std::size_t index = found->second;
            Slot& s = slots_[index];
            if (Wanted(s.filter, e->mask))
                signalled.insert(index);
            if (e->mask & IN_IGNORED) {
                // The folder is gone: its watch ends; a slot with no folder left is free.
                slotOfWd_.erase(found);
                s.wds.erase(e->wd);
                if (s.wds.empty())
                    s = Slot{};
            }
        }
    }
    lock.unlock();
    if (post_)
        for (std::size_t index : signalled)
            post_(message_, static_cast<int>(index));
}

}  // namespace ql::shellctl
