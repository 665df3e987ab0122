#include "settings/SettingsFile.h"

#include "common/ApplicationFolder.h"
#include "common/FileNameBytes.h"
#include "settings/SettingsLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace pagemint {

namespace {

// A folder name as the file holds it: its bytes, kept exactly even when they are not UTF-8; the
// code page on Windows.
QString folderFromBytes(const QByteArray &bytes)
{
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(bytes);
#else
    return decodeFileName(bytes);
#endif
}

QByteArray folderToBytes(const QString &folder)
{
#ifdef Q_OS_WIN
    return folder.toLocal8Bit();
#else
    return encodeFileName(folder);
#endif
}

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

QString folderFromLine(const QByteArray &line)
{
    qsizetype start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    QByteArray folder = line.mid(start);
    // Files written by hand or by older versions may quote the folder.
    if (folder.size() >= 2 && folder.startsWith('"') && folder.endsWith('"'))
        folder = folder.mid(1, folder.size() - 2);
    return folderFromBytes(folder);
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
    // A folder or a hidden file is no settings file at all.
    if (!info.isFile() || info.isHidden())
        return settings;
    settings.found = true;
    // A file there that cannot be read leaves the fields as they are, as a read that fails would.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcSettings, "settings file %s not read: %s", qUtf8Printable(path),
                  qUtf8Printable(file.errorString()));
        return settings;
    }
    const QByteArray bytes = file.readAll();

    qsizetype pos = 0;
    if (pos < bytes.size())
        settings.outputFolder = folderFromLine(takeLine(bytes, pos));
    if (pos < bytes.size())
        settings.modeIndex = modeFromLine(takeLine(bytes, pos));
    return settings;
}

bool writeSettingsFile(const QString &path, const QString &outputFolder, int modeIndex)
{
    if (outputFolder.contains(u'\n') || outputFolder.contains(u'\r')) {
        qCWarning(lcSettings, "settings file %s not written: the output folder holds a line break",
                  qUtf8Printable(path));
        return false;
    }
    const QByteArray bytes = folderToBytes(outputFolder) + "\r\n" + QByteArray::number(modeIndex) + "\r\n";
    QSaveFile file(path);
    // An application folder we may not write in, holding a settings file we may write: the file
    // is written in place.
    file.setDirectWriteFallback(true);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    // The settings window closes either way; this line is all that is left of the failure.
    qCWarning(lcSettings, "settings file %s not written: %s", qUtf8Printable(path), qUtf8Printable(file.errorString()));
    file.cancelWriting();
    return false;
}

} // namespace pagemint
