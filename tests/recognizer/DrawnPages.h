#pragma once
// Pages the recogniser tests draw with Qt: lines of text in WenQuanYi Zen Hei at about 40 pixels,
// 300 dpi, and where each line's ink lies, to hold the recognised boxes against.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QStringList>
#include <QTransform>

#include <vector>

namespace pagemint::test {

struct DrawnPage {
    QImage image;
    std::vector<QRect> lines; // the ink of each line, in the order drawn
};

DrawnPage drawPage(const QStringList &lines);

// The page's pixels turned clockwise by `degrees` and saved as a 300-dpi JPEG.
QByteArray turnedJpeg(const QImage &image, int degrees);

} // namespace pagemint::test
