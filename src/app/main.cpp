// Pagemint: turns pictures into PDF documents.
#include "app/InstanceDoorbell.h"
#include "app/SingleInstance.h"
#include "app/StartProblem.h"
#include "app/TerminationSignals.h"
#include "app/frmPrinting.h"
#include "ui/QtTranslation.h"
#include "ui/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pagemint"));
    QApplication::setApplicationVersion(QStringLiteral(PAGEMINT_VERSION));
    // The engine window is hidden most of the time; the program ends when it unloads.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's dialogs and message-box buttons in the program's language, whatever the locale.
    pagemint::installChineseForQt();

    pagemint::SingleInstance instance;
    if (!instance.acquire()) {
        if (!instance.problem().isEmpty())
            return pagemint::reportStartProblem(instance.problem());
        // A second instance ends; the user finds the running one in front.
        pagemint::ringInstanceDoorbell();
        return 0;
    }

    pagemint::frmPrinting engine;
    QObject::connect(&engine, &pagemint::frmPrinting::unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    engine.Form_Load();
    // Listening once the main window is there: a second start before then just ends.
    pagemint::InstanceDoorbell doorbell;
    QObject::connect(&doorbell, &pagemint::InstanceDoorbell::rung, engine.mainWindow(),
                     [&engine] { pagemint::bringToFront(*engine.mainWindow()); });
    // From here on log-out, shut-down and `kill` end the program as the exit zone does: converter
    // and decoder ended, staging folder removed. Before, nothing has been staged yet.
    pagemint::TerminationSignals termination;
    QObject::connect(&termination, &pagemint::TerminationSignals::received, engine.mainWindow(),
                     &pagemint::frmMain::imgExit_Click);
    return QApplication::exec();
}
