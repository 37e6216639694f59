#include "components/browserhost/PagesBackground.h"

#include <utility>

#include "components/browserhost/Grafxes.h"

namespace ql {

PageBackground::PageBackground(HolderTiling tiling, std::function<void()> invalidate)
    : tiling_(tiling), invalidate_(std::move(invalidate))
{
    link_.OnChange = [this](TBitmapHolder*) { Invalidate(); };
    // Pixels drawn into the own bitmap show at once, as a new bitmap does.
    bitmap_.OnChange = [this] { Invalidate(); };
}

void PageBackground::Invalidate() const
{
    if (invalidate_)
        invalidate_();
}

void PageBackground::SetBitmap(const TBitmap* value)
{
    bitmap_.Assign(value);
    if (TBitmapHolder* holder = holder_.get()) {
        if (value)
            holder->RemoveLink(&link_);
        else if (link_.Holder() != holder)  // one entry only: one removal must unlink it
            holder->AddLink(&link_);
    }
    Invalidate();
}

void PageBackground::SetBitmapHolder(TBitmapHolder* value)
{
    if (TBitmapHolder* old = holder_.get())
        old->RemoveLink(&link_);
    holder_ = THolderRef(value);
    if (value && link_.Holder() != value)
        value->AddLink(&link_);
    Invalidate();
}

bool PageBackground::HasPicture() const
{
    if (!bitmap_.Empty())
        return true;
    const TBitmapHolder* holder = holder_.get();
    return holder && !holder->IsEmpty();
}

void PageBackground::Paint(IPainter& canvas, const TRect& client, TColor color, const BevelSettings& bevels,
                           const SystemPalette& palette) const
{
    if (!HasPicture()) {
        canvas.FillRect(client, color);
    } else if (!bitmap_.Empty()) {
        TileBitmap(canvas, client, bitmap_);
    } else if (const TBitmapHolder* holder = holder_.get()) {
        if (tiling_ == HolderTiling::ByHolder)
            holder->DrawTiled(client, canvas);
        else
            TileBitmap(canvas, client, holder->Bitmap());
    }
    DrawBevels(canvas, client, bevels, color, palette);
}

}  // namespace ql
