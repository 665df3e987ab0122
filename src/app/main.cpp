// Pagemint: turns pictures into PDF documents.
#include "app/SingleInstance.h"
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

    pagemint::SingleInstance instance;
    if (!instance.acquire())
        return 0;
    // Qt's dialogs and message-box buttons in the program's language, whatever the locale.
    pagemint::installChineseForQt();

    pagemint::frmPrinting engine;
    QObject::connect(&engine, &pagemint::frmPrinting::unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    engine.Form_Load();
    // From here on log-out, shut-down and `kill` end the program as the exit zone does: converter
    // and decoder ended, staging folder removed. Before, nothing has been staged yet.
    pagemint::TerminationSignals termination;
    QObject::connect(&termination, &pagemint::TerminationSignals::received, engine.mainWindow(),
                     &pagemint::frmMain::imgExit_Click);
    return QApplication::exec();
}
