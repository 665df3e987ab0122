#pragma once
// The checks the converter tests share: writing a fixture, a PDF qpdf finds nothing wrong with,
// and a picture JPEG cannot squeeze.
#include "ConverterRun.h"
#include "TestJpegs.h"

#include <QColor>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cstdlib>

namespace pagemint::test {

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

inline void expectCleanPdf(const QString &pdf)
{
    const ProcessResult check = runProcess(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
    EXPECT_TRUE(check.out.contains(QLatin1String("No syntax or stream encoding errors found")))
        << check.out.toStdString();
    EXPECT_TRUE(check.err.isEmpty()) << check.err.toStdString();
}

// A rendered page's colour at a point of the picture, against the picture's own: JPEG and the
// renderer move colours a little, a turned or mirrored page moves them a lot.
inline void expectColourAt(const QColor &got, const QColor &want, double fx, double fy)
{
    EXPECT_LT(std::abs(got.red() - want.red()) + std::abs(got.green() - want.green()) +
                  std::abs(got.blue() - want.blue()),
              120)
        << "at " << fx << "," << fy << " got " << got.name().toStdString() << " want " << want.name().toStdString();
}

// Random pixels: the JPEG comes out nearly as large as the picture, like a camera page.
inline QByteArray noisyJpeg(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = random.generate() | 0xFF000000u;
    }
    return qtJpeg(image, false, 90);
}

} // namespace pagemint::test
