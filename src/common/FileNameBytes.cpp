#include "common/FileNameBytes.h"

namespace pagemint {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscape(char16_t unit)
{
    return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF;
}

// The code point of the well-formed UTF-8 sequence at the start of `bytes` and its length, as
// Unicode's table of well-formed byte sequences allows them; length 0 when there is none.
struct Sequence {
    char32_t codePoint = 0;
    qsizetype length = 0;
};

Sequence wellFormedAt(QByteArrayView bytes)
{
    const auto byte = [bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return {lead, 1};
    qsizetype length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        secondLow = lead == 0xE0 ? 0xA0 : 0x80;  // overlong
        secondHigh = lead == 0xED ? 0x9F : 0xBF; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        secondLow = lead == 0xF0 ? 0x90 : 0x80;  // overlong
        secondHigh = lead == 0xF4 ? 0x8F : 0xBF; // beyond U+10FFFF
    } else {
        return {};
    }
    if (bytes.size() < length || byte(1) < secondLow || byte(1) > secondHigh)
        return {};
    char32_t codePoint = lead & (0x7F >> length);
    for (qsizetype i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return {};
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    return {codePoint, length};
}

} // namespace

QString decodeFileName(QByteArrayView bytes)
{
    // Not QString::fromUtf8 for the valid parts: it drops a leading byte order mark, which is a
    // character of the name like any other.
    QString name;
    name.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const Sequence sequence = wellFormedAt(bytes.sliced(i));
        if (sequence.length == 0) {
            name.append(QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[i]))));
            ++i;
        } else {
            name.append(QChar::fromUcs4(sequence.codePoint));
            i += sequence.length;
        }
    }
    return name;
}

QByteArray encodeFileName(QStringView name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        // A pair's low half may lie in the escape range (U+10080 is D800 DC80): the pair wins.
        if (QChar::isHighSurrogate(unit) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (!isEscape(unit))
            continue;
        bytes += name.sliced(runStart, i - runStart).toUtf8();
        bytes += static_cast<char>(unit - kEscapeBase);
        runStart = i + 1;
    }
    bytes += name.sliced(runStart).toUtf8();
    return bytes;
}

} // namespace pagemint
