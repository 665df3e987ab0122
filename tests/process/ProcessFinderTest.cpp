#include "process/ProcessFinder.h"

#include "FakePrograms.h"
#include "OtherUserProgram.h"

#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using pagemint::IsProcessRunning;
using pagemint::KillProcessByName;
using pagemint::processNameMatches;
using pagemint::test::FakePrograms;

TEST(ProcessNameMatches, WholeNameWithoutRegardToCase)
{
    struct Case {
        const char *executable;
        const char *name;
        bool matches;
    };
    const Case cases[] = {
        {"pdf.exe", "pdf.exe", true},      {"PDF.EXE", "pdf.exe", true}, {"mypdf.exe", "pdf.exe", false},
        {"pdf.exe.bak", "pdf.exe", false}, {"pdf", "pdf.exe", false},    {"", "", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(processNameMatches(QString::fromUtf8(c.executable), QString::fromUtf8(c.name)), c.matches)
            << c.executable << " / " << c.name;
}

// Names of this test process's own: KillProcessByName("pdf.exe") would end converters of other
// suites running at the same time.
QString ownName(const char *stem)
{
    return QStringLiteral("%1%2.EXE").arg(QLatin1String(stem)).arg(::getpid());
}

class ProcessFinderTest : public ::testing::Test {
protected:
    // Starts a renamed copy of sleep that runs for a minute.
    QProcess *startSleeper(const QString &name)
    {
        // Copied once: replacing the file under a running copy would rename its executable link.
        QString path = programs.root() + QStringLiteral("/bin/") + name;
        if (!QFile::exists(path))
            path = programs.copy(QStringLiteral("/bin/sleep"), QStringLiteral("bin/") + name);
        auto process = std::make_unique<QProcess>();
        process->start(path, {QStringLiteral("60")});
        process->waitForStarted();
        running.push_back(std::move(process));
        return running.back().get();
    }

    ~ProcessFinderTest() override
    {
        for (const auto &process : running) {
            process->kill();
            process->waitForFinished();
        }
    }

    FakePrograms programs;
    std::vector<std::unique_ptr<QProcess>> running;
};

TEST_F(ProcessFinderTest, FindsAndEndsEveryProcessOfTheName)
{
    // Short names, and one past the 15 bytes the kernel keeps of a process name.
    for (const QString &name : {ownName("PM"), ownName("PMVERYLONGNAME")}) {
        const QString lower = name.toLower();
        QProcess *first = startSleeper(name);
        QProcess *second = startSleeper(name);
        QProcess *other = startSleeper(QStringLiteral("MY") + name);
        ASSERT_EQ(first->state(), QProcess::Running);

        EXPECT_TRUE(IsProcessRunning(lower)) << name.toStdString();
        KillProcessByName(lower);

        EXPECT_TRUE(first->waitForFinished(5000));
        EXPECT_TRUE(second->waitForFinished(5000));
        EXPECT_EQ(first->exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(second->exitStatus(), QProcess::CrashExit);
        EXPECT_FALSE(IsProcessRunning(lower)) << name.toStdString();
        // mypdf.exe is not pdf.exe.
        EXPECT_EQ(other->state(), QProcess::Running);
        EXPECT_TRUE(IsProcessRunning(QStringLiteral("my") + lower));
    }
}

// Root may signal any process: the user id alone keeps another user's converter alive.
TEST_F(ProcessFinderTest, AnotherUsersProcessIsNeitherEndedNorCounted)
{
    if (!pagemint::test::OtherUserProgram::possible())
        GTEST_SKIP() << "starting a process as another user takes root";
    const QString name = ownName("PMU");
    pagemint::test::OtherUserProgram foreign(name, 60);
    ASSERT_TRUE(foreign.started());
    QProcess *own = startSleeper(name);
    ASSERT_EQ(own->state(), QProcess::Running);

    KillProcessByName(name.toLower());

    // Our own copy is ended by the same pass.
    EXPECT_TRUE(own->waitForFinished(5000));
    EXPECT_EQ(own->exitStatus(), QProcess::CrashExit);
    EXPECT_FALSE(pagemint::test::killedOrBeingKilled(foreign.processId()));
    EXPECT_FALSE(IsProcessRunning(name.toLower()));
}

TEST_F(ProcessFinderTest, ExitedChildNotYetReapedIsNotRunning)
{
    const QString name = ownName("PMZ");
    const QByteArray path = programs.copy(QStringLiteral("/bin/sleep"), QStringLiteral("bin/") + name).toLocal8Bit();
    char zero[] = "0";
    char *argv[] = {const_cast<char *>(path.constData()), zero, nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ), 0);

    // Wait until it has exited but stays a zombie (waitid with WNOWAIT leaves it unreaped).
    siginfo_t info{};
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT), 0);
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    ASSERT_TRUE(stat.open(QIODevice::ReadOnly));
    const QByteArray statText = stat.readAll();
    ASSERT_TRUE(statText.contains(") Z")) << statText.constData();

    EXPECT_FALSE(IsProcessRunning(name.toLower()));
    waitpid(pid, nullptr, 0);
}

} // namespace
