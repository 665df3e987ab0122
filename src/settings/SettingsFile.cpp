#include "settings/SettingsFile.h"

#include "app/ApplicationFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace pagemint {

namespace {

// The text of the line starting at `pos` without its CR LF or LF; moves `pos` past the line end.
QByteArray takeLine(const QByteArray &bytes, qsizetype &pos)
{
    qsizetype end = bytes.indexOf('\n', pos);
    if (end < 0)
        end = bytes.size();
    QByteArray line = bytes.mid(pos, end - pos);
    pos = end + 1;
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

std::optional<QString> folderFromLine(const QString &line)
{
    qsizetype start = 0;
    while (start < line.size() && (line[start] == u' ' || line[start] == u'\t'))
        ++start;
    QString folder = line.mid(start);
    // Files written by hand or by older versions may quote the folder.
    if (folder.size() >= 2 && folder.startsWith(u'"') && folder.endsWith(u'"'))
        folder = folder.mid(1, folder.size() - 2);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

std::optional<int> modeFromLine(const QByteArray &line)
{
    bool isNumber = false;
    const int mode = line.trimmed().toInt(&isNumber);
    if (!isNumber || mode < -1 || mode > 1)
        return std::nullopt;
    return mode;
}

} // namespace

QString settingsFilePath()
{
    return applicationFolder() + QStringLiteral("/setting.dll");
}

QString defaultOutputFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Output");
#else
    return QDir::homePath() + QStringLiteral("/Output");
#endif
}

StoredSettings readSettingsFile(const QString &path)
{
    StoredSettings settings;
    const QFileInfo info(path);
    // A folder, a hidden file or one we may not read is treated as no file at all.
    if (!info.isFile() || info.isHidden() || !info.isReadable())
        return settings;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return settings;
    const QByteArray bytes = file.readAll();
    settings.found = true;

    qsizetype pos = 0;
    if (pos < bytes.size())
        settings.outputFolder = folderFromLine(QString::fromLocal8Bit(takeLine(bytes, pos)));
    if (pos < bytes.size())
        settings.modeIndex = modeFromLine(takeLine(bytes, pos));
    return settings;
}

bool writeSettingsFile(const QString &path, const QString &outputFolder, int modeIndex)
{
    if (outputFolder.contains(u'\n') || outputFolder.contains(u'\r'))
        return false;
    const QByteArray bytes =
        outputFolder.toLocal8Bit() + "\r\n" + QByteArray::number(modeIndex) + "\r\n";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace pagemint
