// The date a picture was taken, read from EXIF bytes a test lays out, and the file's time without.
#include "imagelist/TakenTime.h"
#include "imagelist/ExifBlock.h"
#include "imagelist/ImageList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace pagemint {
namespace {

QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

QByteArray be16(quint16 v)
{
    QByteArray b(2, '\0');
    qToBigEndian(v, b.data());
    return b;
}

// A big-endian TIFF structure: IFD0 with the EXIF pointer, the EXIF directory with
// DateTimeOriginal of `date` (20 bytes with its NUL), or without any entry when `date` is empty.
QByteArray tiffWithDate(const QByteArray &date, quint16 type = 2)
{
    QByteArray t = QByteArray("MM") + be16(42) + be32(8);
    // IFD0 at 8: one entry, then the next-directory offset.
    t += be16(1) + be16(0x8769) + be16(4) + be32(1) + be32(26) + be32(0);
    // EXIF directory at 26.
    if (date.isEmpty())
        return t + be16(0) + be32(0);
    t += be16(1) + be16(0x9003) + be16(type) + be32(20) + be32(44) + be32(0);
    return t + date + QByteArray(1, '\0');
}

QByteArray jpegWithExif(const QByteArray &tiff)
{
    const QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;
    const QByteArray jfif = QByteArray("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14);
    return QByteArray("\xFF\xD8", 2) + QByteArray("\xFF\xE0", 2) + be16(quint16(jfif.size() + 2)) + jfif +
           QByteArray("\xFF\xE1", 2) + be16(quint16(exif.size() + 2)) + exif + QByteArray("\xFF\xDA\0\x02", 4) +
           QByteArray("\xFF\xD9", 2);
}

QByteArray box(const char *type, const QByteArray &payload)
{
    return be32(quint32(payload.size() + 8)) + QByteArray(type, 4) + payload;
}

QByteArray fullBox(const char *type, quint8 version, const QByteArray &payload)
{
    return box(type, QByteArray(1, char(version)) + QByteArray(3, '\0') + payload);
}

// An ISOBMFF file: ftyp, meta (hdlr, iinf naming item 1 hvc1 and item 2 Exif, iloc), then mdat
// with the Exif item (offset 6, "Exif\0\0", TIFF) at a file offset; with `inIdat` the item lies in
// an 'idat' box instead (construction method 1).
QByteArray heifWithExif(const QByteArray &tiff, bool inIdat = false)
{
    const QByteArray item = be32(6) + QByteArray("Exif\0\0", 6) + tiff;
    const QByteArray ftyp = box("ftyp", QByteArray("heic") + be32(0) + QByteArray("mif1heic"));
    const QByteArray iinf = fullBox("iinf", 0,
                                    be16(2) + fullBox("infe", 2, be16(1) + be16(0) + QByteArray("hvc1") + '\0') +
                                        fullBox("infe", 2, be16(2) + be16(0) + QByteArray("Exif") + '\0'));
    const QByteArray hdlr = fullBox("hdlr", 0, be32(0) + QByteArray("pict") + QByteArray(12, '\0') + '\0');
    auto ilocFor = [&](quint32 offset) {
        // Version 1: offset and length of 4 bytes, no base offset, no index.
        return fullBox("iloc", 1,
                       QByteArray("\x44\x00", 2) + be16(2) + be16(1) + be16(0) + be16(0) + be16(1) + be32(0) + be32(0) +
                           be16(2) + be16(inIdat ? 1 : 0) + be16(0) + be16(1) + be32(offset) +
                           be32(quint32(item.size())));
    };
    if (inIdat)
        return ftyp + fullBox("meta", 0, hdlr + iinf + ilocFor(0) + box("idat", item));
    // The item's offset depends on the meta box's size, which does not depend on the offset.
    const QByteArray meta = fullBox("meta", 0, hdlr + iinf + ilocFor(0));
    const quint32 itemAt = quint32(ftyp.size() + meta.size() + 8);
    return ftyp + fullBox("meta", 0, hdlr + iinf + ilocFor(itemAt)) + box("mdat", item);
}

ReadBytesAt readerOf(const QByteArray &file)
{
    return [file](qint64 offset, qint64 size) {
        return offset < 0 || offset > file.size() ? QByteArray() : file.mid(offset, size);
    };
}

TEST(TakenTime, ReadsDateTimeOriginalFromTheTiffStructure)
{
    struct Case {
        QByteArray tiff;
        QDateTime expected; // invalid: none
    };
    const QDateTime taken(QDate(2024, 3, 14), QTime(10, 30, 5));
    const QByteArray good = tiffWithDate("2024:03:14 10:30:05");
    const Case cases[] = {
        {good, taken},
        {tiffWithDate(""), {}},                       // no DateTimeOriginal
        {tiffWithDate("0000:00:00 00:00:00"), {}},    // no date, as cameras write it
        {tiffWithDate("                   "), {}},    // blank
        {tiffWithDate("2024:03:14 10:30:05", 3), {}}, // not ASCII
        {good.left(50), {}},                          // cut inside the date
        {good.left(30), {}},                          // cut inside the directory
        {QByteArray("II*\0", 4), {}},                 // no directory
        {QByteArray("not a tiff structure"), {}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::optional<QDateTime> read = exifDateTimeOriginal(cases[i].tiff);
        EXPECT_EQ(read.value_or(QDateTime()), cases[i].expected) << i;
    }
}

TEST(TakenTime, FindsTheExifBlockOfJpegAndHeif)
{
    const QByteArray tiff = tiffWithDate("2023:12:31 23:59:59");
    EXPECT_EQ(exifBlock(readerOf(jpegWithExif(tiff))).value_or(QByteArray()), tiff);
    EXPECT_EQ(exifBlock(readerOf(heifWithExif(tiff))).value_or(QByteArray()), tiff);
    EXPECT_EQ(exifBlock(readerOf(heifWithExif(tiff, true))).value_or(QByteArray()), tiff);

    // What holds none, or hides it where the reader must not follow.
    const QByteArray jpeg = jpegWithExif(tiff);
    const QByteArray heif = heifWithExif(tiff);
    QByteArray hugeMeta = heif;
    hugeMeta.replace(heif.indexOf("meta") - 4, 4, be32(0x7FFFFFF0));
    QByteArray noFtyp = heif;
    noFtyp.replace(4, 4, "free");
    QByteArray badItemOffset = heif;
    const qsizetype offsetAt = heif.indexOf("mdat") - 4;
    badItemOffset.replace(offsetAt + 8, 4, be32(0xFFFFFFFF)); // the item's own offset field points past it
    const QByteArray none[] = {
        QByteArray(),
        QByteArray("\xFF\xD8", 2),
        jpeg.left(30),                                         // cut before the EXIF segment
        QByteArray("\xFF\xD8\xFF\xDA\0\x02", 6) + jpeg.mid(2), // a scan comes first
        heif.left(40),
        hugeMeta,
        noFtyp,
        badItemOffset,
    };
    for (std::size_t i = 0; i < std::size(none); ++i)
        EXPECT_FALSE(exifBlock(readerOf(none[i])).has_value()) << i;
}

// Writes `bytes` to `path` and sets its modification time; returns the path.
QString writeModifiedAt(const QString &path, const QByteArray &bytes, const QDateTime &modified)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.flush();
    EXPECT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    return path;
}

TEST(TakenTime, FallsBackToTheFilesTimeAndNothingForAMissingFile)
{
    QTemporaryDir dir;
    const QDateTime modified(QDate(2020, 1, 2), QTime(3, 4, 5));
    auto write = [&](const QString &name, const QByteArray &bytes) {
        return writeModifiedAt(dir.filePath(name), bytes, modified);
    };
    const QString withDate = write(QStringLiteral("相机.jpg"), jpegWithExif(tiffWithDate("2024:03:14 10:30:05")));
    const QString heicNamedPng = write(QStringLiteral("phone.png"), heifWithExif(tiffWithDate("2022:05:06 07:08:09")));
    const QString withoutDate = write(QStringLiteral("scan.jpg"), jpegWithExif(tiffWithDate("")));
    EXPECT_EQ(takenTime(withDate), QDateTime(QDate(2024, 3, 14), QTime(10, 30, 5)));
    EXPECT_EQ(takenTime(heicNamedPng), QDateTime(QDate(2022, 5, 6), QTime(7, 8, 9)));
    EXPECT_EQ(takenTime(withoutDate), modified);
    EXPECT_FALSE(takenTime(dir.filePath(QStringLiteral("gone.jpg"))).has_value());
}

TEST(TakenTime, TheListSortsCameraDatesAndFileTimesTogether)
{
    QTemporaryDir dir;
    auto write = [&](const char *name, const QByteArray &bytes, const QDateTime &modified) {
        return writeModifiedAt(dir.filePath(QString::fromUtf8(name)), bytes, modified);
    };
    const QDateTime recent(QDate(2025, 6, 1), QTime(12, 0));
    // Copied lately, taken long ago: the camera's date counts, not the copy's.
    const QString photo = write("IMG_9.jpg", jpegWithExif(tiffWithDate("2019:07:01 08:00:00")), recent);
    const QString scan = write("扫描.jpg", jpegWithExif(tiffWithDate("")), QDateTime(QDate(2020, 1, 1), QTime(0, 0)));
    const QString phone = write("IMG_1.heic", heifWithExif(tiffWithDate("2021:02:03 04:05:06")), recent);
    const QString twin = write("IMG_2.heic", heifWithExif(tiffWithDate("2021:02:03 04:05:06")), recent);
    ImageList list;
    list.append({twin, phone, scan, photo});
    list.sortByTakenTime();
    EXPECT_EQ(list.entries(), (QStringList{photo, scan, twin, phone})) << "equal dates keep their order";
}

} // namespace
} // namespace pagemint
