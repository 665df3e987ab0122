#pragma once
// Pictures written byte by byte, for faults no image library will write: BMP headers FreeImage
// cannot read, stray bytes in a JPEG, headers that claim sizes their data does not hold.

#include <QColor>
#include <QString>

namespace pagemint::test {

// BMP with the newer headers common tools write (108-byte V4, 124-byte V5; FreeImage 3.18 reads
// neither): 24-bit, or 1-bit with a two-colour palette. `left` and `right` halves as above.
QString writeBmpWithHeader(const QString &path, int headerSize, int bitsPerPixel, QColor left, QColor right);

// A copy of `source` holding only its first `fraction` of bytes.
QString cutShort(const QString &source, const QString &path, double fraction);

// A Qt JPEG with stray bytes between two header segments: intact, but libjpeg warns of
// "extraneous bytes before marker".
QString writeJpegWithStrayBytes(const QString &path);

// A PNG with a valid header claiming `width` x `height` (8-bit RGB) and no pixel data.
QString writePngHeaderClaiming(const QString &path, quint32 width, quint32 height);

// A whole, valid JPEG whose frame header claims `width` x `height`.
QString writeJpegClaimingSize(const QString &path, int width, int height);

} // namespace pagemint::test
