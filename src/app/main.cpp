// Pagemint: turns pictures into PDF documents.
#include "app/SingleInstance.h"
#include "app/frmPrinting.h"

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

    pagemint::frmPrinting engine;
    QObject::connect(&engine, &pagemint::frmPrinting::unloaded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    engine.Form_Load();
    return QApplication::exec();
}
