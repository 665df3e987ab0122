// The one running instance: its lock, the way a second start reaches it, and a start that cannot
// have a lock at all.
#include "EngineFixture.h"
#include "ModalAnswerer.h"
#include "OtherUserProgram.h"

#include "app/InstanceDoorbell.h"
#include "app/SingleInstance.h"
#include "app/StartProblem.h"
#include "contract/StagingFolder.h"
#include "conversion/StagingPaths.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QWindow>

namespace pagemint::test {
namespace {

// Reads `process`'s standard error until it holds `text` or `timeoutMs` passed; returns all read.
QString standardErrorUntil(QProcess &process, const QString &text, int timeoutMs = 30000)
{
    QString seen;
    // waitForReadyRead waits for the channel being read.
    process.setReadChannel(QProcess::StandardError);
    const QDeadlineTimer deadline(timeoutMs);
    while (!seen.contains(text) && !deadline.hasExpired() && process.state() == QProcess::Running) {
        if (process.waitForReadyRead(int(deadline.remainingTime())))
            seen += QString::fromUtf8(process.readAllStandardError());
    }
    return seen + QString::fromUtf8(process.readAllStandardError());
}

// A restart after a crash in a fresh process namespace can get the crashed run's process id: the
// lock it left then names this process, which Qt takes for a live holder.
TEST(SingleInstance, ALockThatNamesThisProcessIsTakenOver)
{
    TestEnvironment env;
    const QString path = fromFsPath(instanceLockFile());
    QDir().mkpath(QFileInfo(path).absolutePath());
    QByteArray left;
    {
        // The lock file exactly as a run with our process id writes it.
        QLockFile crashed(path);
        ASSERT_TRUE(crashed.tryLock(0));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        left = file.readAll();
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(left);
    file.close();
    ASSERT_TRUE(left.startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));

    SingleInstance instance;
    EXPECT_TRUE(instance.acquire());
    EXPECT_TRUE(instance.problem().isEmpty()) << instance.problem().toStdString();
}

TEST(SingleInstance, AFolderTheLockCannotGoInIsNamed)
{
    TestEnvironment env;
    qputenv("XDG_CACHE_HOME", "/dev/null/cache");
    SingleInstance instance;
    EXPECT_FALSE(instance.acquire());
    EXPECT_TRUE(instance.problem().startsWith(QStringLiteral("Pagemint 无法启动"))) << instance.problem().toStdString();
    EXPECT_TRUE(instance.problem().contains(QStringLiteral("/dev/null/cache"))) << instance.problem().toStdString();
}

TEST(SingleInstance, TheProblemSaysWhereTheFolderCameFrom)
{
    const std::tuple<bool, QString> cases[] = {
        {false, QStringLiteral("Pagemint 无法启动：无法写入文件夹\n/x/.cache（No such file or directory）")},
        {true, QStringLiteral("Pagemint 无法启动：无法写入文件夹\n/x/.cache（No such file or directory）\n"
                              "环境变量 HOME 未设置，这个文件夹取自账户的主文件夹。")},
    };
    for (const auto &[fromAccountHome, text] : cases)
        EXPECT_EQ(lockFolderProblem(QStringLiteral("/x/.cache"), QStringLiteral("No such file or directory"),
                                    fromAccountHome),
                  text);
}

TEST(StartProblem, IsShownInABoxAndEndsWithAFailure)
{
    MessageRecord shown;
    ModalAnswerer answerer;
    answerer.thenMessage(QMessageBox::Ok, &shown);
    EXPECT_EQ(reportStartProblem(QStringLiteral("无法启动")), 1);
    EXPECT_EQ(shown.text, QStringLiteral("无法启动"));
    EXPECT_EQ(shown.icon, QMessageBox::Critical);
}

// The built program as an account without a home (nobody's is /nonexistent) starts it with HOME
// unset: it says why on standard error (and in a box, which the test does not answer).
TEST(StartProblem, AStartWithoutAHomeSaysWhy)
{
    if (!OtherUserProgram::possible())
        GTEST_SKIP() << "starting the program as another user takes root";
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        environment.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral("setpriv"),
                  {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                   QStringLiteral("--clear-groups"), QStringLiteral(PAGEMINT_APP_DIR "/pagemint")});
    ASSERT_TRUE(program.waitForStarted());
    const QString said = standardErrorUntil(program, QStringLiteral("HOME"));
    EXPECT_TRUE(said.contains(QStringLiteral("Pagemint 无法启动"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("/nonexistent/.cache"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("环境变量 HOME 未设置"))) << said.toStdString();
    // Still there: the box waits for the user.
    EXPECT_EQ(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished();
}

class InstanceDoorbellTest : public EngineFixture {};

TEST_F(InstanceDoorbellTest, ASecondStartBringsTheMinimisedWindowToTheFront)
{
    finishLoading();
    window().showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window().windowState() & Qt::WindowMinimized);
    const QString path = env_.root() + QStringLiteral("/doorbell");
    InstanceDoorbell doorbell(path);
    ASSERT_TRUE(doorbell.listening());
    QObject::connect(&doorbell, &InstanceDoorbell::rung, &window(), [this] { bringToFront(window()); });
    QSignalSpy rung(&doorbell, &InstanceDoorbell::rung);

    EXPECT_TRUE(ringInstanceDoorbell(path));
    ASSERT_TRUE(rung.wait(30000));

    EXPECT_FALSE(window().windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(window().isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(QGuiApplication::focusWindow(), window().windowHandle());
}

TEST_F(InstanceDoorbellTest, NobodyListeningIsNoAnswerAndAStaleSocketIsReplaced)
{
    const QString path = env_.root() + QStringLiteral("/doorbell");
    EXPECT_FALSE(ringInstanceDoorbell(path));
    // A socket file left by a run that is gone.
    {
        InstanceDoorbell gone(path);
    }
    QFile(path).open(QIODevice::WriteOnly);
    InstanceDoorbell doorbell(path);
    EXPECT_TRUE(doorbell.listening());
}

// The built program, started twice: the second start ends with status 0 and the first comes to the
// front (it says so in its debug log).
TEST(InstanceDoorbellProgram, TheSecondStartRingsTheFirst)
{
    TestEnvironment env;
    QProcess first;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("pagemint.app.debug=true"));
    first.setProcessEnvironment(environment);
    first.start(QStringLiteral(PAGEMINT_APP_DIR "/pagemint"), {});
    ASSERT_TRUE(first.waitForStarted());
    const QString listening = standardErrorUntil(first, QStringLiteral("doorbell listening"));
    ASSERT_TRUE(listening.contains(QStringLiteral("doorbell listening"))) << listening.toStdString();

    QProcess second;
    second.start(QStringLiteral(PAGEMINT_APP_DIR "/pagemint"), {});
    EXPECT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    const QString front = standardErrorUntil(first, QStringLiteral("brought to the front"));
    EXPECT_TRUE(front.contains(QStringLiteral("brought to the front")))
        << front.toStdString() << second.readAllStandardError().toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);

    first.terminate();
    first.waitForFinished(30000);
}

} // namespace
} // namespace pagemint::test
