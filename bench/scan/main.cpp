// Times FindImageFiles into the image list shown by a real QListView on the offscreen platform,
// configured like the main window's List1 (its size, font, uniform item sizes), and measures the longest pause between
// two rounds of event handling with a 1 ms timer: a gap between its firings is time in which no event was handled.
//
//   bench_scan --make-tree DIR     makes the benchmark tree
//   bench_scan DIR [RUNS]          scans DIR RUNS times (default 3) and prints one line per run
#include "TreeMaker.h"
#include "imagelist/FindImageFiles.h"
#include "imagelist/ImageList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

// CPU time of this thread: a pause with little of it is time the machine gave to other processes,
// not work of the scan.
qint64 threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct RunResult {
    double totalMs = 0;
    double longestPauseMs = 0;
    double longestPauseCpuMs = 0; // of the longest pause, how much the scan's thread ran
    double firstEntryMs = -1;
    int rounds = 0;
    int entries = 0;
};

RunResult timeOneScan(const QString &tree, pagemint::ImageList &list)
{
    list.clear();
    QCoreApplication::processEvents();

    RunResult result;
    QElapsedTimer clock;
    qint64 lastRoundNs = 0;
    qint64 lastRoundCpuNs = threadCpuNs();
    const auto endRound = [&](qint64 now) {
        const qint64 cpu = threadCpuNs();
        if ((now - lastRoundNs) / 1e6 > result.longestPauseMs) {
            result.longestPauseMs = (now - lastRoundNs) / 1e6;
            result.longestPauseCpuMs = (cpu - lastRoundCpuNs) / 1e6;
        }
        lastRoundNs = now;
        lastRoundCpuNs = cpu;
    };
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        endRound(now);
        ++result.rounds;
        if (result.firstEntryMs < 0 && list.count() > 0)
            result.firstEntryMs = now / 1e6;
    });
    ticker.start(1);
    clock.start();
    pagemint::FindImageFiles(tree, list);
    const qint64 end = clock.nsecsElapsed();
    ticker.stop();
    endRound(end);
    result.totalMs = end / 1e6;
    result.entries = list.count();
    return result;
}

int makeTree(const QString &root)
{
    const pagemint::bench::TreeCounts counts = pagemint::bench::makeScanTree(root);
    if (counts.files == 0) {
        std::fprintf(stderr, "could not make the tree under %s\n", qPrintable(root));
        return 1;
    }
    std::printf("tree: %d folders, %d files, %d pictures\n", counts.folders, counts.files, counts.pictures);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s --make-tree DIR | DIR [RUNS]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args[1] == QLatin1String("--make-tree"))
        return argc < 3 ? 2 : makeTree(args[2]);

    const int runs = args.size() > 2 ? std::max(1, args[2].toInt()) : 3;
    pagemint::ImageList list;
    QListView view;
    view.setModel(&list);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setUniformItemSizes(true);
    view.setFrameShape(QFrame::NoFrame);
    view.setFont(QFont(QStringLiteral("Tahoma"), 9));
    view.resize(391, 184);
    view.show();
    // The window has been on screen a while before anyone scans: let it paint once first.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

    for (int run = 1; run <= runs; ++run) {
        const RunResult r = timeOneScan(args[1], list);
        std::printf("run %d: %.1f ms, %d entries, longest pause %.1f ms, %d event rounds, first entry "
                    "shown at %.1f ms, cpu in the longest pause %.1f ms\n",
                    run, r.totalMs, r.entries, r.longestPauseMs, r.rounds, r.firstEntryMs, r.longestPauseCpuMs);
        std::fflush(stdout);
    }
    return 0;
}
