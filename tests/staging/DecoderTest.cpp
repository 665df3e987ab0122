// pagemint-decoder on its own: its exit codes, and the committed hostile files run under the same
// limits StagePage uses.
#include "StagingTestBase.h"
#include "TestPictures.h"

#include "conversion/DecoderProcess.h"
#include "conversion/decoder/DecodeOutcome.h"

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

Finished runDirectly(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(PAGEMINT_DECODER_PATH), arguments);
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardError()};
}

class DecoderTest : public StagingTest {
protected:
    QString target() const { return env.root() + QStringLiteral("/page.jpg"); }
};

TEST_F(DecoderTest, WritesThePageAndSaysNothing)
{
    const QString source = saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture("a.png"), "PNG");

    const Finished run = runDirectly({source, target()});

    EXPECT_EQ(run.exitCode, static_cast<int>(ExitCode::Written));
    EXPECT_TRUE(run.stderrText.isEmpty()) << run.stderrText.toStdString();
    EXPECT_FALSE(QImage(target(), "JPEG").isNull());
    EXPECT_FALSE(QFileInfo::exists(target() + ".part"));
}

TEST_F(DecoderTest, RefusesWithOneLineAndItsExitCode)
{
    const QString empty = env.writeFile("pictures/empty.bmp");
    const QString text = env.writeFile("pictures/notes.txt", "just words\n");
    const QString good = saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture("b.png"), "PNG");
    const struct {
        QStringList arguments;
        ExitCode code;
    } cases[] = {
        {{good}, ExitCode::Usage},
        {{picture("missing.png"), target()}, ExitCode::Unreadable},
        {{empty, target()}, ExitCode::Unreadable},
        {{text, target()}, ExitCode::UnknownFormat},
        {{fixture("png-header-claims-50000x50000.png"), target()}, ExitCode::TooLarge},
        {{good, env.root() + QStringLiteral("/no-such-folder/page.jpg")}, ExitCode::WriteFailed},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Finished run = runDirectly(c.arguments);

        EXPECT_EQ(run.exitCode, static_cast<int>(c.code));
        EXPECT_EQ(run.stderrText.count('\n'), 1) << run.stderrText.toStdString();
        EXPECT_FALSE(QFileInfo::exists(target()));
    }
}

struct HostileFile {
    const char *fixture;
    DecoderEnding ending;
    ExitCode code; // when refused
};

// One file per fault class seen when fuzzing FreeImage 3.18; every one must end as a refusal.
const HostileFile hostileFiles[] = {
    // Heap-overflow write in the icon loader (negative height); glibc aborts on the damaged heap.
    {"ico-negative-height-overflows-heap.ico", DecoderEnding::Crashed, ExitCode::Written},
    // The IFF chunk loop never ends; only the wall-clock limit stops it.
    {"iff-chunk-size-never-reaches-zero.iff", DecoderEnding::TimedOut, ExitCode::Written},
    // 70 bytes asking for 7.5 GB: refused from the header before any pixel memory.
    {"bmp-header-claims-50000x50000.bmp", DecoderEnding::Refused, ExitCode::TooLarge},
    {"png-header-claims-50000x50000.png", DecoderEnding::Refused, ExitCode::TooLarge},
    // GIF has no header-only load: the 4 GB allocation fails under the address-space cap.
    {"gif-screen-claims-65535x65535.gif", DecoderEnding::Refused, ExitCode::Damaged},
};

TEST_F(DecoderTest, HostileFilesEndAsRefusalsWithinTheLimits)
{
    setDecoderTimeLimitForTesting(1500ms);
    for (const HostileFile &c : hostileFiles) {
        SCOPED_TRACE(c.fixture);
        const DecoderRun run = runDecoder(fixture(QString::fromLatin1(c.fixture)), target());

        EXPECT_EQ(run.ending, c.ending) << run.reason.toStdString();
        if (c.ending == DecoderEnding::Refused) {
            EXPECT_EQ(run.exitCode, static_cast<int>(c.code));
        }
        EXPECT_FALSE(run.reason.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(target()));
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
