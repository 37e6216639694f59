#pragma once
// The zone picture and the program icon, drawn by the program itself at start.
#include "foundation/TrayIcon.h"

#include <wx/bitmap.h>

namespace ql {

inline constexpr int kZoneImageWidth = 38;
inline constexpr int kZoneImageHeight = 34;

wxBitmap ZonePicture();
// The program icon at `size` pixels square (window icon and notification area).
wxBitmap ProgramIconBitmap(int size);
TIcon ProgramTrayIcon();

}  // namespace ql
