// Thumbnails made by the real decoder in the background: small and upright, kept once made, the
// hostile files refused without harm, and requests that fell behind dropped.
#include "StagingTestBase.h"
#include "TestPictures.h"

#include "conversion/Thumbnails.h"

#include <QEventLoop>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>

#include <set>

namespace pagemint::test {
namespace {

// Long enough for a decoder on a machine busy with other work; the wait ends at the signal.
constexpr int kSignalWaitMs = 60'000;

// An EXIF segment holding only the orientation, put right after the start marker.
QByteArray withExifOrientation(QByteArray jpeg, char orientation)
{
    const QByteArray payload = QByteArray("Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 25) +
                               QByteArray(1, orientation) + QByteArray(6, '\0');
    const int length = int(payload.size()) + 2;
    jpeg.insert(2, QByteArray("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + payload);
    return jpeg;
}

class ThumbnailsTest : public StagingTest {
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(picture(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    // The answer for `path`, waited for on the signals.
    QImage madeFor(const QString &path)
    {
        thumbnails.request(path);
        waitForAnswers(1);
        return made.isEmpty() ? QImage() : made.takeFirst().at(1).value<QImage>();
    }
    // Until `count` answers, made or refused, have come (or the decoders are long overdue).
    void waitForAnswers(int count)
    {
        QEventLoop loop;
        const auto answered = [&] {
            if (made.count() + refused.count() >= count)
                loop.quit();
        };
        QObject::connect(&thumbnails, &Thumbnails::made, &loop, answered, Qt::QueuedConnection);
        QObject::connect(&thumbnails, &Thumbnails::refused, &loop, answered, Qt::QueuedConnection);
        QTimer::singleShot(kSignalWaitMs, &loop, &QEventLoop::quit);
        if (made.count() + refused.count() < count)
            loop.exec();
    }

    Thumbnails thumbnails;
    QSignalSpy made{&thumbnails, &Thumbnails::made};
    QSignalSpy refused{&thumbnails, &Thumbnails::refused};
};

TEST_F(ThumbnailsTest, AreSmallUprightAndKeptOnceMade)
{
    // Red on the left, blue on the right, stored a quarter turn anticlockwise (EXIF 6): upright,
    // red is on top.
    QByteArray jpeg;
    {
        QImage image = halves(QImage::Format_RGB32, Qt::red, Qt::blue);
        const QString path = saveWithQt(image, picture("sideways.jpg"), "JPEG");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        jpeg = file.readAll();
    }
    const QString sideways = write(QStringLiteral("sideways.jpg"), withExifOrientation(jpeg, 6));
    const QImage upright = madeFor(sideways);
    ASSERT_FALSE(upright.isNull()) << (refused.isEmpty() ? "" : refused[0][1].toString().toStdString());
    EXPECT_EQ(upright.size(), QSize(48, 64));
    EXPECT_TRUE(near(upright.pixelColor(24, 8), Qt::red)) << upright.pixelColor(24, 8).name().toStdString();
    EXPECT_TRUE(near(upright.pixelColor(24, 56), Qt::blue)) << upright.pixelColor(24, 56).name().toStdString();

    // A large picture comes back with its longer side at the thumbnail's size, shape kept.
    const QString wide =
        saveWithQt(halves(QImage::Format_ARGB32, Qt::green, Qt::transparent, 1024, 512), picture("wide.png"), "PNG");
    const QImage small = madeFor(wide);
    EXPECT_EQ(small.size(), QSize(decoder::kThumbnailSide, decoder::kThumbnailSide / 2));
    // Laid on white as its page is.
    EXPECT_TRUE(near(small.pixelColor(200, 64), Qt::white)) << small.pixelColor(200, 64).name().toStdString();

    // Asked again, it is answered at once from what was kept.
    thumbnails.request(sideways);
    ASSERT_EQ(made.count(), 1);
    EXPECT_EQ(made.takeFirst().at(1).value<QImage>(), upright);
}

TEST_F(ThumbnailsTest, HostileFilesAreRefusedAndTheNextPictureStillShows)
{
    for (const char *name : {"jpeg-exif-count-65535-crashes-loader.jpg", "png-header-claims-50000x50000.png",
                             "ico-negative-height-overflows-heap.ico", "iff-chunk-size-never-reaches-zero.iff",
                             "gif-screen-claims-65535x65535.gif"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(madeFor(fixture(QString::fromLatin1(name))).isNull());
        ASSERT_EQ(refused.count(), 1);
        EXPECT_FALSE(refused.takeFirst().at(1).toString().isEmpty());
        // A refusal is kept too: no decoder runs for it again.
        thumbnails.request(fixture(QString::fromLatin1(name)));
        EXPECT_EQ(refused.count(), 1);
        refused.clear();
    }
    const QString good = saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture("good.png"), "PNG");
    EXPECT_EQ(madeFor(good).size(), QSize(64, 48));
}

TEST_F(ThumbnailsTest, RequestsThatFellBehindAreDropped)
{
    QStringList paths;
    for (int i = 0; i < 7; ++i)
        paths << saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture(QStringLiteral("%1.png").arg(i)),
                            "PNG");
    // Two decoders take the first two; of the five waiting, the four newest stay.
    for (const QString &path : paths)
        thumbnails.request(path);
    waitForAnswers(6);
    std::set<QString> answered;
    for (const QList<QVariant> &signal : made)
        answered.insert(signal.at(0).toString());
    EXPECT_EQ(answered, (std::set<QString>{paths[0], paths[1], paths[3], paths[4], paths[5], paths[6]}));
    EXPECT_TRUE(refused.isEmpty());
    EXPECT_EQ(thumbnails.pending(), 0) << "the picture that fell behind is still waiting";
}

} // namespace
} // namespace pagemint::test
