// Recognising the text of staged pages with several recognisers at once (PageRecognition), fed by
// staging as each page is staged: every page's text beside it under its number, a crash, hang or
// failure costing only that page's text, and nothing left behind when the job stops. The
// recogniser is a stand-in (FakeRecognizer.cpp); the decoder too, where a picture's bytes matter.
#include "FakeRecognizerLog.h"
#include "StagingTestBase.h"
#include "TestPictures.h"

#include "common/ExitRequest.h"
#include "contract/ConverterContract.h"
#include "contract/PageText.h"
#include "contract/PictureLimits.h"
#include "contract/StagingFolder.h"
#include "conversion/DecoderServer.h"
#include "conversion/PageRecognition.h"
#include "conversion/PageStaging.h"
#include "conversion/RecognizerProcess.h"
#include "support/FileBytes.h"
#include "support/OtherUserProgram.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QTimer>

#include <map>
#include <optional>

namespace pagemint::test {
namespace {

using namespace std::chrono_literals;

// What staging and recognising a list left: each page's bytes and its text's word by list
// position, and the pages left without text with the reason.
struct Recognised {
    std::map<int, QByteArray> pages;
    std::map<int, QString> words;
    std::map<int, QString> textless;
};

class PageRecognitionTest : public StagingTest {
protected:
    void SetUp() override
    {
        StagingTest::SetUp();
        setDecoderPathForTesting(QStringLiteral(PAGEMINT_FAKE_DECODER_PATH));
        setRecognizerPathForTesting(QStringLiteral(PAGEMINT_FAKE_RECOGNIZER_PATH));
        log_ = env.root() + QStringLiteral("/recognizer.log");
        qputenv("PAGEMINT_FAKE_RECOGNIZER_LOG", QFile::encodeName(log_));
    }
    void TearDown() override
    {
        qunsetenv("PAGEMINT_FAKE_RECOGNIZER_LOG");
        setRecognizerPathForTesting({});
        setRecognizerTimeLimitForTesting(0ms);
        jobCancelRequested = false;
        exitRequested = false;
        DecoderServer::instance().end();
        StagingTest::TearDown();
    }

    // A picture the fake decoder copies as it is: `bytes` are then the staged page.
    QString fake(const QString &name, const QByteArray &bytes) { return env.writeFile("pictures/" + name, bytes); }

    // Stages and recognises `pictures` as a job does: each page's text awaited right after the
    // page (one PDF per picture), or once every page is staged (the merged document).
    Recognised run(const QStringList &pictures, int width, bool awaitEach)
    {
        Recognised result;
        PageRecognition recognition(choice_, width);
        PageStaging staging(pictures, width);
        staging.setOnStaged([&recognition](int index, const std::optional<PageReference> &reference) {
            recognition.staged(index, reference);
        });
        const auto await = [&](int index) {
            if (const std::optional<QString> failure = recognition.awaitText(index))
                result.textless[index] = *failure;
        };
        for (int i = 0; i < pictures.size(); ++i) {
            staging.next();
            if (awaitEach)
                await(i);
        }
        if (!awaitEach)
            for (int i = 0; i < pictures.size(); ++i)
                await(i);
        result.pages = stagedPageBytes();
        for (const auto &entry : std::filesystem::directory_iterator(stagingFolder())) {
            const std::string name = entry.path().filename().string();
            for (int i = 0; i < pictures.size(); ++i)
                if (name == stagedTextName(i)) {
                    std::string problem;
                    const QByteArray file = bytesOf(fromFsPath(entry.path()));
                    const std::optional<PageText> text =
                        parsePageText(std::string_view(file.constData(), std::size_t(file.size())), problem);
                    EXPECT_TRUE(text && text->lines.size() == 1) << name << ": " << problem;
                    if (text && !text->lines.empty())
                        result.words[i] = QString::fromStdString(text->lines[0].words.at(0).text);
                }
        }
        return result;
    }

    static QStringList stagingFolderFiles()
    {
        return QDir(fromFsPath(stagingFolder())).entryList(QDir::Files | QDir::Hidden);
    }

    TextChoice choice_{Recognition::ChineseAndEnglish, true};
    QString log_;
};

TEST_F(PageRecognitionTest, EveryPageGetsItsOwnTextUnderItsNumber)
{
    const QStringList pictures = {
        fake("0.png", "zero\n"),
        saveWithQt(halves(QImage::Format_RGB32, Qt::red, Qt::blue), picture("1.jpg"),
                   "JPEG"),        // passed through, not decoded
        fake("2.png", "refuse\n"), // left out by its decoder: no page, no text
        fake("3.png", "three\n"),
        fake("4.png", "slow four\n"),
        fake("5.png", "five\n"),
        saveWithQt(halves(QImage::Format_RGB32, Qt::green, Qt::blue), picture("6.jpg"), "JPEG"),
    };
    struct Case {
        int width;
        bool awaitEach;
    };
    for (const Case c : {Case{1, false}, Case{2, false}, Case{2, true}}) {
        SCOPED_TRACE(::testing::Message() << c.width << (c.awaitEach ? " awaiting each" : " awaiting all at the end"));
        std::filesystem::remove_all(stagingFolder());
        QFile::remove(log_);

        const Recognised recognised = run(pictures, c.width, c.awaitEach);

        EXPECT_TRUE(recognised.textless.empty()) << recognised.textless.begin()->second.toStdString();
        ASSERT_EQ(recognised.pages.size(), 6U);
        EXPECT_FALSE(recognised.pages.contains(2));
        std::map<int, QString> expectedWords;
        for (const auto &[index, bytes] : recognised.pages)
            expectedWords[index] = fakeTextWord(bytes);
        EXPECT_EQ(recognised.words, expectedWords);
        // Four decoded pages, the list of the two JPEGs' references and six texts only: no partial
        // text, no page ahead.
        EXPECT_EQ(stagingFolderFiles().size(), 11) << stagingFolderFiles().join(u' ').toStdString();

        const FakeRecognizerLog log = readFakeRecognizerLog(log_);
        EXPECT_EQ(log.started.size(), 6);
        EXPECT_LE(log.mostAtOnce, c.width);
        for (const FakeRecognizerRun &started : log.started) {
            EXPECT_EQ(started.threads, QStringLiteral("1"));
            EXPECT_EQ(started.addressSpaceCap, kRecognizerAddressSpaceLimit);
            ASSERT_GE(started.arguments.size(), 2);
            EXPECT_EQ(started.arguments.mid(0, 2),
                      (QStringList{QStringLiteral("--languages=chi_sim+eng"), QStringLiteral("--upright")}));
            for (const QString &argument : started.arguments.mid(2))
                EXPECT_TRUE(argument.startsWith(QStringLiteral("--models=/"))) << argument.toStdString();
        }
    }
}

TEST_F(PageRecognitionTest, ACrashHangOrFailureCostsOnlyThatPagesText)
{
    setRecognizerTimeLimitForTesting(1000ms);
    const QStringList pictures = {fake("0.png", "zero\n"), fake("1.png", "one fake-recognizer:crash\n"),
                                  fake("2.png", "two fake-recognizer:hang\n"),
                                  fake("3.png", "three fake-recognizer:fail\n"), fake("4.png", "four\n")};
    const std::map<int, QString> expectedTextless = {
        {1, QStringLiteral("未能识别文字（识别程序崩溃）")},
        {2, QStringLiteral("未能识别文字（识别超时）")},
        {3, QStringLiteral("未能识别文字（no text: refused by the fake）")}};

    for (const bool awaitEach : {false, true}) {
        SCOPED_TRACE(awaitEach);
        std::filesystem::remove_all(stagingFolder());
        const Recognised recognised = run(pictures, 2, awaitEach);

        EXPECT_EQ(recognised.textless, expectedTextless);
        EXPECT_EQ(recognised.pages.size(), 5U) << "every page is still staged";
        const std::map<int, QString> expectedWords = {{0, fakeTextWord(QByteArray("zero\n"))},
                                                      {4, fakeTextWord(QByteArray("four\n"))}};
        EXPECT_EQ(recognised.words, expectedWords);
        EXPECT_EQ(stagingFolderFiles().size(), 7) << stagingFolderFiles().join(u' ').toStdString();
    }
}

TEST_F(PageRecognitionTest, AMissingRecognizerCostsTheTextsOnly)
{
    setRecognizerPathForTesting(env.root() + QStringLiteral("/no-such-recognizer"));
    const Recognised recognised = run({fake("0.png", "zero\n"), fake("1.png", "one\n")}, 2, false);
    const std::map<int, QString> expectedTextless = {{0, QStringLiteral("未能识别文字（无法启动识别程序）")},
                                                     {1, QStringLiteral("未能识别文字（无法启动识别程序）")}};
    EXPECT_EQ(recognised.textless, expectedTextless);
    EXPECT_EQ(recognised.pages.size(), 2U);
    EXPECT_EQ(stagingFolderFiles().size(), 2);
}

// Cancelled or ended while recognisers run: each is ended at once, and no text, whole or partial,
// is left. The moment comes when two recognisers have said they started.
TEST_F(PageRecognitionTest, StoppingEndsEveryRecognizerAndLeavesNoText)
{
    for (bool *stop : {&jobCancelRequested, &exitRequested}) {
        SCOPED_TRACE(stop == &exitRequested ? "exit" : "cancel");
        std::filesystem::remove_all(stagingFolder());
        env.writeFile(QStringLiteral("recognizer.log"));
        QFileSystemWatcher watcher({log_});
        QObject::connect(&watcher, &QFileSystemWatcher::fileChanged, [this, stop] {
            if (readFakeRecognizerLog(log_).started.size() >= 2)
                *stop = true;
        });
        // Every page hangs, so none has a whole text when the stop comes.
        const QStringList pictures = {fake("0.png", "fake-recognizer:hang 0\n"),
                                      fake("1.png", "fake-recognizer:hang 1\n"),
                                      fake("2.png", "fake-recognizer:hang 2\n")};
        {
            PageRecognition recognition(choice_, 2);
            // One decoder: pages are staged in list order, so page 0 is handed out (and its
            // recogniser started) before a second recogniser can start and bring the stop.
            PageStaging staging(pictures, 1);
            staging.setOnStaged([&recognition](int index, const std::optional<PageReference> &reference) {
                recognition.staged(index, reference);
            });
            ASSERT_TRUE(staging.next().staged);
            EXPECT_EQ(recognition.awaitText(0), QStringLiteral("已取消"));
            // Ended before awaitText returned, not by the end of the objects.
            for (const FakeRecognizerRun &started : readFakeRecognizerLog(log_).started)
                EXPECT_FALSE(processRuns(started.pid)) << started.pid;
        }
        const QStringList left = stagingFolderFiles().filter(QStringLiteral(".txt"));
        EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
        jobCancelRequested = false;
        exitRequested = false;
        DecoderServer::instance().end();
    }
}

} // namespace
} // namespace pagemint::test
