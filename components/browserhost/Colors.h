#pragma once
// Colours as the visual components keep them: red in bits 0-7, green in 8-15, blue in 16-23.
// System colours carry the top byte 0xFF and are resolved through a SystemPalette when drawn,
// so that a sheet set to "button face" follows the desktop theme.
#include <cstdint>

namespace ql {

using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor clSystemColor = 0xFF000000u;
constexpr TColor clBtnFace = clSystemColor | 1;
constexpr TColor clBtnHighlight = clSystemColor | 2;
constexpr TColor clBtnShadow = clSystemColor | 3;
constexpr TColor cl3DDkShadow = clSystemColor | 4;
constexpr TColor cl3DLight = clSystemColor | 5;
constexpr TColor clBtnText = clSystemColor | 6;
constexpr TColor clHotLight = clSystemColor | 7;

constexpr TColor RGBColor(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}
constexpr std::uint8_t RedOf(TColor c) { return std::uint8_t(c & 0xFF); }
constexpr std::uint8_t GreenOf(TColor c) { return std::uint8_t((c >> 8) & 0xFF); }
constexpr std::uint8_t BlueOf(TColor c) { return std::uint8_t((c >> 16) & 0xFF); }

// The desktop's colours for the system colour constants, all as RGB values.
struct SystemPalette {
    TColor btnFace = RGBColor(0xF0, 0xF0, 0xF0);
    TColor btnHighlight = clWhite;
    TColor btnShadow = RGBColor(0xA0, 0xA0, 0xA0);
    TColor dkShadow = RGBColor(0x69, 0x69, 0x69);
    TColor light = RGBColor(0xE3, 0xE3, 0xE3);
    TColor btnText = clBlack;
    TColor hotLight = RGBColor(0x00, 0x66, 0xCC);
};

// The RGB value of a colour: system colours from the palette (an unknown one is black),
// others with the top byte dropped.
TColor ColorToRGB(TColor color, const SystemPalette& palette);

}  // namespace ql
