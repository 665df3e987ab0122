#pragma once

#include "SkinLayout.h"

#include <QColor>
#include <QRectF>

class QPainter;

namespace skingen {

// Line icons, designed on a 32 x 32 grid and scaled into `box`, filled in one ink colour.
void drawGlyph(QPainter &painter, Glyph glyph, const QRectF &box, const QColor &ink);

// A page with a folded corner and a red "PDF" band; `box` is the page's bounding box.
void drawPdfPage(QPainter &painter, const QRectF &box);

// A photograph: white border, sky, sun and two hills. `tilt` in degrees about its centre.
void drawPhoto(QPainter &painter, const QRectF &box, qreal tilt, const QColor &sky);

// The application's mark: a page on a teal tile with a mint leaf, in a square `box`.
void drawAppMark(QPainter &painter, const QRectF &box);

} // namespace skingen
