#include "DecoderPictures.h"
#include "HeifPictures.h"
#include "StagingTestBase.h"
#include "TestPictures.h"

#include "common/FileNameBytes.h"
#include "contract/Descriptor.h"
#include "contract/JpegInfo.h"
#include "contract/PageReference.h"
#include "contract/Reasons.h"
#include "contract/StagingFolder.h"
#include "contract/SystemReason.h"
#include "conversion/PathFunctions.h"
#include "conversion/ReasonWords.h"
#include "conversion/StagePage.h"
#include "conversion/StagingPaths.h"
#include "support/FileBytes.h"
#include "support/RemoveTreeAtEnd.h"

#include <QColorSpace>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <functional>

namespace pagemint::test {
namespace {

using namespace std::chrono_literals;

// The staged page stands for a whole baseline JPEG in colour, as the converter needs it.
void expectColourJpeg(const QString &path)
{
    JpegInfo info;
    std::string reason;
    const Descriptor picture(openStagedPage(path, reason));
    ASSERT_TRUE(picture.valid()) << reason;
    ASSERT_TRUE(inspectJpegDescriptor(picture.get(), info, reason)) << reason;
    EXPECT_EQ(info.components, 3);
}

// Nothing but the listed pages in the staging folder: no temporary or half-written files.
QStringList stagingFolderEntries()
{
    return QDir(fromFsPath(stagingFolder())).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

class StagePageTest : public StagingTest {};

TEST_F(StagePageTest, StagesEveryUsableJpegAsItIsWhateverItsName)
{
    const QString names[] = {"Photo.JPG", "scan.jpeg", "SCAN.JPEG", "old.jpe", "web.jfif", "a-jpeg-called.png"};
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString photo = saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture(name), "JPEG");
        ASSERT_FALSE(photo.isEmpty());
        std::filesystem::remove_all(stagingFolder());
        std::filesystem::create_directories(stagingFolder());
        // An older page at the same position is replaced.
        QFile::copy(fixture("png-header-claims-50000x50000.png"), stagedPage(0));

        const StageResult result = StagePage(0, photo);

        ASSERT_TRUE(result.staged) << result.reason.toStdString();
        EXPECT_EQ(stagedBytesOf(stagedPage(0)), bytesOf(photo));
        // Listed, not copied: no file of its own.
        EXPECT_EQ(stagingFolderEntries(), QStringList{QString::fromLatin1(kPageReferencesName.data())});
    }
}

// A JPEG passed through is read where it lies, and only as it was when it was checked: changed,
// replaced, moved away or removed after its check, its page stands for nothing and whoever reads
// it (the converter, the text recogniser) is told the picture changed. Only reading or copying it
// elsewhere leaves the page as it was.
TEST_F(StagePageTest, AJpegChangedAfterItsCheckFailsItsPage)
{
    const auto rewrite = [](const QString &path, qint64 at, const QByteArray &bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.seek(at));
        ASSERT_EQ(file.write(bytes), bytes.size());
    };
    const auto fs = [](const QString &path) { return toFsPath(path); };
    const struct {
        const char *name;
        std::function<void(const QString &)> change; // applied right after the check
        bool pageHolds;
    } cases[] = {
        {"read and copied elsewhere", [&](const QString &path) { QFile::copy(path, path + ".copy"); }, true},
        {"cut short", [&](const QString &path) { std::filesystem::resize_file(fs(path), QFileInfo(path).size() / 2); },
         false},
        {"rewritten in place, size and modification time kept",
         [&](const QString &path) {
             const QDateTime modified = QFileInfo(path).lastModified();
             rewrite(path, 200, QByteArray(16, 'x'));
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
         },
         false},
        {"replaced by another JPEG",
         [&](const QString &path) {
             const QString other =
                 saveWithQt(halves(QImage::Format_RGB32, Qt::green, Qt::blue), path + ".new.jpg", "JPEG");
             std::filesystem::rename(fs(other), fs(path));
         },
         false},
        {"moved away", [&](const QString &path) { std::filesystem::rename(fs(path), fs(path + ".moved")); }, false},
        {"removed", [&](const QString &path) { std::filesystem::remove(fs(path)); }, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(pictures()).removeRecursively();
        QDir().mkpath(pictures());
        const QString photo = saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture("photo.jpg"), "JPEG");
        ASSERT_FALSE(photo.isEmpty());
        const QByteArray original = bytesOf(photo);
        std::filesystem::remove_all(stagingFolder());
        std::filesystem::create_directories(stagingFolder());
        PageStage stage(photo, stagedPagePath(0));
        c.change(photo);
        ASSERT_TRUE(stage.finish().staged);
        ASSERT_TRUE(stage.reference());
        ASSERT_TRUE(listReference(0, *stage.reference()).staged);

        std::string reason;
        const Descriptor read(openStagedPage(stagedPage(0), reason));
        EXPECT_EQ(read.valid(), c.pageHolds) << reason;
        if (c.pageHolds)
            EXPECT_EQ(stagedBytesOf(stagedPage(0)), original);
        else
            EXPECT_EQ(reason, reason::kChangedSinceChecked);
    }
}

// Where a file's identity may not last (a FUSE mount: a phone, sshfs), a JPEG is copied at its turn
// instead, byte for byte, and the page keeps what was copied whatever happens to the picture later.
TEST_F(StagePageTest, WhereIdentityMayNotLastAJpegIsCopiedAsItIs)
{
    PageStage::setReadInPlaceForTesting(false);
    const auto restore = qScopeGuard([] { PageStage::setReadInPlaceForTesting(std::nullopt); });
    const QString photo = saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture("photo.jpg"), "JPEG");
    ASSERT_FALSE(photo.isEmpty());
    const QByteArray original = bytesOf(photo);

    ASSERT_TRUE(StagePage(0, photo).staged);
    QFile file(photo);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("changed later");
    file.close();

    EXPECT_EQ(bytesOf(stagedPage(0)), original);
    EXPECT_EQ(stagingFolderEntries(), QStringList{"00000.jpg"});
    EXPECT_FALSE(keepsFileIdentity(0x65735546)); // FUSE
    EXPECT_TRUE(keepsFileIdentity(0xEF53));      // ext2/3/4
}

// A JPEG that goes in unchanged is never decoded here: the decoder's memory budget (208 MP for a
// progressive JPEG it decodes) does not apply, only what a PDF reader can draw.
TEST_F(StagePageTest, CopiesAJpegLargerThanTheDecoderHolds)
{
    const QString photo =
        writeBytes(picture("panorama.jpg"), withFrame(redBlueJpeg(true), 0xC2, 8, 20000, 12500)); // 250 MP
    ASSERT_FALSE(photo.isEmpty());

    const StageResult result = StagePage(0, photo);

    ASSERT_TRUE(result.staged) << result.reason.toStdString();
    EXPECT_EQ(stagedBytesOf(stagedPage(0)), bytesOf(photo));
}

QString redBluePng(const QString &path)
{
    return saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), path + ".png", "PNG");
}

// 16 bits a sample, which heif-enc keeps as 10 or 12.
QString deepPng(const QString &path)
{
    return saveWithQt(halves(QImage::Format_RGBA64, Qt::red, Qt::blue), path + ".png", "PNG");
}

struct DecodedCase {
    const char *name;
    std::function<QString(const QString &path)> write;
    QColor left; // expected colour of each half of the page
    QColor right;
    QSize size{64, 48};
};

const DecodedCase decodedCases[] = {
    // FreeImage reads neither BMP header that current tools write; the second reader does.
    {"v5-header.bmp", [](const QString &path) { return writeBmpWithHeader(path, 124, 24, Qt::red, Qt::blue); }, Qt::red,
     Qt::blue},
    {"v4-header-one-bit.bmp",
     [](const QString &path) { return writeBmpWithHeader(path, 108, 1, QColor(0, 0, 128), QColor(255, 255, 0)); },
     QColor(0, 0, 128), QColor(255, 255, 0)},
    // Stray bytes between header segments: no pass-through, but every pixel is there.
    {"stray-bytes.jpg", [](const QString &path) { return writeJpegWithStrayBytes(path); }, Qt::red, Qt::blue},
    // Transparent pixels hide black; the page must show white paper there.
    {"alpha.png",
     [](const QString &path) {
         return saveWithQt(halves(QImage::Format_ARGB32, QColor(0, 0, 0, 0), Qt::blue), path, "PNG");
     },
     Qt::white, Qt::blue},
    {"transparent-index.gif", [](const QString &path) { return writeGifWithTransparentIndex(path); }, Qt::white,
     Qt::red},
    {"one-bit.bmp", [](const QString &path) { return writeOneBitBmp(path); }, QColor(0, 0, 128), QColor(255, 255, 0)},
    // 16-bit gray keeps its levels (FreeImage_ConvertTo24Bits alone returns nothing for it).
    {"gray16.png",
     [](const QString &path) {
         return saveWithQt(halves(QImage::Format_Grayscale16, QColor(48, 48, 48), QColor(192, 192, 192)), path, "PNG");
     },
     QColor(48, 48, 48), QColor(192, 192, 192)},
    {"pages.tiff",
     [](const QString &path) {
         return writeMultiPageTiff(path, {Qt::red, Qt::green, Qt::blue});
     },
     Qt::red, Qt::red, QSize(40, 30)},
    // The bytes decide, not the name: a PNG called .jpg cannot go into the PDF as it is.
    {"png-named.jpg",
     [](const QString &path) { return saveWithQt(halves(QImage::Format_RGB32, Qt::green, Qt::blue), path, "PNG"); },
     Qt::green, Qt::blue},
    // Phones and the web.
    {"photo.heic",
     [](const QString &path) {
         return encodeHeif({redBluePng(path)}, path, {"-q", "90"});
     },
     Qt::red, Qt::blue},
    {"photo.avif",
     [](const QString &path) {
         return encodeHeif({redBluePng(path)}, path, {"-A", "-q", "90"});
     },
     Qt::red, Qt::blue},
    {"alpha.webp",
     [](const QString &path) {
         return encodeWebp(
             saveWithQt(halves(QImage::Format_ARGB32, QColor(0, 0, 0, 0), Qt::blue), path + ".png", "PNG"), path);
     },
     Qt::white, Qt::blue},
    {"alpha.heic",
     [](const QString &path) {
         return encodeHeif(
             {saveWithQt(halves(QImage::Format_ARGB32, QColor(0, 0, 0, 0), Qt::blue), path + ".png", "PNG")}, path,
             {"-q", "90"});
     },
     Qt::white, Qt::blue},
    // 10 and 12 bits a sample come out as 8. (Debian's AV1 encoder aborts on 10-bit AVIF, so AVIF
    // is made at 12 bits.)
    {"ten-bit.heic",
     [](const QString &path) {
         return encodeHeif({deepPng(path)}, path, {"-b", "10"});
     },
     Qt::red, Qt::blue},
    {"twelve-bit.avif",
     [](const QString &path) {
         return encodeHeif({deepPng(path)}, path, {"-A", "-b", "12", "-p", "chroma=444"});
     },
     Qt::red, Qt::blue},
    // The generic HEIF brand as the main one, as libheif's own examples have it: libheif's type
    // check says only "maybe".
    {"main-brand-mif1.heic",
     [](const QString &path) {
         QByteArray heif = bytesOf(encodeHeif({redBluePng(path)}, path + ".heic", {"-q", "90"}));
         if (heif.mid(4, 8) != "ftypheic" || !heif.mid(16, 16).contains("heic"))
             return QString(); // not laid out as expected: the test would prove nothing
         heif.replace(8, 4, "mif1");
         return writeBytes(path, heif);
     },
     Qt::red, Qt::blue},
    // An old scanner's JPEG-in-TIFF: libtiff decodes it, and reports the tag it skips as an error.
    {"old-style-jpeg.tif", [](const QString &path) { return writeBytes(path, oldStyleJpegTiff(redBlueJpeg())); },
     Qt::red, Qt::blue, QSize(64, 48)},
    // A burst: the primary picture, the first one; a thumbnail is never the page.
    {"burst.heic",
     [](const QString &path) {
         const QString green = saveWithQt(halves(QImage::Format_RGB32, Qt::green, Qt::green), path + ".2.png", "PNG");
         return encodeHeif({redBluePng(path), green}, path, {"-t", "16"});
     },
     Qt::red, Qt::blue},
    // Stored turned a quarter to the right, with the container saying to turn it back; the EXIF
    // block heif-enc copies says nothing, so the page is upright only if the container's turn is
    // applied, once.
    {"upright.heic",
     [](const QString &path) {
         const QImage turned = halves(QImage::Format_RGB32, Qt::red, Qt::blue).transformed(QTransform().rotate(90));
         const QString stored = encodeHeif({saveWithQt(turned, path + ".png", "PNG")}, path + ".stored.heic");
         return rotateHeifQuarterTurn(stored, path);
     },
     Qt::red, Qt::blue},
};

TEST_F(StagePageTest, DecodesOtherPicturesIntoColourJpegOnWhite)
{
    int index = 0;
    for (const DecodedCase &c : decodedCases) {
        SCOPED_TRACE(c.name);
        const QString source = c.write(picture(QString::fromLatin1(c.name)));
        ASSERT_FALSE(source.isEmpty());

        const StageResult result = StagePage(index, source);

        ASSERT_TRUE(result.staged) << result.reason.toStdString();
        const QString page = stagedPage(index);
        expectColourJpeg(page);
        EXPECT_NE(bytesOf(page), bytesOf(source));
        EXPECT_EQ(QImage(page).size(), c.size);
        EXPECT_TRUE(near(pixelAt(page, 0.1), c.left)) << pixelAt(page, 0.1).name().toStdString();
        EXPECT_TRUE(near(pixelAt(page, 0.9), c.right)) << pixelAt(page, 0.9).name().toStdString();
        ++index;
    }
    EXPECT_EQ(stagingFolderEntries().size(), index);
}

// Phones store Display P3 colours with their ICC profile; shown as sRGB numbers unconverted,
// they come out washed out or too strong.
TEST_F(StagePageTest, ColoursOfAnIccProfileArePutIntoSrgb)
{
    const QColor stored(40, 200, 60);
    const QColor expected =
        QColorSpace(QColorSpace::DisplayP3).transformationToColorSpace(QColorSpace::SRgb).map(stored);
    // The test can tell only when the conversion moves the colour further than the tolerance.
    ASSERT_FALSE(near(expected, stored, 12)) << expected.name().toStdString();
    QImage image = halves(QImage::Format_RGB32, stored, stored);
    image.setColorSpace(QColorSpace::DisplayP3);
    const QString source =
        encodeHeif({saveWithQt(image, picture("p3.png"), "PNG")}, picture("p3.heic"), {"-L", "-p", "chroma=444"});
    ASSERT_FALSE(source.isEmpty());

    ASSERT_TRUE(StagePage(0, source).staged);

    EXPECT_TRUE(near(pixelAt(stagedPage(0), 0.5), expected, 12)) << pixelAt(stagedPage(0), 0.5).name().toStdString();
}

TEST_F(StagePageTest, NamesThePageByListPosition)
{
    const QString source = saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture("fifth.png"), "PNG");

    ASSERT_TRUE(StagePage(4, source).staged);

    EXPECT_EQ(stagingFolderEntries(), QStringList{"00004.jpg"});
}

struct RefusedCase {
    const char *name;
    std::function<QString(const QString &path)> write;
    std::string_view reason; // part of the reason the user sees
};

QString truncatedJpeg(const QString &path)
{
    const QString whole =
        saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue, 256, 256), path + ".whole", "JPEG");
    return cutShort(whole, path, 0.6);
}

QString copyOfFixture(const QString &name, const QString &path)
{
    return QFile::copy(QStringLiteral(PAGEMINT_STAGING_FIXTURES "/") + name, path) ? path : QString();
}

const RefusedCase refusedCases[] = {
    // Decoding would give a page with a grey lower half; only the loader's message tells.
    {"truncated.jpg", truncatedJpeg, reason::kDamaged},
    {"huge.png", [](const QString &path) { return copyOfFixture("png-header-claims-50000x50000.png", path); },
     "图片太大（50000 x 50000，此类图片最多"},
    {"empty.png",
     [](const QString &path) {
         QFile file(path);
         return file.open(QIODevice::WriteOnly) ? path : QString();
     },
     reason::kEmptyFile},
    {"notes.txt",
     [](const QString &path) {
         QFile file(path);
         return file.open(QIODevice::WriteOnly) && file.write("not a picture") > 0 ? path : QString();
     },
     reason::kNotSupported},
    // A known format, but not one the program offers: no loader may see it, whatever its name.
    {"icon.png", [](const QString &path) { return copyOfFixture("ico-negative-height-overflows-heap.ico", path); },
     reason::kNotSupported},
    // The second reader must not take a cut-off picture for a whole one either.
    {"truncated-v5.bmp",
     [](const QString &path) {
         return cutShort(writeBmpWithHeader(path + ".whole", 124, 24, Qt::red, Qt::blue), path, 0.6);
     },
     reason::kCutShort},
    {"cut-short.heic",
     [](const QString &path) {
         return cutShort(
             encodeHeif({saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue, 256, 256), path + ".png", "PNG")},
                        path + ".whole.heic"),
             path, 0.6);
     },
     reason::kDamaged},
    // A JPEG page no reader could draw in reasonable time is refused, not passed through.
    {"claims-65535x65535.jpg", [](const QString &path) { return writeJpegClaimingSize(path, 65535, 65535); },
     "图片太大（65535 x 65535，JPEG页面每边最多 65500 像素）"},
    {"claims-40000x30000.jpg", [](const QString &path) { return writeJpegClaimingSize(path, 40000, 30000); },
     "图片太大（40000 x 30000，直接放入PDF的JPEG图片最多 1000 百万像素）"},
    {"wider-than-a-jpeg-page.png", [](const QString &path) { return writePngHeaderClaiming(path, 70000, 100); },
     "图片太大（70000 x 100，JPEG页面每边最多 65500 像素）"},
    // Within what the helper holds (8-bit RGB, 24 bits a pixel): not refused for its size. The
    // header is all there is, so it ends as damaged once the loader looks for the pixels.
    {"large-scan.png", [](const QString &path) { return writePngHeaderClaiming(path, 20000, 12500); },
     reason::kDamaged},
};

TEST_F(StagePageTest, RefusesBadPicturesWithAReasonAndLeavesNoPage)
{
    const QString good = saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture("good.png"), "PNG");
    for (const RefusedCase &c : refusedCases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(StagePage(3, good).staged);
        const QString source = c.write(picture(QString::fromLatin1(c.name)));
        ASSERT_FALSE(source.isEmpty());

        const StageResult result = StagePage(3, source);

        EXPECT_FALSE(result.staged);
        EXPECT_TRUE(result.reason.contains(reasonWords(c.reason))) << result.reason.toStdString();
        EXPECT_TRUE(stagingFolderEntries().isEmpty()) << stagingFolderEntries().join(' ').toStdString();
    }
}

TEST_F(StagePageTest, RefusesWhatIsNoFileWithTheSystemsReason)
{
    const struct {
        QString path;
        const char *reason;
    } cases[] = {
        {picture("gone.png"), "文件不存在"},
        {picture("gone/inside.png"), "文件不存在"},
        {pictures(), "不是文件"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reason);
        const StageResult result = StagePage(0, c.path);

        EXPECT_FALSE(result.staged);
        EXPECT_EQ(result.reason, QString::fromUtf8(c.reason));
        EXPECT_TRUE(stagingFolderEntries().isEmpty());
    }
}

struct HostileCase {
    const char *fixture;
    std::string_view reason;
};

// Each file shows one way FreeImage fails on hostile input; none may take the caller down.
const HostileCase hostileCases[] = {
    {"ico-negative-height-overflows-heap.ico", reason::kNotSupported},
    {"iff-chunk-size-never-reaches-zero.iff", reason::kNotSupported},
    {"bmp-header-claims-50000x50000.bmp", reason::kTooLarge},
    // Its size and the limit, not the allocation that failed under the memory cap.
    {"gif-screen-claims-65535x65535.gif", "图片太大（65535 x 65535，JPEG页面每边最多 65500 像素）"},
};

TEST_F(StagePageTest, HostileFilesAreNotStagedAndTheCallerStaysUp)
{
    for (const HostileCase &c : hostileCases) {
        SCOPED_TRACE(c.fixture);
        const StageResult result = StagePage(7, fixture(QString::fromLatin1(c.fixture)));

        EXPECT_FALSE(result.staged);
        EXPECT_TRUE(result.reason.contains(reasonWords(c.reason))) << result.reason.toStdString();
        EXPECT_TRUE(stagingFolderEntries().isEmpty()) << stagingFolderEntries().join(' ').toStdString();
    }
}

TEST_F(StagePageTest, KeepsHandlingEventsWhileTheDecoderRuns)
{
    // A child of the fork server that never ends (FakeDecoder.cpp).
    setDecoderPathForTesting(QStringLiteral(PAGEMINT_FAKE_DECODER_PATH));
    setDecoderTimeLimitForTesting(1000ms);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(20);

    const StageResult result = StagePage(0, env.writeFile("pictures/a.png", "hang"));

    EXPECT_EQ(result.reason, QStringLiteral("解码超时"));
    // A second of waiting at 20 ms per tick; a blocked loop would give none.
    EXPECT_GE(ticks, 10);
}

// Latin-1 names, as archives and older systems leave them: both ways into the staging
// folder (decoded, copied as it is) must reach the file, not "file not found".
TEST_F(StagePageTest, StagesPicturesWhoseNamesAreNotUtf8)
{
    const struct {
        const char *name;
        const char *format;
    } cases[] = {{"caf\xe9.png", "PNG"}, {"\xc9t\xe9 \xff.jpg", "JPEG"}};
    const RemoveTreeAtEnd cleanUp(pictures());
    int index = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(index);
        const QString written = saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture("plain"), c.format);
        ASSERT_FALSE(written.isEmpty());
        const QByteArray bytes = encodeFileName(pictures()) + '/' + c.name;
        ASSERT_EQ(std::rename(encodeFileName(written).constData(), bytes.constData()), 0);

        const StageResult result = StagePage(index, decodeFileName(bytes));

        ASSERT_TRUE(result.staged) << result.reason.toStdString();
        expectColourJpeg(stagedPage(index));
        ++index;
    }
}

} // namespace
} // namespace pagemint::test
