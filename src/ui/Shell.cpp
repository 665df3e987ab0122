#include "ui/Shell.h"

#include "ui/UiLog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

namespace pagemint {

namespace {
ShellHandler &handler()
{
    static ShellHandler current;
    return current;
}
} // namespace

bool openWithShell(const QString &target)
{
    if (handler())
        return handler()(QStringLiteral("open"), target);
    const QUrl url = target.contains(QStringLiteral("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
    if (QDesktopServices::openUrl(url))
        return true;
    // Qt learns no reason from the desktop; the caller decides what the user is told.
    qCWarning(lcUi, "%s not opened: no program of the desktop took it", qUtf8Printable(url.toString()));
    return false;
}

void systemBeep()
{
    if (handler()) {
        handler()(QStringLiteral("beep"), QString());
        return;
    }
    QApplication::beep();
}

void setShellHandlerForTesting(ShellHandler newHandler)
{
    handler() = std::move(newHandler);
}

} // namespace pagemint
