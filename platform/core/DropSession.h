#pragma once
// One registered drop target's view of the drags that pass its window: turns the toolkit's
// enter, motion, leave and drop notifications into the drop target's calls, in the order and
// with the effects the target expects.
#include <cstdint>

#include "platform/core/DragFormats.h"
#include "platform/core/com/DragDrop.h"

namespace ql {

// The single effect to report to the drag source for what the target answered, given what the
// source allows: copy before link before move. When the target accepts with an effect the
// source does not allow, copy or link stand in (never move); NONE when nothing fits.
com::DWORD ChooseDropEffect(com::DWORD answered, com::DWORD allowed);

// For a drag we started: the effect to report to its source once the drop target has taken
// the data with `performed` (not NONE). That effect when the source allows it. The drag can be
// offered only as copy, or copy and move, so a target may take it with an effect the source did
// not allow: that drop counts as a link, else a copy, when the source allows one, and as a drop
// with no effect otherwise; never as a move the target did not make.
com::DWORD StartedDragEffect(com::DWORD performed, com::DWORD okEffects);

com::DWORD KeyStateFrom(bool left, bool middle, bool right, bool shift, bool control, bool alt);

class DropSession {
public:
    explicit DropSession(com::IDropTarget* target);
    ~DropSession();
    DropSession(const DropSession&) = delete;
    DropSession& operator=(const DropSession&) = delete;

    // Each returns the effect to report (one DROPEFFECT value or NONE). An entry the target
    // accepts is followed by a drag-over at the same point, whose answer counts.
    com::DWORD Enter(com::ComPtr<XDragDataObject> data, com::DWORD keys, com::POINTL pt, com::DWORD allowed);
    com::DWORD Over(com::DWORD keys, com::POINTL pt, com::DWORD allowed);
    // The toolkit says the drag left. It says so just before a drop as well, so the leave is
    // only noted here; FlushLeave (run once the event loop is idle again) passes it on unless a
    // drop came first.
    void LeaveSoon();
    void FlushLeave();
    // The drop is announced: true when the last answer accepted it (then the data is fetched
    // and Drop follows); false ends the drag with a leave.
    bool DropStarting();
    com::DWORD Drop(drag::Fetcher fetch, com::DWORD keys, com::POINTL pt, com::DWORD allowed);
    // The registration ends: a drag still over the window ends with a leave. A drop under way
    // (its handlers may end the registration) finishes as it is, without a leave.
    void Cancel();
    // The window is being destroyed, and with it, likely, the target's owner: the drag ends
    // without another call to the target. Also what destruction does.
    void Abandon();

    bool InDrag() const { return static_cast<bool>(data_); }
    const XDragDataObject* Data() const { return data_.get(); }

private:
    void End(bool leave);

    com::ComPtr<com::IDropTarget> target_;
    com::ComPtr<XDragDataObject> data_;
    com::DWORD lastEffect_ = com::DROPEFFECT_NONE;
    bool leavePending_ = false;
    bool dropping_ = false;
    bool inTargetDrop_ = false;
};

}  // namespace ql
