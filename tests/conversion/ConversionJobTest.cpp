#include "EngineFixture.h"
#include "ModalAnswerer.h"

#include "app/ProgramState.h"
#include "conversion/StagingFolder.h"
#include "process/DOSOutputs.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

namespace pagemint::test {
namespace {

// Runs a tool and gives its standard output.
QString run(const QString &program, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    if (exitCode != nullptr)
        *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pageCount(const QString &pdf)
{
    for (const QString &line : run(QStringLiteral("pdfinfo"), {pdf}).split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// Records each new text a label shows while a job handles events.
class TextRecorder {
public:
    explicit TextRecorder(QLabel *label) : label_(label)
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this, label] {
            if (texts_.isEmpty() || texts_.constLast() != label->text())
                texts_ << label->text();
        });
        timer_.start();
    }
    // Everything seen, and what the label shows now.
    QStringList texts() const
    {
        QStringList all = texts_;
        if (all.isEmpty() || all.constLast() != label_->text())
            all << label_->text();
        return all;
    }

private:
    QLabel *label_;
    QTimer timer_;
    QStringList texts_;
};

class ConversionJob : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        // The step after loading clears the staging folder; let it run before any job.
        finishLoading();
        out_ = env_.root() + QStringLiteral("/out");
        engine().txtPath->setText(out_ + QLatin1Char('/'));
    }
    QString picture(const QString &name, const char *format, QImage::Format pixelFormat = QImage::Format_RGB32)
    {
        QImage image(64, 48, pixelFormat);
        image.fill(pixelFormat == QImage::Format_ARGB32 ? QColor(0, 0, 255, 0) : QColor(200, 40, 40));
        const QString path = env_.root() + QStringLiteral("/pics/") + name;
        QDir().mkpath(env_.root() + QStringLiteral("/pics"));
        image.save(path, format);
        return path;
    }
    // Converts, answering the report a short job shows; returns the messages seen.
    std::vector<MessageRecord> convert(int expectedMessages)
    {
        ModalAnswerer answerer(60000);
        for (int i = 0; i < expectedMessages; ++i)
            answerer.thenMessage(QMessageBox::Ok);
        engine().txtMsg->setText(QStringLiteral("Convert"));
        EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
        EXPECT_EQ(answerer.pending(), 0u);
        return answerer.messages();
    }
    void expectCleanEnd()
    {
        EXPECT_FALSE(QDir(QString::fromStdString(stagingFolder().string())).exists());
        EXPECT_TRUE(window().List1->isEnabled());
        EXPECT_TRUE(window().imgConvert->isEnabled());
        EXPECT_TRUE(engine().Command3->isEnabled());
        EXPECT_TRUE(window().PicPB->isHidden());
        EXPECT_TRUE(opened_.contains(QStringLiteral("open ") + out_)) << opened_.join(QLatin1Char(';')).toStdString();
    }
    QString out_;
};

TEST_F(ConversionJob, MergedDocumentKeepsListOrderAndNamesWhatWasLeftOut)
{
    const QString corrupt = env_.writeFile(QStringLiteral("pics/broken.png"), "not a picture at all");
    const QString truncated = env_.writeFile(QStringLiteral("pics/cut.jpg"), "\xFF\xD8\xFF\xE0");
    const QString huge = QStringLiteral(PAGEMINT_TEST_SOURCE_DIR "/fixtures/staging/png-header-claims-50000x50000.png");
    addEntries({picture(QStringLiteral("a.jpg"), "JPG"), picture(QStringLiteral("B.JPG"), "JPG"), corrupt,
                picture(QStringLiteral("c.jpeg"), "JPG"), picture(QStringLiteral("alpha.png"), "PNG", QImage::Format_ARGB32),
                truncated, picture(QStringLiteral("mislabelled.jpg"), "PNG"), huge,
                picture(QStringLiteral("mono.bmp"), "BMP", QImage::Format_Mono)});
    const auto messages = convert(1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(corrupt));
    EXPECT_TRUE(messages[0].text.contains(truncated));
    EXPECT_TRUE(messages[0].text.contains(huge));
    EXPECT_FALSE(messages[0].text.contains(QStringLiteral("a.jpg")));
    EXPECT_FALSE(messages[0].text.contains(QStringLiteral("没有生成PDF文件")));
    const QString pdf = out_ + QStringLiteral("/NewPDF.pdf");
    EXPECT_EQ(pageCount(pdf), 6);
    int status = -1;
    run(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf}, &status);
    EXPECT_EQ(status, 0);
    // The trailing separator was dropped from the folder text.
    EXPECT_EQ(engine().txtPath->text(), out_);
    expectCleanEnd();

    // The .jpg pages went in byte for byte.
    run(QStringLiteral("pdfimages"), {QStringLiteral("-j"), pdf, env_.root() + QStringLiteral("/img")});
    QFile first(env_.root() + QStringLiteral("/img-000.jpg")), source(env_.root() + QStringLiteral("/pics/a.jpg"));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly) && source.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), source.readAll());

    // A second job finds NewPDF.pdf taken.
    convert(1);
    EXPECT_TRUE(QFile::exists(out_ + QStringLiteral("/NewPDF1.pdf")));
}

TEST_F(ConversionJob, OnePdfPerPictureByBaseName)
{
    OnePdfPerPicture = true;
    addEntries({picture(QStringLiteral("holiday.2012.jpg"), "JPG"), picture(QStringLiteral("b.png"), "PNG"),
                picture(QStringLiteral("c.bmp"), "BMP"), picture(QStringLiteral("d.jpg"), "JPG")});
    TextRecorder progress(window().lblPB);
    EXPECT_TRUE(convert(0).empty());
    EXPECT_EQ(progress.texts(), (QStringList{QStringLiteral("0%"), QStringLiteral("准备文件中..."),
                                             QStringLiteral("正在转换...0%"), QStringLiteral("正在转换...33%"),
                                             QStringLiteral("正在转换...66%"), QStringLiteral("正在转换...100%"),
                                             QStringLiteral("正在删除临时文件..."), QStringLiteral("完成.")}));
    EXPECT_EQ(pageCount(out_ + QStringLiteral("/d.pdf")), 1);
    for (const char *name : {"holiday.pdf", "b.pdf", "c.pdf"})
        EXPECT_EQ(pageCount(out_ + QLatin1Char('/') + QLatin1String(name)), 1) << name;
    EXPECT_EQ(engine().lblPB->text(), QStringLiteral("正在转换...100%"));
    expectCleanEnd();
}

TEST_F(ConversionJob, MergedProgressStagesThenFollowsTheConverter)
{
    QStringList pictures;
    for (int i = 0; i < 4; ++i)
        pictures << picture(QStringLiteral("p%1.jpg").arg(i), "JPG");
    addEntries(pictures);
    TextRecorder progress(window().lblPB);
    EXPECT_TRUE(convert(0).empty());
    const QStringList texts = progress.texts();
    const QStringList staging = {QStringLiteral("准备文件中..."), QStringLiteral("Converting Files...0%"),
                                 QStringLiteral("Converting Files...33%"), QStringLiteral("Converting Files...66%"),
                                 QStringLiteral("Converting Files...100%"), QStringLiteral("创建文件中...")};
    ASSERT_GE(texts.size(), staging.size() + 1);
    EXPECT_EQ(texts.mid(1, staging.size()), staging);
    // Whatever the converter reported comes next, always as 创建PDF...N%, then the clean-up.
    for (const QString &text : texts.mid(staging.size() + 1, texts.size() - staging.size() - 3))
        EXPECT_TRUE(text.startsWith(QStringLiteral("创建PDF..."))) << text.toStdString();
    EXPECT_EQ(texts.mid(texts.size() - 2), (QStringList{QStringLiteral("正在删除临时文件..."), QStringLiteral("完成.")}));
    EXPECT_EQ(pageCount(out_ + QStringLiteral("/NewPDF.pdf")), 4);
}

TEST_F(ConversionJob, ExitingDuringAJobEndsItAndClearsTheStagingFolder)
{
    QStringList pictures;
    for (int i = 0; i < 20; ++i)
        pictures << picture(QStringLiteral("p%1.png").arg(i), "PNG");
    addEntries(pictures);
    QString textAtExit;
    QTimer exitSoon;
    exitSoon.setInterval(0);
    QObject::connect(&exitSoon, &QTimer::timeout, [&] {
        if (window().lblPB->text() == QStringLiteral("Converting Files...10%")) {
            exitSoon.stop();
            textAtExit = window().lblPB->text();
            window().imgExit_Click();
        }
    });
    exitSoon.start();
    ModalAnswerer answerer;
    engine().Command3_Click();
    EXPECT_EQ(textAtExit, QStringLiteral("Converting Files...10%"));
    EXPECT_TRUE(exitRequested);
    EXPECT_TRUE(engine().isUnloaded());
    // The job stopped where it was and left the windows alone.
    EXPECT_EQ(window().lblPB->text(), textAtExit);
    EXPECT_FALSE(QDir(QString::fromStdString(stagingFolder().string())).exists());
    EXPECT_FALSE(QFile::exists(out_ + QStringLiteral("/NewPDF.pdf")));
    EXPECT_TRUE(opened_.isEmpty());
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
}

TEST_F(ConversionJob, OnePictureShowsAHundredPercent)
{
    OnePdfPerPicture = true;
    addEntries({picture(QStringLiteral("only.jpg"), "JPG")});
    EXPECT_TRUE(convert(0).empty());
    EXPECT_EQ(engine().lblPB->text(), QStringLiteral("正在转换...100%"));
    EXPECT_EQ(pageCount(out_ + QStringLiteral("/only.pdf")), 1);
}

TEST_F(ConversionJob, CancellingTheOverwritePromptConvertsNothing)
{
    env_.writeFile(QStringLiteral("out/New PDF Document.pdf"), "old");
    addEntries({picture(QStringLiteral("a.jpg"), "JPG")});
    MessageRecord prompt;
    ModalAnswerer answerer;
    answerer.thenMessage(QMessageBox::Cancel, &prompt);
    engine().Command3_Click();
    EXPECT_EQ(prompt.text, QStringLiteral("输出文件已经存在。是否覆盖？"));
    EXPECT_EQ(prompt.caption, QStringLiteral("覆盖"));
    EXPECT_EQ(prompt.icon, QMessageBox::NoIcon);
    EXPECT_EQ(prompt.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_FALSE(QFile::exists(out_ + QStringLiteral("/NewPDF.pdf")));
    EXPECT_TRUE(window().List1->isEnabled());
    EXPECT_TRUE(engine().Command3->isEnabled());
    EXPECT_FALSE(window().lblFilename->isHidden());
    EXPECT_EQ(entries().size(), 1);
}

TEST_F(ConversionJob, AnEmptyOutputFolderIsRefused)
{
    engine().txtPath->setText(QString());
    addEntries({picture(QStringLiteral("a.jpg"), "JPG")});
    MessageRecord shown;
    ModalAnswerer answerer;
    answerer.thenMessage(QMessageBox::Ok, &shown);
    engine().Command3_Click();
    EXPECT_EQ(shown.icon, QMessageBox::Warning);
    EXPECT_FALSE(QFile::exists(QStringLiteral("/NewPDF.pdf")));
    EXPECT_TRUE(opened_.isEmpty());
    EXPECT_TRUE(window().List1->isEnabled());
}

TEST_F(ConversionJob, NothingDeliveredIsReported)
{
    addEntries({env_.writeFile(QStringLiteral("pics/empty.jpg"))});
    const auto messages = convert(1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("没有生成PDF文件")));
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("empty.jpg")));
    EXPECT_FALSE(QFile::exists(out_ + QStringLiteral("/NewPDF.pdf")));
}

} // namespace
} // namespace pagemint::test
