// The hand-over sender of VekBaseClass.
// The capture extension compiles this file in as well, so it depends on platform/core only.
#include "foundation/VekBaseClass.h"

#include "platform/core/CopyDataTransport.h"

namespace ql {

bool SendCopyData(const std::string& className, const std::string& text, std::uint32_t dwData, std::uint64_t wParam,
                  std::int64_t* reply)
{
    return SendCopyDataMessage(className, CopyDataMessage::FromText(text, dwData, wParam), reply) ==
           CopyDataResult::Delivered;
}

}  // namespace ql
