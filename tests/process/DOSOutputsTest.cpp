#include "process/DOSOutputs.h"

#include "FakePrograms.h"
#include "OtherUserProgram.h"
#include "PostedEventFlag.h"
#include "QuittingApplication.h"
#include "ThreadCpuClock.h"
#include "common/ExitRequest.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <ostream>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using pagemint::DOSOutputs;
using pagemint::test::FakePrograms;
using pagemint::test::patternBytes;

QString quoted(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

// A runner whose signals are written down in the order they come.
class DOSOutputsTest : public ::testing::Test {
protected:
    DOSOutputsTest()
    {
        QObject::connect(&runner, &DOSOutputs::ReceiveOutputs, [this](const QString &piece) {
            pieces << piece;
            events << QStringLiteral("piece");
        });
        QObject::connect(&runner, &DOSOutputs::CommandOver, [this] { events << QStringLiteral("over"); });
        QObject::connect(&runner, &DOSOutputs::Failed, [this](const QString &message) { failures << message; });
    }

    // A converter stand-in named pdf.exe with `body`; returns its command line.
    QString converter(const QByteArray &body, const QString &folder = QStringLiteral("app/data"))
    {
        return quoted(programs.script(folder + QStringLiteral("/pdf.exe"), body)) + QStringLiteral(" /NOASK");
    }

    QStringList expectedEventsFor(qsizetype pieceCount) const
    {
        QStringList expected(pieceCount, QStringLiteral("piece"));
        expected << QStringLiteral("over");
        return expected;
    }

    FakePrograms programs;
    DOSOutputs runner;
    QStringList pieces;
    QStringList events;
    // What Failed said; the runner shows no window of its own.
    QStringList failures;
};

TEST_F(DOSOutputsTest, BurstIsHandedOverInPiecesOf1024Bytes)
{
    const QByteArray burst = patternBytes(3000);
    const QString file = programs.data(QStringLiteral("burst.txt"), burst);
    // One write of 3000 bytes (below the pipe's atomic size), then the converter keeps running.
    const QString result = runner.ExecuteCommand(converter("cat '" + file.toLocal8Bit() + "'\nsleep 0.5"));

    ASSERT_EQ(pieces.size(), 3);
    EXPECT_EQ(pieces[0].size(), 1024);
    EXPECT_EQ(pieces[1].size(), 1024);
    EXPECT_EQ(pieces[2].size(), 952);
    EXPECT_EQ(pieces.join(QString()), QString::fromLatin1(burst));
    EXPECT_EQ(runner.Outputs(), QString::fromLatin1(burst));
    EXPECT_EQ(result, runner.Outputs());
    EXPECT_EQ(events, expectedEventsFor(3));
}

TEST_F(DOSOutputsTest, OutputWrittenJustBeforeExitIsNotLost)
{
    // More than one poll can read, printed in one go right before the converter ends: the last
    // pieces are still in the pipe when the run sees no converter any more.
    const QByteArray tail = patternBytes(5000);
    const QString file = programs.data(QStringLiteral("tail.txt"), tail);
    runner.ExecuteCommand(converter("sleep 0.2\ncat '" + file.toLocal8Bit() + "'"));

    EXPECT_EQ(runner.Outputs(), QString::fromLatin1(tail));
    ASSERT_FALSE(pieces.isEmpty());
    for (const QString &piece : pieces)
        EXPECT_LE(piece.size(), 1024);
    EXPECT_EQ(events, expectedEventsFor(pieces.size()));
}

TEST_F(DOSOutputsTest, CharacterSplitBetweenPiecesStaysWhole)
{
    // Two-byte "é" at bytes 1023 and 1024: the first read ends in the middle of it.
    const QByteArray text = QByteArray(1023, 'a') + "\xc3\xa9" + QByteArray(100, 'b');
    const QString file = programs.data(QStringLiteral("split.txt"), text);
    runner.ExecuteCommand(converter("cat '" + file.toLocal8Bit() + "'\nsleep 0.3"));

    EXPECT_EQ(runner.Outputs(), QString::fromUtf8(text));
    EXPECT_FALSE(runner.Outputs().contains(QChar::ReplacementCharacter));
}

TEST_F(DOSOutputsTest, QuotedPathWithSpaceRunsWithItsArguments)
{
    const QString path = programs.script(QStringLiteral("my apps/data/pdf.exe"), "printf '%s|' \"$@\"");
    // The property set beforehand and an empty argument, the way the job runs the converter.
    runner.setCommandLine(quoted(path) + QStringLiteral(" /NOASK \"two words\""));
    EXPECT_EQ(runner.ExecuteCommand(), QStringLiteral("/NOASK|two words|"));
    EXPECT_EQ(runner.CommandLine(), quoted(path) + QStringLiteral(" /NOASK \"two words\""));
}

TEST_F(DOSOutputsTest, StandardErrorArrivesToo)
{
    runner.ExecuteCommand(converter("echo to-stdout\necho to-stderr >&2\nread line && echo stdin-was-not-empty"));
    EXPECT_EQ(runner.Outputs(), QStringLiteral("to-stdout\nto-stderr\n"));
}

TEST_F(DOSOutputsTest, LeavesNoZombieNamedLikeTheConverter)
{
    runner.ExecuteCommand(converter("echo $$"));
    bool ok = false;
    const int pid = runner.Outputs().trimmed().toInt(&ok);
    ASSERT_TRUE(ok) << runner.Outputs().toStdString();
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)));
    EXPECT_EQ(events, expectedEventsFor(1));
}

TEST_F(DOSOutputsTest, UnrelatedConverterKeepsTheRunGoingUntilItEnds)
{
    QProcess unrelated;
    unrelated.start(programs.script(QStringLiteral("elsewhere/pdf.exe"), "sleep 1.2"));
    ASSERT_TRUE(unrelated.waitForStarted());
    QElapsedTimer clock;
    clock.start();

    runner.ExecuteCommand(converter("echo quick"));

    // Our own converter ended at once; the run waited for the other one.
    EXPECT_GE(clock.elapsed(), 1000);
    EXPECT_EQ(runner.Outputs(), QStringLiteral("quick\n"));
    EXPECT_EQ(events, expectedEventsFor(1));
    unrelated.waitForFinished();
}

TEST_F(DOSOutputsTest, ARunnerBesideOtherJobsWaitsForItsOwnCommandAlone)
{
    // Another job's converter, which a runner of the window would wait for (and, before, a
    // runner of a run beside it too).
    QProcess unrelated;
    unrelated.start(programs.script(QStringLiteral("elsewhere/pdf.exe"), "exec sleep 20"));
    ASSERT_TRUE(unrelated.waitForStarted());
    runner.waitForOwnCommandOnly();

    // Ours, under another name, works on after its first line: its last line is still collected.
    runner.ExecuteCommand(
        quoted(programs.script(QStringLiteral("run/pagemint-pdf"),
                               "echo first\ni=0\nwhile [ $i -lt 20000 ]; do i=$((i+1)); done\necho last")));

    EXPECT_EQ(runner.Outputs(), QStringLiteral("first\nlast\n"));
    EXPECT_EQ(unrelated.state(), QProcess::Running);
    unrelated.kill();
    unrelated.waitForFinished();
}

TEST_F(DOSOutputsTest, EventsAreHandledWhileTheCommandRuns)
{
    pagemint::test::PostedEventFlag receiver;
    bool timerFired = false;
    bool postedSeenBeforeOver = false;
    bool timerFiredBeforeOver = false;
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QTimer::singleShot(100, [&] { timerFired = true; });
    QObject::connect(&runner, &DOSOutputs::CommandOver, [&] {
        postedSeenBeforeOver = receiver.seen;
        timerFiredBeforeOver = timerFired;
    });

    runner.ExecuteCommand(converter("sleep 0.4"));

    EXPECT_TRUE(postedSeenBeforeOver);
    EXPECT_TRUE(timerFiredBeforeOver);
}

// What may hold a run up: none of these may keep it waiting, nor make it spin.
enum class Holdup {
    OtherUsersConverter,        // a pdf.exe of another user, which the program may not end
    UnrelatedConverterThenExit, // a pdf.exe of ours, then the program is asked to end
    OurConverterThenExit,       // our own converter runs on, then the program is asked to end
    QuittingApplication,        // the application has begun to quit: no event loop runs
};

struct EndCase {
    const char *name;
    Holdup holdup;
    QByteArray body; // our converter; it prints its process id first
};

void PrintTo(const EndCase &end, std::ostream *out)
{
    *out << end.name;
}

class DOSOutputsEnd : public DOSOutputsTest, public ::testing::WithParamInterface<EndCase> {
protected:
    ~DOSOutputsEnd() override { pagemint::exitRequested = false; }
};

TEST_P(DOSOutputsEnd, TheRunEndsWithOurConverterOrAtExit)
{
    const EndCase &end = GetParam();
    std::optional<pagemint::test::OtherUserProgram> otherUsers;
    QProcess unrelated;
    std::optional<pagemint::test::QuittingApplication> quitting;
    switch (end.holdup) {
    case Holdup::OtherUsersConverter:
        if (!pagemint::test::OtherUserProgram::possible())
            GTEST_SKIP() << "starting a process as another user takes root";
        otherUsers.emplace(QStringLiteral("pdf.exe"), 30);
        ASSERT_TRUE(otherUsers->started());
        break;
    case Holdup::UnrelatedConverterThenExit:
        unrelated.start(programs.copy(QStringLiteral("/bin/sleep"), QStringLiteral("elsewhere/pdf.exe")),
                        {QStringLiteral("30")});
        ASSERT_TRUE(unrelated.waitForStarted());
        [[fallthrough]];
    case Holdup::OurConverterThenExit:
        QTimer::singleShot(300, [] { pagemint::exitRequested = true; });
        break;
    case Holdup::QuittingApplication:
        quitting.emplace();
        break;
    }
    const pagemint::test::ThreadCpuClock cpu;
    QElapsedTimer clock;
    clock.start();

    runner.ExecuteCommand(converter("echo $$\n" + end.body));
    const qint64 took = clock.elapsed();

    // Generous against what holds it up for 30 s.
    EXPECT_LT(took, 3000);
    // A spinning run keeps a processor busy nearly the whole time; one that waits, a small part.
    // A run over in a few milliseconds is mostly starting the child, so it is given a fixed
    // allowance rather than a share.
    EXPECT_LT(cpu.elapsedMs(), 0.75 * static_cast<double>(took) + 50.0);
    bool ok = false;
    const qint64 ours = runner.Outputs().split(u'\n').value(0).toLongLong(&ok);
    ASSERT_TRUE(ok) << runner.Outputs().toStdString();
    EXPECT_FALSE(pagemint::test::processRuns(ours));
    EXPECT_EQ(events, expectedEventsFor(pieces.size()));
    // Nothing ended the others: the run just did not wait for them.
    if (otherUsers) {
        EXPECT_TRUE(otherUsers->running());
    }
    if (end.holdup == Holdup::UnrelatedConverterThenExit) {
        EXPECT_EQ(unrelated.state(), QProcess::Running);
        unrelated.kill();
        unrelated.waitForFinished();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DOSOutputsEnd,
    ::testing::Values(EndCase{"OtherUsersConverterIsNotWaitedFor", Holdup::OtherUsersConverter, "echo done"},
                      EndCase{"ExitEndsTheWaitForAnUnrelatedConverter", Holdup::UnrelatedConverterThenExit,
                              "echo done"},
                      EndCase{"ExitEndsOurConverter", Holdup::OurConverterThenExit, "exec sleep 30"},
                      EndCase{"QuittingApplicationWaitsForOurConverterWithoutSpinning", Holdup::QuittingApplication,
                              "sleep 0.4\necho done"}),
    [](const ::testing::TestParamInfo<EndCase> &testCase) { return std::string(testCase.param.name); });

struct FailureCase {
    const char *name;
    // Command line given to ExecuteCommand; "<missing>" / "<not executable>" are filled in.
    QString commandLine;
    QString message;
};

void PrintTo(const FailureCase &failure, std::ostream *out)
{
    *out << failure.name;
}

class DOSOutputsFailure : public DOSOutputsTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DOSOutputsFailure, SaysWhyAndKeepsTheLastOutput)
{
    runner.ExecuteCommand(converter("echo earlier run"));
    ASSERT_EQ(runner.Outputs(), QStringLiteral("earlier run\n"));
    pieces.clear();
    events.clear();

    QString commandLine = GetParam().commandLine;
    commandLine.replace(QStringLiteral("<missing>"), programs.root() + QStringLiteral("/nowhere/pdf.exe"));
    commandLine.replace(QStringLiteral("<not executable>"),
                        programs.data(QStringLiteral("plain/pdf.exe"), "echo never\n"));
    runner.setCommandLine(QString());

    EXPECT_EQ(runner.ExecuteCommand(commandLine), QString());

    EXPECT_EQ(failures, QStringList{GetParam().message});
    EXPECT_FALSE(runner.lastRunStarted());
    EXPECT_TRUE(events.isEmpty()) << events.join(u' ').toStdString();
    EXPECT_EQ(runner.Outputs(), QStringLiteral("earlier run\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DOSOutputsFailure,
    ::testing::Values(FailureCase{"EmptyCommandLine", QString(), QStringLiteral("Command Line empty")},
                      FailureCase{"MissingProgram", QStringLiteral("\"<missing>\" /NOASK"),
                                  QStringLiteral("File or command not found")},
                      FailureCase{"NotExecutable", QStringLiteral("\"<not executable>\" /NOASK"),
                                  QStringLiteral("File or command not found")},
                      FailureCase{"OnlyBlanks", QStringLiteral("   "), QStringLiteral("File or command not found")}),
    [](const ::testing::TestParamInfo<FailureCase> &testCase) { return std::string(testCase.param.name); });

// Lowers the open-file limit so that only one more descriptor can be opened: a pipe needs two.
class DescriptorLimit {
public:
    DescriptorLimit()
    {
        getrlimit(RLIMIT_NOFILE, &m_saved);
        int highest = 0;
        const QStringList open = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System);
        for (const QString &fd : open)
            highest = qMax(highest, fd.toInt());
        // Descriptors below the highest open one may be free too; fill them first.
        rlimit lowered = m_saved;
        lowered.rlim_cur = static_cast<rlim_t>(highest) + 2;
        while (true) {
            const int fd = ::dup(0);
            if (fd < 0 || fd > highest) {
                if (fd >= 0)
                    ::close(fd);
                break;
            }
            m_filled.push_back(fd);
        }
        setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~DescriptorLimit()
    {
        setrlimit(RLIMIT_NOFILE, &m_saved);
        for (const int fd : m_filled)
            ::close(fd);
    }

private:
    rlimit m_saved{};
    std::vector<int> m_filled;
};

TEST_F(DOSOutputsTest, PipeThatCannotBeMadeIsReportedWithItsErrorCode)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer runtime needs descriptors of its own to check memory";
#endif
    const QString commandLine = converter("echo never");
    QString result = QStringLiteral("not run");
    {
        DescriptorLimit limit;
        result = runner.ExecuteCommand(commandLine);
    }
    EXPECT_EQ(result, QString());
    EXPECT_EQ(failures, QStringList{QStringLiteral("CreatePipe failed. Error: %1").arg(EMFILE)});
    EXPECT_TRUE(events.isEmpty());
}

} // namespace
