// Staging a list with several decoders at once (PageStaging) against one picture at a time
// (StagePage): same pages, same numbers, same reasons, and a crash, hang or hostile picture costs
// only itself. The helpers' own endings come from a stand-in decoder served by the real fork
// server (FakeDecoder.cpp).
#include "DecoderPictures.h"
#include "StagingTestBase.h"
#include "TestPictures.h"

#include "common/ExitRequest.h"
#include "contract/ConverterContract.h"
#include "contract/StagingFolder.h"
#include "conversion/DecoderServer.h"
#include "conversion/PageStaging.h"
#include "conversion/StagePage.h"
#include "support/FileBytes.h"
#include "support/Wait.h"

#include <QFile>
#include <QTimer>

#include <signal.h>

#include <fstream>
#include <map>
#include <set>

namespace pagemint::test {
namespace {

using namespace std::chrono_literals;

// What staging a list left behind: each page's bytes by list position, and each picture left
// out with its reason.
struct Staged {
    std::map<int, QByteArray> pages;
    std::map<int, QString> leftOut;
    bool operator==(const Staged &) const = default;
};

void clearStagingFolder()
{
    std::filesystem::remove_all(stagingFolder());
}

// Alive: not gone and not a zombie (a zombie has ended; only its parent has yet to reap it).
bool processAlive(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

class PageStagingTest : public StagingTest {
protected:
    void TearDown() override
    {
        exitRequested = false;
        DecoderServer::instance().end();
        setDecoderLaunchForTesting(DecoderLaunch::Server);
        StagingTest::TearDown();
    }

    // A picture for the stand-in decoder: its first word says what the decode does.
    QString fake(const QString &name, const QByteArray &word) { return env.writeFile("pictures/" + name, word + "\n"); }

    Staged stageOneAtATime(const QStringList &pictures)
    {
        Staged staged;
        for (int i = 0; i < pictures.size(); ++i)
            if (const StageResult result = StagePage(i, pictures[i]); !result.staged)
                staged.leftOut[i] = result.reason;
        staged.pages = stagedPageBytes();
        return staged;
    }

    // Also checks, after each outcome, that no page of a later picture is visible yet.
    Staged stageInParallel(const QStringList &pictures, int width)
    {
        Staged staged;
        PageStaging staging(pictures, width);
        for (int i = 0; i < pictures.size(); ++i) {
            if (const StageResult result = staging.next(); !result.staged)
                staged.leftOut[i] = result.reason;
            const std::map<int, QByteArray> visible = stagedPageBytes();
            EXPECT_TRUE(visible.empty() || visible.rbegin()->first <= i) << "a page ahead of picture " << i;
        }
        staged.pages = stagedPageBytes();
        return staged;
    }
};

TEST_F(PageStagingTest, ParallelStagingGivesTheSamePagesAndReasonsAsOneAtATime)
{
    const QImage picture = halves(QImage::Format_RGB32, Qt::red, Qt::blue);
    const QStringList pictures = {
        saveWithQt(picture, this->picture("photo.jpg"), "JPEG"), // passes through
        saveWithQt(picture, this->picture("a.png"), "PNG"),
        saveWithQt(halves(QImage::Format_RGB32, Qt::green, Qt::yellow, 640, 480), this->picture("b.png"), "PNG"),
        writeBmpWithHeader(this->picture("v5.bmp"), 124, 24, Qt::red, Qt::blue), // the second reader
        writeOneBitBmp(this->picture("one-bit.bmp")),
        cutShort(saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue, 256, 256), this->picture("w.jpg"), "JPEG"),
                 this->picture("truncated.jpg"), 0.6),
        env.writeFile("pictures/notes.txt", "not a picture"),
        fixture("png-header-claims-50000x50000.png"),
        this->picture("missing.png"),
        writeGifWithTransparentIndex(this->picture("t.gif")),
        saveWithQt(picture, this->picture("c.png"), "PNG"),
    };
    for (const QString &path : pictures)
        ASSERT_FALSE(path.isEmpty());

    // Today's way: one helper program per picture, one picture at a time.
    setDecoderLaunchForTesting(DecoderLaunch::ProgramPerPicture);
    const Staged oneAtATime = stageOneAtATime(pictures);
    ASSERT_EQ(oneAtATime.leftOut.size(), 4U); // truncated, text, too large, missing
    ASSERT_EQ(oneAtATime.pages.size(), pictures.size() - 4);

    setDecoderLaunchForTesting(DecoderLaunch::Server);
    for (const int width : {1, 3}) {
        SCOPED_TRACE(width);
        clearStagingFolder();
        EXPECT_EQ(stageInParallel(pictures, width), oneAtATime);
        EXPECT_EQ(QDir(fromFsPath(stagingFolder())).entryList(QDir::Files | QDir::Hidden).size(),
                  static_cast<qsizetype>(oneAtATime.pages.size()))
            << "temporary or ahead files left behind";
    }
}

TEST_F(PageStagingTest, ACrashOrAHangCostsOnlyItsOwnPicture)
{
    setDecoderPathForTesting(QStringLiteral(PAGEMINT_FAKE_DECODER_PATH));
    setDecoderTimeLimitForTesting(1000ms);
    const QStringList pictures = {fake("0.png", "first"),  fake("1.png", "hang"),  fake("2.png", "crash"),
                                  fake("3.png", "refuse"), fake("4.png", "fifth"), fake("5.png", "sixth")};
    const std::map<int, QString> expectedLeftOut = {
        {1, "解码超时"}, {2, "解码程序崩溃"}, {3, "damaged picture: refused by the fake"}};

    const Staged staged = stageInParallel(pictures, 2);

    EXPECT_EQ(staged.leftOut, expectedLeftOut);
    const std::map<int, QByteArray> expectedPages = {{0, "first\n"}, {4, "fifth\n"}, {5, "sixth\n"}};
    EXPECT_EQ(staged.pages, expectedPages);
}

// Each picture gets a fresh process: what a hostile picture does to its process (here: state
// left in memory, as a corrupting loader would) never reaches the next picture's page.
TEST_F(PageStagingTest, EachPictureIsDecodedInAFreshProcess)
{
    setDecoderPathForTesting(QStringLiteral(PAGEMINT_FAKE_DECODER_PATH));
    QStringList pictures;
    for (int i = 0; i < 6; ++i)
        pictures << fake(QStringLiteral("%1.png").arg(i), i % 2 == 0 ? "taint" : "state");

    const Staged staged = stageInParallel(pictures, 2);

    ASSERT_TRUE(staged.leftOut.empty());
    std::set<QByteArray> pids;
    for (int i = 1; i < 6; i += 2) {
        const QList<QByteArray> words = staged.pages.at(i).split(' ');
        ASSERT_EQ(words.size(), 4) << staged.pages.at(i).toStdString();
        EXPECT_EQ(words[2], "clean") << "picture " << i;
        EXPECT_EQ(words[3], "served") << "picture " << i;
        pids.insert(words[1]);
    }
    EXPECT_EQ(pids.size(), 3U);
}

TEST_F(PageStagingTest, APictureOutlivesTheDeathOfTheServer)
{
    setDecoderPathForTesting(QStringLiteral(PAGEMINT_FAKE_DECODER_PATH));
    const QStringList pictures = {fake("0.png", "slow one"), fake("1.png", "slow two")};
    PageStaging staging(pictures, 2);
    const pid_t server = DecoderServer::instance().serverPid();
    ASSERT_GT(server, 0);
    ASSERT_EQ(::kill(server, SIGKILL), 0);

    EXPECT_TRUE(staging.next().staged);
    EXPECT_TRUE(staging.next().staged);

    const std::map<int, QByteArray> expectedPages = {{0, "slow one\n"}, {1, "slow two\n"}};
    EXPECT_EQ(stagedPageBytes(), expectedPages);
}

// A helper that does not speak the server's protocol (here: an older helper that refuses the
// argument) cannot serve; every picture then goes to a helper program of its own.
TEST_F(PageStagingTest, WithoutAServerEachPictureGetsAHelperProgram)
{
    const QString plain = env.writeFile("plain-decoder", "#!/bin/sh\n[ $# -eq 0 ] || exit 1\nexec cat\n");
    QFile::setPermissions(plain, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setDecoderPathForTesting(plain);
    const QStringList pictures = {fake("0.png", "zero"), fake("1.png", "one"), fake("2.png", "two")};

    const Staged staged = stageInParallel(pictures, 2);

    EXPECT_TRUE(staged.leftOut.empty());
    const std::map<int, QByteArray> expectedPages = {{0, "zero\n"}, {1, "one\n"}, {2, "two\n"}};
    EXPECT_EQ(staged.pages, expectedPages);
    EXPECT_EQ(DecoderServer::instance().serverPid(), 0);
}

TEST_F(PageStagingTest, ExitEndsEveryHelperAndTheServerAtOnce)
{
    setDecoderPathForTesting(QStringLiteral(PAGEMINT_FAKE_DECODER_PATH));
    const QStringList pictures = {fake("0.png", "hang"), fake("1.png", "hang"), fake("2.png", "hang")};
    PageStaging staging(pictures, 2);
    const pid_t server = DecoderServer::instance().serverPid();
    ASSERT_GT(server, 0);
    // Each hanging child writes its pid to its page before it hangs.
    std::vector<pid_t> children;
    ASSERT_TRUE(waitFor([&] {
        children.clear();
        for (const int index : {0, 1}) {
            std::filesystem::path part = PageStaging::aheadPath(index);
            part += kPartialPageSuffix;
            if (const QByteArray pid = bytesOf(fromFsPath(part)); !pid.isEmpty())
                children.push_back(pid.toInt());
        }
        return children.size() == 2;
    }));
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] {
        if (++ticks == 10)
            exitRequested = true;
    });
    timer.start(20);

    const StageResult result = staging.next();

    EXPECT_FALSE(result.staged);
    EXPECT_EQ(result.reason, QStringLiteral("已取消"));
    EXPECT_GE(ticks, 10) << "events were not handled while waiting";
    EXPECT_FALSE(processAlive(server));
    // SIGKILL from the program, and again through the server's death: allow them a moment.
    for (const pid_t child : children)
        EXPECT_TRUE(waitFor([child] { return !processAlive(child); }, 2000)) << "child " << child;
    EXPECT_TRUE(stagedPageBytes().empty());
}

} // namespace
} // namespace pagemint::test
