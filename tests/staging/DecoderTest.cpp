// pagemint-decoder on its own: its exit codes, and the committed hostile files run under the same
// limits StagePage uses.
#include "StagingTestBase.h"
#include "TestPictures.h"

#include "contract/DecodeOutcome.h"
#include "contract/Reasons.h"
#include "contract/SystemReason.h"
#include "conversion/DecoderProcess.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace pagemint::test {
namespace {

using namespace std::chrono_literals;
using decoder::ExitCode;

struct Finished {
    int exitCode = -1;
    QByteArray stderrText;
};

// The helper as the program runs it: the picture on its input, the page on its output.
Finished runDirectly(const QString &picture, const QString &page, const QStringList &arguments = {})
{
    QProcess process;
    process.setStandardInputFile(picture);
    process.setStandardOutputFile(page);
    process.start(QStringLiteral(PAGEMINT_DECODER_PATH), arguments);
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardError()};
}

// A stand-in helper: a shell script, for endings no real picture should be able to cause.
QString fakeHelper(TestEnvironment &env, const QString &name, const QByteArray &script)
{
    QString path = env.writeFile(name, "#!/bin/sh\n" + script + "\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

class DecoderTest : public StagingTest {
protected:
    QString target() const { return env.root() + QStringLiteral("/page.jpg"); }
};

TEST_F(DecoderTest, WritesThePageAndSaysNothing)
{
    const QString source = saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture("a.png"), "PNG");

    const Finished run = runDirectly(source, target());

    EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::Written));
    EXPECT_TRUE(run.stderrText.isEmpty()) << run.stderrText.toStdString();
    EXPECT_FALSE(QImage(target(), "JPEG").isNull());
}

TEST_F(DecoderTest, RefusesWithOneLineAndItsExitCode)
{
    const QString empty = env.writeFile("pictures/empty.bmp");
    const QString text = env.writeFile("pictures/notes.txt", "just words\n");
    const QString good = saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture("b.png"), "PNG");
    // A page larger than the output buffers: the disk fills while its rows are written (on the
    // writer's thread), not only at the last flush.
    const QString large =
        saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue, 2000, 1500), picture("large.png"), "PNG");
    const std::string diskFull = systemReason(ENOSPC);
    const struct {
        QString picture;
        QString page;
        QStringList arguments;
        ExitCode code;
        std::string_view reason;
    } cases[] = {
        {good, target(), {good}, ExitCode::Usage, "usage"},
        {empty, target(), {}, ExitCode::Unreadable, reason::kEmptyFile},
        {text, target(), {}, ExitCode::UnknownFormat, reason::kNotSupported},
        {fixture("png-header-claims-50000x50000.png"), target(), {}, ExitCode::TooLarge, "50000 x 50000"},
        {good, QStringLiteral("/dev/full"), {}, ExitCode::WriteFailed, diskFull},
        {large, QStringLiteral("/dev/full"), {}, ExitCode::WriteFailed, diskFull},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reason);
        const Finished run = runDirectly(c.picture, c.page, c.arguments);

        EXPECT_EQ(run.exitCode, static_cast<int>(c.code));
        EXPECT_EQ(run.stderrText.count('\n'), 1) << run.stderrText.toStdString();
        EXPECT_TRUE(run.stderrText.contains(QByteArray(c.reason.data(), static_cast<qsizetype>(c.reason.size()))))
            << run.stderrText.toStdString();
    }
}

struct HostileFile {
    const char *fixture;
    DecoderEnding ending;
    int exitCode; // when refused
};

// One file per fault class seen when fuzzing FreeImage 3.18; every one must end as a refusal, and
// the formats the program does not offer must not reach a loader at all.
const HostileFile hostileFiles[] = {
    // Heap-overflow write in the icon loader: an icon is not a picture the program takes.
    {"ico-negative-height-overflows-heap.ico", DecoderEnding::Refused, int(ExitCode::UnknownFormat)},
    // The IFF chunk loop never ends: refused by its bytes before the loop can start.
    {"iff-chunk-size-never-reaches-zero.iff", DecoderEnding::Refused, int(ExitCode::UnknownFormat)},
    // 70 bytes asking for 7.5 GB: refused from the header before any pixel memory.
    {"bmp-header-claims-50000x50000.bmp", DecoderEnding::Refused, int(ExitCode::TooLarge)},
    {"png-header-claims-50000x50000.png", DecoderEnding::Refused, int(ExitCode::TooLarge)},
    // GIF has no header-only load: the size of its first image is read from its blocks.
    {"gif-screen-claims-65535x65535.gif", DecoderEnding::Refused, int(ExitCode::TooLarge)},
    // An EXIF directory of 65535 entries sends the JPEG loader's EXIF reader off the end.
    {"jpeg-exif-count-65535-crashes-loader.jpg", DecoderEnding::Crashed, -1},
};

TEST_F(DecoderTest, HostileFilesEndAsRefusalsWithinTheLimits)
{
    for (const HostileFile &c : hostileFiles) {
        SCOPED_TRACE(c.fixture);
        const DecoderRun run = runDecoder(fixture(QString::fromLatin1(c.fixture)), target());

        EXPECT_EQ(run.ending, c.ending) << run.reason.toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_FALSE(run.reason.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(target()));
        EXPECT_FALSE(QFileInfo::exists(target() + ".part"));
    }
}

TEST_F(DecoderTest, AHelperThatHangsOrDiesIsEndedAndReported)
{
    const QString good = saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture("c.png"), "PNG");
    const struct {
        const char *script;
        DecoderEnding ending;
    } cases[] = {
        {"exec sleep 30", DecoderEnding::TimedOut},
        {"kill -SEGV $$", DecoderEnding::Crashed},
        // Says it wrote the page but was cut off: the half page must not be taken.
        {"head -c 10 >/dev/stdout; kill -KILL $$", DecoderEnding::Crashed},
    };
    setDecoderTimeLimitForTesting(1000ms);
    // A script cannot serve: this is the path of a helper program per picture (the server's own
    // children are tested in PageStagingTest).
    setDecoderLaunchForTesting(DecoderLaunch::ProgramPerPicture);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.script);
        setDecoderPathForTesting(fakeHelper(env, QStringLiteral("fake-decoder"), c.script));

        const DecoderRun run = runDecoder(good, target());

        EXPECT_EQ(run.ending, c.ending);
        EXPECT_FALSE(QFileInfo::exists(target()));
        EXPECT_FALSE(QFileInfo::exists(target() + ".part"));
    }
}

TEST_F(DecoderTest, FilesThatCannotBeOpenedAreNamedByTheSystemsReason)
{
    const struct {
        QString source;
        QString target;
        const char *reason;
    } cases[] = {
        {picture("missing.png"), target(), "文件不存在"},
        {fixture("png-header-claims-50000x50000.png"), env.root() + QStringLiteral("/no-such-folder/page.jpg"),
         "文件不存在"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reason);
        const DecoderRun run = runDecoder(c.source, c.target);

        EXPECT_EQ(run.ending, DecoderEnding::Refused);
        EXPECT_EQ(run.reason, QString::fromUtf8(c.reason));
    }
}

TEST_F(DecoderTest, AMissingHelperIsReportedNotFatal)
{
    setDecoderPathForTesting(env.root() + QStringLiteral("/no-decoder-here"));

    const DecoderRun run = runDecoder(fixture("png-header-claims-50000x50000.png"), target());

    EXPECT_EQ(run.ending, DecoderEnding::NotStarted);
    EXPECT_FALSE(run.reason.isEmpty());
}

} // namespace
} // namespace pagemint::test
