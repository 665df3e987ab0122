#include "EngineFixture.h"
#include "FakeConverter.h"
#include "ModalAnswerer.h"
#include "Wait.h"

#include "app/ProgramState.h"
#include "conversion/StagingFolder.h"
#include "process/ProcessFinder.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace pagemint::test {
namespace {

class Startup : public EngineFixture {};

TEST_F(Startup, EngineIsHiddenAndTheMainWindowCentredAfterLoading)
{
    EXPECT_FALSE(engine().isVisible());
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().size(), QSize(548, 366));
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Pagemint"));
    // Off the screen until the one-shot step has run.
    EXPECT_LT(window().geometry().right(), 0);
    finishLoading();
    const QRect screen = window().screen()->geometry();
    EXPECT_EQ(window().geometry().center().x() / 2, screen.center().x() / 2);
    EXPECT_NEAR(window().x(), (screen.width() - 548) / 2, 1);
    EXPECT_NEAR(window().y(), (screen.height() - 366) / 2, 1);
    EXPECT_EQ(window().maskColor, QColor(255, 0, 255));
    EXPECT_FALSE(exitRequested);
}

TEST_F(Startup, TheColourKeyShapesTheWindow)
{
    finishLoading();
    const QRegion shape = window().mask();
    ASSERT_FALSE(shape.isEmpty());
    const QImage skin(QStringLiteral(":/skin/background.png"));
    ASSERT_FALSE(skin.isNull());
    for (const QPoint point : {QPoint(0, 0), QPoint(547, 0), QPoint(0, 365), QPoint(547, 365), QPoint(274, 183)})
        EXPECT_EQ(shape.contains(point), skin.pixel(point) != qRgb(255, 0, 255)) << point.x() << "," << point.y();
}

TEST(StartupSequence, ALeftoverStagingFolderIsGoneShortlyAfterStart)
{
    TestEnvironment env;
    const QString staging = QString::fromStdString(stagingFolder().string());
    QDir().mkpath(staging + QStringLiteral("/sub"));
    env.writeFile(QDir(env.root()).relativeFilePath(staging + QStringLiteral("/00000.jpg")), "x");
    QFile::setPermissions(staging + QStringLiteral("/00000.jpg"), QFile::ReadOwner);
    frmPrinting engine;
    engine.Form_Load();
    EXPECT_TRUE(QDir(staging).exists());
    EXPECT_TRUE(waitFor([&] { return !QDir(staging).exists(); }, 3000));
}

TEST(StartupSequence, AConverterLeftRunningIsEndedBeforeTheWindowShows)
{
    TestEnvironment env;
    QProcess leftover;
    leftover.start(fakeConverter(env.root()), {QStringLiteral("60")});
    ASSERT_TRUE(leftover.waitForStarted());
    ASSERT_TRUE(IsProcessRunning(QStringLiteral("PDF.EXE")));
    frmPrinting engine;
    engine.Form_Load();
    // It may already be reaped while the start-up handled events.
    EXPECT_TRUE(waitFor([&] { return leftover.state() == QProcess::NotRunning; }, 3000));
    EXPECT_EQ(leftover.exitStatus(), QProcess::CrashExit);
}

class Shutdown : public EngineFixture {};

TEST_F(Shutdown, ClosingTheSettingsWindowOnlyHidesIt)
{
    QSignalSpy unloaded(&engine(), &frmPrinting::unloaded);
    const auto showSettings = [this] {
        engine().show();
        EXPECT_TRUE(engine().isVisible());
    };
    showSettings();
    engine().close();
    EXPECT_FALSE(engine().isVisible());
    showSettings();
    engine().CmdToolsBar_Click(5);
    EXPECT_FALSE(engine().isVisible());
    showSettings();
    engine().findChild<QAction *>(QStringLiteral("menuExit"))->trigger();
    EXPECT_FALSE(engine().isVisible());
    EXPECT_EQ(unloaded.count(), 0);
    EXPECT_FALSE(engine().isUnloaded());
    EXPECT_TRUE(window().isVisible());
    EXPECT_FALSE(exitRequested);
}

TEST_F(Shutdown, TheExitZoneEndsTheProgramAndAnyConverter)
{
    QProcess converter;
    converter.start(fakeConverter(env_.root()), {QStringLiteral("60")});
    ASSERT_TRUE(converter.waitForStarted());
    QSignalSpy unloaded(&engine(), &frmPrinting::unloaded);
    window().imgExit_Click();
    EXPECT_TRUE(exitRequested);
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_TRUE(engine().isUnloaded());
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(waitFor([&] { return converter.state() == QProcess::NotRunning; }, 3000));
    EXPECT_EQ(converter.exitStatus(), QProcess::CrashExit);
}

TEST_F(Shutdown, ASystemCloseOfTheMainWindowEndsTheProgram)
{
    QSignalSpy unloaded(&engine(), &frmPrinting::unloaded);
    window().close();
    EXPECT_TRUE(exitRequested);
    EXPECT_EQ(unloaded.count(), 1);
}

// The built program, started twice as a user would: from the same desktop session, and from a
// second session of the same user (its own runtime folder, the same staging folder).
TEST(SingleInstance, ASecondStartEndsSilentlyAndLeavesTheFirstRunning)
{
    for (const bool secondSession : {false, true}) {
        SCOPED_TRACE(secondSession ? "second session" : "same session");
        TestEnvironment env;
        const QString program = QStringLiteral(PAGEMINT_APP_DIR "/pagemint");
        QProcess first;
        first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        first.start(program, {});
        ASSERT_TRUE(first.waitForStarted());
        // Give the first instance time to take the lock.
        QThread::msleep(1500);
        ASSERT_EQ(first.state(), QProcess::Running);

        QProcess second;
        if (secondSession) {
            QDir().mkpath(env.root() + QStringLiteral("/runtime2"));
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), env.root() + QStringLiteral("/runtime2"));
            second.setProcessEnvironment(environment);
        }
        second.start(program, {});
        EXPECT_TRUE(second.waitForFinished(5000));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 0);
        EXPECT_EQ(first.state(), QProcess::Running);

        first.terminate();
        first.waitForFinished(3000);
    }
}

} // namespace
} // namespace pagemint::test
