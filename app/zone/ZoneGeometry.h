#pragma once
// Where the drop zone sits: its start position from the saved one, the expanded panel kept on
// the screen, and moving the zone by its picture (a click without movement is a click).
#include <optional>

namespace ql {

struct ZonePoint {
    int X = 0;
    int Y = 0;
    bool operator==(const ZonePoint&) const = default;
};

struct ZoneSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const ZoneSize&) const = default;
};

inline constexpr int kDefaultZoneTop = 10;

// The saved position when it lies inside the screen (0 and below do not), else top 10 and
// three quarters of the screen width.
ZonePoint PlaceZone(int savedLeft, int savedTop, ZoneSize zone, ZoneSize screen);

// An expanded zone that would reach beyond the right or bottom edge moves inside, one pixel
// more than needed.
ZonePoint KeepExpandedZoneOnScreen(ZonePoint at, ZoneSize zone, ZoneSize screen);

// Moving the zone with the mouse on its picture.
class ZoneMover {
public:
    // A button went down at `local` (within the picture) with the cursor at `screen`.
    void Down(ZonePoint local, ZonePoint screen);
    // The cursor moved to `local`: by how much to move the window, or nothing when not moving.
    std::optional<ZonePoint> Move(ZonePoint local) const;
    // The button went up with the cursor at `screen`: true when this was a click (left button,
    // a double click, or no movement since the button went down).
    bool Up(bool leftButton, bool doubleClick, ZonePoint screen);

    bool Moving() const { return moving_; }

private:
    bool moving_ = false;
    ZonePoint downLocal_;
    ZonePoint downScreen_;
};

}  // namespace ql
