#include "ui/Shell.h"

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
    return QDesktopServices::openUrl(url);
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
