#include "ConverterRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

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

} // namespace pagemint::test
