#include "HeifPictures.h"

#include <QFile>
#include <QProcess>
#include <QtEndian>

#include <optional>

namespace pagemint::test {

namespace {
QString runEncoder(const QString &program, const QStringList &arguments, const QString &path)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 &&
                   QFile::exists(path)
               ? path
               : QString();
}

quint32 be32(const QByteArray &bytes, qsizetype at)
{
    return qFromBigEndian<quint32>(bytes.constData() + at);
}

void putBe32(QByteArray &bytes, qsizetype at, quint32 value)
{
    qToBigEndian(value, bytes.data() + at);
}

// Offset of the first box of `type` among the boxes from `start` to `end`.
std::optional<qsizetype> findBox(const QByteArray &bytes, qsizetype start, qsizetype end, const char *type)
{
    for (qsizetype at = start; at + 8 <= end && be32(bytes, at) >= 8; at += be32(bytes, at))
        if (bytes.mid(at + 4, 4) == type)
            return at;
    return std::nullopt;
}

void growBox(QByteArray &bytes, qsizetype box, quint32 by)
{
    putBe32(bytes, box, be32(bytes, box) + by);
}
} // namespace

QString encodeHeif(const QStringList &pngs, const QString &path, const QStringList &options)
{
    return runEncoder(QStringLiteral("heif-enc"), options + pngs + QStringList{QStringLiteral("-o"), path}, path);
}

QString encodeWebp(const QString &png, const QString &path)
{
    return runEncoder(QStringLiteral("cwebp"), {QStringLiteral("-quiet"), png, QStringLiteral("-o"), path}, path);
}

QString rotateHeifQuarterTurn(const QString &heif, const QString &path)
{
    QFile in(heif);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = in.readAll();
    const auto meta = findBox(bytes, 0, bytes.size(), "meta");
    if (!meta)
        return {};
    const qsizetype metaEnd = *meta + be32(bytes, *meta);
    const auto pitm = findBox(bytes, *meta + 12, metaEnd, "pitm");
    const auto iloc = findBox(bytes, *meta + 12, metaEnd, "iloc");
    const auto iprp = findBox(bytes, *meta + 12, metaEnd, "iprp");
    if (!pitm || !iloc || !iprp)
        return {};
    const auto ipco = findBox(bytes, *iprp + 8, *iprp + be32(bytes, *iprp), "ipco");
    const auto ipma = findBox(bytes, *iprp + 8, *iprp + be32(bytes, *iprp), "ipma");
    // Only the layout heif-enc writes: version 0 pitm, version 0 ipma with one-byte indexes, and
    // a version 1 iloc with 4-byte offsets, where data in mdat is found by base offset.
    if (!ipco || !ipma || bytes[*pitm + 8] != 0 || bytes[*ipma + 8] != 0 || (bytes[*ipma + 11] & 1) != 0 ||
        bytes[*iloc + 8] != 1 || static_cast<unsigned char>(bytes[*iloc + 12]) != 0x44 ||
        static_cast<unsigned char>(bytes[*iloc + 13]) != 0x40)
        return {};
    const quint16 primary = qFromBigEndian<quint16>(bytes.constData() + *pitm + 12);

    // The new property goes last in ipco, so the existing indexes stay.
    int properties = 0;
    const qsizetype ipcoEnd = *ipco + be32(bytes, *ipco);
    for (qsizetype at = *ipco + 8; at < ipcoEnd; at += be32(bytes, at))
        ++properties;
    // Association: essential, index of the new property (1-based); the entry grows by one byte.
    qsizetype entry = *ipma + 16;
    const quint32 entries = be32(bytes, *ipma + 12);
    bool associated = false;
    for (quint32 i = 0; i < entries && !associated; ++i) {
        const quint16 item = qFromBigEndian<quint16>(bytes.constData() + entry);
        const int count = static_cast<unsigned char>(bytes[entry + 2]);
        if (item == primary) {
            bytes[entry + 2] = static_cast<char>(count + 1);
            bytes.insert(entry + 3 + count, static_cast<char>(0x80 | (properties + 1)));
            growBox(bytes, *ipma, 1); // before anything is inserted ahead of it
            associated = true;
        }
        entry += 3 + count;
    }
    if (!associated)
        return {};
    const QByteArray irot("\x00\x00\x00\x09irot\x01", 9); // angle 1: 90 degrees counter-clockwise
    bytes.insert(ipcoEnd, irot);
    const quint32 added = 1 + static_cast<quint32>(irot.size());
    growBox(bytes, *ipco, static_cast<quint32>(irot.size()));
    growBox(bytes, *iprp, added);
    growBox(bytes, *meta, added);
    // Everything after the meta box moved: file offsets of data stored in mdat follow it.
    const quint16 items = qFromBigEndian<quint16>(bytes.constData() + *iloc + 14);
    qsizetype at = *iloc + 16;
    for (quint16 i = 0; i < items; ++i) {
        const quint16 method = qFromBigEndian<quint16>(bytes.constData() + at + 2) & 0xF;
        if (method == 0)
            putBe32(bytes, at + 6, be32(bytes, at + 6) + added);
        const quint16 extents = qFromBigEndian<quint16>(bytes.constData() + at + 10);
        at += 12 + 8 * extents;
    }
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() ? path : QString();
}

} // namespace pagemint::test
