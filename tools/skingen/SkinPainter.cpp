#include "SkinPainter.h"

#include "Fonts.h"
#include "Icons.h"
#include "Palette.h"
#include "SkinLayout.h"

#include <QPainter>
#include <QPainterPath>

namespace skingen {

namespace {

constexpr qreal kFrameWidth = 1.5;

QPainterPath windowOutline()
{
    QPainterPath outline;
    outline.addRoundedRect(QRectF(QPointF(0, 0), kWindowSize), kCornerRadius, kCornerRadius);
    return outline;
}

// Lit and pushed looks shared by the buttons on the dark header.
void drawHeaderButtonFace(QPainter &p, const QRectF &face, qreal radius, ButtonState state)
{
    if (state == ButtonState::Normal)
        return;
    const bool pushed = state == ButtonState::Pressed;
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, pushed ? QColor(0, 0, 0, 70) : QColor(255, 255, 255, 58));
    fill.setColorAt(1, pushed ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, 22));
    p.setPen(QPen(pushed ? QColor(0, 0, 0, 70) : QColor(255, 255, 255, 95), 1));
    p.setBrush(fill);
    p.drawRoundedRect(face.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

void drawMenu(QPainter &p, const Zone &zone, ButtonState state)
{
    const QRectF face = zone.artRect();
    drawHeaderButtonFace(p, face, 3, state);
    p.setFont(cjkFont(12));
    p.setPen(state == ButtonState::Normal ? palette::kHeaderText : QColor(Qt::white));
    p.drawText(face, Qt::AlignCenter, zone.captionText());
}

void drawToolbarButton(QPainter &p, const Zone &zone, ButtonState state)
{
    const QRectF face = QRectF(zone.artRect()).adjusted(2, 0, -2, -1);
    drawHeaderButtonFace(p, face, 6, state);
    const QPointF shift = state == ButtonState::Pressed ? QPointF(1, 1) : QPointF(0, 0);
    const QColor ink = state == ButtonState::Normal ? palette::kHeaderText : QColor(Qt::white);
    const QRectF icon(face.center().x() - 16, face.top() + 8, 32, 32);
    drawGlyph(p, zone.glyph, icon.translated(shift), ink);
    p.setFont(cjkFont(12));
    p.setPen(ink);
    p.drawText(QRectF(face.left(), face.top() + 47, face.width(), 16).translated(shift), Qt::AlignCenter,
               zone.captionText());
}

void drawConvertButton(QPainter &p, const Zone &zone, ButtonState state)
{
    const QRectF face = QRectF(zone.artRect()).adjusted(1.5, 1.5, -1.5, -2.5);
    const bool lit = state != ButtonState::Normal;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 30));
    p.drawRoundedRect(face.translated(0, 1.5), 9, 9);

    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, lit ? palette::kMint.lighter(118) : palette::kMint);
    fill.setColorAt(1, lit ? palette::kMintDark.lighter(112) : palette::kMintDark);
    p.setPen(QPen(palette::kMintDark.darker(125), 1));
    p.setBrush(fill);
    p.drawRoundedRect(face, 9, 9);
    p.setPen(QPen(QColor(255, 255, 255, lit ? 120 : 80), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(face.adjusted(1, 1, -1, -1), 8, 8);

    drawPdfPage(p, QRectF(face.left() + 14, face.top() + 10, 30, 39));
    p.setFont(cjkFont(17));
    p.setPen(Qt::white);
    p.drawText(QRectF(face.left() + 48, face.top(), face.width() - 52, face.height()), Qt::AlignCenter,
               zone.captionText());
}

void drawArrowButton(QPainter &p, const Zone &zone, ButtonState state)
{
    const QRectF face = QRectF(zone.artRect()).adjusted(1.5, 1.5, -1.5, -2.5);
    const bool lit = state != ButtonState::Normal;
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, lit ? QColor(0xf2, 0xfc, 0xf9) : QColor(Qt::white));
    fill.setColorAt(1, lit ? QColor(0xd5, 0xf1, 0xea) : QColor(0xe3, 0xee, 0xf0));
    p.setPen(QPen(lit ? palette::kMint : palette::kBodyEdge, 1));
    p.setBrush(fill);
    p.drawRoundedRect(face, 8, 8);
    const QRectF icon(face.center().x() - 15, face.center().y() - 15, 30, 30);
    drawGlyph(p, zone.glyph, icon, lit ? palette::kMintDark : palette::kAccent);
}

void drawWindowButton(QPainter &p, const Zone &zone)
{
    const QRectF r = zone.rect;
    drawGlyph(p, zone.glyph, QRectF(r.center().x() - 7, r.center().y() - 7, 14, 14), palette::kHeaderSoftText);
}

void drawZone(QPainter &p, const Zone &zone, ButtonState state)
{
    p.save();
    switch (zone.kind) {
    case ZoneKind::Menu:
        drawMenu(p, zone, state);
        break;
    case ZoneKind::Toolbar:
        drawToolbarButton(p, zone, state);
        break;
    case ZoneKind::Convert:
        drawConvertButton(p, zone, state);
        break;
    case ZoneKind::Arrow:
        drawArrowButton(p, zone, state);
        break;
    case ZoneKind::WindowButton:
        drawWindowButton(p, zone);
        break;
    }
    p.restore();
}

void drawHeader(QPainter &p)
{
    const QRectF header(0, 0, kWindowSize.width(), kHeaderHeight);
    QLinearGradient fill(header.topLeft(), header.bottomLeft());
    fill.setColorAt(0, palette::kHeaderTop);
    fill.setColorAt(1, palette::kHeaderBottom);
    p.fillRect(header, fill);
    // A faint sheen on the title strip and hairlines between the rows.
    p.fillRect(QRectF(0, 0, header.width(), 27), QColor(255, 255, 255, 14));
    p.fillRect(QRectF(10, 50, header.width() - 20, 1), QColor(0, 0, 0, 40));
    p.fillRect(QRectF(10, 51, header.width() - 20, 1), QColor(255, 255, 255, 22));
    p.fillRect(QRectF(0, header.bottom() - 1, header.width(), 1), palette::kFrame);

    drawAppMark(p, QRectF(12, 6, 18, 18));
    p.setFont(latinFont(14));
    p.setPen(palette::kHeaderText);
    p.drawText(QRectF(36, 4, 200, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Pagemint"));

    // The toolbar leaves room on the right: say there what the program is for.
    const QRectF tagline(424, 64, 112, 52);
    p.setFont(cjkFont(17));
    p.setPen(QColor(255, 255, 255, 210));
    p.drawText(tagline.adjusted(0, 0, 0, -24), Qt::AlignCenter, QStringLiteral("图片转 PDF"));
    p.setFont(cjkFont(12, false));
    p.setPen(palette::kHeaderSoftText);
    p.drawText(tagline.adjusted(0, 30, 0, 0), Qt::AlignCenter, QStringLiteral("拖进来 · 一键生成"));
}

void drawBody(QPainter &p)
{
    // The list well; the list box covers its inside at run time.
    p.setPen(QPen(palette::kBodyEdge, 1));
    p.setBrush(palette::kWell);
    p.drawRect(QRectF(kListRect).adjusted(-1.5, -1.5, 0.5, 0.5));

    // The bottom strip holds the progress bar and the path: a hairline sets it apart.
    p.fillRect(QRectF(10, 329, kWindowSize.width() - 20, 1), palette::kBodyEdge);
    p.fillRect(QRectF(10, 330, kWindowSize.width() - 20, 1), QColor(255, 255, 255, 160));
}

} // namespace

QImage paintSkin(int litZone, ButtonState state)
{
    QImage skin(kBackgroundSize, QImage::Format_RGB32);
    skin.fill(palette::kFrame);
    {
        QPainter p(&skin);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.fillRect(skin.rect(), palette::kBody);
        drawHeader(p);
        drawBody(p);
        const auto all = zones();
        for (std::size_t i = 0; i < all.size(); ++i)
            drawZone(p, all[i], int(i) == litZone ? state : ButtonState::Normal);

        // The frame is a ring filled with antialiasing on its inner edge only; its outer edge is
        // cut by the colour key below.
        QPainterPath ring;
        ring.addRect(QRectF(skin.rect()));
        QPainterPath inner;
        inner.addRoundedRect(
            QRectF(QPointF(0, 0), kWindowSize).adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth),
            kCornerRadius - kFrameWidth, kCornerRadius - kFrameWidth);
        p.fillPath(ring.subtracted(inner), palette::kFrame);

        // The colour key goes on last and hard-edged: a blended pixel would be neither inside nor
        // outside the window and would show as a pink fringe.
        p.setRenderHint(QPainter::Antialiasing, false);
        QPainterPath outside;
        outside.addRect(QRectF(skin.rect()));
        p.fillPath(outside.subtracted(windowOutline()), palette::kColourKey);
    }
    return skin;
}

QImage buttonPicture(int zone, ButtonState state)
{
    const Zone &z = zones()[std::size_t(zone)];
    return paintSkin(zone, state).copy(QRect(z.rect.topLeft(), z.pictureSize));
}

QString checkColourKeyEdge(const QImage &skin)
{
    const QRgb key = palette::kColourKey.rgb();
    const QRgb frame = palette::kFrame.rgb();
    const auto isKey = [&](int x, int y) {
        return x < 0 || y < 0 || x >= skin.width() || y >= skin.height() || skin.pixel(x, y) == key;
    };
    for (int y = 0; y < skin.height(); ++y) {
        for (int x = 0; x < skin.width(); ++x) {
            const bool outsideWindow = x >= kWindowSize.width() || y >= kWindowSize.height();
            if (outsideWindow && !isKey(x, y))
                return QStringLiteral("pixel %1,%2 beyond the window is not the colour key").arg(x).arg(y);
            if (isKey(x, y))
                continue;
            const bool touchesKey = isKey(x - 1, y) || isKey(x + 1, y) || isKey(x, y - 1) || isKey(x, y + 1);
            if (touchesKey && skin.pixel(x, y) != frame)
                return QStringLiteral("pixel %1,%2 on the window edge is blended, not the frame colour").arg(x).arg(y);
        }
    }
    for (const QPoint corner : {QPoint(0, 0), QPoint(kWindowSize.width() - 1, 0), QPoint(0, kWindowSize.height() - 1),
                                QPoint(kWindowSize.width() - 1, kWindowSize.height() - 1)}) {
        if (!isKey(corner.x(), corner.y()))
            return QStringLiteral("corner %1,%2 is not rounded off").arg(corner.x()).arg(corner.y());
    }
    return {};
}

} // namespace skingen
