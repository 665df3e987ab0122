#include "process/NamedTimer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <map>

namespace pagemint {

NamedTimer::NamedTimer(QString name) : m_name(std::move(name))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &NamedTimer::check);
}

void NamedTimer::arm(qint32 milliSeconds)
{
    m_timer.stop();
    m_signalled = false;
    m_due = QDeadlineTimer(qMax(milliSeconds, 0), Qt::PreciseTimer);
    check();
}

void NamedTimer::check()
{
    // A timer event may come a fraction of a millisecond early; the deadline decides.
    const qint64 leftNs = m_due.remainingTimeNSecs();
    if (leftNs > 0) {
        m_timer.start(static_cast<int>((leftNs + 999'999) / 1'000'000));
        return;
    }
    m_signalled = true;
    Q_EMIT fired();
}

std::shared_ptr<NamedTimer> openNamedTimer(const QString &name)
{
    if (QCoreApplication::instance() == nullptr || QAbstractEventDispatcher::instance() == nullptr)
        return {};
    thread_local std::map<QString, std::weak_ptr<NamedTimer>> registry;
    std::erase_if(registry, [](const auto &entry) { return entry.second.expired(); });
    std::weak_ptr<NamedTimer> &slot = registry[name];
    std::shared_ptr<NamedTimer> timer = slot.lock();
    if (!timer) {
        timer = std::make_shared<NamedTimer>(name);
        slot = timer;
    }
    return timer;
}

} // namespace pagemint
