#pragma once

#include <QImage>

namespace skingen {

// For looking at, never shipped: the window as the program will show it, with a few list rows,
// the labels the program draws and some lit buttons, beside the same window with its door shut.
QImage composePreview(const QImage &skin);

} // namespace skingen
