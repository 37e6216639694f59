#pragma once
// What the drop zone answers a clip hand-over, for the program's second start and the capture
// extension alike.
#include <cstdint>

namespace ql {

enum class HandOverReply : std::int64_t {
    Taken = 0,
    NoClipFile = 1,  // refused: the message names no readable clip file
};

}  // namespace ql
