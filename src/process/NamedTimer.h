#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace pagemint {

// A manual-reset timer shared by name: whoever opens a name that is open already gets the same
// timer, and arming it again moves its due time for every holder. Once it fires it stays signalled
// until it is armed again. It lives as long as someone holds it.
class NamedTimer : public QObject {
    Q_OBJECT
public:
    explicit NamedTimer(QString name);

    const QString &name() const { return m_name; }

    // Due `milliSeconds` from now; zero or less makes it signalled at once.
    void arm(qint32 milliSeconds);
    bool isSignalled() const { return m_signalled; }

Q_SIGNALS:
    // Raised when the timer becomes signalled; every waiter on it wakes.
    void fired();

private:
    void check();

    QString m_name;
    QTimer m_timer;
    QDeadlineTimer m_due;
    bool m_signalled = false;
};

// Opens the timer of that name in this thread, creating it when nobody holds it. The registry is
// local to the process and to the calling thread (a timer belongs to one thread's event loop).
// Returns nothing when this thread has no event loop to run a timer.
std::shared_ptr<NamedTimer> openNamedTimer(const QString &name);

} // namespace pagemint
