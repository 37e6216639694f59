#pragma once
// Stands in for Quillory's drop zone: listens for clip hand-overs and, like the program, reads
// the clip file named in the message's first line when it takes one, and answers as the program
// does (taken, unless told to refuse).
#include "foundation/HandOverReply.h"
#include "platform/core/CopyDataTransport.h"
#include "platform/core/SafeFile.h"

#include <mutex>
#include <string>
#include <vector>

namespace ql::test {

struct HandOver {
    std::uint32_t dwData = 0;
    std::uint64_t wParam = 0;
    std::string data;  // the bytes, terminating NUL included
    std::string text;  // up to the NUL
    std::string clip;  // the clip file's content when the message came
};

class HandOverListener {
public:
    explicit HandOverListener(HandOverReply reply = HandOverReply::Taken)
        : server_("TPlinderDragZoneForm", [this, reply](const CopyDataMessage& m) {
              HandOver h{m.dwData, m.wParam, m.data, m.Text(), ""};
              h.clip = ReadFileBytes(h.text.substr(0, h.text.find("\r\n"))).value_or("<unreadable>");
              std::lock_guard<std::mutex> lock(mutex_);
              received_.push_back(std::move(h));
              return static_cast<std::int64_t>(reply);
          })
    {
    }
    bool Listening() const { return server_.Listening(); }
    std::vector<HandOver> Received()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }

private:
    std::mutex mutex_;
    std::vector<HandOver> received_;
    CopyDataServer server_;  // last: stops before the rest goes
};

}  // namespace ql::test
