#pragma once
// One bitmap shared by several controls as their background. Each control registers a
// TLinkChange and hears through it when the bitmap changes. Either side may go first: a
// destroyed holder leaves its links with no holder, a destroyed link leaves its holder's list.
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "components/browserhost/Bitmap.h"
#include "components/browserhost/Painter.h"

namespace ql {

class TBitmapHolder;

class TLinkChange {
public:
    TLinkChange() = default;
    virtual ~TLinkChange();
    TLinkChange(const TLinkChange&) = delete;
    TLinkChange& operator=(const TLinkChange&) = delete;

    // The holder this link is registered with, or nullptr.
    TBitmapHolder* Holder() const { return holder_; }

    // Raises OnChange with Holder() as the sender, when set.
    virtual void Change();

    std::function<void(TBitmapHolder* Sender)> OnChange;

private:
    friend class TBitmapHolder;
    TBitmapHolder* holder_ = nullptr;
};

class TBitmapHolder {
public:
    TBitmapHolder();
    virtual ~TBitmapHolder();
    TBitmapHolder(const TBitmapHolder&) = delete;
    TBitmapHolder& operator=(const TBitmapHolder&) = delete;

    // The holder's own bitmap; changing it notifies the links.
    TBitmap& Bitmap() { return bitmap_; }
    const TBitmap& Bitmap() const { return bitmap_; }
    // Copies `value` into the holder's bitmap (nullptr empties it), then notifies the links,
    // which thus hear of a write twice: once from the bitmap, once from here.
    void SetBitmap(const TBitmap* value);

    // Registers a link (again, if it is already registered: it is then notified once per
    // entry). A link registered with another holder leaves that one first.
    void AddLink(TLinkChange* link);
    // Drops the first entry of `link`; the link keeps this holder while it has entries left.
    // A link that is not registered is left alone.
    void RemoveLink(TLinkChange* link);
    // Calls Change of every link, first to last. Handlers may add, remove or destroy links, or
    // destroy the holder: the walk runs over a copy and skips whatever has left meanwhile.
    void NotifyLinks();
    std::size_t LinkCount() const { return links_.size(); }

    // True when there is no picture to show.
    bool IsEmpty() const { return bitmap_.Empty(); }
    // Tiles the bitmap over `rect` as TileBitmap does, but leaves the painter's clip alone.
    void DrawTiled(const TRect& rect, IPainter& dc) const;

protected:
    virtual void BitmapChanged();

private:
    friend class THolderRef;
    friend class TLinkChange;
    void RemoveAllEntries(TLinkChange* link);

    // Expires when the holder goes, for THolderRef and for walks that outlive a handler.
    std::shared_ptr<TBitmapHolder*> self_;
    TBitmap bitmap_;
    std::vector<TLinkChange*> links_;
};

// A reference to a holder that reads as nullptr once the holder is destroyed.
class THolderRef {
public:
    THolderRef() = default;
    explicit THolderRef(TBitmapHolder* holder);
    TBitmapHolder* get() const;

private:
    std::weak_ptr<TBitmapHolder*> token_;
};

}  // namespace ql
