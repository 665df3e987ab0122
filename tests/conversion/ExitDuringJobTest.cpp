// The program ends within a moment whatever a job is doing when the user asks it to end (the exit
// zone, or a termination signal as at log-out): helpers ended, nothing delivered, staging gone.
#include "JobFixture.h"
#include "ModalAnswerer.h"
#include "OtherUserProgram.h"

#include "app/ConversionMode.h"
#include "app/TerminationSignals.h"
#include "common/ExitRequest.h"
#include "contract/StagingFolder.h"
#include "conversion/DecoderProcess.h"
#include "conversion/StagingPaths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <optional>
#include <ostream>

#include <signal.h>
#include <unistd.h>

namespace pagemint::test {
namespace {

enum class Asked { ExitZone, TerminationSignal };

struct Phase {
    const char *name;
    bool onePdfPerPicture;
    Converter converter;
    bool decoderRunsUntilEnded;
    int pictures;
    const char *format;
    // The exit is asked once the progress text shows this; when empty, once a helper has started.
    const char *whenShown;
    // The output folder on a tmpfs: the document is then copied there, not renamed in a moment.
    bool outputOnAnotherFileSystem = false;
};

const Phase phases[] = {
    {"StagingPages", false, Converter::Built, false, 11, "JPG", "Converting Files...10%"},
    {"Decoder", false, Converter::Built, true, 2, "PNG", ""},
    {"MergedConverter", false, Converter::RunsUntilEnded, false, 2, "JPG", ""},
    {"PerPictureConverter", true, Converter::RunsUntilEnded, false, 2, "JPG", ""},
    {"BetweenPictures", true, Converter::Built, false, 6, "JPG", "正在转换...20%"},
    {"Delivery", false, Converter::WritesAHugeDocument, false, 1, "JPG", "移动文件...100%", true},
};

void PrintTo(const Phase &phase, std::ostream *out)
{
    *out << phase.name;
}

class ExitDuringJob : public JobFixture, public ::testing::WithParamInterface<std::tuple<Phase, Asked>> {
protected:
    const Phase &phase() const { return std::get<0>(GetParam()); }

    void prepareApplicationFolder() override { installConverter(phase().converter); }

    void SetUp() override
    {
        JobFixture::SetUp();
        OnePdfPerPicture = phase().onePdfPerPicture;
        if (phase().decoderRunsUntilEnded) {
            helpers_ << writeScript(env_.root() + QStringLiteral("/slow-decoder"), runsUntilEnded);
            setDecoderPathForTesting(helpers_.constLast());
        }
        if (phase().outputOnAnotherFileSystem && !outputOnAnotherFileSystem())
            GTEST_SKIP() << "no tmpfs at /dev/shm apart from the test's folder";
        // As the program does: a termination signal runs the exit zone's steps.
        QObject::connect(&termination_, &TerminationSignals::received, &window(), &frmMain::imgExit_Click);
    }

    // A helper writes its pid file as it starts and keeps it while it runs.
    bool helperStarted() const
    {
        for (const QString &helper : helpers_)
            if (QFile::exists(helper + QStringLiteral(".pid")))
                return true;
        return false;
    }

    void askToEnd()
    {
        if (std::get<1>(GetParam()) == Asked::ExitZone)
            window().imgExit_Click();
        else
            ::kill(::getpid(), SIGTERM);
    }

    TerminationSignals termination_;
};

TEST_P(ExitDuringJob, EndsWithinAMomentLeavingNothingBehind)
{
    ASSERT_TRUE(termination_.isActive());
    addEntries(pictures(phase().pictures, phase().format));
    QElapsedTimer sinceAsked;
    QObject context;
    const auto askNow = [&] {
        if (sinceAsked.isValid())
            return;
        sinceAsked.start();
        askToEnd();
    };
    // A text is caught as the window shows it, and the exit comes with the next events the job
    // handles, as a click of the user would. A helper's pid file lasts while it runs, so looking
    // for it between events cannot miss it.
    QTimer watch;
    if (*phase().whenShown != '\0') {
        QObject::connect(&window(), &frmMain::progressTextShown, &context, [&](const QString &text) {
            if (text == QString::fromUtf8(phase().whenShown))
                QTimer::singleShot(0, &context, askNow);
        });
    } else {
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!helperStarted())
                return;
            watch.stop();
            askNow();
        });
        watch.start();
    }
    ModalAnswerer answerer;

    engine().Command3_Click();

    ASSERT_TRUE(sinceAsked.isValid()) << "the job ended before the moment came";
    // About a second is the aim; the margin is for a loaded machine.
    EXPECT_LT(sinceAsked.elapsed(), 3000);
    EXPECT_TRUE(exitRequested);
    EXPECT_TRUE(engine().isUnloaded());
    EXPECT_FALSE(QDir(fromFsPath(stagingFolder())).exists());
    for (const qint64 pid : helperProcesses())
        EXPECT_FALSE(processRuns(pid)) << pid;
    EXPECT_FALSE(QFile::exists(out_ + QStringLiteral("/NewPDF.pdf")));
    EXPECT_TRUE(QDir(out_).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(opened_.isEmpty());
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(u';').toStdString();
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<Phase, Asked>> &info)
{
    return std::string(std::get<0>(info.param).name) +
           (std::get<1>(info.param) == Asked::ExitZone ? "ByTheExitZone" : "ByATerminationSignal");
}

INSTANTIATE_TEST_SUITE_P(Phases, ExitDuringJob,
                         ::testing::Combine(::testing::ValuesIn(phases),
                                            ::testing::Values(Asked::ExitZone, Asked::TerminationSignal)),
                         caseName);

class ForeignConverter : public JobFixture {};

TEST_F(ForeignConverter, OneOfAnotherUserKeepsNoJobWaiting)
{
    if (!OtherUserProgram::possible())
        GTEST_SKIP() << "starting a process as another user takes root";
    addEntries(pictures(2, "JPG"));
    // Started once the job has ended the converters it could end.
    std::optional<OtherUserProgram> foreign;
    QObject context;
    QObject::connect(&window(), &frmMain::progressTextShown, &context, [&](const QString &text) {
        if (!foreign && text == QStringLiteral("Converting Files...0%"))
            foreign.emplace(QStringLiteral("pdf.exe"), 30);
    });
    ModalAnswerer answerer;

    engine().Command3_Click();

    ASSERT_TRUE(foreign && foreign->started());
    // The job delivered and ended while the other converter still runs: it did not wait for it.
    EXPECT_TRUE(foreign->running());
    EXPECT_TRUE(QFile::exists(out_ + QStringLiteral("/NewPDF.pdf")));
    EXPECT_FALSE(QDir(fromFsPath(stagingFolder())).exists());
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(u';').toStdString();
}

} // namespace
} // namespace pagemint::test
