#include "process/DOSOutputs.h"

#include "PostedEventFlag.h"
#include "FakePrograms.h"
#include "support/ModalAnswerer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using pagemint::DOSOutputs;
using pagemint::test::FakePrograms;
using pagemint::test::MessageRecord;
using pagemint::test::ModalAnswerer;
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

TEST_P(DOSOutputsFailure, ShowsStopMessageAndKeepsTheLastOutput)
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

    ModalAnswerer answerer;
    MessageRecord record;
    answerer.thenMessage(QMessageBox::Ok, &record);
    EXPECT_EQ(runner.ExecuteCommand(commandLine), QString());

    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(u'\n').toStdString();
    EXPECT_EQ(answerer.pending(), 0u);
    EXPECT_EQ(record.text, GetParam().message);
    EXPECT_EQ(record.caption, QStringLiteral("Pagemint"));
    EXPECT_EQ(record.icon, QMessageBox::Critical);
    EXPECT_EQ(record.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
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
    ModalAnswerer answerer;
    MessageRecord record;
    answerer.thenMessage(QMessageBox::Ok, &record);
    QString result = QStringLiteral("not run");
    {
        DescriptorLimit limit;
        // The answerer's timer needs no descriptor; the message box is answered inside the call.
        result = runner.ExecuteCommand(commandLine);
    }
    EXPECT_EQ(result, QString());
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(u'\n').toStdString();
    EXPECT_EQ(record.text, QStringLiteral("CreatePipe failed. Error: %1").arg(EMFILE));
    EXPECT_EQ(record.icon, QMessageBox::Critical);
    EXPECT_TRUE(events.isEmpty());
}

} // namespace
