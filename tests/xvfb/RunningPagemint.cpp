#include "RunningPagemint.h"

#include "XDesktop.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

namespace pagemint::xtest {

RunningPagemint::RunningPagemint(const QString &program)
{
    const QString runtime = dir_.path() + QStringLiteral("/runtime");
    QDir().mkpath(home());
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home() + QStringLiteral("/.cache"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // The list says what it holds, so a test can wait for it rather than for a guessed moment.
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("pagemint.imagelist.debug=true"));
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(program, {});
}

RunningPagemint::~RunningPagemint()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool RunningPagemint::waitForMainWindow()
{
    if (!process_.waitForStarted(5000))
        return false;
    // Loaded off the screen first, then centred once its shape is set.
    return waitUntil(
        [this] {
            const QStringList found = visibleWindowsOfClass(QStringLiteral("^Pagemint$"));
            for (const QString &id : found) {
                const auto place = windowGeometry(id);
                if (place && place->size() == QSize(548, 366) && place->left() >= 0 && place->top() >= 0) {
                    windowId_ = id;
                    return true;
                }
            }
            return false;
        },
        10000);
}

QRect RunningPagemint::geometry() const
{
    return windowGeometry(windowId_).value_or(QRect());
}

bool RunningPagemint::waitForExit(int timeoutMs)
{
    return process_.waitForFinished(timeoutMs) || process_.state() == QProcess::NotRunning;
}

QString RunningPagemint::output()
{
    output_ += QString::fromLocal8Bit(process_.readAll());
    return output_;
}

bool RunningPagemint::waitForOutput(const QString &text, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!output().contains(text)) {
        if (deadline.hasExpired() || !process_.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return output().contains(text);
    }
    return true;
}

QStringList RunningPagemint::windows()
{
    return visibleWindowsOfClass(QStringLiteral("^Pagemint$"));
}

QString RunningPagemint::waitForNewWindow(const QStringList &before, int timeoutMs)
{
    QString found;
    waitUntil(
        [&] {
            for (const QString &id : windows())
                if (!before.contains(id))
                    found = id;
            return !found.isEmpty();
        },
        timeoutMs);
    return found;
}

bool RunningPagemint::answerFileDialog(const QString &dialog, const QString &text)
{
    focusWindow(dialog);
    typeText(text);
    for (int tries = 0; tries < 3 && windows().contains(dialog); ++tries) {
        pressKey(QStringLiteral("Return"));
        waitUntil([&] { return !windows().contains(dialog); }, 1500);
    }
    return !windows().contains(dialog);
}

} // namespace pagemint::xtest
