#include "components/browserhost/Grafxes.h"

#include <climits>

#include <gtest/gtest.h>

#include "components/browserhost/Bitmap.h"
#include "tests/components/browserhost/FakePainters.h"

using namespace ql;
using ql::test::PaintOp;
using ql::test::RasterPainter;
using ql::test::RecordingCanvas;

namespace {
constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000;

bool Near(TColor a, TColor b, int tolerance)
{
    auto d = [](int x, int y) { return x > y ? x - y : y - x; };
    return d(RedOf(a), RedOf(b)) <= tolerance && d(GreenOf(a), GreenOf(b)) <= tolerance &&
           d(BlueOf(a), BlueOf(b)) <= tolerance;
}

// Every pixel of `inside` painted, every other one untouched.
void ExpectPaintedExactly(const RasterPainter& p, const TRect& inside)
{
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            ASSERT_EQ(p.At(x, y) != RasterPainter::kUntouched, inside.Contains(x, y)) << x << "," << y;
}
}  // namespace

TEST(ScaleInt, WideProductTruncationAndDegenerateDivisors)
{
    EXPECT_EQ(ScaleInt(100000, 100000, 1000), 10000000);  // the product needs 64 bits
    EXPECT_EQ(ScaleInt(7, 1, 2), 3);
    EXPECT_EQ(ScaleInt(-7, 1, 2), -3);  // toward zero, not down
    EXPECT_EQ(ScaleInt(255, -255, 255), -255);
    EXPECT_EQ(ScaleInt(5, 5, 0), 0);
    EXPECT_EQ(ScaleInt(INT_MAX, INT_MAX, 1), INT_MAX);
    EXPECT_EQ(ScaleInt(INT_MIN, INT_MAX, 1), INT_MIN);
}

TEST(PaintGradient, LeftToRightOnePixelPerStepEndsExactlyWhite)
{
    RasterPainter p(256, 4);
    RecordingCanvas rec;
    PaintGradient(p, TRect{0, 0, 256, 4}, clBlack, clWhite, 0);
    PaintGradient(rec, TRect{0, 0, 256, 4}, clBlack, clWhite, 0);
    EXPECT_EQ(rec.Of(PaintOp::Fill).size(), 256u);
    for (int x = 0; x < 256; ++x)
        ASSERT_EQ(p.At(x, 2), TColor(x) * 0x010101) << x;
    EXPECT_EQ(p.At(255, 0), clWhite);
    EXPECT_EQ(p.At(0, 3), clBlack);
}

TEST(PaintGradient, TopToBottomCoversTheRectangleOnlyWithBothEndColours)
{
    RasterPainter p(40, 140);
    const TRect r{5, 10, 35, 110};
    PaintGradient(p, r, kRed, kBlue, 1);
    ExpectPaintedExactly(p, r);
    // With fewer than 256 rows the first rows take steps past the first; the last is exact.
    EXPECT_TRUE(Near(p.At(20, 10), kRed, 8));
    EXPECT_EQ(p.At(20, 109), kBlue);
    // Narrower than 256: each of the 100 rows is one band, channels move in opposite directions.
    RecordingCanvas rec;
    PaintGradient(rec, r, kRed, kBlue, 1);
    EXPECT_EQ(rec.Of(PaintOp::Fill).size(), 100u);
    const TColor mid = p.At(20, 60);
    EXPECT_GT(RedOf(mid), 0);
    EXPECT_GT(BlueOf(mid), 0);
    EXPECT_EQ(GreenOf(mid), 0);
}

TEST(PaintGradient, MirroredStylesRunFromBothEdgesToTheMiddle)
{
    RasterPainter rows(10, 5);
    PaintGradient(rows, TRect{0, 0, 10, 5}, clBlack, 0x646464, 4);  // half = 2
    EXPECT_EQ(rows.At(3, 0), clBlack);
    EXPECT_EQ(rows.At(3, 4), clBlack);
    EXPECT_EQ(rows.At(3, 1), 0x323232u);
    EXPECT_EQ(rows.At(3, 3), 0x323232u);
    EXPECT_EQ(rows.At(3, 2), 0x646464u);

    RasterPainter cols(7, 3);
    PaintGradient(cols, TRect{0, 0, 7, 3}, clWhite, clBlack, 5);  // half = 3
    EXPECT_EQ(cols.At(0, 1), clWhite);
    EXPECT_EQ(cols.At(6, 1), clWhite);
    EXPECT_EQ(cols.At(3, 1), clBlack);
    EXPECT_EQ(cols.At(1, 1), cols.At(5, 1));
}

TEST(PaintGradient, DegenerateRectanglesAndUnknownStylesPaintNothing)
{
    struct Case {
        TRect rect;
        int style;
    } cases[] = {
        {{0, 0, 10, 1}, 4}, {{0, 0, 1, 10}, 5}, {{0, 0, 10, 10}, 6}, {{0, 0, 10, 10}, -1},
        {{5, 5, 5, 9}, 0},  {{5, 9, 9, 5}, 1},  {{3, 3, 3, 3}, 2},   {{9, 0, 0, 9}, 3},
    };
    for (const Case& c : cases) {
        RecordingCanvas rec;
        PaintGradient(rec, c.rect, clBlack, clWhite, c.style);
        EXPECT_TRUE(rec.ops.empty()) << "style " << c.style;
    }
    // One pixel is still a picture for the styles that do not halve the rectangle.
    for (int style = 0; style <= 3; ++style) {
        RasterPainter p(3, 3);
        PaintGradient(p, TRect{1, 1, 2, 2}, clBlack, clWhite, style);
        EXPECT_EQ(p.outsideGrid, 0);
        EXPECT_EQ(p.At(0, 0), RasterPainter::kUntouched) << style;
    }
}

TEST(PaintGradient, EllipsesStayCentredInsideAnOffsetRectangleAndGiveTheClipBack)
{
    const TRect r{30, 20, 90, 60};
    RecordingCanvas rec;
    PaintGradient(rec, r, kRed, kBlue, 2);
    ASSERT_EQ(rec.ops.front().kind, PaintOp::PushClip);
    EXPECT_EQ(rec.ops.front().rect, r);
    EXPECT_EQ(rec.ops.back().kind, PaintOp::PopClip);
    const auto ellipses = rec.Of(PaintOp::Ellipse);
    ASSERT_EQ(ellipses.size(), 51u);
    for (const PaintOp& e : ellipses) {
        EXPECT_NEAR((e.rect.Left + e.rect.Right) / 2.0, 60.0, 1.0);
        EXPECT_NEAR((e.rect.Top + e.rect.Bottom) / 2.0, 40.0, 1.0);
    }
    EXPECT_EQ(ellipses.front().color, kRed);
    EXPECT_EQ(ellipses.back().color, kBlue);

    RasterPainter p(120, 80);
    PaintGradient(p, r, kRed, kBlue, 2);
    ExpectPaintedExactly(p, r);                 // the outer ellipses are cut at the rectangle
    EXPECT_EQ(p.ClipDepth(), 0u);               // no clip before, none after
    EXPECT_TRUE(Near(p.At(30, 20), kRed, 48));  // corners lie inside several outer ellipses
    EXPECT_TRUE(Near(p.At(60, 40), kBlue, 8));  // the last ellipse shrinks to nothing

    // A caller's clip survives and still limits the ellipses.
    RasterPainter q(120, 80);
    q.PushClip(TRect{0, 0, 60, 80});
    PaintGradient(q, r, kRed, kBlue, 2);
    EXPECT_EQ(q.ClipDepth(), 1u);
    EXPECT_EQ(q.At(70, 40), RasterPainter::kUntouched);
    EXPECT_NE(q.At(50, 40), RasterPainter::kUntouched);
}

TEST(PaintGradient, ShrinkingRectanglesFillTheRectangleTowardTheCentre)
{
    RasterPainter p(80, 60);
    const TRect r{10, 5, 70, 45};
    PaintGradient(p, r, clBlack, clWhite, 3);
    ExpectPaintedExactly(p, r);
    EXPECT_TRUE(Near(p.At(10, 5), clBlack, 8));
    EXPECT_GT(RedOf(p.At(40, 25)), 0xF0);
}

TEST(TileBitmap, TilesFromTheCornerAreCutAtTheEdgesAndClipped)
{
    TBitmap bmp;
    ASSERT_TRUE(bmp.SetSize(10, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x)
            bmp.SetPixel(x, y, RGBColor(std::uint8_t(x * 20), std::uint8_t(y * 30), 7));
    const TRect r{5, 3, 28, 20};  // 23 x 17: three columns (10, 10, 3) and rows (8, 8, 1)

    RecordingCanvas rec;
    TileBitmap(rec, r, bmp);
    ASSERT_EQ(rec.ops.size(), 11u);
    EXPECT_EQ(rec.ops.front().kind, PaintOp::PushClip);
    EXPECT_EQ(rec.ops.front().rect, r);
    EXPECT_EQ(rec.ops.back().kind, PaintOp::PopClip);
    const auto blits = rec.Of(PaintOp::Blit);
    EXPECT_EQ(blits[2].rect, (TRect{25, 3, 28, 11}));
    EXPECT_EQ(blits[8].rect, (TRect{25, 19, 28, 20}));

    RasterPainter p(40, 30);
    TileBitmap(p, r, bmp);
    ExpectPaintedExactly(p, r);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            ASSERT_EQ(p.At(x, y), bmp.Pixel((x - 5) % 10, (y - 3) % 8)) << x << "," << y;
    EXPECT_EQ(p.ClipDepth(), 0u);
}

TEST(TileBitmap, CountsFromTheRectanglesOwnSizeAndSkipsEmptyPictures)
{
    TBitmap bmp;
    ASSERT_TRUE(bmp.SetSize(10, 8));
    RecordingCanvas far;
    TileBitmap(far, TRect{1000, 2000, 1012, 2010}, bmp);
    EXPECT_EQ(far.Of(PaintOp::Blit).size(), 4u);  // 2 x 2, however far from the origin

    RecordingCanvas negative;
    TileBitmap(negative, TRect{-15, -4, 5, 4}, bmp);
    const auto blits = negative.Of(PaintOp::Blit);
    ASSERT_EQ(blits.size(), 2u);
    EXPECT_EQ(blits[0].rect, (TRect{-15, -4, -5, 4}));

    TBitmap empty;
    RecordingCanvas none;
    TileBitmap(none, TRect{0, 0, 50, 50}, empty);
    TileBitmap(none, TRect{0, 0, 0, 50}, bmp);
    EXPECT_TRUE(none.ops.empty());
}

TEST(Bitmap, RefusesMismatchedPixelsAndNotifiesEveryChange)
{
    TBitmap bmp;
    int changes = 0;
    bmp.OnChange = [&] { ++changes; };
    EXPECT_FALSE(bmp.SetPixels(2, 2, std::vector<std::uint8_t>(11)));
    EXPECT_FALSE(bmp.SetSize(-1, 4));
    EXPECT_FALSE(bmp.SetSize(1 << 15, 1 << 15));
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(bmp.Empty());
    ASSERT_TRUE(bmp.SetPixels(2, 1, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(bmp.Pixel(1, 0), RGBColor(4, 5, 6));
    EXPECT_EQ(bmp.Pixel(2, 0), clBlack);
    bmp.SetPixel(5, 5, clWhite);  // outside: ignored, no change
    bmp.SetPixel(0, 0, clWhite);
    EXPECT_EQ(changes, 2);
    TBitmap copy;
    copy.Assign(&bmp);
    EXPECT_EQ(copy.Pixel(0, 0), clWhite);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
}
