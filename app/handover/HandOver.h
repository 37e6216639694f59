#pragma once
// The clip hand-over: a second start of the program, or the capture extension, sends the clip
// file, its source URL and its title as up to three lines to the drop zone's window class.
#include "foundation/HandOverReply.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ql {

inline constexpr char kZoneWindowClass[] = "TPlinderDragZoneForm";

struct ClipHandOver {
    std::string File;
    std::string Url;
    std::string Title;
    std::string Text;  // the clip file's text, read when the hand-over was taken
};

// Arguments 1 to 3 (the program path not included) joined with CR LF; further ones are left out,
// and line breaks inside an argument become blanks.
std::string HandOverText(const std::vector<std::string>& args);
// Lines at CR LF, CR or LF: file, URL, title; missing lines are empty. Text is not read.
ClipHandOver ParseHandOverText(std::string_view text);

// The first instance runs in another folder: a relative argument that names an existing file
// from `cwd` becomes absolute. Anything else (absolute paths, "forcehide", missing files) stays.
std::string AbsoluteClipPath(const std::string& arg, const std::string& cwd);

enum class HandOverSend { Delivered, NoReceiver, Failed, Refused };

// The second start's hand-over. While the first instance holds the lock but does not listen
// yet (it is still starting), tries again every `retryMs` until `patienceMs` have passed.
// `send` makes one try; `wait` sleeps; `instanceRuns` tells whether the lock is still held.
HandOverSend SendHandOverWithRetry(const std::function<HandOverSend()>& send, const std::function<void(int ms)>& wait,
                                   const std::function<bool()>& instanceRuns, int patienceMs = 5000, int retryMs = 100);

// The line a second start prints when its clip could not be handed over ("" when delivered).
std::string HandOverFailureLine(HandOverSend result);
// What a sender makes of a delivered message's reply.
HandOverSend HandOverSendForReply(std::int64_t reply);

}  // namespace ql
