#include "platform/core/ExitDeadline.h"

#include "platform/core/ErrorLog.h"

#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace ql {

void ArmExitDeadline(std::chrono::milliseconds after)
{
    static std::once_flag armed;
    std::call_once(armed, [after] {
        std::thread([after] {
            std::this_thread::sleep_for(after);
            LogError("exit", "Quillory did not end within " + std::to_string(after.count()) +
                                 " ms of being asked to and ends now; what it had not saved stays on disk as it was");
            std::_Exit(1);
        }).detach();
    });
}

}  // namespace ql
