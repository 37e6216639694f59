#include "platform/core/WindowActivator.h"

namespace ql {

std::optional<unsigned long> ChooseWindowToActivate(const std::vector<ClientWindow>& clients, pid_t pid,
                                                    const std::string& windowClass)
{
    auto ofClass = [&](const ClientWindow& w) {
        return !windowClass.empty() && (w.resClass == windowClass || w.resName == windowClass);
    };
    std::optional<unsigned long> ofProcess, ofProcessAndClass, classOnly;
    for (const ClientWindow& w : clients) {
        if (pid > 0 && w.pid == pid) {
            ofProcess = w.id;
            if (ofClass(w))
                ofProcessAndClass = w.id;
        } else if (ofClass(w)) {
            classOnly = w.id;
        }
    }
    if (ofProcessAndClass)
        return ofProcessAndClass;
    return ofProcess ? ofProcess : classOnly;
}

}  // namespace ql
