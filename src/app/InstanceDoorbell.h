#pragma once
// How a second start reaches the running program before it ends: a local socket beside the
// instance lock, which only the user can reach. The running program listens; a second start
// connects, and the running program brings its window to the front.

#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

namespace pagemint {

// The socket beside the instance lock.
QString instanceDoorbellPath();

class InstanceDoorbell : public QObject {
    Q_OBJECT
public:
    // Listens at `path`, replacing a socket a crashed run left there: call it only while holding
    // the instance lock.
    explicit InstanceDoorbell(const QString &path = instanceDoorbellPath());
    ~InstanceDoorbell() override;
    bool listening() const;
    // Stops answering: a start from now on finds no running program to show.
    void close();

Q_SIGNALS:
    // A second start has rung.
    void rung();

private:
    QLocalServer *server_;
};

// From a second start: rings the running program at `path`. False when nothing answered.
bool ringInstanceDoorbell(const QString &path = instanceDoorbellPath());

// Shows `window` to the user again: un-minimised, raised and activated, with any modal dialog
// above it. A hidden window (the program is ending) stays hidden.
void bringToFront(QWidget &window);

} // namespace pagemint
