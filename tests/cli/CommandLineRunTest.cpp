// The built program with arguments, run as a script runs it: no display, the PDFs' paths on
// standard output, progress and reasons on standard error, and an exit status that says how it
// went.
#include "CliProgram.h"
#include "FakeConverter.h"
#include "StartedProgram.h"
#include "TestEnvironment.h"
#include "Wait.h"

#include "cli/RunFolder.h"
#include "process/ProcessFinder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pagemint::test {
namespace {

// Reads the run's standard error until a line holding `text` has come; false when the run ended
// first.
bool standardErrorShows(QProcess &process, const QString &text)
{
    QString seen;
    while (!seen.contains(text)) {
        if (process.bytesAvailable() == 0 && !process.waitForReadyRead(60000))
            return false;
        seen += QString::fromUtf8(process.readAll());
    }
    return true;
}

class CommandLine : public ::testing::Test {
protected:
    QString path(const QString &relative) const { return env_.root() + u'/' + relative; }

    // Nothing of a run is left once it has ended: no run folder (staged pages, the converter's
    // link and tmp.pdf), no delivery temporary in `output`, and its converter and decoders go (the
    // decoders a moment later: they die with their server, whose end the run does not wait for).
    // The folder of an interrupted run may take a moment too (RunFolder).
    void expectNothingLeft(const QString &output)
    {
        // An interrupted run hands what it could not remove at once to a process that outlives it.
        EXPECT_TRUE(waitFor([] { return runFolders().isEmpty(); }, 60000)) << runFolders().join(u' ').toStdString();
        EXPECT_EQ(QDir(output).entryList({QStringLiteral(".pagemint-*")}, QDir::Files | QDir::Hidden), QStringList());
        for (const QString &helper : {QString::fromLatin1(kRunConverterName), QStringLiteral("pagemint-decoder")})
            EXPECT_TRUE(waitFor([&helper] { return !IsProcessRunning(helper); }, 30000)) << helper.toStdString();
    }

    // Starts a run of 400 pictures into out/, far from done when its first progress line comes;
    // true once that line has come.
    bool startLongRun(QProcess &run)
    {
        writePictures(path(QStringLiteral("in")), 400, {400, 300});
        run.setReadChannel(QProcess::StandardError);
        startCli(run, {QStringLiteral("-o"), path(QStringLiteral("out")), path(QStringLiteral("in"))});
        return standardErrorShows(run, QStringLiteral("已处理 1/400"));
    }

    TestEnvironment env_;
};

TEST_F(CommandLine, MergesAFolderIntoOnePdfInTheScanOrder)
{
    const QStringList pictures = writePictures(path(QStringLiteral("in")), 3);
    writePictures(path(QStringLiteral("in/sub")), 2, {80, 40});
    const CliResult result = runCli({QStringLiteral("-o"), path(QStringLiteral("out")), path(QStringLiteral("in"))});

    ASSERT_FALSE(result.crashed) << result.err.toStdString();
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QString pdf = path(QStringLiteral("out/NewPDF.pdf"));
    EXPECT_EQ(linesOf(result.out), QStringList{pdf});
    EXPECT_EQ(pageCount(pdf), 5);
    EXPECT_TRUE(pdfIsWhole(pdf));
    // Not a terminal: a plain line per picture, in order, the folder's own pictures first.
    const QStringList progress = linesOf(result.err).filter(QStringLiteral("已处理"));
    ASSERT_EQ(progress.size(), 5);
    EXPECT_TRUE(progress[0].endsWith(pictures[0]));
    EXPECT_TRUE(progress[2].endsWith(pictures[2]));
    EXPECT_TRUE(progress[3].contains(QStringLiteral("/sub/")));
    expectNothingLeft(path(QStringLiteral("out")));
}

TEST_F(CommandLine, WritesOnePdfPerPictureAndQuietSaysNothing)
{
    const QStringList pictures = writePictures(path(QStringLiteral("in")), 3);
    const QString jpeg = writeJpeg(path(QStringLiteral("in/photo.jpg")));
    const CliResult result = runCli({QStringLiteral("--each"), QStringLiteral("-q"), QStringLiteral("--output"),
                                     QStringLiteral("out"), pictures[1], jpeg, pictures[0]},
                                    env_.root());

    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err, QString());
    const QStringList expected = {path(QStringLiteral("out/p002.pdf")), path(QStringLiteral("out/photo.pdf")),
                                  path(QStringLiteral("out/p001.pdf"))};
    EXPECT_EQ(linesOf(result.out), expected);
    for (const QString &pdf : expected) {
        EXPECT_EQ(pageCount(pdf), 1) << pdf.toStdString();
        EXPECT_TRUE(pdfIsWhole(pdf)) << pdf.toStdString();
    }
    expectNothingLeft(path(QStringLiteral("out")));
}

TEST_F(CommandLine, BadPicturesAreNamedWithTheirReasonsAndTheRestWritten)
{
    const QStringList pictures = writePictures(path(QStringLiteral("in")), 2);
    env_.writeFile(QStringLiteral("in/broken.png"), "\x89PNG\r\n\x1a\n not really");
    env_.writeFile(QStringLiteral("in/text.jpg"), "hello");
    const QString missing = path(QStringLiteral("in/gone.png"));
    const CliResult result =
        runCli({QStringLiteral("-o"), path(QStringLiteral("out/doc.pdf")), path(QStringLiteral("in")), missing});

    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    const QString pdf = path(QStringLiteral("out/doc.pdf"));
    EXPECT_EQ(linesOf(result.out), QStringList{pdf});
    EXPECT_EQ(pageCount(pdf), 2);
    const QStringList skipped = linesOf(result.err).filter(QStringLiteral("已跳过"));
    ASSERT_EQ(skipped.size(), 3) << result.err.toStdString();
    // In list order, each with the shared words of its reason.
    EXPECT_TRUE(skipped[0].contains(path(QStringLiteral("in/broken.png")))) << skipped[0].toStdString();
    EXPECT_TRUE(skipped[1].contains(path(QStringLiteral("in/text.jpg")) + QStringLiteral("：不支持的图片格式")))
        << skipped[1].toStdString();
    EXPECT_TRUE(skipped[2].contains(missing + QStringLiteral("：文件不存在"))) << skipped[2].toStdString();
}

TEST_F(CommandLine, NothingWrittenIsExitTwo)
{
    env_.writeFile(QStringLiteral("in/text.jpg"), "hello");
    const CliResult result =
        runCli({QStringLiteral("-o"), path(QStringLiteral("out")), path(QStringLiteral("in/text.jpg"))});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, QString());
    EXPECT_TRUE(result.err.contains(QStringLiteral("没有生成PDF文件"))) << result.err.toStdString();
    EXPECT_EQ(QDir(path(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden), QStringList());
}

struct BadRun {
    const char *name;
    QStringList arguments;
};

class BadArgumentsRun : public ::testing::TestWithParam<BadRun> {};

TEST_P(BadArgumentsRun, EndsWithTwoAndWritesNothing)
{
    TestEnvironment env;
    writePictures(env.root() + QStringLiteral("/in"), 1);
    QDir().mkpath(env.root() + QStringLiteral("/empty"));
    const CliResult result = runCli(GetParam().arguments, env.root());
    EXPECT_FALSE(result.crashed);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, QString());
    EXPECT_TRUE(result.err.startsWith(QStringLiteral("pagemint："))) << result.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(env.root() + QStringLiteral("/out")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadArgumentsRun,
    ::testing::Values(
        BadRun{"UnknownOption",
               {QStringLiteral("--colour"), QStringLiteral("-o"), QStringLiteral("out"), QStringLiteral("in")}},
        BadRun{"BadValue",
               {QStringLiteral("--fit=stretch"), QStringLiteral("-o"), QStringLiteral("out"), QStringLiteral("in")}},
        BadRun{"NoPicture", {QStringLiteral("-o"), QStringLiteral("out")}},
        BadRun{"DocumentNameForEach",
               {QStringLiteral("--each"), QStringLiteral("-o"), QStringLiteral("out/x.pdf"), QStringLiteral("in")}},
        BadRun{"FolderWithoutPictures", {QStringLiteral("-o"), QStringLiteral("out"), QStringLiteral("empty")}}),
    [](const ::testing::TestParamInfo<BadRun> &testCase) { return std::string(testCase.param.name); });

TEST(CommandLineHelp, GoesToStandardOutputWithExitZero)
{
    for (const QString &option : {QStringLiteral("--help"), QStringLiteral("--version")}) {
        const CliResult result = runCli({option});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.out.startsWith(option == QStringLiteral("--help") ? QStringLiteral("用法：pagemint")
                                                                             : QStringLiteral("pagemint ")))
            << result.out.toStdString();
        EXPECT_EQ(result.err, QString());
    }
}

TEST_F(CommandLine, AnExistingNameIsKeptAndTheNextFreeOneTakenUnlessOverwriteIsGiven)
{
    const QStringList pictures = writePictures(path(QStringLiteral("in")), 2);
    const QString doc = env_.writeFile(QStringLiteral("out/doc.pdf"), "an earlier PDF");
    const QString own = env_.writeFile(QStringLiteral("out/p001.pdf"), "an earlier PDF");

    const CliResult merged = runCli({QStringLiteral("-q"), QStringLiteral("-o"), doc, pictures[0], pictures[1]});
    EXPECT_EQ(merged.exitCode, 0) << merged.err.toStdString();
    EXPECT_EQ(linesOf(merged.out), QStringList{path(QStringLiteral("out/doc1.pdf"))});
    EXPECT_EQ(pageCount(path(QStringLiteral("out/doc1.pdf"))), 2);

    const CliResult each = runCli({QStringLiteral("-q"), QStringLiteral("--each"), QStringLiteral("-o"),
                                   path(QStringLiteral("out")), pictures[0]});
    EXPECT_EQ(each.exitCode, 0) << each.err.toStdString();
    EXPECT_EQ(linesOf(each.out), QStringList{path(QStringLiteral("out/p001 (2).pdf"))});

    for (const QString &kept : {doc, own}) {
        QFile file(kept);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("an earlier PDF")) << kept.toStdString();
    }

    const CliResult replaced =
        runCli({QStringLiteral("-q"), QStringLiteral("--overwrite"), QStringLiteral("-o"), doc, pictures[1]});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    EXPECT_EQ(linesOf(replaced.out), QStringList{doc});
    EXPECT_EQ(pageCount(doc), 1);
    const CliResult replacedEach =
        runCli({QStringLiteral("-q"), QStringLiteral("--overwrite"), QStringLiteral("--each"), QStringLiteral("-o"),
                path(QStringLiteral("out")), pictures[0]});
    EXPECT_EQ(linesOf(replacedEach.out), QStringList{own});
    EXPECT_EQ(pageCount(own), 1);
}

TEST_F(CommandLine, TheStoredPageLayoutIsTheDefaultAndOptionsOverrideIt)
{
    const QString program = copyApplicationFolder(path(QStringLiteral("app")));
    env_.writeFile(QStringLiteral("app/pagemint.ini"), "[Page]\nPaper=A4\nOrientation=portrait\nMarginMm=10\n");
    const QString picture = writePictures(path(QStringLiteral("in")), 1, {300, 200})[0];

    const CliResult stored =
        runCli({QStringLiteral("-q"), QStringLiteral("-o"), path(QStringLiteral("a.pdf")), picture}, {}, program);
    EXPECT_EQ(stored.exitCode, 0) << stored.err.toStdString();
    EXPECT_TRUE(pageSize(path(QStringLiteral("a.pdf"))).startsWith(QStringLiteral("595.276 x 841.89")))
        << pageSize(path(QStringLiteral("a.pdf"))).toStdString();

    const CliResult given = runCli({QStringLiteral("-q"), QStringLiteral("--orientation"), QStringLiteral("landscape"),
                                    QStringLiteral("-o"), path(QStringLiteral("b.pdf")), picture},
                                   {}, program);
    EXPECT_EQ(given.exitCode, 0) << given.err.toStdString();
    EXPECT_TRUE(pageSize(path(QStringLiteral("b.pdf"))).startsWith(QStringLiteral("841.89 x 595.276")))
        << pageSize(path(QStringLiteral("b.pdf"))).toStdString();
}

TEST_F(CommandLine, CtrlCEndsTheRunAndLeavesNothingBehind)
{
    QProcess run;
    ASSERT_TRUE(startLongRun(run));

    ::kill(static_cast<pid_t>(run.processId()), SIGINT);

    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 130);
    EXPECT_TRUE(QString::fromUtf8(run.readAllStandardError()).contains(QStringLiteral("已中断")));
    EXPECT_EQ(run.readAllStandardOutput(), QByteArray());
    // No PDF, whole or half written, and nothing staged.
    EXPECT_EQ(QDir(path(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden), QStringList());
    expectNothingLeft(path(QStringLiteral("out")));
}

TEST_F(CommandLine, FourRunsAtOnceIntoOneFolderEachWriteTheirOwnPdf)
{
    // Four folders of different sizes, so a page staged by one run in another's PDF shows.
    constexpr int runs = 4;
    QProcess processes[runs];
    for (int i = 0; i < runs; ++i) {
        const QString folder = path(QStringLiteral("in%1").arg(i));
        writePictures(folder, 3 + 2 * i);
        startCli(processes[i], {QStringLiteral("-q"), QStringLiteral("-o"), path(QStringLiteral("out")), folder});
    }
    QSet<QString> written;
    for (int i = 0; i < runs; ++i) {
        ASSERT_TRUE(processes[i].waitForFinished(240000));
        EXPECT_EQ(processes[i].exitCode(), 0) << i << processes[i].readAllStandardError().toStdString();
        const QStringList lines = linesOf(QString::fromUtf8(processes[i].readAllStandardOutput()));
        ASSERT_EQ(lines.size(), 1) << i;
        // Each took a name of its own (NewPDF.pdf, NewPDF1.pdf, …), none replaced another's.
        EXPECT_FALSE(written.contains(lines[0])) << lines[0].toStdString();
        written.insert(lines[0]);
        EXPECT_EQ(pageCount(lines[0]), 3 + 2 * i) << lines[0].toStdString();
        EXPECT_TRUE(pdfIsWhole(lines[0]));
    }
    EXPECT_EQ(QDir(path(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden).size(), runs);
    expectNothingLeft(path(QStringLiteral("out")));
}

TEST_F(CommandLine, ARunLeavesTheWindowsConverterAlone)
{
    // The window's converter at work: a run neither ends it nor waits for it.
    QProcess windowsConverter;
    windowsConverter.start(fakeConverter(env_.root()), {QStringLiteral("300")});
    ASSERT_TRUE(windowsConverter.waitForStarted());
    writePictures(path(QStringLiteral("in")), 2);

    for (const QString &mode : {QStringLiteral("--merge"), QStringLiteral("--each")}) {
        const CliResult result = runCli({QStringLiteral("-q"), mode, QStringLiteral("-o"), path(QStringLiteral("out")),
                                         path(QStringLiteral("in"))});
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(windowsConverter.state(), QProcess::Running) << mode.toStdString();
    }
    windowsConverter.kill();
    windowsConverter.waitForFinished();
}

TEST_F(CommandLine, ARunBesideTheWindowOutlivesItsSweepOfConverters)
{
    // The run's converter waits at a FIFO until the test lets it go on.
    const GatedConverter gated = gatedApplicationFolder(env_.root());
    ASSERT_FALSE(gated.program.isEmpty());
    writePictures(path(QStringLiteral("in")), 3);

    QProcess run;
    startCli(run, {QStringLiteral("-q"), QStringLiteral("-o"), path(QStringLiteral("out")), path(QStringLiteral("in"))},
             {}, gated.program);
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(gated.started); }, 60000))
        << run.readAllStandardError().toStdString();
    ASSERT_TRUE(IsProcessRunning(QString::fromLatin1(kRunConverterName)));

    // The window starts (ending every pdf.exe it sees, and clearing its own staging folder) and
    // ends again (the same once more) while the run's converter is under way.
    QProcess window;
    ASSERT_TRUE(startProgramAndWaitUntilUp(window));
    ::kill(static_cast<pid_t>(window.processId()), SIGTERM);
    ASSERT_TRUE(window.waitForFinished(60000));
    EXPECT_TRUE(IsProcessRunning(QString::fromLatin1(kRunConverterName)));

    // A converter the window ended reads the gate no more, and the test fails.
    ASSERT_TRUE(openGate(gated.gate)) << "the run's converter is gone";
    ASSERT_TRUE(run.waitForFinished(120000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    const QString pdf = path(QStringLiteral("out/NewPDF.pdf"));
    EXPECT_EQ(linesOf(QString::fromUtf8(run.readAllStandardOutput())), QStringList{pdf});
    EXPECT_EQ(pageCount(pdf), 3);
    expectNothingLeft(path(QStringLiteral("out")));
}

// The test's cache folder, where runs make their folders.
QString cacheFolder()
{
    return qEnvironmentVariable("XDG_CACHE_HOME");
}

QString runLock(const QString &folder)
{
    return folder + u'/' + QString::fromLatin1(kRunFolderLockName);
}

// Whether a process holds the lock of `lockFile` (the test takes it for a moment when none does).
bool lockIsHeld(const QString &lockFile)
{
    const int descriptor = ::open(QFile::encodeName(lockFile).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool held = ::flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(descriptor);
    return held;
}

bool existsOrLinks(const QString &path)
{
    const QFileInfo entry(path);
    return entry.exists() || entry.isSymLink();
}

TEST_F(CommandLine, ARunKilledOutrightLeavesItsFolderToTheNextRunWhichRemovesIt)
{
    QProcess killed;
    ASSERT_TRUE(startLongRun(killed));

    ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
    ASSERT_TRUE(killed.waitForFinished(60000));
    // Its helpers end without it; until then they may still write into its folder.
    for (const QString &helper : {QString::fromLatin1(kRunConverterName), QStringLiteral("pagemint-decoder")})
        ASSERT_TRUE(waitFor([&helper] { return !IsProcessRunning(helper); }, 30000)) << helper.toStdString();
    const QStringList left = runFolders();
    ASSERT_EQ(left.size(), 1);
    ASSERT_FALSE(QDir(cacheFolder() + u'/' + left[0] + QStringLiteral("/inkleaf_tmp")).isEmpty());

    const CliResult next = runCli({QStringLiteral("-q"), QStringLiteral("-o"), path(QStringLiteral("next")),
                                   path(QStringLiteral("in/p001.png"))});
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    // A sweep that went well says nothing.
    EXPECT_EQ(next.err, QString());
    EXPECT_EQ(pageCount(path(QStringLiteral("next/NewPDF.pdf"))), 1);
    expectNothingLeft(path(QStringLiteral("next")));
}

TEST_F(CommandLine, ALiveRunsFolderIsLeftAloneByARunStartedMeanwhile)
{
    // The live run holds its folder with its staged pages while its converter waits at the gate.
    const GatedConverter gated = gatedApplicationFolder(env_.root());
    ASSERT_FALSE(gated.program.isEmpty());
    writePictures(path(QStringLiteral("in")), 3);
    QProcess live;
    startCli(live,
             {QStringLiteral("-q"), QStringLiteral("-o"), path(QStringLiteral("out")), path(QStringLiteral("in"))}, {},
             gated.program);
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(gated.started); }, 60000))
        << live.readAllStandardError().toStdString();
    ASSERT_EQ(runFolders().size(), 1);
    const QString folder = cacheFolder() + u'/' + runFolders()[0];
    const QStringList staged = QDir(folder + QStringLiteral("/inkleaf_tmp")).entryList(QDir::Files);
    ASSERT_EQ(staged.size(), 3);
    EXPECT_TRUE(lockIsHeld(runLock(folder)));

    const CliResult meanwhile = runCli({QStringLiteral("-q"), QStringLiteral("-o"), path(QStringLiteral("second")),
                                        path(QStringLiteral("in/p002.png"))});
    EXPECT_EQ(meanwhile.exitCode, 0) << meanwhile.err.toStdString();
    EXPECT_EQ(QDir(folder + QStringLiteral("/inkleaf_tmp")).entryList(QDir::Files), staged);
    EXPECT_TRUE(lockIsHeld(runLock(folder)));

    ASSERT_TRUE(openGate(gated.gate)) << "the live run's converter is gone";
    ASSERT_TRUE(live.waitForFinished(120000));
    EXPECT_EQ(live.exitCode(), 0) << live.readAllStandardError().toStdString();
    EXPECT_EQ(pageCount(path(QStringLiteral("out/NewPDF.pdf"))), 3);
    expectNothingLeft(path(QStringLiteral("out")));
}

// What a run finds in the cache folder beside its own, and whether its sweep removes it.
struct CacheEntry {
    enum Kind {
        DeadRun,       // a run folder whose lock file nobody holds
        WithoutLock,   // a run folder without a lock file (a run that has not locked it yet)
        LinkToDeadRun, // a link of a run folder's name to a dead run's folder elsewhere
        LockIsAFifo,   // a FIFO where the lock file would be
        OtherUsersRun, // a dead run's folder of another user (made when the test runs as root)
        File,          // a plain file of a run folder's name
    };
    const char *name;
    Kind kind;
    bool removed;
};

// clang-format off
const CacheEntry cacheEntries[] = {
    {"pagemint-run.Dead01",   CacheEntry::DeadRun,       true},
    {"pagemint-run.NoLck1",   CacheEntry::WithoutLock,   false},
    {"pagemint-run.Link01",   CacheEntry::LinkToDeadRun, false},
    {"pagemint-run.Fifo01",   CacheEntry::LockIsAFifo,   false},
    {"pagemint-run.Othr01",   CacheEntry::OtherUsersRun, false},
    {"pagemint-run.File01",   CacheEntry::File,          false},
    // Dead runs' folders in all but their names.
    {"pagemint-run.Dead012",  CacheEntry::DeadRun,       false},
    {"pagemint-run.Dea-01",   CacheEntry::DeadRun,       false},
    {"pagemint-run-Dead01",   CacheEntry::DeadRun,       false},
    {"xpagemint-run.Dead01",  CacheEntry::DeadRun,       false},
    {"inkleaf_tmp",           CacheEntry::DeadRun,       false},
};
// clang-format on

TEST_F(CommandLine, ARunRemovesOnlyTheFoldersOfDeadRuns)
{
    // Every dead run's folder holds a staged page and a link out of the cache, whose target stays.
    const QString outside = env_.writeFile(QStringLiteral("outside/keep.txt"), "kept");
    const auto makeDeadRun = [&](const QString &folder) {
        env_.writeFile(folder + QStringLiteral("/inkleaf_tmp/00001.jpg"), "a staged page");
        env_.writeFile(runLock(folder));
        QFile::link(path(QStringLiteral("outside")), folder + QStringLiteral("/outside"));
    };
    const QString cache = QStringLiteral("home/.cache/");
    for (const CacheEntry &entry : cacheEntries) {
        const QString relative = cache + QString::fromLatin1(entry.name);
        const QString folder = path(relative);
        switch (entry.kind) {
        case CacheEntry::DeadRun:
            makeDeadRun(folder);
            break;
        case CacheEntry::WithoutLock:
            env_.writeFile(relative + QStringLiteral("/inkleaf_tmp/00001.jpg"), "a staged page");
            break;
        case CacheEntry::LinkToDeadRun:
            makeDeadRun(path(QStringLiteral("elsewhere")));
            ASSERT_TRUE(QFile::link(path(QStringLiteral("elsewhere")), folder));
            break;
        case CacheEntry::LockIsAFifo:
            env_.writeFile(relative + QStringLiteral("/inkleaf_tmp/00001.jpg"), "a staged page");
            ASSERT_EQ(::mkfifo(QFile::encodeName(runLock(folder)).constData(), 0600), 0);
            break;
        case CacheEntry::OtherUsersRun:
            if (::geteuid() != 0)
                continue;
            makeDeadRun(folder);
            ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
            break;
        case CacheEntry::File:
            env_.writeFile(relative, "not a folder");
            break;
        }
    }
    writePictures(path(QStringLiteral("in")), 1);

    const CliResult run =
        runCli({QStringLiteral("-q"), QStringLiteral("-o"), path(QStringLiteral("out")), path(QStringLiteral("in"))});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, QString());
    // What a run cannot remove in a moment goes in a process of its own.
    for (const CacheEntry &entry : cacheEntries) {
        const QString gone = cacheFolder() + u'/' + QString::fromLatin1(entry.name);
        if (entry.removed) {
            EXPECT_TRUE(waitFor([&gone] { return !existsOrLinks(gone); }, 60000)) << entry.name;
        }
    }
    for (const CacheEntry &entry : cacheEntries) {
        if (entry.removed || (entry.kind == CacheEntry::OtherUsersRun && ::geteuid() != 0))
            continue;
        const QString kept = cacheFolder() + u'/' + QString::fromLatin1(entry.name);
        EXPECT_TRUE(existsOrLinks(kept)) << entry.name;
        if (entry.kind != CacheEntry::File) {
            EXPECT_TRUE(QFileInfo::exists(kept + QStringLiteral("/inkleaf_tmp/00001.jpg"))) << entry.name;
        }
    }
    EXPECT_TRUE(QFileInfo::exists(outside));
    EXPECT_TRUE(QFileInfo::exists(runLock(path(QStringLiteral("elsewhere")))));
}

} // namespace
} // namespace pagemint::test
