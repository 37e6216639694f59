#pragma once
// Painters for tests: one records every call, one rasterises into a pixel grid so tests can
// look at what actually lands where.
#include <string>
#include <vector>

#include "components/browserhost/Bitmap.h"
#include "components/browserhost/Painter.h"

namespace ql::test {

struct PaintOp {
    enum Kind { Fill, Ellipse, PushClip, PopClip, Blit, Text, Image } kind = Fill;
    TRect rect;  // Fill, Ellipse, PushClip; Blit's destination
    TColor color = 0;
    int x = 0, y = 0, srcX = 0, srcY = 0;  // Blit source, Text and Image positions
    const TBitmap* bitmap = nullptr;
    std::string text;
    int angle = 0;
    int index = -1;
};

class RecordingCanvas : public ICanvas {
public:
    // Every character is charWidth wide; text is lineHeight high.
    int charWidth = 7, lineHeight = 13;
    std::vector<PaintOp> ops;

    void FillRect(const TRect& r, TColor rgb) override { Add(PaintOp::Fill, r, rgb); }
    void FillEllipse(const TRect& r, TColor rgb) override { Add(PaintOp::Ellipse, r, rgb); }
    void PushClip(const TRect& r) override { Add(PaintOp::PushClip, r); }
    void PopClip() override { Add(PaintOp::PopClip); }
    void Blit(int x, int y, int w, int h, const TBitmap& source, int srcX, int srcY) override
    {
        PaintOp& op = Add(PaintOp::Blit, TRect{x, y, x + w, y + h});
        op.srcX = srcX;
        op.srcY = srcY;
        op.bitmap = &source;
    }
    TSize TextExtent(const std::string& text) override { return TSize{charWidth * int(text.size()), lineHeight}; }
    void TextOut(int x, int y, const std::string& text, TColor rgb, int angle) override
    {
        PaintOp& op = Add(PaintOp::Text, TRect{}, rgb);
        op.x = x;
        op.y = y;
        op.text = text;
        op.angle = angle;
    }
    void DrawImage(int index, int x, int y) override
    {
        PaintOp& op = Add(PaintOp::Image);
        op.x = x;
        op.y = y;
        op.index = index;
    }

    std::vector<PaintOp> Of(PaintOp::Kind kind) const
    {
        std::vector<PaintOp> out;
        for (const PaintOp& op : ops)
            if (op.kind == kind)
                out.push_back(op);
        return out;
    }

private:
    PaintOp& Add(PaintOp::Kind kind, const TRect& rect = TRect{}, TColor color = 0)
    {
        PaintOp op;
        op.kind = kind;
        op.rect = rect;
        op.color = color;
        ops.push_back(op);
        return ops.back();
    }
};

// A width x height grid of pixels, all `background` at first, with a real clip stack.
class RasterPainter : public IPainter {
public:
    static constexpr TColor kUntouched = 0xFF00FF00u;  // no RGB colour has the top byte set

    RasterPainter(int width, int height)
        : width_(width), height_(height), pixels_(std::size_t(width * height), kUntouched)
    {
    }

    TColor At(int x, int y) const { return pixels_[std::size_t(y * width_ + x)]; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::size_t ClipDepth() const { return clips_.size(); }

    void FillRect(const TRect& r, TColor rgb) override
    {
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                Put(x, y, rgb);
    }
    void FillEllipse(const TRect& b, TColor rgb) override
    {
        if (b.IsEmpty())
            return;
        const double cx = (b.Left + b.Right) / 2.0, cy = (b.Top + b.Bottom) / 2.0;
        const double rx = b.Width() / 2.0, ry = b.Height() / 2.0;
        for (int y = b.Top; y < b.Bottom; ++y)
            for (int x = b.Left; x < b.Right; ++x) {
                const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
                if (dx * dx + dy * dy <= 1.0)
                    Put(x, y, rgb);
            }
    }
    void PushClip(const TRect& r) override { clips_.push_back(clips_.empty() ? r : Intersect(r, clips_.back())); }
    void PopClip() override
    {
        if (clips_.empty())
            ++unbalancedPops;
        else
            clips_.pop_back();
    }
    void Blit(int x, int y, int w, int h, const TBitmap& source, int srcX, int srcY) override
    {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                Put(x + i, y + j, source.Pixel(srcX + i, srcY + j));
    }

    int unbalancedPops = 0;
    int outsideGrid = 0;  // writes that fell off the grid (and would have drawn somewhere)

private:
    void Put(int x, int y, TColor c)
    {
        if (!clips_.empty() && !clips_.back().Contains(x, y))
            return;
        if (x < 0 || y < 0 || x >= width_ || y >= height_) {
            ++outsideGrid;
            return;
        }
        pixels_[std::size_t(y * width_ + x)] = c;
    }

    int width_, height_;
    std::vector<TColor> pixels_;
    std::vector<TRect> clips_;
};

}  // namespace ql::test
