#include "CliProgram.h"

#include "cli/RunFolder.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pagemint::test {

namespace {
QString runTool(const QString &tool, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(60000);
    if (exitCode != nullptr)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString pdfInfoField(const QString &pdf, const QString &field)
{
    for (const QString &line : runTool(QStringLiteral("pdfinfo"), {pdf}).split(u'\n'))
        if (line.startsWith(field + u':'))
            return line.mid(field.size() + 1).trimmed();
    return {};
}

QImage picture(QSize size, int number)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((number * 37) % 360, 200, 220));
    return image;
}
} // namespace

QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

void startCli(QProcess &process, const QStringList &arguments, const QString &workingFolder, const QString &program)
{
    process.setProcessEnvironment(withoutDisplay());
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(program.isEmpty() ? QStringLiteral(PAGEMINT_APP_DIR "/pagemint") : program, arguments);
}

CliResult runCli(const QStringList &arguments, const QString &workingFolder, const QString &program)
{
    QProcess process;
    startCli(process, arguments, workingFolder, program);
    CliResult result;
    if (!process.waitForFinished(240000))
        process.kill();
    result.crashed = process.exitStatus() != QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QStringList writePictures(const QString &folder, int count, QSize size)
{
    QDir().mkpath(folder);
    QStringList paths;
    for (int i = 1; i <= count; ++i) {
        const QString path = folder + QStringLiteral("/p%1.png").arg(i, 3, 10, QLatin1Char('0'));
        picture(size, i).save(path, "PNG");
        paths << path;
    }
    return paths;
}

QString writeJpeg(const QString &path, QSize size)
{
    picture(size, 1).save(path, "JPEG");
    return path;
}

int pageCount(const QString &pdf)
{
    bool ok = false;
    const int pages = pdfInfoField(pdf, QStringLiteral("Pages")).toInt(&ok);
    return ok ? pages : -1;
}

QString pageSize(const QString &pdf)
{
    return pdfInfoField(pdf, QStringLiteral("Page size"));
}

bool pdfIsWhole(const QString &pdf)
{
    int exitCode = -1;
    runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf}, &exitCode);
    return exitCode == 0;
}

QStringList linesOf(const QString &text)
{
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList runFolders()
{
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    return QDir(cache).entryList({QStringLiteral("pagemint-run.*")}, QDir::AllEntries | QDir::Hidden | QDir::System);
}

QString copyApplicationFolder(const QString &folder)
{
    const QString built = QStringLiteral(PAGEMINT_APP_DIR);
    QDir().mkpath(folder + QStringLiteral("/data"));
    QFile::copy(built + QStringLiteral("/pagemint"), folder + QStringLiteral("/pagemint"));
    for (const QString &helper : QDir(built + QStringLiteral("/data")).entryList(QDir::Files | QDir::Executable))
        QFile::copy(built + QStringLiteral("/data/") + helper, folder + QStringLiteral("/data/") + helper);
    return folder + QStringLiteral("/pagemint");
}

GatedConverter gatedApplicationFolder(const QString &folder)
{
    const QString program = copyApplicationFolder(folder + QStringLiteral("/app"));
    const QString real = folder + QStringLiteral("/real");
    const QString realLink = real + u'/' + QString::fromLatin1(kRunConverterName);
    GatedConverter gated{{}, folder + QStringLiteral("/started"), folder + QStringLiteral("/gate")};
    if (!QDir().mkpath(real) || !QFile::link(QStringLiteral(PAGEMINT_APP_DIR "/data/pdf.exe"), realLink) ||
        ::mkfifo(QFile::encodeName(gated.gate).constData(), 0600) != 0)
        return gated;
    QFile converter(folder + QStringLiteral("/app/data/pdf.exe"));
    converter.remove();
    if (!converter.open(QIODevice::WriteOnly) ||
        converter.write(QStringLiteral("#!/bin/sh\n: > '%1'\nread go < '%2'\nexec '%3' \"$@\"\n")
                            .arg(gated.started, gated.gate, realLink)
                            .toUtf8()) < 0)
        return gated;
    converter.close();
    if (converter.setPermissions(QFile::ReadOwner | QFile::ExeOwner))
        gated.program = program;
    return gated;
}

bool openGate(const QString &gate)
{
    const int gateEnd = ::open(QFile::encodeName(gate).constData(), O_WRONLY | O_NONBLOCK);
    if (gateEnd < 0)
        return false;
    const bool written = ::write(gateEnd, "go\n", 3) == 3;
    ::close(gateEnd);
    return written;
}

} // namespace pagemint::test
