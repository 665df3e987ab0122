// Scrolls the program's own main window through a long list with the pointer resting over the
// rows, so that every row it passes asks for its thumbnail, and measures the longest pause between
// two rounds of event handling (a 1 ms timer: a gap between its firings is time no event was
// handled). The thumbnails are made by the real decoder helpers of the application folder.
//
//   bench_thumbnails --make-pictures DIR COUNT    COUNT small JPEGs, each of its own colours
//   bench_thumbnails APP_FOLDER DIR [ROWS_PER_STEP]
//       lists DIR's pictures, scrolls through all of them a row every 4 ms (or ROWS_PER_STEP),
//       and prints: rows, steps, thumbnails shown, longest pause in ms, total ms
#include "app/frmPrinting.h"
#include "common/ApplicationFolder.h"
#include "imagelist/ImageList.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <cstdio>

using namespace pagemint;

namespace {

int makePictures(const QString &folder, int count)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        QImage image(640, 480, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i % 360, 200, 220));
        QPainter(&image).fillRect(0, 0, 320, 240, QColor::fromHsv((i * 7) % 360, 255, 120));
        if (!image.save(QStringLiteral("%1/%2.jpg").arg(folder).arg(i, 5, 10, QLatin1Char('0')), "JPEG", 85))
            return 1;
    }
    return 0;
}

int scroll(const QString &appFolder, const QString &pictures, int rowsPerStep)
{
    setApplicationFolderForTesting(appFolder);
    frmPrinting engine;
    engine.Form_Load();
    const QDeadlineTimer loading(2000);
    while (!engine.mainWindow()->loadingFinished() && !loading.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    frmMain &window = *engine.mainWindow();
    QStringList paths;
    for (const QString &name : QDir(pictures).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
        paths << pictures + u'/' + name;
    window.appendEntries(paths);
    auto *list = window.findChild<QListView *>(QStringLiteral("List1"));
    int shown = 0;
    QObject::connect(&window, &frmMain::thumbnailShown, [&shown] { ++shown; });

    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0, longestPause = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestPause = std::max(longestPause, now - lastTick);
        lastTick = now;
    });
    int row = 0, steps = 0;
    QEventLoop loop;
    QTimer stepper;
    stepper.setTimerType(Qt::PreciseTimer);
    stepper.setInterval(4);
    // Each step scrolls the list on and moves the pointer over the row now under it, as a wheel
    // turned with the pointer resting on the list does.
    QObject::connect(&stepper, &QTimer::timeout, [&] {
        if (row >= paths.size()) {
            loop.quit();
            return;
        }
        const QModelIndex index = window.imageList().index(row);
        list->scrollTo(index, QAbstractItemView::PositionAtCenter);
        const QPointF at = list->visualRect(index).center();
        QMouseEvent move(QEvent::MouseMove, at, list->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &move);
        row += rowsPerStep;
        ++steps;
    });
    lastTick = clock.nsecsElapsed();
    ticker.start();
    stepper.start();
    loop.exec();
    const double totalMs = double(clock.nsecsElapsed()) / 1e6;
    std::printf("rows %lld steps %d shown %d longest_pause_ms %.1f total_ms %.0f\n",
                static_cast<long long>(paths.size()), steps, shown, double(longestPause) / 1e6, totalMs);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args[0] == QLatin1String("--make-pictures"))
        return makePictures(args[1], args[2].toInt());
    if (args.size() == 2 || args.size() == 3)
        return scroll(args[0], args[1], args.size() == 3 ? std::max(1, args[2].toInt()) : 1);
    std::fputs("usage: bench_thumbnails --make-pictures DIR COUNT | bench_thumbnails APP_FOLDER DIR [ROWS_PER_STEP]\n",
               stderr);
    return 2;
}
