#include "components/shell/DeviceChangeHandler.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "platform/core/ErrorLog.h"
#include "platform/core/shell/ShellItems.h"

namespace ql::shellctl {

std::vector<DeviceEvent> VolumeChanges(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    std::vector<DeviceEvent> events;
    for (const auto& v : after)
        if (std::find(before.begin(), before.end(), v) == before.end())
            events.push_back({DBT_DEVICEARRIVAL, v});
    for (const auto& v : before)
        if (std::find(after.begin(), after.end(), v) == after.end())
            events.push_back({DBT_DEVICEREMOVECOMPLETE, v});
    return events;
}

TSvDeviceChangeHandler::TSvDeviceChangeHandler(GuiPost post, bool watchMounts)
    : post_(std::move(post)), alive_(std::make_shared<std::atomic<bool>>(true))
{
    if (watchMounts) {
        stop_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (stop_ >= 0)
            watcher_ = std::thread([this] { Watch(); });
    }
}

TSvDeviceChangeHandler::~TSvDeviceChangeHandler()
{
    *alive_ = false;  // relays still queued find the handler gone
    if (watcher_.joinable()) {
        std::uint64_t one = 1;
        (void)!::write(stop_, &one, sizeof one);
        watcher_.join();
    }
    if (stop_ >= 0)
        ::close(stop_);
}

void TSvDeviceChangeHandler::AddHandler(const void* owner, Method method)
{
    subscribers_.push_back(std::make_shared<Subscriber>(Subscriber{owner, std::move(method)}));
}

void TSvDeviceChangeHandler::RemoveHandler(const void* owner)
{
    auto found = std::find_if(subscribers_.begin(), subscribers_.end(),
                              [&](const auto& s) { return s->owner == owner; });
    if (found == subscribers_.end())
        return;
    (*found)->removed = true;
    subscribers_.erase(found);
}

std::intptr_t TSvDeviceChangeHandler::WindowProc(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    switch (msg) {
    case WM_QUERYENDSESSION:
        return 1;
    case WM_DEVICECHANGE:
        if (post_) {
            auto alive = alive_;
            post_([this, alive, wParam, lParam] {
                if (*alive)
                    WindowProc(kDeviceChangeRelay, wParam, lParam);
            });
        }
        return 0;
    case kDeviceChangeRelay:
        Notify(wParam, lParam);
        return 0;
    default:
        return 0;
    }
}

void TSvDeviceChangeHandler::Notify(std::uintptr_t wParam, std::intptr_t lParam)
{
    // Over a snapshot: subscribers may come and go while others run.
    auto snapshot = subscribers_;
    for (const auto& s : snapshot) {
        if (s->removed)
            continue;
        TMessage message{kDeviceChangeRelay, wParam, lParam, 0};
        try {
            s->method(*this, message);
        } catch (const std::exception& e) {
            if (OnException)
                GuardHandler("device change", [&] { OnException(e); });
            else
                LogError("device change", e.what());
        } catch (...) {
            LogCurrentException("device change");
        }
    }
}

void TSvDeviceChangeHandler::Watch()
{
    int mounts = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (mounts < 0)
        return;
    std::vector<std::string> volumes = shell::MountedVolumes();
    for (;;) {
        // The kernel marks the mount table's file with an exceptional condition on each change.
        pollfd fds[2] = {{stop_, POLLIN, 0}, {mounts, POLLPRI, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents & POLLIN)
            break;
        if (fds[1].revents & (POLLPRI | POLLERR)) {
            char buf[4096];
            ::lseek(mounts, 0, SEEK_SET);
            while (::read(mounts, buf, sizeof buf) > 0) {
            }
            auto now = shell::MountedVolumes();
            for (const auto& e : VolumeChanges(volumes, now))
                WindowProc(WM_DEVICECHANGE, e.event, 0);
            volumes = std::move(now);
        }
    }
    ::close(mounts);
}

namespace {
TSvDeviceChangeHandler::GuiPost& InstalledPoster()
{
    static TSvDeviceChangeHandler::GuiPost post;
    return post;
}
std::unique_ptr<TSvDeviceChangeHandler>& Instance()
{
    static std::unique_ptr<TSvDeviceChangeHandler> instance;
    return instance;
}
}  // namespace

void InstallDeviceChangePoster(TSvDeviceChangeHandler::GuiPost post) { InstalledPoster() = std::move(post); }

TSvDeviceChangeHandler& DeviceChangeHandler()
{
    if (!Instance())
        Instance() = std::make_unique<TSvDeviceChangeHandler>(InstalledPoster(), true);
    return *Instance();
}

void FreeDeviceChangeHandler() { Instance().reset(); }

}  // namespace ql::shellctl
