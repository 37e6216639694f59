#include "components/shell/SvFrame.h"

namespace ql::shellctl {

namespace {

using C = TFrameColor;

TFrameStroke Line(C color, std::initializer_list<TFramePoint> points)
{
    TFrameStroke s;
    s.kind = TFrameStroke::Polyline;
    s.color = color;
    s.points = points;
    return s;
}

TFrameStroke Box(TFrameStroke::Kind kind, C color, int l, int t, int r, int b)
{
    TFrameStroke s;
    s.kind = kind;
    s.color = color;
    s.Left = l;
    s.Top = t;
    s.Right = r;
    s.Bottom = b;
    return s;
}

// The four polylines of a two-pixel edge (outer top-left, inner top-left, inner bottom-right,
// outer bottom-right) in the given colours.
void TwoPixelEdge(std::vector<TFrameStroke>& out, int L, int T, int R, int B, C outerTL, C innerTL, C innerBR,
                  C outerBR)
{
    out.push_back(Line(outerTL, {{L, B - 1}, {L, T}, {R, T}}));
    out.push_back(Line(innerTL, {{L + 1, B - 2}, {L + 1, T + 1}, {R - 1, T + 1}}));
    out.push_back(Line(innerBR, {{L + 1, B - 1}, {R - 1, B - 1}, {R - 1, T}}));
    out.push_back(Line(outerBR, {{L, B}, {R, B}, {R, T - 1}}));
}

void OnePixelEdge(std::vector<TFrameStroke>& out, int L, int T, int R, int B, C topLeft, C bottomRight)
{
    out.push_back(Line(topLeft, {{L, B - 1}, {L, T}, {R, T}}));
    out.push_back(Line(bottomRight, {{L, B}, {R, B}, {R, T - 1}}));
}

int GroupTop(int captionHeight) { return captionHeight > 0 ? captionHeight : 2; }

}  // namespace

TFrameInsets FrameInsets(TSvFrameStyle style, int captionHeight)
{
    if (style >= kFrameStyleCount)
        return {};
    TFrameInsets insets = kFrameStyles[style].insets;
    if (insets.Top == kCaptionTop)
        insets.Top = GroupTop(captionHeight);
    return insets;
}

std::vector<TFrameStroke> FrameStrokes(TSvFrameStyle style, int left, int top, int right, int bottom, int captionHeight)
{
    // Inclusive coordinates, as the drawing routines take them.
    const int L = left, T = top, R = right - 1, B = bottom - 1;
    std::vector<TFrameStroke> out;
    switch (style) {
    case svfsNone:
        break;
    case svfsGroup: {
        const int h = GroupTop(captionHeight);
        out.push_back(Box(TFrameStroke::Fill, C::Fill, L, T, R + 1, B + 1));
        out.push_back(Box(TFrameStroke::Rectangle, C::BtnHighlight, L + 1, T + h / 2, R + 1, B + 1));
        out.push_back(Box(TFrameStroke::Rectangle, C::BtnShadow, L, T + h / 2 - 1, R, B));
        break;
    }
    case svfsLowered:
        TwoPixelEdge(out, L, T, R, B, C::BtnShadow, C::DkShadow, C::BtnFace, C::BtnHighlight);
        break;
    case svfsRaised:
        TwoPixelEdge(out, L, T, R, B, C::BtnHighlight, C::BtnFace, C::BtnShadow, C::DkShadow);
        break;
    case svfsDint:
        OnePixelEdge(out, L, T, R, B, C::BtnShadow, C::BtnHighlight);
        break;
    case svfsBump:
        OnePixelEdge(out, L, T, R, B, C::BtnHighlight, C::BtnShadow);
        break;
    case svfsSingle:
        out.push_back(Box(TFrameStroke::Rectangle, C::WindowFrame, L, T, R + 1, B + 1));
        break;
    case svfsHorzLine:
        out.push_back(Line(C::BtnShadow, {{L, T}, {R + 1, T}}));
        out.push_back(Line(C::BtnHighlight, {{L, T + 1}, {R + 1, T + 1}}));
        break;
    case svfsHorzEdge:
        out.push_back(Line(C::BtnShadow, {{L, T}, {R + 1, T}}));
        out.push_back(Line(C::BtnShadow, {{L, B - 1}, {R + 1, B - 1}}));
        out.push_back(Line(C::BtnHighlight, {{L, T + 1}, {R + 1, T + 1}}));
        out.push_back(Line(C::BtnHighlight, {{L, B}, {R + 1, B}}));
        break;
    case svfsVertLine:
        out.push_back(Line(C::BtnShadow, {{L, T}, {L, B + 1}}));
        out.push_back(Line(C::BtnHighlight, {{L + 1, T}, {L + 1, B + 1}}));
        break;
    case svfsVertEdge:
        out.push_back(Line(C::BtnShadow, {{L, T}, {L, B + 1}}));
        out.push_back(Line(C::BtnShadow, {{R - 1, T}, {R - 1, B + 1}}));
        out.push_back(Line(C::BtnHighlight, {{L + 1, T}, {L + 1, B + 1}}));
        out.push_back(Line(C::BtnHighlight, {{R, T}, {R, B + 1}}));
        break;
    }
    return out;
}

TCaptionRect GroupCaptionRect(int left, int top, int right, int bottom, int captionHeight)
{
    (void)bottom;
    const int R = right - 1;
    return {left + 8, top, R - 9, top + GroupTop(captionHeight)};
}

std::uint32_t ClientCaptionFormat(TAlignment alignment)
{
    const std::uint32_t horizontal = alignment == taLeftJustify    ? DT_LEFT
                                     : alignment == taRightJustify ? DT_RIGHT
                                                                   : DT_CENTER;
    return horizontal | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
}

std::string CaptionTextToDraw(const std::string& text, std::uint32_t format)
{
    if ((format & DT_CALCRECT) && (text.empty() || (text == "&" && !(format & DT_NOPREFIX))))
        return text + " ";
    return text;
}

}  // namespace ql::shellctl
