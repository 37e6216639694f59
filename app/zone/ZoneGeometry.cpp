#include "app/zone/ZoneGeometry.h"

namespace ql {

ZonePoint PlaceZone(int savedLeft, int savedTop, ZoneSize zone, ZoneSize screen)
{
    ZonePoint p;
    p.Y = (savedTop > 0 && savedTop < screen.Height - zone.Height) ? savedTop : kDefaultZoneTop;
    p.X = (savedLeft > 0 && savedLeft < screen.Width - zone.Width) ? savedLeft : screen.Width * 3 / 4;
    return p;
}

ZonePoint KeepExpandedZoneOnScreen(ZonePoint at, ZoneSize zone, ZoneSize screen)
{
    if (at.X > screen.Width - zone.Width)
        at.X = screen.Width - zone.Width - 1;
    if (at.Y > screen.Height - zone.Height)
        at.Y = screen.Height - zone.Height - 1;
    return at;
}

void ZoneMover::Down(ZonePoint local, ZonePoint screen)
{
    downLocal_ = local;
    downScreen_ = screen;
    moving_ = true;
}

std::optional<ZonePoint> ZoneMover::Move(ZonePoint local) const
{
    if (!moving_)
        return std::nullopt;
    return ZonePoint{local.X - downLocal_.X, local.Y - downLocal_.Y};
}

bool ZoneMover::Up(bool leftButton, bool doubleClick, ZonePoint screen)
{
    moving_ = false;
    if (!leftButton)
        return false;
    return doubleClick || screen == downScreen_;
}

}  // namespace ql
