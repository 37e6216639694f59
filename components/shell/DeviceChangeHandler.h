#pragma once
// The process's one device-change broadcaster: a watcher thread notices volumes arriving and
// leaving (changes of /proc/self/mountinfo) and hands each change to the GUI thread, where
// every subscribed control is told in the order it subscribed.
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace ql::shellctl {

inline constexpr std::uint32_t WM_QUERYENDSESSION = 0x11;
inline constexpr std::uint32_t WM_DEVICECHANGE = 0x219;
inline constexpr std::uint32_t kDeviceChangeRelay = 0x400 + 100;  // WM_USER + 100
inline constexpr std::uintptr_t DBT_DEVICEARRIVAL = 0x8000;
inline constexpr std::uintptr_t DBT_DEVICEREMOVECOMPLETE = 0x8004;

struct TMessage {
    std::uint32_t Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

// One device event per volume that came or went between two lists of mount points.
struct DeviceEvent {
    std::uintptr_t event;
    std::string volume;
};
std::vector<DeviceEvent> VolumeChanges(const std::vector<std::string>& before, const std::vector<std::string>& after);

class TSvDeviceChangeHandler {
public:
    using Method = std::function<void(TSvDeviceChangeHandler& sender, TMessage& message)>;
    // Runs a function on the GUI thread later; must be callable from any thread.
    using GuiPost = std::function<void(std::function<void()>)>;

    // `watchMounts` starts the watcher thread (the process's instance does; tests drive
    // WindowProc themselves).
    TSvDeviceChangeHandler(GuiPost post, bool watchMounts);
    ~TSvDeviceChangeHandler();
    TSvDeviceChangeHandler(const TSvDeviceChangeHandler&) = delete;
    TSvDeviceChangeHandler& operator=(const TSvDeviceChangeHandler&) = delete;

    // `owner` names the subscription (the control); the same owner may subscribe twice.
    void AddHandler(const void* owner, Method method);
    // Removes the first subscription of `owner`; one removed during a notification is not
    // called afterwards.
    void RemoveHandler(const void* owner);
    int HandlerCount() const { return static_cast<int>(subscribers_.size()); }

    // The hidden window's procedure: ends of session are never held up, device changes are
    // relayed through the GUI queue, the relay notifies the subscribers.
    std::intptr_t WindowProc(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
    // A subscriber's exception goes here and the others still run (unset: it is logged).
    std::function<void(const std::exception&)> OnException;

private:
    struct Subscriber {
        const void* owner;
        Method method;
        bool removed = false;
    };
    void Notify(std::uintptr_t wParam, std::intptr_t lParam);
    void Watch();

    GuiPost post_;
    std::vector<std::shared_ptr<Subscriber>> subscribers_;
    std::shared_ptr<std::atomic<bool>> alive_;
    int stop_ = -1;  // eventfd that ends the watcher
    std::thread watcher_;
};

// The process-wide instance, made on first use with the poster installed at unit start-up.
void InstallDeviceChangePoster(TSvDeviceChangeHandler::GuiPost post);
TSvDeviceChangeHandler& DeviceChangeHandler();
// Frees the instance (unit shut-down).
void FreeDeviceChangeHandler();

}  // namespace ql::shellctl
