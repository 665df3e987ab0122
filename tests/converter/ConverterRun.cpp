#include "ConverterRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <map>

namespace pagemint::test {

ProcessResult runProcess(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    ProcessResult result;
    if (!process.waitForStarted(10000) || !process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.finished = true;
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

ProcessResult runConverter(const QStringList &args, const QProcessEnvironment &env)
{
    return runProcess(QStringLiteral(PAGEMINT_CONVERTER), args, env);
}

QStringList lines(const QString &text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

std::vector<PdfPageInfo> pdfPages(const QString &pdf)
{
    const ProcessResult count = runProcess(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption).match(count.out);
    if (count.exitCode != 0 || !pages.hasMatch())
        return {};
    const QString n = pages.captured(1);
    const ProcessResult info = runProcess(QStringLiteral("pdfinfo"),
                                          {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), n, pdf});
    std::vector<PdfPageInfo> result(n.toUInt());
    static const QRegularExpression size(QStringLiteral("^Page\\s+(\\d+) size:\\s+([\\d.]+) x ([\\d.]+) pts"),
                                         QRegularExpression::MultilineOption);
    static const QRegularExpression rot(QStringLiteral("^Page\\s+(\\d+) rot:\\s+(\\d+)"),
                                        QRegularExpression::MultilineOption);
    for (auto it = size.globalMatch(info.out); it.hasNext();) {
        const auto m = it.next();
        result.at(m.captured(1).toUInt() - 1).width = m.captured(2).toDouble();
        result.at(m.captured(1).toUInt() - 1).height = m.captured(3).toDouble();
    }
    for (auto it = rot.globalMatch(info.out); it.hasNext();) {
        const auto m = it.next();
        result.at(m.captured(1).toUInt() - 1).rotate = m.captured(2).toInt();
    }
    return result;
}

QList<QByteArray> extractedJpegs(const QString &pdf)
{
    QTemporaryDir dir;
    runProcess(QStringLiteral("pdfimages"), {QStringLiteral("-j"), pdf, dir.filePath(QStringLiteral("img"))});
    QList<QByteArray> images;
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        file.open(QIODevice::ReadOnly);
        images.append(name.endsWith(QLatin1String(".jpg")) ? file.readAll() : QByteArray("not extracted as JPEG"));
    }
    return images;
}

QImage renderPage(const QString &pdf, int page, int dpi)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    runProcess(QStringLiteral("pdftoppm"),
               {QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-r"), QString::number(dpi),
                QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

std::vector<Box> pictureBoxes(const QString &pdf)
{
    QFile file(pdf);
    file.open(QIODevice::ReadOnly);
    const QString text = QString::fromLatin1(file.readAll());
    static const QRegularExpression cm(QStringLiteral("\\bq ((?:-?[\\d.]+ ){6})cm /Im0 Do Q"));
    std::vector<Box> boxes;
    for (auto it = cm.globalMatch(text); it.hasNext();) {
        const QStringList m = it.next().captured(1).split(u' ', Qt::SkipEmptyParts);
        const auto at = [&](int i) { return m[i].toDouble(); };
        // The corners (0,0), (1,0), (0,1) and (1,1) of the unit square.
        const std::array<double, 4> xs = {at(4), at(0) + at(4), at(2) + at(4), at(0) + at(2) + at(4)};
        const std::array<double, 4> ys = {at(5), at(1) + at(5), at(3) + at(5), at(1) + at(3) + at(5)};
        const auto [left, right] = std::minmax_element(xs.begin(), xs.end());
        const auto [bottom, top] = std::minmax_element(ys.begin(), ys.end());
        boxes.push_back({*left, *bottom, *right, *top});
    }
    return boxes;
}

QByteArray withoutId(const QString &pdf)
{
    QFile file(pdf);
    file.open(QIODevice::ReadOnly);
    QByteArray bytes = file.readAll();
    const qsizetype id = bytes.lastIndexOf("/ID [");
    return id < 0 ? bytes : bytes.left(id) + bytes.mid(bytes.indexOf(']', id));
}

QStringList argumentsOf(const PageLayout &layout)
{
    QStringList args;
    for (const std::string &argument : layoutArguments(layout))
        args << QString::fromStdString(argument);
    return args;
}

} // namespace pagemint::test
