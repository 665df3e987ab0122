// A job with a page layout chosen in the settings window: A4, 自动, 10 mm over a folder of the
// pictures people print (a landscape photo, a portrait scan, a 72-dpi phone photo stored sideways
// with EXIF orientation 6, a PNG), in both modes. Each page is checked as a reader shows it: its
// size by pdfinfo, the picture's box and colours by rendering it with pdftoppm.
#include "JobFixture.h"
#include "ModalAnswerer.h"

#include "app/ConversionMode.h"

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>

#include <algorithm>

namespace pagemint::test {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr double kA4Short = 210 * kPointsPerMm, kA4Long = 297 * kPointsPerMm;
constexpr int kRenderDpi = 30;

QString output(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Quadrants red, green, blue, black (left to right, top to bottom) as the picture should show.
const QColor quadrantColours[] = {Qt::red, Qt::green, Qt::blue, Qt::black};
QImage quadrants(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    const int w = size.width() / 2, h = size.height() / 2;
    for (int i = 0; i < 4; ++i)
        painter.fillRect(QRect((i % 2) * w, (i / 2) * h, w, h), quadrantColours[i]);
    return image;
}

// Inserts an EXIF block saying "turn a quarter clockwise to show" (orientation 6) after the JFIF
// segment Qt writes first.
QByteArray withOrientation6(const QByteArray &jpeg)
{
    const QByteArray tiff = QByteArray("MM\0*\0\0\0\x08", 8) + QByteArray("\0\x01", 2) +
                            QByteArray("\x01\x12\0\x03\0\0\0\x01\0\x06\0\0", 12) + QByteArray(4, '\0');
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    const QByteArray segment = QByteArray("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + payload;
    const int jfifEnd = 4 + ((uchar(jpeg[4]) << 8) | uchar(jpeg[5]));
    return jpeg.left(jfifEnd) + segment + jpeg.mid(jfifEnd);
}

struct PictureCase {
    const char *name;
    QSize stored; // pixels as the file holds them
    int dpi;
    bool sideways;        // stored a quarter turn anticlockwise, EXIF orientation 6
    bool landscapeExpect; // the page 自动 should give
};
const PictureCase cases[] = {
    {"landscape-photo.jpg", {1200, 800}, 96, false, true},
    {"portrait-scan.jpg", {850, 1100}, 300, false, false},
    {"phone-72dpi.jpg", {1600, 1200}, 72, true, false},
    {"drawing.png", {640, 480}, 96, false, true},
};

class PageLayoutJob : public JobFixture {
protected:
    QString write(const PictureCase &c)
    {
        QDir().mkpath(env_.root() + QStringLiteral("/pics"));
        QString path = env_.root() + QStringLiteral("/pics/") + QLatin1String(c.name);
        // The upright picture; a sideways one is stored turned back.
        QImage image = quadrants(c.sideways ? c.stored.transposed() : c.stored);
        if (c.sideways)
            image = image.transformed(QTransform().rotate(-90));
        const int dotsPerMeter = qRound(c.dpi / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, QByteArray(c.name).endsWith(".png") ? "PNG" : "JPG");
        QByteArray bytes = buffer.data();
        if (c.sideways)
            bytes = withOrientation6(bytes);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // Chooses A4, 自动, 10 mm in the settings window and saves, as a user would.
    void chooseA4AutoTenMillimetres(int mode)
    {
        engine().show();
        cmbMode()->setCurrentIndex(mode);
        control<QComboBox>(engine(), "cmbPaper")->setCurrentIndex(1);
        control<QComboBox>(engine(), "cmbOrientation")->setCurrentIndex(0);
        control<QSpinBox>(engine(), "spnMargin")->setValue(10);
        cmdSave()->click();
    }

    void convert()
    {
        ModalAnswerer answerer(60000);
        txtMsg()->setText(QStringLiteral("Convert"));
        EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
    }

    // Page `page` (from 1) of `pdf`: A4 the way the picture needs, the picture inside the margins,
    // centred and upright.
    void expectLaidOut(const QString &pdf, int page, const PictureCase &c)
    {
        SCOPED_TRACE(c.name);
        const QString n = QString::number(page);
        const QRegularExpressionMatch size =
            QRegularExpression(QStringLiteral("size:\\s+([\\d.]+) x ([\\d.]+) pts"))
                .match(output(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), n, QStringLiteral("-l"), n, pdf}));
        ASSERT_TRUE(size.hasMatch());
        const double width = size.captured(1).toDouble(), height = size.captured(2).toDouble();
        EXPECT_NEAR(width, c.landscapeExpect ? kA4Long : kA4Short, 0.01);
        EXPECT_NEAR(height, c.landscapeExpect ? kA4Short : kA4Long, 0.01);

        QTemporaryDir dir;
        const QString prefix = dir.filePath(QStringLiteral("page"));
        output(QStringLiteral("pdftoppm"),
               {QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-r"),
                QString::number(kRenderDpi), QStringLiteral("-f"), n, QStringLiteral("-l"), n, pdf, prefix});
        const QImage shown(prefix + QStringLiteral(".png"));
        ASSERT_FALSE(shown.isNull());
        // The picture's box: every pixel that is not the white of the paper (each quadrant lacks at
        // least one primary).
        QRect box;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb p = shown.pixel(x, y);
                if (std::min({qRed(p), qGreen(p), qBlue(p)}) < 200)
                    box |= QRect(x, y, 1, 1);
            }
        ASSERT_FALSE(box.isEmpty());
        const double marginPixels = 10 * kPointsPerMm * kRenderDpi / 72;
        EXPECT_GE(box.left(), marginPixels - 1);
        EXPECT_GE(box.top(), marginPixels - 1);
        EXPECT_GE(shown.width() - 1 - box.right(), marginPixels - 1);
        EXPECT_GE(shown.height() - 1 - box.bottom(), marginPixels - 1);
        // Centred (a pixel here is 2.4 points), and as large as the margins let it be.
        EXPECT_LE(std::abs(box.left() - (shown.width() - 1 - box.right())), 1);
        EXPECT_LE(std::abs(box.top() - (shown.height() - 1 - box.bottom())), 1);
        EXPECT_TRUE(box.left() <= marginPixels + 1 || box.top() <= marginPixels + 1) << "not fitted to the page";
        // Upright: each quadrant where the picture has it.
        for (int i = 0; i < 4; ++i) {
            const QPoint at(box.left() + box.width() * (i % 2 == 0 ? 1 : 3) / 4,
                            box.top() + box.height() * (i / 2 == 0 ? 1 : 3) / 4);
            const QColor got = shown.pixelColor(at), want = quadrantColours[i];
            EXPECT_LT(std::abs(got.red() - want.red()) + std::abs(got.green() - want.green()) +
                          std::abs(got.blue() - want.blue()),
                      120)
                << "quadrant " << i << " shows " << got.name().toStdString();
        }
    }
};

TEST_F(PageLayoutJob, A4AutoTenMillimetresTurnsEachPageAsItsPictureNeedsInBothModes)
{
    QStringList paths;
    for (const PictureCase &c : cases)
        paths << write(c);
    addEntries(paths);

    chooseA4AutoTenMillimetres(0);
    convert();
    const QString merged = out_ + QStringLiteral("/NewPDF.pdf");
    for (std::size_t i = 0; i < std::size(cases); ++i)
        expectLaidOut(merged, int(i) + 1, cases[i]);

    chooseA4AutoTenMillimetres(1);
    ASSERT_TRUE(OnePdfPerPicture);
    convert();
    for (const PictureCase &c : cases) {
        const QString pdf = out_ + u'/' + QFileInfo(QLatin1String(c.name)).completeBaseName() + QStringLiteral(".pdf");
        expectLaidOut(pdf, 1, c);
    }
}

// 向右旋转 on two entries, one of them stored sideways (EXIF 6), then a job on the original paper in
// both modes: each page is turned by its entry's turn on top of its EXIF one, its JPEG unchanged.
TEST_F(PageLayoutJob, TurnedEntriesComeOutTurnedAndUnchangedInBothModes)
{
    const PictureCase &landscape = cases[0], &phone = cases[2];
    const QStringList paths{write(landscape), write(phone)};
    addEntries(paths);
    QAction *turnRight = engine().menuOfZone(2)->findChild<QAction *>(QStringLiteral("menuTurnRight"));
    ASSERT_NE(turnRight, nullptr);
    for (int row : {0, 1}) {
        selectRow(row);
        turnRight->trigger();
    }
    QList<QByteArray> originals;
    for (const QString &path : paths) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        originals << file.readAll();
    }
    // pdfinfo's turn of each page, and what pdfimages takes out of it.
    const auto expectTurned = [&](const QString &pdf, int firstPage, QList<int> turns) {
        SCOPED_TRACE(pdf.toStdString());
        const QString info = output(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                                QStringLiteral("-l"), QStringLiteral("9"), pdf});
        QList<int> shown;
        for (const QRegularExpressionMatch &m :
             QRegularExpression(QStringLiteral("Page\\s+\\d+ rot:\\s+(\\d+)")).globalMatch(info))
            shown << m.captured(1).toInt();
        EXPECT_EQ(shown, turns) << info.toStdString();
        QTemporaryDir dir;
        output(QStringLiteral("pdfimages"), {QStringLiteral("-all"), pdf, dir.filePath(QStringLiteral("i"))});
        const QStringList images = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
        ASSERT_EQ(images.size(), turns.size());
        for (qsizetype i = 0; i < images.size(); ++i) {
            QFile image(dir.filePath(images[i]));
            ASSERT_TRUE(image.open(QIODevice::ReadOnly));
            EXPECT_TRUE(image.readAll() == originals[firstPage + i]) << "page " << i + 1 << " not byte for byte";
        }
    };
    // The landscape photo a quarter turn; the phone photo EXIF's quarter and the user's: half a turn.
    convert();
    expectTurned(out_ + QStringLiteral("/NewPDF.pdf"), 0, {90, 180});

    engine().show();
    cmbMode()->setCurrentIndex(1);
    cmdSave()->click();
    ASSERT_TRUE(OnePdfPerPicture);
    convert();
    expectTurned(out_ + QStringLiteral("/landscape-photo.pdf"), 0, {90});
    expectTurned(out_ + QStringLiteral("/phone-72dpi.pdf"), 1, {180});
}

} // namespace
} // namespace pagemint::test
