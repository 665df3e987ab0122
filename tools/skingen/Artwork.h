#pragma once

#include <QImage>
#include <QPoint>

namespace skingen {

// The picture over the empty list that invites a drop; it lies at kDoorRect.
QImage paintDoor();

// One column of the progress bar's fill; the program stretches it sideways.
QImage paintProgressFill();

QImage paintAppIcon(int size);

inline constexpr QPoint kCursorHotSpot{6, 0};
QImage paintCursor();

} // namespace skingen
