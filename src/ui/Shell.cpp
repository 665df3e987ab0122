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

void openWithShell(const QString &target)
{
    if (handler()) {
        handler()(QStringLiteral("open"), target);
        return;
    }
    const QUrl url = target.contains(QStringLiteral("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
    QDesktopServices::openUrl(url);
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
