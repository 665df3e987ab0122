#include "DrawnPages.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace pagemint::test {

namespace {
constexpr int kPixelSize = 40;
constexpr int kDotsPerMetre = 11811; // 300 dpi
} // namespace

DrawnPage drawPage(const QStringList &lines)
{
    DrawnPage page;
    page.image = QImage(1400, 200 + static_cast<int>(lines.size()) * 2 * kPixelSize, QImage::Format_RGB32);
    page.image.fill(Qt::white);
    page.image.setDotsPerMeterX(kDotsPerMetre);
    page.image.setDotsPerMeterY(kDotsPerMetre);
    QFont font(QStringLiteral("WenQuanYi Zen Hei"));
    font.setPixelSize(kPixelSize);
    QPainter painter(&page.image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font);
    int baseline = 120;
    for (const QString &line : lines) {
        const QPoint origin(120, baseline);
        painter.drawText(origin, line);
        page.lines.push_back(metrics.tightBoundingRect(line).translated(origin));
        baseline += 2 * kPixelSize;
    }
    return page;
}

QByteArray turnedJpeg(const QImage &image, int degrees)
{
    QImage turned = image.transformed(QTransform().rotate(degrees));
    turned.setDotsPerMeterX(kDotsPerMetre);
    turned.setDotsPerMeterY(kDotsPerMetre);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    turned.save(&buffer, "JPEG", 90);
    return bytes;
}

} // namespace pagemint::test
