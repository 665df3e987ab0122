#pragma once
// HEIF, AVIF and WebP pictures for the staging tests, made by Debian's own encoders (heif-enc,
// cwebp) from PNGs the tests write: the files phones and browsers save, not bytes of our own.

#include <QString>
#include <QStringList>

namespace pagemint::test {

// Runs heif-enc on `pngs` (the first becomes the primary picture) with `options`; the path, or
// "" when heif-enc failed.
QString encodeHeif(const QStringList &pngs, const QString &path, const QStringList &options = {});

// Runs cwebp on `png`; the path, or "".
QString encodeWebp(const QString &png, const QString &path);

// Copies a HEIF file and gives its primary picture an 'irot' property turning it 90 degrees
// counter-clockwise, the way a phone records a picture taken upright. "" when the file's boxes
// are not as heif-enc writes them.
QString rotateHeifQuarterTurn(const QString &heif, const QString &path);

} // namespace pagemint::test
