#include "CraftedPictures.h"
#include "EngineFixture.h"
#include "HeifPictures.h"
#include "ModalAnswerer.h"
#include "support/FileBytes.h"

#include "app/ConversionMode.h"
#include "common/ExitRequest.h"
#include "contract/FolderRemovalApart.h"
#include "contract/Reasons.h"
#include "contract/StagingFolder.h"
#include "conversion/EndReport.h"
#include "conversion/ReasonWords.h"
#include "conversion/StagingPaths.h"
#include "imagelist/FindImageFiles.h"
#include "process/DOSOutputs.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
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

// Pixel size of the first picture in a PDF, as pdfimages lists it.
QSize firstImageSize(const QString &pdf)
{
    const QStringList lines = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split(QLatin1Char('\n'));
    if (lines.size() < 3)
        return {};
    const QStringList columns = lines.at(2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return columns.size() > 4 ? QSize(columns.at(3).toInt(), columns.at(4).toInt()) : QSize();
}

// The first picture of `pdf`, taken out as it is stored (pdfimages -j into `scratch`).
QByteArray firstImageBytes(const QString &pdf, const QString &scratch)
{
    run(QStringLiteral("pdfimages"), {QStringLiteral("-j"), pdf, scratch + QStringLiteral("/img")});
    QFile first(scratch + QStringLiteral("/img-000.jpg"));
    return first.open(QIODevice::ReadOnly) ? first.readAll() : QByteArray();
}

// A report with every path in full: the box's details when it has them, else its text.
QString wholeReport(const MessageRecord &message)
{
    return message.details.isEmpty() ? message.text : message.details;
}

// Records each new text a label shows while a job handles events.
class TextRecorder {
public:
    // Takes each text as the window sets it, so a text that lasts less than one turn of the event
    // loop is seen too.
    explicit TextRecorder(frmMain &window) : label_(control<QLabel>(window, "lblPB"))
    {
        texts_ << label_->text();
        QObject::connect(&window, &frmMain::progressTextShown, &context_, [this](const QString &text) {
            if (texts_.constLast() != text)
                texts_ << text;
        });
    }
    // Everything shown, in order, without immediate repeats.
    QStringList texts() const { return texts_; }

private:
    QLabel *label_;
    QObject context_;
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
        txtPath()->setText(out_ + QLatin1Char('/'));
    }
    QString picture(const QString &name, const char *format, QImage::Format pixelFormat = QImage::Format_RGB32,
                    QSize size = {64, 48})
    {
        QImage image(size, pixelFormat);
        image.fill(pixelFormat == QImage::Format_ARGB32 ? QColor(0, 0, 255, 0) : QColor(200, 40, 40));
        QString path = env_.root() + QStringLiteral("/pics/") + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        image.save(path, format);
        return path;
    }
    // Converts, answering the report a short job shows; returns the messages seen.
    std::vector<MessageRecord> convert(int expectedMessages)
    {
        ModalAnswerer answerer(60000);
        for (int i = 0; i < expectedMessages; ++i)
            answerer.thenMessage(QMessageBox::Ok);
        txtMsg()->setText(QStringLiteral("Convert"));
        EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
        EXPECT_EQ(answerer.pending(), 0u);
        return answerer.messages();
    }
    void expectCleanEnd()
    {
        // The staged pages are out of the way at once, and gone once their removal has ended.
        EXPECT_FALSE(QDir(QString::fromStdString(stagingFolder().string())).exists());
        EXPECT_TRUE(awaitFolderRemovalsApart(std::chrono::steady_clock::now() + std::chrono::minutes(1)));
        EXPECT_TRUE(stagingFoldersSetAside().empty());
        EXPECT_TRUE(List1()->isEnabled());
        EXPECT_TRUE(control(window(), "imgConvert")->isEnabled());
        EXPECT_TRUE(Command3()->isEnabled());
        EXPECT_TRUE(control(window(), "PicPB")->isHidden());
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
                picture(QStringLiteral("c.jpeg"), "JPG"),
                picture(QStringLiteral("alpha.png"), "PNG", QImage::Format_ARGB32), truncated,
                picture(QStringLiteral("mislabelled.jpg"), "PNG"), huge,
                picture(QStringLiteral("mono.bmp"), "BMP", QImage::Format_Mono)});
    const auto messages = convert(1);
    ASSERT_EQ(messages.size(), 1u);
    const QString report = wholeReport(messages[0]);
    EXPECT_TRUE(report.contains(corrupt));
    EXPECT_TRUE(report.contains(truncated));
    EXPECT_TRUE(report.contains(huge));
    EXPECT_FALSE(report.contains(QStringLiteral("a.jpg")));
    EXPECT_FALSE(messages[0].text.contains(QStringLiteral("没有生成PDF文件")));
    const QString pdf = out_ + QStringLiteral("/NewPDF.pdf");
    EXPECT_EQ(pageCount(pdf), 6);
    int status = -1;
    run(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf}, &status);
    EXPECT_EQ(status, 0);
    // The trailing separator was dropped from the folder text.
    EXPECT_EQ(txtPath()->text(), out_);
    expectCleanEnd();

    // The .jpg pages went in byte for byte.
    EXPECT_EQ(firstImageBytes(pdf, env_.root()), bytesOf(env_.root() + QStringLiteral("/pics/a.jpg")));

    // A second job finds NewPDF.pdf taken.
    convert(1);
    EXPECT_TRUE(QFile::exists(out_ + QStringLiteral("/NewPDF1.pdf")));
}

// A JPEG goes in from where it lies, so one changed after the program checked it (here as the
// converter is about to start) must not go in as it is now: it is named with its reason and the
// others still make the document, the unchanged ones byte for byte.
TEST_F(ConversionJob, APictureChangedAfterItsCheckIsLeftOutAndNamed)
{
    const QString kept = picture(QStringLiteral("kept.jpg"), "JPG");
    const QString changed = picture(QStringLiteral("changed.jpg"), "JPG");
    const QString replaced = picture(QStringLiteral("replaced.jpg"), "JPG");
    const QString other = picture(QStringLiteral("other.jpg"), "JPG", QImage::Format_RGB32, {32, 32});
    addEntries({kept, changed, replaced});
    QObject context;
    QObject::connect(&window(), &frmMain::progressTextShown, &context, [&](const QString &text) {
        if (text != QStringLiteral("创建文件中..."))
            return;
        QFile file(changed);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("appended");
        file.close();
        ASSERT_TRUE(QFile::remove(replaced) && QFile::rename(other, replaced));
    });

    const auto messages = convert(1);

    ASSERT_EQ(messages.size(), 1u);
    const QString words = reasonWords(reason::kChangedSinceChecked);
    for (const QString &path : {changed, replaced})
        EXPECT_TRUE(wholeReport(messages[0]).contains(path + QStringLiteral("：") + words))
            << wholeReport(messages[0]).toStdString();
    EXPECT_FALSE(wholeReport(messages[0]).contains(kept));
    const QString pdf = out_ + QStringLiteral("/NewPDF.pdf");
    EXPECT_EQ(pageCount(pdf), 1);
    EXPECT_EQ(firstImageBytes(pdf, env_.root()), bytesOf(kept));
    expectCleanEnd();
}

// Pictures as today's tools write them go in as pages (a JPEG of any name byte for byte, a BMP
// with a V5 header, a JPEG with stray bytes); formats the program does not offer are named.
TEST_F(ConversionJob, EveryJpegGoesInUnchangedAndOtherFormatsAreNamed)
{
    const QString pics = env_.root() + QStringLiteral("/pics/");
    QDir().mkpath(pics);
    const QString photo = picture(QStringLiteral("photo.jpeg"), "JPG");
    const QString icon = pics + QStringLiteral("icon.png");
    QFile::copy(QStringLiteral(PAGEMINT_TEST_SOURCE_DIR "/fixtures/staging/ico-negative-height-overflows-heap.ico"),
                icon);
    addEntries({photo, writeBmpWithHeader(pics + QStringLiteral("v5.bmp"), 124, 24, Qt::red, Qt::blue), icon,
                writeJpegWithStrayBytes(pics + QStringLiteral("stray.jpg"))});

    const auto messages = convert(1);

    ASSERT_EQ(messages.size(), 1u);
    const QString notSupported = reasonWords(reason::kNotSupported);
    EXPECT_TRUE(wholeReport(messages[0]).contains(icon + QStringLiteral("：") + notSupported))
        << wholeReport(messages[0]).toStdString();
    const QString pdf = out_ + QStringLiteral("/NewPDF.pdf");
    EXPECT_EQ(pageCount(pdf), 3);
    EXPECT_EQ(firstImageBytes(pdf, env_.root()), bytesOf(photo));
    expectCleanEnd();
}

// Phone and web pictures: the folder scan takes them in the usual order, each becomes a page.
TEST_F(ConversionJob, AFolderOfPhonePicturesGivesAPageEach)
{
    const QString phone = env_.root() + QStringLiteral("/pics/phone/");
    QDir().mkpath(phone);
    const QString png = picture(QStringLiteral("source.png"), "PNG");
    picture(QStringLiteral("phone/IMG_1.jpg"), "JPG");
    ASSERT_FALSE(encodeHeif({png}, phone + QStringLiteral("IMG_2.HEIC")).isEmpty());
    ASSERT_FALSE(encodeWebp(png, phone + QStringLiteral("IMG_10.webp")).isEmpty());
    ASSERT_FALSE(encodeHeif({png}, phone + QStringLiteral("IMG_3.avif"), {QStringLiteral("-A")}).isEmpty());
    env_.writeFile(QStringLiteral("pics/phone/notes.txt"), "x");

    FindImageFiles(phone.chopped(1), window().imageList());

    EXPECT_EQ(entries(), (QStringList{phone + QStringLiteral("IMG_1.jpg"), phone + QStringLiteral("IMG_2.HEIC"),
                                      phone + QStringLiteral("IMG_3.avif"), phone + QStringLiteral("IMG_10.webp")}));
    EXPECT_TRUE(convert(0).empty());
    EXPECT_EQ(pageCount(out_ + QStringLiteral("/NewPDF.pdf")), 4);
}

TEST_F(ConversionJob, OnePdfPerPictureByBaseName)
{
    OnePdfPerPicture = true;
    addEntries({picture(QStringLiteral("holiday.2012.jpg"), "JPG"), picture(QStringLiteral("b.png"), "PNG"),
                picture(QStringLiteral("c.bmp"), "BMP"), picture(QStringLiteral("d.jpg"), "JPG")});
    TextRecorder progress(window());
    EXPECT_TRUE(convert(0).empty());
    EXPECT_EQ(progress.texts(),
              (QStringList{QStringLiteral("0%"), QStringLiteral("准备文件中..."), QStringLiteral("正在转换...0%"),
                           QStringLiteral("正在转换...33%"), QStringLiteral("正在转换...66%"),
                           QStringLiteral("正在转换...100%"), QStringLiteral("完成.")}));
    EXPECT_EQ(pageCount(out_ + QStringLiteral("/d.pdf")), 1);
    for (const char *name : {"holiday.pdf", "b.pdf", "c.pdf"})
        EXPECT_EQ(pageCount(out_ + QLatin1Char('/') + QLatin1String(name)), 1) << name;
    EXPECT_EQ(control<QLabel>(engine(), "lblPB")->text(), QStringLiteral("正在转换...100%"));
    expectCleanEnd();
}

TEST_F(ConversionJob, PicturesOfOneBaseNameEachKeepTheirPdf)
{
    OnePdfPerPicture = true;
    // Left by an earlier job: replaced once the user agrees, not stepped around.
    env_.writeFile(QStringLiteral("out/IMG_0001.pdf"), "earlier");
    env_.writeFile(QStringLiteral("out/IMG_0001 (2).pdf"), "earlier");
    // Each picture its own size, so each PDF shows whose page it holds.
    const QString first = picture(QStringLiteral("a/IMG_0001.jpg"), "JPG", QImage::Format_RGB32, {64, 48});
    const QString second = picture(QStringLiteral("b/IMG_0001.jpg"), "JPG", QImage::Format_RGB32, {80, 60});
    const QString y2012 = picture(QStringLiteral("holiday.2012.jpg"), "JPG", QImage::Format_RGB32, {96, 72});
    const QString y2013 = picture(QStringLiteral("holiday.2013.png"), "PNG", QImage::Format_RGB32, {112, 84});
    const QString hidden = picture(QStringLiteral(".hidden.png"), "PNG", QImage::Format_RGB32, {128, 96});
    const QString missing = env_.root() + QStringLiteral("/pics/gone.jpg");
    addEntries({first, second, y2012, missing, y2013, hidden});
    // The question about the earlier PDFs (answered OK), then the end report.
    const auto messages = convert(2);

    const std::pair<const char *, QSize> pdfs[] = {
        {"IMG_0001.pdf", {64, 48}},     {"IMG_0001 (2).pdf", {80, 60}}, {"holiday.pdf", {96, 72}},
        {"holiday (2).pdf", {112, 84}}, {"hidden.pdf", {128, 96}},
    };
    for (const auto &[name, size] : pdfs)
        EXPECT_EQ(firstImageSize(out_ + QLatin1Char('/') + QLatin1String(name)), size) << name;
    EXPECT_EQ(QDir(out_).entryList(QDir::Files | QDir::Hidden).size(), static_cast<qsizetype>(std::size(pdfs)));

    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("2 个PDF文件已经存在。")));
    EXPECT_EQ(messages[1].icon, QMessageBox::Warning); // a picture is missing
    // The box shows each path, cut in the middle should the test's folder be deep.
    const auto shown = [](const QString &path) { return shortenedPath(path, kShownPathColumns); };
    const QString &text = messages[1].text;
    const QString leftOut =
        QStringLiteral("以下图片未能转换，已被跳过：\n") + shown(missing) + QStringLiteral("：文件不存在");
    const QString renamed = QStringLiteral("以下图片的PDF使用了其他名称：\n") + shown(second) +
                            QStringLiteral(" -> IMG_0001 (2).pdf\n") + shown(y2013) +
                            QStringLiteral(" -> holiday (2).pdf\n") + shown(hidden) + QStringLiteral(" -> hidden.pdf");
    EXPECT_TRUE(text.contains(leftOut)) << text.toStdString();
    EXPECT_TRUE(text.contains(renamed)) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("IMG_0001.pdf")));
    EXPECT_FALSE(text.contains(QStringLiteral("holiday.pdf")));
    expectCleanEnd();
}

TEST_F(ConversionJob, AReportOfManyLeftOutPicturesFitsOnTheScreen)
{
    // Deep folders, with wide characters: long lines are what made the box tall too.
    const QString folder =
        env_.root() + QStringLiteral("/gone/2012年夏天的假期照片/holiday-pictures-from-the-second-camera");
    QStringList missing;
    for (int i = 0; i < 500; ++i)
        missing << folder + QStringLiteral("/IMG_%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
    addEntries(missing);
    MessageRecord shown;
    QRect screen, box, boxWithDetails;
    ModalAnswerer answerer(60000);
    answerer.then([&](QWidget *window) {
        if (auto *message = qobject_cast<QMessageBox *>(window)) {
            shown = describe(*message);
            screen = message->screen()->availableGeometry();
            box = message->frameGeometry();
            // The user opens the details: the box still fits.
            for (QAbstractButton *button : message->buttons())
                if (message->buttonRole(button) == QMessageBox::ActionRole)
                    button->click();
            boxWithDetails = message->frameGeometry();
        }
        window->close();
    });
    txtMsg()->setText(QStringLiteral("Convert"));
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();

    ASSERT_FALSE(screen.isEmpty());
    EXPECT_LE(box.height(), screen.height());
    EXPECT_LE(box.width(), screen.width());
    EXPECT_GT(boxWithDetails.height(), box.height());
    EXPECT_LE(boxWithDetails.height(), screen.height());
    EXPECT_TRUE(shown.text.contains(QStringLiteral("IMG_0014.jpg：文件不存在")));
    EXPECT_FALSE(shown.text.contains(QStringLiteral("IMG_0015.jpg")));
    EXPECT_TRUE(shown.text.contains(QStringLiteral("…另有 485 张")));
    EXPECT_TRUE(shown.text.contains(QStringLiteral("没有生成PDF文件。")));
    for (const QString &path : missing)
        EXPECT_TRUE(shown.details.contains(path + QStringLiteral("：文件不存在"))) << path.toStdString();
}

TEST_F(ConversionJob, MergedProgressStagesThenFollowsTheConverter)
{
    QStringList pictures;
    for (int i = 0; i < 4; ++i)
        pictures << picture(QStringLiteral("p%1.jpg").arg(i), "JPG");
    addEntries(pictures);
    TextRecorder progress(window());
    // What the label shows right after each piece of converter output was handled.
    QStringList afterConverterOutput;
    QObject::connect(&engine().objDOS(), &DOSOutputs::ReceiveOutputs, &engine(),
                     [&] { afterConverterOutput << control<QLabel>(window(), "lblPB")->text(); });
    EXPECT_TRUE(convert(0).empty());
    // The converter's line for the last page (00003 of 4) always arrives, however it was cut.
    ASSERT_FALSE(afterConverterOutput.isEmpty()) << "the converter reported no page";
    EXPECT_EQ(afterConverterOutput.constLast(), QStringLiteral("创建PDF...75%"));
    const QStringList texts = progress.texts();
    const QStringList staging = {QStringLiteral("准备文件中..."),           QStringLiteral("Converting Files...0%"),
                                 QStringLiteral("Converting Files...33%"),  QStringLiteral("Converting Files...66%"),
                                 QStringLiteral("Converting Files...100%"), QStringLiteral("创建文件中...")};
    ASSERT_GE(texts.size(), staging.size() + 1);
    EXPECT_EQ(texts.mid(1, staging.size()), staging);
    // Whatever the converter reported comes next, always as 创建PDF...N%, then its end and the clean-up.
    for (const QString &text : texts.mid(staging.size() + 1, texts.size() - staging.size() - 3))
        EXPECT_TRUE(text.startsWith(QStringLiteral("创建PDF..."))) << text.toStdString();
    EXPECT_EQ(texts.mid(texts.size() - 2), (QStringList{QStringLiteral("移动文件...100%"), QStringLiteral("完成.")}));
    EXPECT_EQ(pageCount(out_ + QStringLiteral("/NewPDF.pdf")), 4);
}

TEST_F(ConversionJob, ExitingDuringAJobEndsItAndClearsTheStagingFolder)
{
    QStringList pictures;
    for (int i = 0; i < 20; ++i)
        pictures << picture(QStringLiteral("p%1.png").arg(i), "PNG");
    addEntries(pictures);
    QString textAtExit;
    QObject context;
    // The exit comes with the next events the job handles once 10% is shown, as a click would.
    QObject::connect(&window(), &frmMain::progressTextShown, &context, [&](const QString &text) {
        if (text != QStringLiteral("Converting Files...10%") || !textAtExit.isEmpty())
            return;
        QTimer::singleShot(0, &context, [&] {
            textAtExit = control<QLabel>(window(), "lblPB")->text();
            window().imgExit_Click();
        });
    });
    ModalAnswerer answerer;
    engine().Command3_Click();
    EXPECT_EQ(textAtExit, QStringLiteral("Converting Files...10%"));
    EXPECT_TRUE(exitRequested);
    EXPECT_TRUE(engine().isUnloaded());
    // The job stopped where it was and left the windows alone.
    EXPECT_EQ(control<QLabel>(window(), "lblPB")->text(), textAtExit);
    EXPECT_FALSE(QDir(QString::fromStdString(stagingFolder().string())).exists());
    EXPECT_FALSE(QFile::exists(out_ + QStringLiteral("/NewPDF.pdf")));
    EXPECT_TRUE(opened_.isEmpty());
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(QLatin1Char(';')).toStdString();
}

// The end no longer waits for the staged pages to be deleted, and an exit as it comes (here with
// the first text after the delivery, while the end message shows) leaves none of them behind:
// their removal goes on in a process of its own.
TEST_F(ConversionJob, ExitingAsTheEndComesLeavesNothingStaged)
{
    QStringList pictures;
    for (int i = 0; i < 300; ++i)
        pictures << picture(QStringLiteral("p%1.jpg").arg(i), "JPG");
    pictures << env_.writeFile(QStringLiteral("pics/broken.png"), "not a picture"); // an end message
    addEntries(pictures);
    QStringList shown;
    QObject context;
    QObject::connect(&window(), &frmMain::progressTextShown, &context, [&](const QString &text) {
        if (shown.size() == 2 || (shown.isEmpty() && text != QStringLiteral("移动文件...100%")))
            return;
        shown << text;
        if (shown.size() == 2)
            QTimer::singleShot(0, &context, [&] { window().imgExit_Click(); });
    });
    MessageRecord said;
    ModalAnswerer answerer(60000);
    answerer.thenMessage(QMessageBox::Ok, &said);

    engine().Command3_Click();

    ASSERT_EQ(shown.size(), 2) << "the job ended before the moment came";
    EXPECT_TRUE(exitRequested);
    EXPECT_EQ(pageCount(out_ + QStringLiteral("/NewPDF.pdf")), 300);
    EXPECT_TRUE(said.text.contains(QStringLiteral("broken.png"))) << said.text.toStdString();
    EXPECT_TRUE(awaitFolderRemovalsApart(std::chrono::steady_clock::now() + std::chrono::minutes(1)));
    EXPECT_FALSE(QDir(fromFsPath(stagingFolder())).exists());
    EXPECT_TRUE(stagingFoldersSetAside().empty());
}

TEST_F(ConversionJob, OnePictureShowsAHundredPercent)
{
    OnePdfPerPicture = true;
    addEntries({picture(QStringLiteral("only.jpg"), "JPG")});
    EXPECT_TRUE(convert(0).empty());
    EXPECT_EQ(control<QLabel>(engine(), "lblPB")->text(), QStringLiteral("正在转换...100%"));
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
    EXPECT_TRUE(List1()->isEnabled());
    EXPECT_TRUE(Command3()->isEnabled());
    EXPECT_FALSE(control(window(), "lblFilename")->isHidden());
    EXPECT_EQ(entries().size(), 1);
}

TEST_F(ConversionJob, AnEmptyOutputFolderIsRefused)
{
    txtPath()->setText(QString());
    addEntries({picture(QStringLiteral("a.jpg"), "JPG")});
    MessageRecord shown;
    ModalAnswerer answerer;
    answerer.thenMessage(QMessageBox::Ok, &shown);
    engine().Command3_Click();
    EXPECT_EQ(shown.icon, QMessageBox::Warning);
    EXPECT_FALSE(QFile::exists(QStringLiteral("/NewPDF.pdf")));
    EXPECT_TRUE(opened_.isEmpty());
    EXPECT_TRUE(List1()->isEnabled());
}

TEST_F(ConversionJob, NothingDeliveredIsReported)
{
    addEntries({env_.writeFile(QStringLiteral("pics/empty.jpg"))});
    const auto messages = convert(1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("没有生成PDF文件")));
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("empty.jpg")));
    EXPECT_FALSE(QFile::exists(out_ + QStringLiteral("/NewPDF.pdf")));
    // An empty folder is not shown.
    EXPECT_FALSE(opened_.join(QLatin1Char(';')).contains(QStringLiteral("open ")))
        << opened_.join(QLatin1Char(';')).toStdString();
}

TEST_F(ConversionJob, AnOutputFolderThatCannotTakeThePdfsIsRefusedBeforeStaging)
{
    addEntries({picture(QStringLiteral("a.png"), "PNG")});
    for (const QString &folder : {QStringLiteral("/dev/null/out"), QStringLiteral("/sys")}) {
        SCOPED_TRACE(folder.toStdString());
        txtPath()->setText(folder);

        const auto messages = convert(1);

        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].caption, QStringLiteral("输出路径"));
        EXPECT_TRUE(messages[0].text.contains(folder));
        EXPECT_FALSE(messages[0].text.contains(QStringLiteral("没有生成PDF文件")));
        EXPECT_FALSE(QDir(fromFsPath(stagingFolder())).exists());
        EXPECT_TRUE(List1()->isEnabled());
        EXPECT_TRUE(Command3()->isEnabled());
        EXPECT_TRUE(opened_.isEmpty()) << opened_.join(QLatin1Char(';')).toStdString();
    }
}

TEST_F(ConversionJob, AMissingConverterIsReportedOnceAndEndsTheJob)
{
    OnePdfPerPicture = true;
    // An application folder whose data/ has the decoders but no converter.
    QFile::remove(appFolder_ + QStringLiteral("/data"));
    QDir().mkpath(appFolder_ + QStringLiteral("/data"));
    for (const char *helper : {"pagemint-decoder", "pagemint-fallback-decoder"})
        QFile::link(QStringLiteral(PAGEMINT_APP_DIR "/data/") + QLatin1String(helper),
                    appFolder_ + QStringLiteral("/data/") + QLatin1String(helper));
    addEntries({picture(QStringLiteral("a.jpg"), "JPG"), picture(QStringLiteral("b.png"), "PNG"),
                picture(QStringLiteral("c.jpg"), "JPG")});

    const auto messages = convert(2);

    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, QStringLiteral("File or command not found"));
    EXPECT_TRUE(wholeReport(messages[1]).contains(QStringLiteral("没有生成PDF文件")));
    EXPECT_EQ(wholeReport(messages[1]).count(QStringLiteral("无法启动转换程序")), 3);
    EXPECT_TRUE(List1()->isEnabled());
}

TEST_F(ConversionJob, AFolderCalledNewPdfIsPassedOverAndStrandedCopiesAreRemoved)
{
    QDir().mkpath(out_ + QStringLiteral("/NewPDF.pdf"));
    env_.writeFile(QStringLiteral("out/.pagemint-k1lled"), "half a document");
    addEntries({picture(QStringLiteral("a.jpg"), "JPG")});

    EXPECT_TRUE(convert(0).empty());

    EXPECT_EQ(pageCount(out_ + QStringLiteral("/NewPDF1.pdf")), 1);
    EXPECT_EQ(QDir(out_).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{QStringLiteral("NewPDF.pdf"), QStringLiteral("NewPDF1.pdf")}));
}

TEST_F(ConversionJob, AFolderTheDesktopCannotShowIsNamedInstead)
{
    shellOpens_ = false;
    addEntries({picture(QStringLiteral("a.jpg"), "JPG")});

    const auto messages = convert(1);

    ASSERT_EQ(messages.size(), 1u);
    // The document itself, not only its folder.
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("PDF文件已保存为")));
    EXPECT_TRUE(messages[0].text.contains(out_ + QStringLiteral("/NewPDF.pdf")));
    EXPECT_EQ(pageCount(out_ + QStringLiteral("/NewPDF.pdf")), 1);
}

TEST_F(ConversionJob, EarlierPerPicturePdfsAreReplacedOnlyWhenTheUserSaysSo)
{
    OnePdfPerPicture = true;
    QStringList pictures;
    for (const char *name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg", "g.png"})
        pictures << picture(QString::fromLatin1(name), name[0] == 'g' ? "PNG" : "JPG");
    addEntries(pictures);
    // Six of the seven PDFs are there from an earlier run.
    for (const char *name : {"a.pdf", "b.pdf", "c.pdf", "d.pdf", "e.pdf", "f.pdf"})
        env_.writeFile(QStringLiteral("out/") + QLatin1String(name), "earlier");

    MessageRecord prompt;
    {
        ModalAnswerer answerer;
        answerer.thenMessage(QMessageBox::Cancel, &prompt);
        engine().Command3_Click();
        EXPECT_EQ(answerer.pending(), 0u);
    }
    EXPECT_TRUE(prompt.text.startsWith(QStringLiteral("6 个PDF文件已经存在。是否覆盖？"))) << prompt.text.toStdString();
    // A few are named, the rest counted.
    for (const char *name : {"a.pdf", "e.pdf", "…另有 1 个"})
        EXPECT_TRUE(prompt.text.contains(QString::fromUtf8(name))) << name;
    EXPECT_FALSE(prompt.text.contains(QStringLiteral("f.pdf")));
    EXPECT_EQ(prompt.caption, QStringLiteral("覆盖"));
    EXPECT_EQ(prompt.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    // Cancel ends the job as the document prompt's does: nothing written, nothing replaced.
    EXPECT_FALSE(QFile::exists(out_ + QStringLiteral("/g.pdf")));
    EXPECT_EQ(pageCount(out_ + QStringLiteral("/a.pdf")), -1);
    EXPECT_TRUE(List1()->isEnabled());
    EXPECT_TRUE(Command3()->isEnabled());
    EXPECT_EQ(entries().size(), 7);

    ModalAnswerer answerer(60000);
    answerer.thenMessage(QMessageBox::Ok);
    engine().Command3_Click();
    EXPECT_EQ(answerer.pending(), 0u);
    for (const char *name : {"a.pdf", "f.pdf", "g.pdf"})
        EXPECT_EQ(pageCount(out_ + QLatin1Char('/') + QLatin1String(name)), 1) << name;
    expectCleanEnd();
}

} // namespace
} // namespace pagemint::test
