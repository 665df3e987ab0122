#pragma once

#include <QImage>
#include <QString>

namespace skingen {

enum class ButtonState { Normal, Hover, Pressed };

// The whole background picture, with at most one button (an index into zones()) drawn lit or
// pushed. Every picture of a button is cut from this, so the pieces always match the background.
QImage paintSkin(int litZone = -1, ButtonState state = ButtonState::Normal);

// The picture of one button (an index into zones()) in `state`, cut from the skin at its zone.
QImage buttonPicture(int zone, ButtonState state);

// Checks what the window shape relies on: the colour key outside, the frame colour on the first
// pixels inside, nothing in between. Returns a description of the first fault, empty if none.
QString checkColourKeyEdge(const QImage &skin);

} // namespace skingen
