#include "Artwork.h"

#include "Fonts.h"
#include "Icons.h"
#include "Palette.h"
#include "SkinLayout.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>

namespace skingen {

namespace {

void drawDropArrow(QPainter &p, QPointF from, QPointF to)
{
    p.save();
    QPen pen(palette::kMint, 3, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setDashPattern({1.2, 1.6});
    p.setPen(pen);
    const QPointF control((from.x() + to.x()) / 2, from.y() - 28);
    QPainterPath curve(from);
    curve.quadTo(control, to);
    p.drawPath(curve);
    // The head points along the curve's last tangent, which runs from the control point.
    p.translate(to);
    p.rotate(-QLineF(control, to).angle());
    QPainterPath head(QPointF(6, 0));
    head.lineTo(-6, -6.5);
    head.lineTo(-6, 6.5);
    head.closeSubpath();
    p.setPen(QPen(palette::kMint, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(palette::kMint);
    p.drawPath(head);
    p.restore();
}

} // namespace

QImage paintDoor()
{
    QImage door(kDoorRect.size(), QImage::Format_RGB32);
    QPainter p(&door);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Its border matches the plain body it lies on, so only the card shows.
    p.fillRect(door.rect(), palette::kBody);
    const QRectF card = QRectF(door.rect()).adjusted(3.5, 1.5, -3.5, -2.5);

    QLinearGradient fill(card.topLeft(), card.bottomLeft());
    fill.setColorAt(0, Qt::white);
    fill.setColorAt(1, QColor(0xf1, 0xf9, 0xf8));
    QPen edge(palette::kMint, 1.6, Qt::DashLine);
    edge.setDashPattern({5, 3});
    p.setPen(edge);
    p.setBrush(fill);
    p.drawRoundedRect(card, 10, 10);

    // Pictures on the left travel along the arrow into the PDF page.
    drawPhoto(p, QRectF(34, 58, 74, 60), -12, QColor(0x8c, 0xc8, 0xe8));
    drawPhoto(p, QRectF(56, 72, 74, 60), 7, QColor(0xa9, 0xd9, 0xcf));
    drawDropArrow(p, QPointF(136, 84), QPointF(192, 90));
    drawPdfPage(p, QRectF(206, 48, 64, 84));

    const QRectF text(300, 50, card.right() - 316, 90);
    p.setFont(cjkFont(20));
    p.setPen(palette::kBodyText);
    p.drawText(QRectF(text.left(), text.top(), text.width(), 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("请拖拽您的图片到这里"));
    p.setFont(cjkFont(13, false));
    p.setPen(QColor(0x5f, 0x7d, 0x82));
    p.drawText(QRectF(text.left(), text.top() + 38, text.width(), 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("松开鼠标，图片就会加入列表"));
    p.drawText(QRectF(text.left(), text.top() + 60, text.width(), 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("也可以点击上方的「添加文件」"));
    return door;
}

QImage paintProgressFill()
{
    QImage fill(1, 20, QImage::Format_RGB32);
    QPainter p(&fill);
    QLinearGradient gradient(0, 0, 0, fill.height());
    gradient.setColorAt(0.0, QColor(0x8a, 0xe6, 0xd2));
    gradient.setColorAt(0.45, palette::kMint);
    gradient.setColorAt(1.0, palette::kMintDark);
    p.fillRect(fill.rect(), gradient);
    return fill;
}

QImage paintAppIcon(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    drawAppMark(p, QRectF(0, 0, size, size));
    return icon;
}

QImage paintCursor()
{
    // A pointing hand; the tip of the index finger is the hot spot.
    QPainterPath index;
    index.addRoundedRect(QRectF(3.5, 0.5, 5, 16), 2.5, 2.5);
    QPainterPath hand = index;
    const QRectF knuckles[] = {{8.5, 8.5, 4.6, 10}, {13.1, 9.5, 4.6, 9}, {17.7, 10.8, 4.3, 8}};
    for (const QRectF &k : knuckles) {
        QPainterPath finger;
        finger.addRoundedRect(k, 2.2, 2.2);
        hand = hand.united(finger);
    }
    QPainterPath palm(QPointF(3.5, 12));
    palm.lineTo(22, 14);
    palm.lineTo(22, 21);
    palm.cubicTo(22, 26, 19, 29.5, 14, 29.5);
    palm.lineTo(10, 29.5);
    palm.cubicTo(7, 29.5, 5.5, 27, 4.5, 25);
    palm.lineTo(0.8, 18.5);
    palm.cubicTo(-0.2, 16.5, 2.2, 14.6, 3.6, 16.3);
    palm.closeSubpath();
    hand = hand.united(palm).simplified();

    QImage cursor(32, 32, QImage::Format_ARGB32_Premultiplied);
    cursor.fill(Qt::transparent);
    QPainter p(&cursor);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x12, 0x2a, 0x2e), 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    // Creases between the folded fingers.
    p.setPen(QPen(QColor(0x12, 0x2a, 0x2e), 0.9, Qt::SolidLine, Qt::RoundCap));
    for (const QRectF &k : knuckles)
        p.drawLine(QPointF(k.left(), k.top() + 2.5), QPointF(k.left(), k.top() + 6.5));
    return cursor;
}

} // namespace skingen
