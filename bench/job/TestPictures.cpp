#include "TestPictures.h"

#include <QDir>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <random>

namespace pagemint::bench {

namespace {

QImage cameraLike(int n, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    std::mt19937 random(static_cast<unsigned>(n));
    std::uniform_int_distribution<int> noise(-24, 24);
    for (int y = 0; y < height; ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const double wave = 60 * std::sin((x + 13 * n) / 37.0) * std::cos(y / 23.0);
            for (int c = 0; c < 3; ++c) {
                const int v = int(128 + wave + (c + 1) * 40.0 * x / width - 40.0 * y / height) + noise(random);
                line[3 * x + c] = static_cast<uchar>(std::clamp(v, 0, 255));
            }
        }
    }
    return image;
}

} // namespace

bool makePictures(const QString &folder, int count, int width, int height, const char *format)
{
    QDir().mkpath(folder);
    const QString suffix = QString::fromLatin1(format).toLower();
    for (int n = 0; n < count; ++n) {
        const QString path = QStringLiteral("%1/%2.%3").arg(folder).arg(n, 4, 10, QLatin1Char('0')).arg(suffix);
        // Quality 90 for JPEG (a camera's usual); PNG at its default compression.
        if (!cameraLike(n, width, height).save(path, format, suffix == QLatin1String("jpg") ? 90 : -1))
            return false;
    }
    return true;
}

} // namespace pagemint::bench
