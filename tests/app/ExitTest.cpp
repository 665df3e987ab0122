// Ending the program: a termination signal (log-out, shut-down, `kill`) ends the built program as
// the exit zone does, and the exit zone stops a folder scan.
#include "EngineFixture.h"
#include "FakeConverter.h"
#include "ModalAnswerer.h"
#include "StartedProgram.h"
#include "Wait.h"

#include "contract/StagingFolder.h"
#include "conversion/StagingPaths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QProcess>
#include <QTimer>

#include <ostream>

#include <signal.h>
#include <unistd.h>

namespace pagemint::test {
namespace {

struct SignalCase {
    const char *name;
    int number;
};

void PrintTo(const SignalCase &signal, std::ostream *out)
{
    *out << signal.name;
}

class TerminationSignal : public ::testing::TestWithParam<SignalCase> {};

TEST_P(TerminationSignal, EndsTheProgramAsTheExitZoneDoes)
{
    TestEnvironment env;
    QProcess program;
    ASSERT_TRUE(startProgramAndWaitUntilUp(program));
    const QString staging = fromFsPath(stagingFolder());
    // Then what a job leaves while it runs: staged pages and a converter.
    for (const char *name : {"00000.jpg", "00001.jpg", "sub/tmp.pdf"})
        env.writeFile(QDir(env.root()).relativeFilePath(staging + u'/' + QLatin1String(name)), "page");
    QProcess converter;
    converter.start(fakeConverter(env.root()), {QStringLiteral("30")});
    ASSERT_TRUE(converter.waitForStarted());

    ::kill(static_cast<pid_t>(program.processId()), GetParam().number);

    // Ended by its own exit sequence, not by the signal, and within a moment (the margin is for a
    // loaded machine).
    EXPECT_TRUE(program.waitForFinished(3000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_FALSE(QDir(staging).exists());
    // Set aside at once, removed as the program ended.
    EXPECT_TRUE(stagingFoldersSetAside().empty());
    EXPECT_TRUE(converter.waitForFinished(3000));
    EXPECT_EQ(converter.exitStatus(), QProcess::CrashExit);
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationSignal,
                         ::testing::Values(SignalCase{"SIGTERM", SIGTERM}, SignalCase{"SIGHUP", SIGHUP}),
                         [](const ::testing::TestParamInfo<SignalCase> &testCase) {
                             return std::string(testCase.param.name);
                         });

class ExitDuringScan : public EngineFixture {};

TEST_F(ExitDuringScan, TheScanStopsAndTheProgramEnds)
{
    // 40,000 pictures in 100 folders: many rounds of the scan's event handling (one round every
    // 10 ms of work, a few thousand entries here).
    constexpr int folders = 100;
    constexpr int perFolder = 400;
    const QString tree = env_.root() + QStringLiteral("/tree");
    // Names of one file: a link is made several times faster than a file.
    const QByteArray picture = QFile::encodeName(env_.writeFile(QStringLiteral("picture.jpg")));
    for (int f = 0; f < folders; ++f) {
        const QString folder = tree + QStringLiteral("/f%1").arg(f);
        QDir().mkpath(folder);
        for (int i = 0; i < perFolder; ++i) {
            const QByteArray name = QFile::encodeName(folder + QStringLiteral("/p%1.jpg").arg(i));
            ASSERT_EQ(::link(picture.constData(), name.constData()), 0);
        }
    }
    QElapsedTimer sinceExit;
    int shownAtExit = 0;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        shownAtExit = List1()->model()->rowCount();
        if (shownAtExit == 0)
            return;
        watch.stop();
        sinceExit.start();
        window().imgExit_Click();
    });
    watch.start();
    ModalAnswerer answerer;
    answerer.then([&](QWidget *dialog) { chooseFile(dialog, tree); });

    engine().CmdToolsBar_Click(1);

    ASSERT_TRUE(sinceExit.isValid()) << "the scan ended before any picture showed";
    EXPECT_LT(sinceExit.elapsed(), 3000);
    EXPECT_TRUE(engine().isUnloaded());
    // It stopped where it was: at most the rest of the folder it was reading, far from the end.
    EXPECT_LE(List1()->model()->rowCount(), shownAtExit + perFolder);
    EXPECT_LT(List1()->model()->rowCount(), folders * perFolder);
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(u';').toStdString();
}

} // namespace
} // namespace pagemint::test
