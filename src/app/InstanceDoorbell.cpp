#include "app/InstanceDoorbell.h"

#include "app/AppLog.h"

#include "contract/StagingFolder.h"
#include "conversion/StagingPaths.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

namespace pagemint {

namespace {
// A running program answers within its next turn of events; a busy one may take a moment.
constexpr int connectMs = 2000;
} // namespace

QString instanceDoorbellPath()
{
    return fromFsPath(instanceLockFile().parent_path() / "pagemint.socket");
}

InstanceDoorbell::InstanceDoorbell(const QString &path) : server_(new QLocalServer(this))
{
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Whoever holds the lock owns the socket: one left here belongs to a run that is gone.
    QLocalServer::removeServer(path);
    if (!server_->listen(path)) {
        qCWarning(lcApp, "instance doorbell %s not listening: %s", qUtf8Printable(path),
                  qUtf8Printable(server_->errorString()));
        return;
    }
    qCDebug(lcApp, "instance doorbell listening at %s", qUtf8Printable(path));
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *caller = server_->nextPendingConnection())
            caller->deleteLater();
        Q_EMIT rung();
    });
}

InstanceDoorbell::~InstanceDoorbell() = default;

bool InstanceDoorbell::listening() const
{
    return server_->isListening();
}

void InstanceDoorbell::close()
{
    server_->close();
}

bool ringInstanceDoorbell(const QString &path)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(connectMs)) {
        qCWarning(lcApp, "running instance not reached at %s: %s", qUtf8Printable(path),
                  qUtf8Printable(socket.errorString()));
        return false;
    }
    socket.disconnectFromServer();
    return true;
}

void bringToFront(QWidget &window)
{
    if (window.isHidden())
        return;
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    window.activateWindow();
    // A question the program waits for stays above the window it belongs to.
    if (QWidget *modal = QApplication::activeModalWidget(); modal != nullptr && modal != &window) {
        modal->raise();
        modal->activateWindow();
    }
    qCDebug(lcApp, "window brought to the front");
}

} // namespace pagemint
