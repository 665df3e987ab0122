// Pagemint: turns pictures into PDF documents.
#include "app/AppLog.h"
#include "app/InstanceDoorbell.h"
#include "app/SingleInstance.h"
#include "app/StartProblem.h"
#include "app/TerminationSignals.h"
#include "app/frmPrinting.h"
#include "cli/CommandLineRun.h"
#include "common/ExitRequest.h"
#include "common/FileNameBytes.h"
#include "contract/FolderRemovalApart.h"
#include "contract/StagingFolder.h"
#include "ui/QtTranslation.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLoggingCategory>

#include <csignal>
#include <cstdlib>

namespace {
// How long the end of the program may spend removing staged pages once its windows are gone:
// gigabytes of pages take seconds, and the user waits for the program to be gone.
constexpr int kStagedPagesRemovalMs = 500;

// Removes what the exit set aside, and waits for the removals a job handed on, within the time
// allowed; what is left then is handed on too, so it goes even as the program ends.
void removeStagedPagesBriefly()
{
    const QDeadlineTimer deadline(kStagedPagesRemovalMs);
    const bool gone = pagemint::removeStagingFolder(
        {[&deadline] { return !deadline.hasExpired(); },
         [](const std::filesystem::path &entry, const std::error_code &error) {
             qCWarning(pagemint::lcApp, "%s not removed: %s", entry.c_str(), error.message().c_str());
         }});
    if (!gone)
        pagemint::removeStagingFolderApart();
    pagemint::awaitFolderRemovalsApart(deadline.deadline<std::chrono::steady_clock>());
}
// With arguments the program is a command line: no window, no display needed, and none of the
// window's single-instance rule (runs beside each other and beside the window are the point).
int runWithoutWindow(int argc, char *argv[])
{
    // The arguments as the file system's bytes: a picture's name that is not UTF-8 still leads to it.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << pagemint::decodeFileName(argv[i]);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Pagemint"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PAGEMINT_VERSION));
    // Stderr is the user's here: the engine's notes for the window's log (which model read the text,
    // what was staged) stay out of it; its warnings, and QT_LOGGING_RULES, still count.
    QLoggingCategory::setFilterRules(QStringLiteral("pagemint.*.debug=false\npagemint.*.info=false"));
    // A reader that stops reading the paths (`| head -1`) must not kill the run with its pages
    // staged: the writes fail and the run goes on to its end.
    std::signal(SIGPIPE, SIG_IGN);
    // Ctrl-C too: the run then ends as the window's exit does, leaving nothing staged behind.
    pagemint::TerminationSignals termination(nullptr, {SIGINT, SIGTERM, SIGHUP});
    QObject::connect(&termination, &pagemint::TerminationSignals::received, [] { pagemint::exitRequested = true; });
    return pagemint::runCommandLine(arguments);
}
} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1)
        return runWithoutWindow(argc, argv);
    // The window stages in the one folder of its instance rule, whatever a command-line run that
    // started it (or the shell) put in the environment.
    ::unsetenv(pagemint::kStagingFolderVariable);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pagemint"));
    QApplication::setApplicationVersion(QStringLiteral(PAGEMINT_VERSION));
    // The engine window is hidden most of the time; the program ends when it unloads.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's dialogs and message-box buttons in the program's language, whatever the locale; the
    // start's own problems are told in it too.
    pagemint::installChineseForQt();

    // Released last, as main returns: a start meanwhile waits for it (SingleInstance::acquire).
    pagemint::SingleInstance instance;
    if (!instance.acquire([] { return pagemint::ringInstanceDoorbell(); })) {
        if (!instance.problem().isEmpty())
            return pagemint::reportStartProblem(instance.problem());
        // A second instance ends; the user finds the running one in front.
        return 0;
    }

    int status = 0;
    {
        pagemint::frmPrinting engine;
        QObject::connect(&engine, &pagemint::frmPrinting::unloaded, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        engine.Form_Load();
        // Listening once the main window is there: a second start before then waits for the lock
        // and then ends. An ending program stops listening at once, so a start then waits for it.
        pagemint::InstanceDoorbell doorbell;
        QObject::connect(&doorbell, &pagemint::InstanceDoorbell::rung, engine.mainWindow(),
                         [&engine] { pagemint::bringToFront(*engine.mainWindow()); });
        QObject::connect(engine.mainWindow(), &pagemint::frmMain::exitStarted, &doorbell,
                         &pagemint::InstanceDoorbell::close);
        // From here on log-out, shut-down and `kill` end the program as the exit zone does:
        // converter and decoder ended, staging folder set aside. Before, nothing has been staged yet.
        pagemint::TerminationSignals termination;
        QObject::connect(&termination, &pagemint::TerminationSignals::received, engine.mainWindow(),
                         &pagemint::frmMain::imgExit_Click);
        status = QApplication::exec();
    }
    // The windows are destroyed; let the display hear of it before the pages are removed.
    QApplication::processEvents();
    removeStagedPagesBriefly();
    return status;
}
