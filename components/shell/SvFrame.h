#pragma once
// What a framed group decides without a toolkit: the eleven frame styles with the frame width
// on each side, the lines each style draws into its rectangle, the group frame's caption
// placement, and the caption text formats.
#include <cstdint>
#include <string>
#include <vector>

namespace ql::shellctl {

enum TSvFrameStyle : std::uint8_t {
    svfsNone,
    svfsGroup,
    svfsLowered,
    svfsRaised,
    svfsDint,
    svfsBump,
    svfsSingle,
    svfsHorzLine,
    svfsHorzEdge,
    svfsVertLine,
    svfsVertEdge,
};
inline constexpr int kFrameStyleCount = 11;

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

// The frame's width on each side of the client area.
struct TFrameInsets {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TFrameInsets&, const TFrameInsets&) = default;
};

// The group frame's top edge holds the caption: kCaptionTop stands for "the caption height, or
// 2 without caption".
inline constexpr int kCaptionTop = -1;

struct TSvFrameStyleInfo {
    TSvFrameStyle style;
    const char* name;
    TFrameInsets insets;
};
inline constexpr TSvFrameStyleInfo kFrameStyles[kFrameStyleCount] = {
    {svfsNone, "svfsNone", {0, 0, 0, 0}},         {svfsGroup, "svfsGroup", {2, kCaptionTop, 2, 2}},
    {svfsLowered, "svfsLowered", {2, 2, 2, 2}},   {svfsRaised, "svfsRaised", {2, 2, 2, 2}},
    {svfsDint, "svfsDint", {1, 1, 1, 1}},         {svfsBump, "svfsBump", {1, 1, 1, 1}},
    {svfsSingle, "svfsSingle", {1, 1, 1, 1}},     {svfsHorzLine, "svfsHorzLine", {0, 2, 0, 0}},
    {svfsHorzEdge, "svfsHorzEdge", {0, 2, 0, 2}}, {svfsVertLine, "svfsVertLine", {2, 0, 0, 0}},
    {svfsVertEdge, "svfsVertEdge", {2, 0, 2, 0}},
};

// The frame widths of a style; `captionHeight` is the height of "0" in the control's font when
// the control has a caption, 0 when it has none. An unknown style has no frame.
TFrameInsets FrameInsets(TSvFrameStyle style, int captionHeight);

// The system colours the frames are drawn in.
enum class TFrameColor : std::uint8_t { BtnHighlight, BtnShadow, BtnFace, DkShadow, WindowFrame, Fill };

struct TFramePoint {
    int x = 0, y = 0;
    friend bool operator==(const TFramePoint&, const TFramePoint&) = default;
};

// One drawing step. A polyline never draws its last point; a rectangle is outlined from
// (Left, Top) to (Right - 1, Bottom - 1); a fill covers [Left, Right) x [Top, Bottom).
struct TFrameStroke {
    enum Kind : std::uint8_t { Polyline, Rectangle, Fill } kind = Polyline;
    TFrameColor color = TFrameColor::BtnShadow;
    std::vector<TFramePoint> points;               // Polyline
    int Left = 0, Top = 0, Right = 0, Bottom = 0;  // Rectangle, Fill
};

// The steps that draw `style` into the window rectangle [left, right) x [top, bottom).
// `captionHeight` as for FrameInsets (only the group frame uses it).
std::vector<TFrameStroke> FrameStrokes(TSvFrameStyle style, int left, int top, int right, int bottom,
                                       int captionHeight);

// Where the group frame writes its caption, in the same coordinates (right and bottom
// exclusive); it is drawn left-aligned, single line, with an ellipsis when cut.
struct TCaptionRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TCaptionRect&, const TCaptionRect&) = default;
};
TCaptionRect GroupCaptionRect(int left, int top, int right, int bottom, int captionHeight);

// Text formats of the caption.
inline constexpr std::uint32_t DT_LEFT = 0x0;
inline constexpr std::uint32_t DT_CENTER = 0x1;
inline constexpr std::uint32_t DT_RIGHT = 0x2;
inline constexpr std::uint32_t DT_VCENTER = 0x4;
inline constexpr std::uint32_t DT_SINGLELINE = 0x20;
inline constexpr std::uint32_t DT_CALCRECT = 0x400;
inline constexpr std::uint32_t DT_NOPREFIX = 0x800;
inline constexpr std::uint32_t DT_END_ELLIPSIS = 0x8000;

// The format of a caption drawn in the client area (every style but the group frame).
std::uint32_t ClientCaptionFormat(TAlignment alignment);
// The text DrawCaptionText hands on: measuring an empty caption, or a lone "&" that would be
// taken as a prefix, measures one space instead so that a height comes back.
std::string CaptionTextToDraw(const std::string& text, std::uint32_t format);

}  // namespace ql::shellctl
