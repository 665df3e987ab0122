#pragma once
// The built program started with arguments, as a script starts it: no display, no platform set,
// in the test's private home (TestEnvironment).

#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QStringList>

namespace pagemint::test {

struct CliResult {
    int exitCode = -1;
    bool crashed = true;
    QString out;
    QString err;
};

// The environment of a run over ssh or in CI: the test's own, without DISPLAY, WAYLAND_DISPLAY
// and QT_QPA_PLATFORM.
QProcessEnvironment withoutDisplay();

// Starts `program` (the built one unless given) with `arguments` in `workingFolder`.
void startCli(QProcess &process, const QStringList &arguments, const QString &workingFolder = {},
              const QString &program = {});
// Runs it to its end.
CliResult runCli(const QStringList &arguments, const QString &workingFolder = {}, const QString &program = {});

// Writes `count` PNG pictures of `size` into `folder` as p001.png …; returns their paths in order.
QStringList writePictures(const QString &folder, int count, QSize size = {64, 48});
// Writes one JPEG of `size`.
QString writeJpeg(const QString &path, QSize size = {64, 48});

// pdfinfo's page count (-1 when it cannot read the file) and first page size in points.
int pageCount(const QString &pdf);
QString pageSize(const QString &pdf);
// qpdf --check passes.
bool pdfIsWhole(const QString &pdf);

// The output lines of a run, without the empty one after the last line break.
QStringList linesOf(const QString &text);

// The run folders ("pagemint-run.*") in the test's cache folder.
QStringList runFolders();

// A copy of the built application folder in `folder` (the program, its helpers, no settings), so a
// test can put its own settings or converter there; returns the copied program's path.
QString copyApplicationFolder(const QString &folder);

// A copy of the application folder in `folder`/app whose converter, once a run starts it, makes
// the file `started` and waits at the FIFO `gate` until the test opens it (openGate); the real
// converter then does the work, still under the run's name. `program` is empty when it could not
// be set up.
struct GatedConverter {
    QString program;
    QString started;
    QString gate;
};
GatedConverter gatedApplicationFolder(const QString &folder);
// Lets the converter at `gate` go on, without blocking; false when none waits there (it was ended).
bool openGate(const QString &gate);

} // namespace pagemint::test
