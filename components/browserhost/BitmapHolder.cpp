#include "components/browserhost/BitmapHolder.h"

#include <algorithm>

#include "components/browserhost/Grafxes.h"

namespace ql {

TLinkChange::~TLinkChange()
{
    if (holder_)
        holder_->RemoveAllEntries(this);
}

void TLinkChange::Change()
{
    if (OnChange) {
        // The handler may destroy this link; call a copy.
        const auto handler = OnChange;
        handler(holder_);
    }
}

TBitmapHolder::TBitmapHolder() : self_(std::make_shared<TBitmapHolder*>(this))
{
    bitmap_.OnChange = [this] { BitmapChanged(); };
}

TBitmapHolder::~TBitmapHolder()
{
    self_.reset();
    for (TLinkChange* link : links_)
        link->holder_ = nullptr;
    links_.clear();
}

void TBitmapHolder::SetBitmap(const TBitmap* value)
{
    std::weak_ptr<TBitmapHolder*> alive = self_;
    bitmap_.Assign(value);
    if (!alive.expired())
        NotifyLinks();
}

void TBitmapHolder::AddLink(TLinkChange* link)
{
    if (!link)
        return;
    if (link->holder_ && link->holder_ != this)
        link->holder_->RemoveAllEntries(link);
    link->holder_ = this;
    links_.push_back(link);
}

void TBitmapHolder::RemoveLink(TLinkChange* link)
{
    auto it = std::find(links_.begin(), links_.end(), link);
    if (it == links_.end())
        return;
    links_.erase(it);
    if (std::find(links_.begin(), links_.end(), link) == links_.end())
        link->holder_ = nullptr;
}

void TBitmapHolder::RemoveAllEntries(TLinkChange* link)
{
    std::erase(links_, link);
    link->holder_ = nullptr;
}

void TBitmapHolder::NotifyLinks()
{
    const std::weak_ptr<TBitmapHolder*> alive = self_;
    const std::vector<TLinkChange*> snapshot = links_;
    for (TLinkChange* link : snapshot) {
        if (alive.expired())
            return;
        if (std::find(links_.begin(), links_.end(), link) != links_.end())
            link->Change();
    }
}

void TBitmapHolder::BitmapChanged() { NotifyLinks(); }

void TBitmapHolder::DrawTiled(const TRect& rect, IPainter& dc) const
{
    ForEachTile(rect, bitmap_.Width(), bitmap_.Height(),
                [&](int x, int y, int w, int h) { dc.Blit(x, y, w, h, bitmap_, 0, 0); });
}

THolderRef::THolderRef(TBitmapHolder* holder)
{
    if (holder)
        token_ = holder->self_;
}

TBitmapHolder* THolderRef::get() const
{
    const auto p = token_.lock();
    return p ? *p : nullptr;
}

}  // namespace ql
