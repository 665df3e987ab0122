#include "Icons.h"

#include "Fonts.h"
#include "Palette.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <cmath>
#include <numbers>

namespace skingen {

namespace {

constexpr qreal kGrid = 32.0;
constexpr qreal kLine = 2.3;

QPainterPath stroked(const QPainterPath &path, qreal width = kLine)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path).simplified();
}

QPainterPath line(QPointF a, QPointF b)
{
    QPainterPath path(a);
    path.lineTo(b);
    return path;
}

QPainterPath circle(QPointF centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// A filled disc with a plus punched out, and room cleared around it in `under`.
QPainterPath withPlusBadge(const QPainterPath &under, QPointF centre)
{
    QPainterPath plus = stroked(line(centre - QPointF(3.6, 0), centre + QPointF(3.6, 0)), 2.2);
    plus = plus.united(stroked(line(centre - QPointF(0, 3.6), centre + QPointF(0, 3.6)), 2.2));
    const QPainterPath badge = circle(centre, 7.2).subtracted(plus);
    return under.subtracted(circle(centre, 9.0)).united(badge);
}

QPainterPath picturePlus()
{
    QPainterPath frame;
    frame.addRoundedRect(QRectF(3, 6, 22, 18), 3, 3);
    QPainterPath hills(QPointF(5, 22));
    hills.lineTo(11, 15);
    hills.lineTo(15.5, 19.5);
    hills.lineTo(18.5, 16.5);
    hills.lineTo(23, 21);
    QPainterPath art = stroked(frame).united(stroked(hills)).united(circle({18.5, 11}, 2.2));
    return withPlusBadge(art, {25, 24});
}

QPainterPath trash()
{
    QPainterPath body(QPointF(8.5, 10));
    body.lineTo(10, 27);
    body.lineTo(22, 27);
    body.lineTo(23.5, 10);
    QPainterPath lid = line({5.5, 9}, {26.5, 9});
    QPainterPath handle(QPointF(12.5, 9));
    handle.lineTo(13.5, 5.5);
    handle.lineTo(18.5, 5.5);
    handle.lineTo(19.5, 9);
    QPainterPath art = stroked(body).united(stroked(lid)).united(stroked(handle));
    for (const qreal x : {13.3, 16.0, 18.7})
        art = art.united(stroked(line({x, 14}, {x, 22.5}), 1.8));
    return art;
}

QPainterPath folderPlus()
{
    QPainterPath folder(QPointF(3.5, 24));
    folder.lineTo(3.5, 7);
    folder.lineTo(11.5, 7);
    folder.lineTo(14.5, 10.5);
    folder.lineTo(27.5, 10.5);
    folder.lineTo(27.5, 24);
    folder.closeSubpath();
    QPainterPath art = stroked(folder).united(stroked(line({3.5, 14}, {27.5, 14})));
    return withPlusBadge(art, {25, 24});
}

QPainterPath gear()
{
    constexpr int kTeeth = 8;
    constexpr qreal kStep = 2 * std::numbers::pi / kTeeth;
    QPainterPath teeth;
    for (int i = 0; i < kTeeth; ++i) {
        const qreal a = i * kStep;
        // Each tooth: a flank up, a flat top, a flank down, then the root arc to the next tooth.
        const qreal angles[] = {a - 0.30 * kStep, a - 0.17 * kStep, a + 0.17 * kStep, a + 0.30 * kStep};
        const qreal radii[] = {9.6, 13.0, 13.0, 9.6};
        for (int k = 0; k < 4; ++k) {
            const QPointF p(16 + radii[k] * std::cos(angles[k]), 16 + radii[k] * std::sin(angles[k]));
            if (i == 0 && k == 0)
                teeth.moveTo(p);
            else
                teeth.lineTo(p);
        }
    }
    teeth.closeSubpath();
    QPainterPath hub;
    hub.addEllipse(QPointF(16, 16), 4.2, 4.2);
    return stroked(teeth, 2.1).united(stroked(hub, 2.1));
}

QPainterPath globe()
{
    const QPointF c(16, 16);
    constexpr qreal r = 12.0;
    QPainterPath meridian;
    meridian.addEllipse(c, 5.2, r);
    QPainterPath art = stroked(circle(c, r)).united(stroked(meridian, 1.9));
    art = art.united(stroked(line({c.x() - r, 16}, {c.x() + r, 16}), 1.9));
    for (const qreal dy : {-6.5, 6.5}) {
        const qreal half = std::sqrt(r * r - dy * dy);
        art = art.united(stroked(line({c.x() - half, 16 + dy}, {c.x() + half, 16 + dy}), 1.6));
    }
    return art;
}

QPainterPath power()
{
    QPainterPath arc;
    const QRectF ring(5, 6.5, 22, 22);
    arc.arcMoveTo(ring, 125);
    arc.arcTo(ring, 125, 290);
    return stroked(arc, 2.6).united(stroked(line({16, 3.5}, {16, 15}), 2.6));
}

QPainterPath arrowUp()
{
    QPainterPath arrow(QPointF(16, 5));
    arrow.lineTo(27, 16.5);
    arrow.lineTo(20, 16.5);
    arrow.lineTo(20, 27);
    arrow.lineTo(12, 27);
    arrow.lineTo(12, 16.5);
    arrow.lineTo(5, 16.5);
    arrow.closeSubpath();
    return arrow.united(stroked(arrow, 2.0));
}

QPainterPath windowMark(Glyph glyph)
{
    if (glyph == Glyph::Minimise)
        return stroked(line({8, 21}, {24, 21}), 3.6);
    return stroked(line({8, 9}, {24, 25}), 3.4).united(stroked(line({24, 9}, {8, 25}), 3.4));
}

QPainterPath glyphPath(Glyph glyph)
{
    switch (glyph) {
    case Glyph::PicturePlus:
        return picturePlus();
    case Glyph::Trash:
        return trash();
    case Glyph::FolderPlus:
        return folderPlus();
    case Glyph::Gear:
        return gear();
    case Glyph::Globe:
        return globe();
    case Glyph::Power:
        return power();
    case Glyph::ArrowUp:
        return arrowUp();
    case Glyph::ArrowDown:
        return QTransform(1, 0, 0, -1, 0, kGrid).map(arrowUp());
    case Glyph::Minimise:
    case Glyph::Close:
        return windowMark(glyph);
    case Glyph::None:
        break;
    }
    return {};
}

QTransform gridToBox(const QRectF &box)
{
    return QTransform::fromTranslate(box.x(), box.y()).scale(box.width() / kGrid, box.height() / kGrid);
}

} // namespace

void drawGlyph(QPainter &painter, Glyph glyph, const QRectF &box, const QColor &ink)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPath(gridToBox(box).map(glyphPath(glyph)));
    painter.restore();
}

void drawPdfPage(QPainter &painter, const QRectF &box)
{
    const qreal w = box.width();
    const qreal fold = w * 0.28;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath page(box.topLeft());
    page.lineTo(box.right() - fold, box.top());
    page.lineTo(box.right(), box.top() + fold);
    page.lineTo(box.bottomRight());
    page.lineTo(box.bottomLeft());
    page.closeSubpath();
    painter.setPen(QPen(QColor(0, 0, 0, 40), std::max(1.0, w / 40)));
    painter.setBrush(Qt::white);
    painter.drawPath(page);

    QPainterPath corner(QPointF(box.right() - fold, box.top()));
    corner.lineTo(box.right() - fold, box.top() + fold);
    corner.lineTo(box.right(), box.top() + fold);
    corner.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xd5, 0xe3, 0xe5));
    painter.drawPath(corner);

    // Text lines above the band, so the shape reads as a document even without the label.
    painter.setBrush(QColor(0xc9, 0xd7, 0xda));
    const qreal lineH = std::max(1.0, box.height() * 0.045);
    for (int i = 0; i < 3; ++i) {
        const qreal y = box.top() + fold + box.height() * (0.08 + 0.12 * i);
        const qreal right = i == 0 ? box.right() - w * 0.34 : box.right() - w * 0.16;
        painter.drawRoundedRect(QRectF(box.left() + w * 0.16, y, right - box.left() - w * 0.16, lineH), lineH / 2,
                                lineH / 2);
    }

    const QRectF band(box.left() - w * 0.1, box.top() + box.height() * 0.62, w * 0.86, box.height() * 0.26);
    painter.setBrush(palette::kPdfRed);
    painter.drawRoundedRect(band, w * 0.06, w * 0.06);
    QFont font = latinFont(std::max(6, int(std::lround(band.height() * 0.72))));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(band, Qt::AlignCenter, QStringLiteral("PDF"));
    painter.restore();
}

void drawPhoto(QPainter &painter, const QRectF &box, qreal tilt, const QColor &sky)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center());
    painter.rotate(tilt);
    const QRectF card(-box.width() / 2, -box.height() / 2, box.width(), box.height());
    const qreal border = box.width() * 0.07;

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 28));
    painter.drawRoundedRect(card.translated(1.5, 2.5), 3, 3);
    painter.setPen(QPen(QColor(0, 0, 0, 45), 1));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(card, 3, 3);

    const QRectF picture = card.adjusted(border, border, -border, -border * 2.2);
    QLinearGradient skyFill(picture.topLeft(), picture.bottomLeft());
    skyFill.setColorAt(0, sky.lighter(125));
    skyFill.setColorAt(1, sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(skyFill);
    painter.drawRect(picture);

    painter.setClipRect(picture);
    const qreal pw = picture.width();
    const qreal ph = picture.height();
    painter.setBrush(palette::kSun);
    painter.drawEllipse(QPointF(picture.left() + pw * 0.72, picture.top() + ph * 0.3), pw * 0.1, pw * 0.1);
    QPainterPath far(QPointF(picture.left(), picture.bottom()));
    far.lineTo(picture.left() + pw * 0.38, picture.top() + ph * 0.42);
    far.lineTo(picture.left() + pw * 0.75, picture.bottom());
    painter.setBrush(palette::kMint);
    painter.drawPath(far);
    QPainterPath near(QPointF(picture.left() + pw * 0.35, picture.bottom()));
    near.lineTo(picture.left() + pw * 0.7, picture.top() + ph * 0.58);
    near.lineTo(picture.right() + 1, picture.bottom());
    painter.setBrush(palette::kMintDark);
    painter.drawPath(near);
    painter.restore();
}

void drawAppMark(QPainter &painter, const QRectF &box)
{
    const qreal s = box.width();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.topLeft());

    QLinearGradient tile(0, 0, 0, s);
    tile.setColorAt(0, palette::kHeaderTop.lighter(112));
    tile.setColorAt(1, palette::kHeaderBottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(0, 0, s, s), s * 0.22, s * 0.22);

    // The page, with its corner folded.
    const QRectF page(s * 0.22, s * 0.14, s * 0.50, s * 0.66);
    const qreal fold = page.width() * 0.32;
    QPainterPath sheet(page.topLeft());
    sheet.lineTo(page.right() - fold, page.top());
    sheet.lineTo(page.right(), page.top() + fold);
    sheet.lineTo(page.bottomRight());
    sheet.lineTo(page.bottomLeft());
    sheet.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(sheet);
    QPainterPath corner(QPointF(page.right() - fold, page.top()));
    corner.lineTo(page.right() - fold, page.top() + fold);
    corner.lineTo(page.right(), page.top() + fold);
    corner.closeSubpath();
    painter.setBrush(QColor(0xbf, 0xd6, 0xd9));
    painter.drawPath(corner);

    // A small picture on the page; too fine to read below 24 pixels, so lines stand in there.
    const QRectF photo(page.left() + page.width() * 0.16, page.top() + page.height() * 0.34, page.width() * 0.68,
                       page.height() * 0.34);
    if (s >= 24) {
        painter.setBrush(QColor(0xd4, 0xee, 0xf0));
        painter.drawRect(photo);
        QPainterPath hill(photo.bottomLeft());
        hill.lineTo(photo.left() + photo.width() * 0.4, photo.top() + photo.height() * 0.35);
        hill.lineTo(photo.left() + photo.width() * 0.75, photo.bottom());
        painter.setBrush(palette::kAccent);
        painter.drawPath(hill);
        painter.setBrush(palette::kSun);
        painter.drawEllipse(QPointF(photo.left() + photo.width() * 0.75, photo.top() + photo.height() * 0.3),
                            photo.height() * 0.16, photo.height() * 0.16);
    } else {
        painter.setBrush(palette::kAccent);
        painter.drawRect(QRectF(photo.left(), photo.top(), photo.width(), photo.height() * 0.8));
    }

    // The mint leaf, overlapping the page's lower right corner.
    painter.translate(s * 0.70, s * 0.70);
    painter.rotate(-40);
    const qreal len = s * 0.40;
    const qreal half = s * 0.15;
    QPainterPath leaf(QPointF(-len / 2, 0));
    leaf.cubicTo(-len / 4, -half * 1.35, len / 4, -half * 1.2, len / 2, 0);
    leaf.cubicTo(len / 4, half * 1.2, -len / 4, half * 1.35, -len / 2, 0);
    painter.setPen(QPen(palette::kHeaderBottom, std::max(1.0, s / 28)));
    painter.setBrush(QColor(0x5c, 0xd6, 0xa4));
    painter.drawPath(leaf);
    if (s >= 24) {
        painter.setPen(QPen(QColor(0x2b, 0x9a, 0x70), s / 40, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(-len * 0.38, 0), QPointF(len * 0.38, 0));
    }
    painter.restore();
}

} // namespace skingen
