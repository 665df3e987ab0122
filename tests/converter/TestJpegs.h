#pragma once
// Builds the JPEG files the converter tests feed it. Real encoders make the picture data (Qt for
// baseline, progressive and gray, FreeImage for CMYK); the variants the encoders do not offer
// (EXIF orientation and resolution, no Adobe marker, other frame types) are made by editing
// marker segments, the way other writers lay them out.
#include <QByteArray>
#include <QImage>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>

namespace pagemint::test {

// Quadrants red, green, blue, white (left to right, top to bottom): any turn or mirror shows.
QImage quadrantPicture(int width, int height);

// Qt's encoder: baseline or progressive; a Grayscale8 image gives a one-component JPEG.
QByteArray qtJpeg(const QImage &image, bool progressive = false, int quality = 92);

// FreeImage's CMYK encoder, every pixel the given ink amounts (0..255). It writes Adobe's APP14
// marker and, as Adobe's writers do, stores the inks inverted.
QByteArray cmykJpeg(int width, int height, std::array<unsigned char, 4> cmyk);

struct ExifFields {
    bool bigEndian = true;
    std::optional<int> orientation;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> xResolution, yResolution; // rationals
    std::optional<int> resolutionUnit;                                               // 2 inch, 3 cm
};
QByteArray exifPayload(const ExifFields &fields);

// Inserts a marker segment right after the JFIF segment (or after SOI when there is none).
QByteArray withSegment(const QByteArray &jpeg, unsigned char marker, const QByteArray &payload);
// The same segment `count` times, in one block at the same place.
QByteArray withSegments(const QByteArray &jpeg, unsigned char marker, const QByteArray &payload, int count);
// A file of heavy metadata as photo editors write it: the given picture with `count` APP1
// segments of the largest size (extended XMP, 64 KB each) after its JFIF segment.
QByteArray withBulkyXmp(const QByteArray &jpeg, int count);
QByteArray withExif(const QByteArray &jpeg, const ExifFields &fields);
// Drops every segment with this marker that comes before the picture data.
QByteArray withoutSegments(const QByteArray &jpeg, unsigned char marker);
// Rewrites the JFIF density fields (units 0 = aspect ratio only, 1 = per inch, 2 = per cm).
QByteArray withJfifDensity(const QByteArray &jpeg, int units, int x, int y);
// Changes the frame marker (SOF0 -> SOFn) and, when given, the sample precision.
QByteArray withFrame(const QByteArray &jpeg, unsigned char marker, std::optional<int> precision = {});

// Offset of the first marker segment with this marker before the picture data, or -1.
qsizetype segmentOffset(const QByteArray &jpeg, unsigned char marker);

QByteArray pngBytes(const QImage &image);

} // namespace pagemint::test
