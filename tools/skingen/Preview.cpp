#include "Preview.h"

#include "Artwork.h"
#include "Fonts.h"
#include "SkinLayout.h"
#include "SkinPainter.h"

#include <QPainter>

namespace skingen {

namespace {

void drawMockList(QPainter &p)
{
    p.fillRect(kListRect, Qt::white);
    p.setFont(cjkFont(12, false));
    const char *rows[] = {"1  /home/user/Pictures/IMG_0412.jpg", "2  /home/user/Pictures/IMG_0413.jpg",
                          "3  /home/user/Pictures/scan-page-2.png"};
    constexpr int kRow = 18;
    for (int i = 0; i < 3; ++i) {
        const QRect row(kListRect.left(), kListRect.top() + 2 + kRow * i, kListRect.width(), kRow);
        if (i == 1)
            p.fillRect(row, QColor(0xcd, 0xea, 0xe5));
        p.setPen(Qt::black);
        p.drawText(row.adjusted(6, 0, 0, 0), Qt::AlignVCenter, QString::fromUtf8(rows[i]));
    }
}

void drawProgramLabels(QPainter &p)
{
    p.setPen(QColor(0x2b, 0x4c, 0x52));
    p.drawText(QRect(412, 140, 123, 15), Qt::AlignCenter, QStringLiteral("共 3 页"));
    p.drawText(QPoint(414, 236), QStringLiteral("上移一行"));
    p.drawText(QPoint(477, 236), QStringLiteral("下移一行"));
    p.drawText(QPoint(412, 354), QStringLiteral("35%"));
    p.drawImage(QRect(11, 337, 137, 21), paintProgressFill());
    p.drawRect(QRect(10, 336, 390, 22));
}

} // namespace

QImage composePreview(const QImage &skin)
{
    constexpr int kGap = 10;
    QImage preview(kWindowSize.width() * 2 + kGap, kWindowSize.height(), QImage::Format_RGB32);
    preview.fill(Qt::darkGray);
    QPainter p(&preview);
    p.drawImage(0, 0, skin);
    drawMockList(p);
    drawProgramLabels(p);
    const struct {
        int zone;
        ButtonState state;
    } lit[] = {{1, ButtonState::Hover}, {4, ButtonState::Hover}, {6, ButtonState::Pressed}, {10, ButtonState::Hover}};
    for (const auto &button : lit)
        p.drawImage(zones()[std::size_t(button.zone)].rect.topLeft(), buttonPicture(button.zone, button.state));

    const QPoint right(kWindowSize.width() + kGap, 0);
    p.drawImage(right, skin);
    p.drawImage(right + kDoorRect.topLeft(), paintDoor());
    return preview;
}

} // namespace skingen
