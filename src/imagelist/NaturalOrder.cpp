#include "imagelist/NaturalOrder.h"

// Our own comparator rather than QCollator: QCollator ignores its numeric mode in the C/POSIX
// locale, and this order must not change with the locale the program happens to run in.

namespace pagemint {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

struct DigitRun {
    qsizetype leadingZeros = 0;
    QStringView significant; // the digits after the leading zeros
};

DigitRun digitRunAt(const QString &text, qsizetype &pos)
{
    const qsizetype start = pos;
    while (pos < text.size() && text[pos] == u'0')
        ++pos;
    const qsizetype firstSignificant = pos;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    return {firstSignificant - start, QStringView(text).mid(firstSignificant, pos - firstSignificant)};
}

int sign(qsizetype value)
{
    return (value > 0) - (value < 0);
}

} // namespace

int naturalCompare(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    int zerosTieBreak = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const DigitRun x = digitRunAt(a, i);
            const DigitRun y = digitRunAt(b, j);
            // Without leading zeros, a longer run is a larger number; equal lengths compare digit by digit.
            if (x.significant.size() != y.significant.size())
                return sign(x.significant.size() - y.significant.size());
            if (const int byDigits = x.significant.compare(y.significant); byDigits != 0)
                return sign(byDigits);
            if (zerosTieBreak == 0)
                zerosTieBreak = sign(x.leadingZeros - y.leadingZeros);
            continue;
        }
        const char16_t x = a[i].toCaseFolded().unicode();
        const char16_t y = b[j].toCaseFolded().unicode();
        if (x != y)
            return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1; // a name that is a prefix of the other sorts first
    if (zerosTieBreak != 0)
        return zerosTieBreak;
    return sign(a.compare(b));
}

} // namespace pagemint
