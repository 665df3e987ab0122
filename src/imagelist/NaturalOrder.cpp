#include "imagelist/NaturalOrder.h"

// Our own comparator rather than QCollator alone: QCollator ignores its numeric mode in the C/POSIX
// locale, reads no Chinese numerals, and this order must not change with the locale the program
// happens to run in. The collator only orders characters outside ASCII, with a locale of its own.

#include <QCollator>
#include <QDir>

#include <limits>

namespace pagemint {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// 0..9 for a Chinese digit, -1 for anything else.
int chineseDigit(QChar c)
{
    switch (c.unicode()) {
    case u'〇':
    case u'零':
        return 0;
    case u'一':
        return 1;
    case u'二':
    case u'两':
        return 2;
    case u'三':
        return 3;
    case u'四':
        return 4;
    case u'五':
        return 5;
    case u'六':
        return 6;
    case u'七':
        return 7;
    case u'八':
        return 8;
    case u'九':
        return 9;
    default:
        return -1;
    }
}

// The value of a Chinese unit, 0 for anything else.
quint64 chineseUnit(QChar c)
{
    switch (c.unicode()) {
    case u'十':
        return 10;
    case u'百':
        return 100;
    case u'千':
        return 1000;
    case u'万':
        return 10000;
    case u'亿':
        return 100000000;
    default:
        return 0;
    }
}

// A run is a number only when it starts as one is written: 万 or 百 alone are words.
bool startsChineseNumber(QChar c)
{
    return chineseDigit(c) >= 0 || c == u'十';
}

constexpr quint64 kLargest = std::numeric_limits<quint64>::max();

quint64 saturatedAdd(quint64 a, quint64 b)
{
    return b > kLargest - a ? kLargest : a + b;
}

quint64 saturatedMultiply(quint64 a, quint64 b)
{
    return a != 0 && b > kLargest / a ? kLargest : a * b;
}

struct NumberRun {
    qsizetype leadingZeros = 0;
    QString storage;         // the digits of a Chinese run, which the text does not hold
    QStringView significant; // the digits after the leading zeros
};

bool numberStartsAt(const QString &text, qsizetype pos)
{
    return isDigit(text[pos]) || startsChineseNumber(text[pos]);
}

NumberRun numberRunAt(const QString &text, qsizetype &pos)
{
    NumberRun run;
    const qsizetype start = pos;
    if (!isDigit(text[pos])) {
        while (pos < text.size() && isChineseNumeral(text[pos]))
            ++pos;
        run.storage = chineseNumeralValue(QStringView(text).mid(start, pos - start));
        run.significant = run.storage == u"0" ? QStringView() : QStringView(run.storage);
        return run;
    }
    while (pos < text.size() && text[pos] == u'0')
        ++pos;
    const qsizetype firstSignificant = pos;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    run.leadingZeros = firstSignificant - start;
    run.significant = QStringView(text).mid(firstSignificant, pos - firstSignificant);
    return run;
}

int sign(qsizetype value)
{
    return (value > 0) - (value < 0);
}

const QCollator &pinyinCollator()
{
    thread_local const QCollator collator = [] {
        QCollator c{QLocale(QLocale::Chinese, QLocale::China)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

// One order of single characters: ASCII first, by code without case; every other character after,
// by the collator, then by code. Ordering character by character keeps the whole order consistent,
// which a sort needs; for Chinese it is the collator's pinyin order of the names.
int compareCharacters(QChar a, QChar b)
{
    const QChar x = a.toCaseFolded();
    const QChar y = b.toCaseFolded();
    if (x == y)
        return 0;
    const bool xAscii = x.unicode() < 0x80;
    const bool yAscii = y.unicode() < 0x80;
    if (xAscii != yAscii)
        return xAscii ? -1 : 1;
    if (!xAscii) {
        if (const int collated = pinyinCollator().compare(QStringView(&x, 1), QStringView(&y, 1)); collated != 0)
            return collated < 0 ? -1 : 1;
    }
    return x < y ? -1 : 1;
}

} // namespace

bool isChineseNumeral(QChar c)
{
    return chineseDigit(c) >= 0 || chineseUnit(c) != 0;
}

QString chineseNumeralValue(QStringView run)
{
    if (run.isEmpty())
        return {};
    bool counted = false;
    for (QChar c : run) {
        if (!isChineseNumeral(c))
            return {};
        counted = counted || chineseUnit(c) != 0;
    }
    quint64 value = 0;
    if (!counted) {
        for (QChar c : run)
            value = saturatedAdd(saturatedMultiply(value, 10), quint64(chineseDigit(c)));
        return QString::number(value);
    }
    // 亿 and 万 close a section (二千万 is 2000 x 10000); 十 百 千 count the digit before them, or one.
    quint64 total = 0;
    quint64 section = 0;
    quint64 digit = 0;
    for (QChar c : run) {
        const quint64 unit = chineseUnit(c);
        if (unit == 0) {
            digit = quint64(chineseDigit(c));
        } else if (unit >= 10000) {
            section = saturatedAdd(section, digit);
            total = unit == 10000 ? saturatedAdd(total, saturatedMultiply(section, unit))
                                  : saturatedMultiply(saturatedAdd(total, section), unit);
            section = 0;
            digit = 0;
        } else {
            section = saturatedAdd(section, saturatedMultiply(digit == 0 ? 1 : digit, unit));
            digit = 0;
        }
    }
    value = saturatedAdd(saturatedAdd(total, section), digit);
    return QString::number(value);
}

int naturalCompare(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    int zerosTieBreak = 0;
    while (i < a.size() && j < b.size()) {
        const bool numberA = numberStartsAt(a, i);
        const bool numberB = numberStartsAt(b, j);
        if (numberA && numberB) {
            const NumberRun x = numberRunAt(a, i);
            const NumberRun y = numberRunAt(b, j);
            // Without leading zeros, a longer run is a larger number; equal lengths compare digit by digit.
            if (x.significant.size() != y.significant.size())
                return sign(x.significant.size() - y.significant.size());
            if (const int byDigits = x.significant.compare(y.significant); byDigits != 0)
                return sign(byDigits);
            if (zerosTieBreak == 0)
                zerosTieBreak = sign(x.leadingZeros - y.leadingZeros);
            continue;
        }
        // A number against another character sorts as its first digit would; that is never a tie.
        if (const int byCharacter = compareCharacters(numberA ? QChar(u'0') : a[i], numberB ? QChar(u'0') : b[j]);
            byCharacter != 0)
            return byCharacter;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1; // a name that is a prefix of the other sorts first
    if (zerosTieBreak != 0)
        return zerosTieBreak;
    return sign(a.compare(b));
}

NaturalPathKey naturalPathKey(const QString &path)
{
    NaturalPathKey key;
    key.path = path;
    QString normalised = QDir::fromNativeSeparators(path);
    const qsizetype lastSeparator = normalised.lastIndexOf(u'/');
    key.name = normalised.mid(lastSeparator + 1);
    key.folders = normalised.left(std::max<qsizetype>(lastSeparator, 0)).split(u'/', Qt::SkipEmptyParts);
    return key;
}

int naturalPathCompare(const NaturalPathKey &a, const NaturalPathKey &b)
{
    const qsizetype shared = std::min(a.folders.size(), b.folders.size());
    for (qsizetype k = 0; k < shared; ++k) {
        if (const int byFolder = naturalCompare(a.folders[k], b.folders[k]); byFolder != 0)
            return byFolder;
    }
    // A folder's own files before those of the folders below it, as the scan adds them.
    if (a.folders.size() != b.folders.size())
        return sign(a.folders.size() - b.folders.size());
    if (const int byName = naturalCompare(a.name, b.name); byName != 0)
        return byName;
    return sign(a.path.compare(b.path));
}

} // namespace pagemint
