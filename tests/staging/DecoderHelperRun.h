#pragma once
// A decoder helper run as the program runs it (the picture on its input, the page on its output),
// with the most memory it held.

#include <QString>

namespace pagemint::test {

struct HelperExit {
    int exitCode = -1;
    QString reason;
    long peakKilobytes = 0;
};

// The second reader, beside the built decoder.
QString fallbackDecoderPath();

HelperExit runHelper(const QString &program, const QString &picture, const QString &page, const QString &stderrFile);

} // namespace pagemint::test
