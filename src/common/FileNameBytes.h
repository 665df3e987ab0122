#pragma once
// File names as the file system holds them (bytes on POSIX) and as Qt holds them (QString), both
// ways without loss. QFile::decodeName turns bytes that are not UTF-8 (a Latin-1 "caf\xE9.png")
// into U+FFFD, so the name no longer leads back to its file.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace pagemint {

// The name's bytes read as UTF-8; each byte of a sequence that is not well-formed UTF-8 (a stray
// byte, a cut-off sequence, an overlong form, an encoded surrogate) becomes the lone surrogate
// U+DC00 + byte, U+DC80..U+DCFF ("surrogateescape").
QString decodeFileName(QByteArrayView bytes);

// The inverse: those lone surrogates become their bytes again, everything else UTF-8 (another lone
// surrogate, which no bytes decode to, becomes '?' as in QString::toUtf8).
// encodeFileName(decodeFileName(b)) == b for every b.
QByteArray encodeFileName(QStringView name);

} // namespace pagemint
