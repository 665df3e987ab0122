// A job with text recognition chosen in the settings window, run with a stand-in recogniser
// (tests/staging/FakeRecognizer.cpp) and the built pdf.exe: every page's text is whole before the
// converter takes the page, a recogniser that crashes or hangs costs only its page's text (named in
// the end message, the page still in the PDF), a cancel while the job waits on recognition leaves
// nothing behind, and with recognition off no recogniser starts.
#include "JobFixture.h"
#include "ModalAnswerer.h"
#include "OtherUserProgram.h"

#include "app/ConversionMode.h"
#include "common/ExitRequest.h"
#include "contract/ConverterContract.h"
#include "contract/PageReference.h"
#include "contract/PageText.h"
#include "contract/StagingFolder.h"
#include "conversion/RecognizerProcess.h"
#include "process/DOSOutputs.h"
#include "staging/FakeRecognizerLog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImageWriter>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <filesystem>

namespace pagemint::test {
namespace {

using namespace std::chrono_literals;

int pageCount(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    process.waitForFinished(30000);
    for (const QString &line : QString::fromUtf8(process.readAllStandardOutput()).split(u'\n'))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// The staged pages that have no text file beside them, and any partial text of a staged page, as
// the converter would find the staging folder now. Pages still ahead of their turn may be in
// recognition meanwhile: the converter does not see them.
QStringList pagesWithoutText()
{
    QStringList missing;
    std::error_code error;
    std::string problem;
    for (const StagedPage &page : stagedPagesWithReferences(stagingFolder(), error, problem)) {
        const auto index = stagedPageIndex(page.path.filename().string());
        if (!index)
            continue;
        std::filesystem::path text = stagingFolder() / stagedTextName(*index);
        if (!std::filesystem::exists(text))
            missing << QString::fromStdString(page.path.filename().string());
        text += kPartialPageSuffix;
        if (std::filesystem::exists(text))
            missing << QString::fromStdString(text.filename().string());
    }
    missing.sort();
    return missing;
}

class RecognitionJob : public JobFixture {
protected:
    void SetUp() override
    {
        JobFixture::SetUp();
        setRecognizerPathForTesting(QStringLiteral(PAGEMINT_FAKE_RECOGNIZER_PATH));
        log_ = env_.root() + QStringLiteral("/recognizer.log");
        qputenv("PAGEMINT_FAKE_RECOGNIZER_LOG", QFile::encodeName(log_));
    }
    void TearDown() override
    {
        qunsetenv("PAGEMINT_FAKE_RECOGNIZER_LOG");
        setRecognizerPathForTesting({});
        setRecognizerTimeLimitForTesting(0ms);
        JobFixture::TearDown();
    }

    // JPEG pictures (written into the PDF as they are) whose comment tells the fake recogniser what
    // to do with their page ("" for a text).
    QStringList jpegs(const QStringList &doings)
    {
        QDir().mkpath(env_.root() + QStringLiteral("/pics"));
        QStringList paths;
        for (int i = 0; i < doings.size(); ++i) {
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(QColor(40 * i, 90, 160));
            paths << env_.root() + QStringLiteral("/pics/scan%1.jpg").arg(i);
            QImageWriter writer(paths.constLast(), "JPEG");
            writer.setText(QStringLiteral("Comment"), doings[i].isEmpty() ? QStringLiteral("plain") : doings[i]);
            EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
        }
        return paths;
    }

    // Chooses in the settings window and saves, as a user would.
    void choose(int mode, int recognition, bool upright)
    {
        engine().show();
        cmbMode()->setCurrentIndex(mode);
        control<QComboBox>(engine(), "cmbText")->setCurrentIndex(recognition);
        control<QCheckBox>(engine(), "chkUpright")->setChecked(upright);
        cmdSave()->click();
    }

    // Notes, at the first words of each converter run, what the staging folder lacks.
    void watchConverterRuns()
    {
        for (DOSOutputs *runner : {&engine().objDOS(), &engine().objShell()})
            QObject::connect(runner, &DOSOutputs::ReceiveOutputs, &context_, [this] {
                if (!converterSpoke_)
                    atConverter_ << pagesWithoutText().join(u' ');
                converterSpoke_ = true;
            });
        QObject::connect(&engine().objDOS(), &DOSOutputs::CommandOver, &context_, [this] { converterSpoke_ = false; });
        QObject::connect(&engine().objShell(), &DOSOutputs::CommandOver, &context_,
                         [this] { converterSpoke_ = false; });
    }

    QString log_;
    QObject context_;
    QStringList atConverter_; // one entry per converter run
    bool converterSpoke_ = false;
};

TEST_F(RecognitionJob, TextsAreWholeBeforeTheConverterAndAFailureCostsOnlyItsText)
{
    for (const int mode : {0, 1}) {
        SCOPED_TRACE(mode == 0 ? "merged" : "one PDF per picture");
        QDir(out_).removeRecursively();
        QFile::remove(log_);
        atConverter_.clear();
        setRecognizerTimeLimitForTesting(1000ms);
        const QStringList list = jpegs(
            {QString(), QStringLiteral("fake-recognizer:crash"), QString(), QStringLiteral("fake-recognizer:hang")});
        window().clearListCommand();
        addEntries(list);
        choose(mode, 1, false);
        watchConverterRuns();
        QStringList shown;
        QObject::connect(&window(), &frmMain::progressTextShown, &context_,
                         [&shown](const QString &text) { shown << text; });
        MessageRecord said;
        ModalAnswerer answerer(60000);
        answerer.thenMessage(QMessageBox::Ok, &said);

        engine().Command3_Click();
        QObject::disconnect(&window(), nullptr, &context_, nullptr);
        QObject::disconnect(&engine().objDOS(), nullptr, &context_, nullptr);
        QObject::disconnect(&engine().objShell(), nullptr, &context_, nullptr);

        // What the converter found: every page with its text but the two whose recogniser failed.
        if (mode == 0) {
            EXPECT_EQ(atConverter_, QStringList{QStringLiteral("00001.jpg 00003.jpg")});
            EXPECT_EQ(pageCount(out_ + QStringLiteral("/NewPDF.pdf")), 4);
        } else {
            EXPECT_EQ(atConverter_,
                      (QStringList{QString(), QStringLiteral("00001.jpg"), QString(), QStringLiteral("00003.jpg")}));
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(pageCount(out_ + QStringLiteral("/scan%1.pdf").arg(i)), 1) << i;
        }
        // The job waited on the hanging page's recognition and said so.
        EXPECT_TRUE(shown.contains(QStringLiteral("识别文字... 4/4"))) << shown.join(u';').toStdString();
        EXPECT_EQ(readFakeRecognizerLog(log_).started.size(), 4);
        // Named in their own group; no picture was left out.
        EXPECT_EQ(said.text, QStringLiteral("以下图片已转换，但未能识别其中的文字：\n") + list[1] +
                                 QStringLiteral("：未能识别文字（识别程序崩溃）\n") + list[3] +
                                 QStringLiteral("：未能识别文字（识别超时）"));
        EXPECT_EQ(said.icon, QMessageBox::Information);
        EXPECT_FALSE(QDir(fromFsPath(stagingFolder())).exists());
        EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(u';').toStdString();
    }
}

TEST_F(RecognitionJob, OffStartsNoRecognizerAndStagesNoText)
{
    for (const int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        QDir(out_).removeRecursively();
        atConverter_.clear();
        const QStringList list = jpegs({QString(), QString()});
        window().clearListCommand();
        addEntries(list);
        choose(mode, 0, false);
        watchConverterRuns();
        bool textStaged = false;
        for (DOSOutputs *runner : {&engine().objDOS(), &engine().objShell()})
            QObject::connect(runner, &DOSOutputs::ReceiveOutputs, &context_, [&textStaged] {
                for (const auto &entry : std::filesystem::directory_iterator(stagingFolder()))
                    textStaged =
                        textStaged || entry.path().extension() == ".txt" || entry.path().extension() == ".part";
            });
        ModalAnswerer answerer(60000);

        engine().Command3_Click();
        QObject::disconnect(&engine().objDOS(), nullptr, &context_, nullptr);
        QObject::disconnect(&engine().objShell(), nullptr, &context_, nullptr);

        EXPECT_EQ(atConverter_.size(), mode == 0 ? 1 : 2) << "the converter ran";
        EXPECT_FALSE(textStaged);
        EXPECT_FALSE(QFile::exists(log_)) << "a recogniser ran";
        EXPECT_EQ(pageCount(mode == 0 ? out_ + QStringLiteral("/NewPDF.pdf") : out_ + QStringLiteral("/scan1.pdf")),
                  mode == 0 ? 2 : 1);
        EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(u';').toStdString();
    }
}

// 取消转换 while the job waits on a page's text: the recognisers end at once, no PDF, no text.
TEST_F(RecognitionJob, ACancelDuringRecognitionLeavesNothing)
{
    const QStringList list = jpegs({QStringLiteral("fake-recognizer:hang"), QStringLiteral("fake-recognizer:hang")});
    addEntries(list);
    choose(0, 2, true);
    bool asked = false;
    QObject::connect(&window(), &frmMain::progressTextShown, &context_, [&](const QString &text) {
        if (!asked && text.startsWith(QStringLiteral("识别文字..."))) {
            asked = true;
            QTimer::singleShot(0, &context_,
                               [this] { control<QAction>(engine(), QStringLiteral("menuCancel"))->trigger(); });
        }
    });
    MessageRecord said;
    ModalAnswerer answerer(60000);
    answerer.thenMessage(QMessageBox::Ok, &said);

    engine().Command3_Click();

    ASSERT_TRUE(asked);
    EXPECT_TRUE(said.text.contains(QStringLiteral("已取消"))) << said.text.toStdString();
    EXPECT_TRUE(QDir(out_).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_FALSE(QDir(fromFsPath(stagingFolder())).exists());
    EXPECT_TRUE(stagingFoldersSetAside().empty());
    const FakeRecognizerLog log = readFakeRecognizerLog(log_);
    for (const FakeRecognizerRun &run : log.started) {
        EXPECT_FALSE(processRuns(run.pid)) << run.pid;
        EXPECT_EQ(run.arguments.mid(0, 2),
                  (QStringList{QStringLiteral("--languages=eng"), QStringLiteral("--upright")}));
    }
    EXPECT_EQ(entries(), list);
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(u';').toStdString();
}

} // namespace
} // namespace pagemint::test
