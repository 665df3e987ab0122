#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <span>

namespace skingen {

// The main window is frameless and fixed: its client area is kWindowSize, painted entirely by the
// background picture, which is a few pixels larger (the window shape comes from its colour key).
inline constexpr QSize kWindowSize{548, 366};
inline constexpr QSize kBackgroundSize{553, 371};
inline constexpr int kCornerRadius = 12;

// Height of the dark band holding the title, the menu titles and the toolbar.
inline constexpr int kHeaderHeight = 130;

enum class ZoneKind { Menu, Toolbar, Convert, Arrow, WindowButton };

enum class Glyph { None, PicturePlus, Trash, FolderPlus, Gear, Globe, Power, ArrowUp, ArrowDown, Minimise, Close };

// One clickable place on the skin. The window lays invisible hot zones over `rect`; the hover and
// pressed pictures are cut from the skin at rect.topLeft() with `pictureSize`, so each button is
// drawn within the intersection of both and looks the same in every picture.
struct Zone {
    ZoneKind kind;
    QRect rect;
    QSize pictureSize;
    Glyph glyph;
    const char *caption;     // UTF-8; nullptr for none
    const char *hoverName;   // file stem of the lit picture; nullptr for none
    const char *pressedName; // file stem of the pushed picture; nullptr for none

    QString captionText() const { return caption ? QString::fromUtf8(caption) : QString(); }
    QRect artRect() const { return pictureSize.isEmpty() ? rect : rect & QRect(rect.topLeft(), pictureSize); }
};

std::span<const Zone> zones();

// Places the program fills at run time; the skin keeps them plain.
struct QuietArea {
    const char *what;
    QRect rect;
};
std::span<const QuietArea> quietAreas();

// The white list box covers this at run time; the door picture lies over kDoorRect when it is empty.
inline constexpr QRect kListRect{10, 138, 391, 184};
inline constexpr QRect kDoorRect{6, 136, 537, 189};

} // namespace skingen
