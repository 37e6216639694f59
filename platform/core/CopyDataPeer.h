#pragma once
// Which process owns the window of a class on the hand-over transport.
#include <string>
#include <sys/types.h>

namespace ql {

// The process listening for the class's messages, or 0 when nobody listens. The receiver sees
// a connection that closes without a message, which it ignores.
pid_t CopyDataReceiverPid(const std::string& className);

}  // namespace ql
