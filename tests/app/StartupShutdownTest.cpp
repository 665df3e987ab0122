#include "EngineFixture.h"
#include "FakeConverter.h"
#include "FileAccessAsNobody.h"
#include "ModalAnswerer.h"
#include "StartedProgram.h"
#include "Wait.h"

#include "app/SingleInstance.h"
#include "common/ExitRequest.h"
#include "contract/StagingFolder.h"
#include "conversion/StagingPaths.h"
#include "process/ProcessFinder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include <signal.h>

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
    // Centred in whole pixels, as the window is placed.
    EXPECT_LE(std::abs(window().x() - (screen.width() - 548) / 2), 1);
    EXPECT_LE(std::abs(window().y() - (screen.height() - 366) / 2), 1);
    EXPECT_EQ(window().maskColor(), QColor(255, 0, 255));
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
    // Left and removed as an ordinary user would: root could remove every entry whatever its mode.
    ASSERT_FALSE(makeFolderForNobody(env.root(), QStringLiteral("home/.cache")).isEmpty());
    const QString staging = QString::fromStdString(stagingFolder().string());
    {
        const FileAccessAsNobody nobody;
        for (const char *name : {"/00000.jpg", "/sub/00001.jpg"}) {
            QDir().mkpath(QFileInfo(staging + QLatin1String(name)).path());
            QFile page(staging + QLatin1String(name));
            ASSERT_TRUE(page.open(QIODevice::WriteOnly)) << name;
        }
        ASSERT_TRUE(QFile::setPermissions(staging + QStringLiteral("/00000.jpg"), QFile::ReadOwner));
        ASSERT_TRUE(QFile::setPermissions(staging + QStringLiteral("/sub"), QFile::ReadOwner | QFile::ExeOwner));
        ASSERT_FALSE(QFile::remove(staging + QStringLiteral("/sub/00001.jpg"))) << "the folder's mode is not enforced";
    }
    frmPrinting engine;
    engine.Form_Load();
    EXPECT_TRUE(QDir(staging).exists());
    // The step after loading runs while events are handled, as nobody here.
    const FileAccessAsNobody nobody;
    ASSERT_TRUE(waitFor([&] { return engine.mainWindow()->loadingFinished(); }, 60000));
    EXPECT_FALSE(QFileInfo::exists(staging));
}

TEST(StartupSequence, PagesAnExitSetAsideAreRemovedAtStart)
{
    TestEnvironment env;
    // What an exit cut short left: the staging folder moved into a folder of its own beside it.
    const std::filesystem::path aside = stagingFolder().parent_path() / "inkleaf_tmp.gone-123";
    std::filesystem::create_directories(aside / "inkleaf_tmp");
    std::ofstream(aside / "inkleaf_tmp" / "00000.jpg") << "page";
    ASSERT_EQ(stagingFoldersSetAside().size(), 1u);

    frmPrinting engine;
    engine.Form_Load();
    ASSERT_TRUE(waitFor([&] { return engine.mainWindow()->loadingFinished(); }, 60000));

    EXPECT_TRUE(stagingFoldersSetAside().empty());
    EXPECT_FALSE(std::filesystem::exists(aside));
}

// Whether the process has been sent SIGKILL: gone, a zombie, or the signal still pending.
bool killed(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray fields = stat.readAll();
    const char state = fields.mid(fields.lastIndexOf(')') + 2, 1).at(0);
    if (state == 'Z' || state == 'X')
        return true;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return true;
    constexpr quint64 sigkill = quint64(1) << (9 - 1);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("ShdPnd:") || line.startsWith("SigPnd:"))
            if (line.mid(7).trimmed().toULongLong(nullptr, 16) & sigkill)
                return true;
    return false;
}

// Looks at the leftover converter the moment the main window is first shown.
class AtFirstShowOfTheMainWindow : public QObject {
public:
    explicit AtFirstShowOfTheMainWindow(qint64 pid) : pid_(pid) { qApp->installEventFilter(this); }
    std::optional<bool> converterEnded;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == QStringLiteral("frmMain") && !converterEnded)
            converterEnded = killed(pid_);
        return false;
    }

private:
    qint64 pid_;
};

TEST(StartupSequence, AConverterLeftRunningIsEndedBeforeTheWindowShows)
{
    TestEnvironment env;
    QProcess leftover;
    leftover.start(fakeConverter(env.root()), {QStringLiteral("60")});
    ASSERT_TRUE(leftover.waitForStarted());
    ASSERT_TRUE(IsProcessRunning(QStringLiteral("PDF.EXE")));
    ASSERT_FALSE(killed(leftover.processId()));
    AtFirstShowOfTheMainWindow shown(leftover.processId());
    frmPrinting engine;
    engine.Form_Load();
    ASSERT_TRUE(shown.converterEnded.has_value()) << "the main window was never shown";
    EXPECT_TRUE(*shown.converterEnded);
    // Not killed, it would end by itself after a minute, normally. It may be reaped already.
    if (leftover.state() != QProcess::NotRunning)
        leftover.waitForFinished(-1);
    EXPECT_EQ(leftover.state(), QProcess::NotRunning);
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
        ASSERT_TRUE(startProgramAndWaitUntilUp(first));

        QProcess second;
        if (secondSession) {
            QDir().mkpath(env.root() + QStringLiteral("/runtime2"));
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), env.root() + QStringLiteral("/runtime2"));
            second.setProcessEnvironment(environment);
        }
        second.start(program, {});
        // The first answers it at once; were the first ending, it would wait a moment for the lock.
        EXPECT_TRUE(second.waitForFinished(15000));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 0);
        EXPECT_EQ(first.state(), QProcess::Running);

        first.terminate();
        first.waitForFinished(3000);
    }
}

// A start in the moment the running instance ends (its last steps hold the lock) goes on once the
// lock is free, instead of ending as if the other still ran.
TEST(SingleInstance, AStartWhileTheFirstEndsWaitsForItsLock)
{
    TestEnvironment env;
    QProcess first;
    ASSERT_TRUE(startProgramAndWaitUntilUp(first));
    bool foundTaken = false;

    SingleInstance second;
    const bool acquired = second.acquire([&] {
        foundTaken = true;
        // Log-out ends the first as its exit zone does.
        ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
        return false;
    });

    EXPECT_TRUE(foundTaken);
    EXPECT_TRUE(acquired);
    EXPECT_TRUE(first.waitForFinished(5000));
}

} // namespace
} // namespace pagemint::test
