#pragma once
// The state the application is in once QCoreApplication::exit() ran, as after the exit zone:
// every event loop started from then on returns at once, so no timer fires inside one.
#include <QCoreApplication>
#include <QTimer>

namespace pagemint::test {

class QuittingApplication {
public:
    QuittingApplication() { QCoreApplication::exit(0); }
    ~QuittingApplication()
    {
        // Only a run of exec() clears that state; run it around nothing.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
    QuittingApplication(const QuittingApplication &) = delete;
    QuittingApplication &operator=(const QuittingApplication &) = delete;
};

} // namespace pagemint::test
