#include "components/browserhost/BitmapHolder.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/components/browserhost/FakePainters.h"

using namespace ql;
using ql::test::PaintOp;
using ql::test::RecordingCanvas;

namespace {
struct CountingLink : TLinkChange {
    int calls = 0;
    TBitmapHolder* lastSender = nullptr;
    CountingLink()
    {
        OnChange = [this](TBitmapHolder* sender) {
            ++calls;
            lastSender = sender;
        };
    }
};
}  // namespace

TEST(BitmapHolder, WritesAndPixelChangesReachEveryLinkInOrder)
{
    TBitmapHolder holder;
    std::string order;
    TLinkChange a, b;
    a.OnChange = [&](TBitmapHolder*) { order += 'a'; };
    b.OnChange = [&](TBitmapHolder*) { order += 'b'; };
    holder.AddLink(&a);
    holder.AddLink(&b);
    EXPECT_TRUE(holder.IsEmpty());

    TBitmap picture;
    ASSERT_TRUE(picture.SetSize(3, 2));
    holder.SetBitmap(&picture);  // once from the bitmap, once from the write
    EXPECT_EQ(order, "abab");
    EXPECT_FALSE(holder.IsEmpty());
    EXPECT_EQ(holder.Bitmap().Width(), 3);

    order.clear();
    holder.Bitmap().SetPixel(1, 1, clWhite);
    EXPECT_EQ(order, "ab");
    order.clear();
    holder.SetBitmap(nullptr);
    EXPECT_EQ(order, "abab");
    EXPECT_TRUE(holder.IsEmpty());
}

TEST(BitmapHolder, LinkAddedTwiceIsNotifiedTwiceAndStaysUntilItsLastEntryGoes)
{
    TBitmapHolder holder;
    CountingLink link;
    holder.AddLink(&link);
    holder.AddLink(&link);
    holder.NotifyLinks();
    EXPECT_EQ(link.calls, 2);
    EXPECT_EQ(link.lastSender, &holder);

    holder.RemoveLink(&link);
    EXPECT_EQ(holder.LinkCount(), 1u);
    EXPECT_EQ(link.Holder(), &holder);  // still registered once
    holder.RemoveLink(&link);
    EXPECT_EQ(holder.LinkCount(), 0u);
    EXPECT_EQ(link.Holder(), nullptr);

    CountingLink stranger;
    holder.RemoveLink(&stranger);  // not registered: nothing happens
    EXPECT_EQ(holder.LinkCount(), 0u);
}

TEST(BitmapHolder, DestroyingALinkAddedTwiceLeavesNoEntryBehind)
{
    TBitmapHolder holder;
    CountingLink survivor;
    holder.AddLink(&survivor);
    {
        auto doomed = std::make_unique<CountingLink>();
        holder.AddLink(doomed.get());
        holder.AddLink(doomed.get());
        holder.RemoveLink(doomed.get());
    }
    EXPECT_EQ(holder.LinkCount(), 1u);
    holder.NotifyLinks();  // would touch the freed link if an entry were left
    EXPECT_EQ(survivor.calls, 1);
}

TEST(BitmapHolder, EitherSideMayBeDestroyedFirst)
{
    auto link = std::make_unique<CountingLink>();
    {
        TBitmapHolder holder;
        holder.AddLink(link.get());
        EXPECT_EQ(link->Holder(), &holder);
    }
    EXPECT_EQ(link->Holder(), nullptr);
    link.reset();  // must not reach the freed holder

    auto holder = std::make_unique<TBitmapHolder>();
    {
        CountingLink shortLived;
        holder->AddLink(&shortLived);
    }
    EXPECT_EQ(holder->LinkCount(), 0u);
    holder->NotifyLinks();
}

TEST(BitmapHolder, ALinkMovesFromItsOldHolder)
{
    TBitmapHolder first, second;
    CountingLink link;
    first.AddLink(&link);
    first.AddLink(&link);
    second.AddLink(&link);
    EXPECT_EQ(first.LinkCount(), 0u);
    EXPECT_EQ(second.LinkCount(), 1u);
    EXPECT_EQ(link.Holder(), &second);
    first.NotifyLinks();
    EXPECT_EQ(link.calls, 0);
}

TEST(BitmapHolder, HandlersMayDestroyLinksOrTheHolderDuringNotification)
{
    auto holder = std::make_unique<TBitmapHolder>();
    auto victim = std::make_unique<CountingLink>();
    TLinkChange killer;
    killer.OnChange = [&](TBitmapHolder*) { victim.reset(); };
    CountingLink last;
    holder->AddLink(&killer);
    holder->AddLink(victim.get());
    holder->AddLink(&last);
    holder->NotifyLinks();  // the victim is skipped, the last link still hears
    EXPECT_EQ(last.calls, 1);
    EXPECT_EQ(holder->LinkCount(), 2u);

    // A link whose handler destroys the link itself.
    auto selfDestroying = std::make_unique<TLinkChange>();
    selfDestroying->OnChange = [&](TBitmapHolder*) { selfDestroying.reset(); };
    holder->AddLink(selfDestroying.get());
    holder->NotifyLinks();
    EXPECT_TRUE(selfDestroying == nullptr);
    EXPECT_EQ(last.calls, 2);

    // A handler that destroys the holder ends the walk; the remaining links lose their holder.
    TLinkChange destroyer;
    destroyer.OnChange = [&](TBitmapHolder*) { holder.reset(); };
    CountingLink after;
    holder->AddLink(&destroyer);
    holder->AddLink(&after);
    holder->Bitmap().SetSize(2, 2);
    EXPECT_TRUE(holder == nullptr);
    EXPECT_EQ(after.calls, 0);
    EXPECT_EQ(after.Holder(), nullptr);
    EXPECT_EQ(last.Holder(), nullptr);
}

TEST(BitmapHolder, WeakReferenceClearsWithTheHolder)
{
    auto holder = std::make_unique<TBitmapHolder>();
    THolderRef ref(holder.get());
    EXPECT_EQ(ref.get(), holder.get());
    holder.reset();
    EXPECT_EQ(ref.get(), nullptr);
    EXPECT_EQ(THolderRef().get(), nullptr);
}

TEST(BitmapHolder, DrawTiledTilesLikeTileBitmapWithoutTouchingTheClip)
{
    TBitmapHolder holder;
    RecordingCanvas none;
    holder.DrawTiled(TRect{0, 0, 30, 30}, none);
    EXPECT_TRUE(none.ops.empty());

    holder.Bitmap().SetSize(8, 8);
    RecordingCanvas rec;
    holder.DrawTiled(TRect{4, 4, 21, 12}, rec);
    ASSERT_EQ(rec.ops.size(), 3u);
    for (const PaintOp& op : rec.ops)
        EXPECT_EQ(op.kind, PaintOp::Blit);
    EXPECT_EQ(rec.ops[2].rect, (TRect{20, 4, 21, 12}));
    EXPECT_EQ(rec.ops[2].bitmap, &holder.Bitmap());
}
