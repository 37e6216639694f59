#include "components/browserhost/PagesBackground.h"

#include <memory>

#include <gtest/gtest.h>

#include "tests/components/browserhost/FakePainters.h"

using namespace ql;
using ql::test::PaintOp;
using ql::test::RecordingCanvas;

namespace {
constexpr TColor kColor = 0x336699;
const TRect kClient{0, 0, 40, 30};

struct Fixture {
    int invalidations = 0;
    std::unique_ptr<PageBackground> bg;
    explicit Fixture(PageBackground::HolderTiling tiling = PageBackground::HolderTiling::ByHolder)
        : bg(std::make_unique<PageBackground>(tiling, [this] { ++invalidations; }))
    {
    }
    RecordingCanvas Paint() const
    {
        RecordingCanvas rec;
        bg->Paint(rec, kClient, kColor, BevelSettings{}, SystemPalette{});
        return rec;
    }
};

void Picture(TBitmap& b, int w, int h) { ASSERT_TRUE(b.SetSize(w, h)); }
}  // namespace

TEST(PageBackground, PlainColourThenBevelsWithoutAPicture)
{
    Fixture f;
    const RecordingCanvas rec = f.Paint();
    ASSERT_FALSE(rec.ops.empty());
    EXPECT_EQ(rec.ops[0].kind, PaintOp::Fill);
    EXPECT_EQ(rec.ops[0].rect, kClient);
    EXPECT_EQ(rec.ops[0].color, kColor);
    EXPECT_EQ(rec.Of(PaintOp::Fill).size(), 1u + 8u);  // two one-pixel frames of four lines
    EXPECT_TRUE(rec.Of(PaintOp::Blit).empty());
}

TEST(PageBackground, OwnPictureIsTiledClippedAndTakesOverFromTheHolder)
{
    Fixture f;
    TBitmapHolder holder;
    Picture(holder.Bitmap(), 5, 5);
    f.bg->SetBitmapHolder(&holder);
    TBitmap own;
    Picture(own, 16, 16);
    f.bg->SetBitmap(&own);
    EXPECT_EQ(holder.LinkCount(), 0u);
    const RecordingCanvas rec = f.Paint();
    EXPECT_EQ(rec.ops[0].kind, PaintOp::PushClip);
    const auto blits = rec.Of(PaintOp::Blit);
    ASSERT_EQ(blits.size(), 6u);  // 40 x 30 in 16 x 16 tiles
    EXPECT_EQ(blits[0].bitmap, &f.bg->Bitmap());
    for (const PaintOp& op : rec.Of(PaintOp::Fill))
        EXPECT_NE(op.rect, kClient);  // no plain fill under a picture

    const int before = f.invalidations;
    holder.Bitmap().SetPixel(0, 0, clWhite);
    EXPECT_EQ(f.invalidations, before);  // holder changes no longer matter
}

TEST(PageBackground, HoldersPictureIsTiledByTheHolderForSheetsAndClippedForTheControl)
{
    TBitmapHolder holder;
    Picture(holder.Bitmap(), 16, 16);
    for (auto tiling : {PageBackground::HolderTiling::ByHolder, PageBackground::HolderTiling::Clipped}) {
        Fixture f(tiling);
        f.bg->SetBitmapHolder(&holder);
        const RecordingCanvas rec = f.Paint();
        const auto blits = rec.Of(PaintOp::Blit);
        ASSERT_EQ(blits.size(), 6u);
        EXPECT_EQ(blits[0].bitmap, &holder.Bitmap());
        EXPECT_EQ(rec.Of(PaintOp::PushClip).size(), tiling == PageBackground::HolderTiling::Clipped ? 1u : 0u);
    }
}

TEST(PageBackground, ClearingTheOwnPictureRelinksOnceAndHolderChangesRepaint)
{
    Fixture f;
    TBitmapHolder holder;
    f.bg->SetBitmapHolder(&holder);
    EXPECT_EQ(f.bg->Link().Holder(), &holder);
    f.bg->SetBitmap(nullptr);
    f.bg->SetBitmap(nullptr);
    EXPECT_EQ(holder.LinkCount(), 1u);  // one entry, so one removal unlinks it

    int before = f.invalidations;
    Picture(holder.Bitmap(), 4, 4);
    EXPECT_EQ(f.invalidations, before + 1);

    // An empty bitmap object also unlinks, though nothing of its own is shown.
    TBitmap empty;
    f.bg->SetBitmap(&empty);
    EXPECT_EQ(holder.LinkCount(), 0u);
    before = f.invalidations;
    holder.Bitmap().SetPixel(1, 1, clWhite);
    EXPECT_EQ(f.invalidations, before);
    EXPECT_EQ(f.Paint().Of(PaintOp::Blit)[0].bitmap, &holder.Bitmap());  // the holder's shows
}

TEST(PageBackground, AnotherHolderTakesTheLinkAndADestroyedHolderIsForgotten)
{
    Fixture f;
    auto first = std::make_unique<TBitmapHolder>();
    TBitmapHolder second;
    f.bg->SetBitmapHolder(first.get());
    f.bg->SetBitmapHolder(&second);
    EXPECT_EQ(first->LinkCount(), 0u);
    EXPECT_EQ(second.LinkCount(), 1u);
    f.bg->SetBitmapHolder(first.get());
    Picture(first->Bitmap(), 8, 8);
    EXPECT_TRUE(f.bg->HasPicture());

    first.reset();
    EXPECT_EQ(f.bg->BitmapHolder(), nullptr);
    EXPECT_EQ(f.bg->Link().Holder(), nullptr);
    EXPECT_FALSE(f.bg->HasPicture());
    EXPECT_EQ(f.Paint().ops[0].rect, kClient);  // plain again
    f.bg->SetBitmap(nullptr);                   // no holder to relink to: harmless
}

TEST(PageBackground, TheBackgroundMayGoBeforeItsHolder)
{
    TBitmapHolder holder;
    {
        Fixture f;
        f.bg->SetBitmapHolder(&holder);
        EXPECT_EQ(holder.LinkCount(), 1u);
    }
    EXPECT_EQ(holder.LinkCount(), 0u);
    Picture(holder.Bitmap(), 3, 3);  // notifies nobody, touches nothing freed
}

TEST(PageBackground, DrawingIntoTheOwnPictureRepaints)
{
    Fixture f;
    TBitmap own;
    Picture(own, 2, 2);
    f.bg->SetBitmap(&own);
    const int before = f.invalidations;
    f.bg->Bitmap().SetPixel(1, 1, clWhite);
    EXPECT_EQ(f.invalidations, before + 1);
}
