#pragma once
// Turning the engine's computed CSS values into what the editing code expects of the editing
// control: colours as "#rrggbb", a font name, the HTML font sizes 1 to 7.
#include <string>
#include <string_view>

namespace ql::web {

// "rgb(255, 0, 0)", "rgba(255, 0, 0, 1)", "#f00" or "#FF0000" -> "#ff0000"; "" for a
// transparent colour or anything else.
std::string CssColorToHtmlColor(std::string_view css);
// The first family of a font-family list without quotes ("\"Times New Roman\", serif" ->
// "Times New Roman"); "" for the engine's generic defaults ("-webkit-standard") or nothing.
std::string FirstFontFamily(std::string_view css);
// The HTML font size (1-7) nearest to a size in points, and back (the size's usual points).
int FontSizeFromPoints(double points);
double PointsOfFontSize(int size);

}  // namespace ql::web
