#include "app/handover/HandOver.h"

#include "foundation/VekBaseClass.h"
#include "platform/core/SafeFile.h"

namespace ql {

std::string HandOverText(const std::vector<std::string>& args)
{
    std::string text;
    for (std::size_t i = 0; i < args.size() && i < 3; ++i) {
        if (i > 0)
            text += "\r\n";
        // A line break of its own would shift the lines the receiver reads: it becomes a blank.
        for (char c : args[i])
            text += c == '\r' || c == '\n' ? ' ' : c;
    }
    return text;
}

ClipHandOver ParseHandOverText(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    StringList lines = SplitLines(text);
    ClipHandOver h;
    if (lines.size() > 0)
        h.File = lines[0];
    if (lines.size() > 1)
        h.Url = lines[1];
    if (lines.size() > 2)
        h.Title = lines[2];
    return h;
}

std::string AbsoluteClipPath(const std::string& arg, const std::string& cwd)
{
    if (arg.empty() || arg[0] == '/' || cwd.empty())
        return arg;
    std::string full = cwd.back() == '/' ? cwd + arg : cwd + "/" + arg;
    return FileExists(full) ? full : arg;
}

HandOverSend SendHandOverWithRetry(const std::function<HandOverSend()>& send, const std::function<void(int)>& wait,
                                   const std::function<bool()>& instanceRuns, int patienceMs, int retryMs)
{
    HandOverSend result = send();
    for (int waited = 0; result == HandOverSend::NoReceiver && waited < patienceMs && instanceRuns();
         waited += retryMs) {
        wait(retryMs);
        result = send();
    }
    return result;
}

std::string HandOverFailureLine(HandOverSend result)
{
    switch (result) {
    case HandOverSend::Delivered:
        return {};
    case HandOverSend::NoReceiver:
        return "quillory: the running Quillory did not take the clip (its drop zone is not listening); nothing was handed over.";
    case HandOverSend::Refused:
        return "quillory: the running Quillory refused the clip: the clip file given is no readable file.";
    case HandOverSend::Failed:
        break;
    }
    return "quillory: handing the clip over to the running Quillory failed; nothing was handed over.";
}

HandOverSend HandOverSendForReply(std::int64_t reply)
{
    return reply == static_cast<std::int64_t>(HandOverReply::Taken) ? HandOverSend::Delivered : HandOverSend::Refused;
}

}  // namespace ql
