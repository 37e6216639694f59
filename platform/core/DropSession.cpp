#include "platform/core/DropSession.h"

namespace ql {

using namespace com;

DWORD ChooseDropEffect(DWORD answered, DWORD allowed)
{
    answered &= ~DROPEFFECT_SCROLL;
    DWORD both = answered & allowed;
    for (DWORD e : {DROPEFFECT_COPY, DROPEFFECT_LINK, DROPEFFECT_MOVE})
        if (both & e)
            return e;
    if (answered == DROPEFFECT_NONE)
        return DROPEFFECT_NONE;
    for (DWORD e : {DROPEFFECT_COPY, DROPEFFECT_LINK})
        if (allowed & e)
            return e;
    return DROPEFFECT_NONE;
}

DWORD StartedDragEffect(DWORD performed, DWORD okEffects)
{
    if (performed & okEffects)
        return performed;
    for (DWORD e : {DROPEFFECT_LINK, DROPEFFECT_COPY})
        if (okEffects & e)
            return e;
    return DROPEFFECT_NONE;
}

DWORD KeyStateFrom(bool left, bool middle, bool right, bool shift, bool control, bool alt)
{
    return (left ? MK_LBUTTON : 0) | (middle ? MK_MBUTTON : 0) | (right ? MK_RBUTTON : 0) | (shift ? MK_SHIFT : 0) |
           (control ? MK_CONTROL : 0) | (alt ? MK_ALT : 0);
}

DropSession::DropSession(IDropTarget* target) : target_(target) {}

DropSession::~DropSession() { Abandon(); }

void DropSession::End(bool leave)
{
    // During a drop the target is inside its Drop: a leave then would take the data from
    // under it.
    if (leave && data_ && target_ && !inTargetDrop_)
        target_->DragLeave();
    data_.reset();
    lastEffect_ = DROPEFFECT_NONE;
    leavePending_ = false;
    dropping_ = false;
}

void DropSession::Cancel() { End(true); }

void DropSession::Abandon() { End(false); }

DWORD DropSession::Enter(ComPtr<XDragDataObject> data, DWORD keys, POINTL pt, DWORD allowed)
{
    End(true);  // a drag whose end was never reported
    if (!data || !target_)
        return DROPEFFECT_NONE;
    data_ = std::move(data);
    DWORD effect = allowed;
    HRESULT hr = target_->DragEnter(data_.get(), keys, pt, &effect);
    if (hr != S_OK) {
        lastEffect_ = DROPEFFECT_NONE;
        return lastEffect_;
    }
    // The toolkit reports the first motion over the window as the entry alone, and the button
    // may go up before the next one: the target decides on the drag here already, as it does
    // on every motion.
    return Over(keys, pt, allowed);
}

DWORD DropSession::Over(DWORD keys, POINTL pt, DWORD allowed)
{
    if (!data_ || dropping_)
        return DROPEFFECT_NONE;
    if (leavePending_) {
        FlushLeave();
        return DROPEFFECT_NONE;
    }
    DWORD effect = allowed;
    HRESULT hr = target_->DragOver(keys, pt, &effect);
    // S_FALSE and failures both mean the target takes nothing from this drag.
    lastEffect_ = hr == S_OK ? ChooseDropEffect(effect, allowed) : DROPEFFECT_NONE;
    return lastEffect_;
}

void DropSession::LeaveSoon()
{
    if (data_ && !dropping_)
        leavePending_ = true;
}

void DropSession::FlushLeave()
{
    if (leavePending_)
        End(true);
}

bool DropSession::DropStarting()
{
    leavePending_ = false;
    if (!data_)
        return false;
    if (lastEffect_ == DROPEFFECT_NONE) {
        End(true);
        return false;
    }
    dropping_ = true;
    return true;
}

DWORD DropSession::Drop(drag::Fetcher fetch, DWORD keys, POINTL pt, DWORD allowed)
{
    if (!data_ || !dropping_) {
        End(true);
        return DROPEFFECT_NONE;
    }
    ComPtr<XDragDataObject> data = data_;
    data->BeginDrop(std::move(fetch));
    DWORD effect = allowed;
    inTargetDrop_ = true;
    HRESULT hr = target_->Drop(data.get(), keys, pt, &effect);
    inTargetDrop_ = false;
    data->EndDrop();
    End(false);
    return hr == S_OK ? ChooseDropEffect(effect, allowed) : DROPEFFECT_NONE;
}

}  // namespace ql
