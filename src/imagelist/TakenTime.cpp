#include "imagelist/TakenTime.h"

#include "common/FileNameBytes.h"
#include "contract/TiffReader.h"
#include "imagelist/ExifBlock.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <span>

namespace pagemint {

namespace {

constexpr unsigned kExifDirectoryTag = 0x8769;
constexpr unsigned kDateTimeOriginalTag = 0x9003;
constexpr unsigned kAscii = 2;
constexpr qsizetype kDateLength = 19; // "YYYY:MM:DD HH:MM:SS"

} // namespace

std::optional<QDateTime> exifDateTimeOriginal(const QByteArray &tiffBytes)
{
    TiffReader tiff(std::span(reinterpret_cast<const unsigned char *>(tiffBytes.constData()),
                              static_cast<std::size_t>(tiffBytes.size())));
    if (!tiff.open())
        return std::nullopt;
    const std::optional<std::uint64_t> pointer = tiff.entryOf(tiff.u32(4), kExifDirectoryTag);
    if (!pointer)
        return std::nullopt;
    const std::optional<std::uint64_t> entry = tiff.entryOf(tiff.u32(*pointer + 8), kDateTimeOriginalTag);
    if (!entry || tiff.u16(*entry + 2) != kAscii || tiff.u32(*entry + 4) < kDateLength)
        return std::nullopt;
    // Twenty bytes with the closing NUL: more than the four of the entry's own value field.
    const std::uint64_t at = tiff.u32(*entry + 8);
    if (!tiff.has(at, kDateLength))
        return std::nullopt;
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(tiff.bytes().data() + at), kDateLength);
    const QDateTime taken = QDateTime::fromString(text, QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    if (!taken.isValid())
        return std::nullopt;
    return taken;
}

std::optional<QDateTime> takenTime(const QString &path)
{
    // By the name's own bytes: a name that is not UTF-8 must still lead to its file.
    const std::filesystem::path file(encodeFileName(path).toStdString());
    std::ifstream stream(file, std::ios::binary);
    if (stream) {
        const ReadBytesAt read = [&stream](qint64 offset, qint64 size) {
            QByteArray bytes;
            if (offset < 0 || size <= 0)
                return bytes;
            stream.clear();
            if (!stream.seekg(offset))
                return bytes;
            bytes.resize(std::min(size, kLargestExifBlock));
            stream.read(bytes.data(), bytes.size());
            bytes.resize(stream.gcount());
            return bytes;
        };
        if (const std::optional<QByteArray> block = exifBlock(read)) {
            if (std::optional<QDateTime> taken = exifDateTimeOriginal(*block))
                return taken;
        }
    }
    std::error_code error;
    const std::filesystem::file_time_type modified = std::filesystem::last_write_time(file, error);
    if (error)
        return std::nullopt;
    const auto since = std::chrono::file_clock::to_sys(modified).time_since_epoch();
    return QDateTime::fromMSecsSinceEpoch(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

} // namespace pagemint
