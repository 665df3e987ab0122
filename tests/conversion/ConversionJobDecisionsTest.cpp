// The job's decisions, followed through a view that writes down what it is told: no window.
#include "TestEnvironment.h"

#include "common/ApplicationFolder.h"
#include "common/ExitRequest.h"
#include "contract/StagingFolder.h"
#include "conversion/ConversionJob.h"
#include "conversion/ConverterProgress.h"
#include "process/DOSOutputs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <vector>

namespace pagemint::test {
namespace {

// Writes down the decisions a job shows; progress texts and fills are kept apart.
class RecordingView : public ConversionView {
public:
    bool overwrite = false;
    bool desktopShows = true;
    QStringList decisions;
    QStringList questions;
    QStringList progress;

    void enableCommands(bool enabled) override { decisions << (enabled ? "commands on" : "commands off"); }
    void enableConvertCommand(bool enabled) override { decisions << (enabled ? "convert on" : "convert off"); }
    void showOutputFolder(const QString &folder) override { decisions << "folder " + folder; }
    void showProgressBar(bool shown) override { progress << (shown ? "bar" : "no bar"); }
    void showStatus(const QString &text) override { progress << text; }
    void showProgressText(const QString &text) override { progress << text; }
    void showFill(double) override {}
    bool askToOverwrite(const QString &question) override
    {
        // The first line is the question; the rest names files.
        decisions << QStringLiteral("ask ") + question.section(u'\n', 0, 0);
        questions << question;
        return overwrite;
    }
    void tell(const QString &text, const QString &caption, Tone tone, const QString &) override
    {
        const char *tones[] = {"plain", "information", "warning"};
        // The first line is the decision; the rest (and the details) list pictures.
        decisions << QStringLiteral("tell %1 %2: %3")
                         .arg(QLatin1String(tones[int(tone)]), caption, text.section(u'\n', 0, 0));
    }
    bool openFolder(const QString &folder) override
    {
        decisions << "open " + folder;
        return desktopShows;
    }
    void beep() override { decisions << QStringLiteral("beep"); }
    void handleEvents() override { QCoreApplication::processEvents(); }
};

enum class Converter { Present, Missing };

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct DecisionCase {
    const char *name;
    // Files made in pics/: *.jpg and *.png are pictures, "empty.jpg" is empty, "gone.jpg" is absent.
    std::vector<const char *> pictures;
    // The folder text; <out> is the test's output folder.
    const char *folder = "<out>";
    bool onePdfPerPicture = false;
    // Files already in the folder ("<title>.pdf" is the document's own name), each holding "earlier".
    std::vector<const char *> earlierFiles;
    bool overwrite = false;
    bool desktopShows = true;
    Converter converter = Converter::Present;
    std::vector<const char *> decisions;
    // Files the folder holds at the end, by name.
    std::vector<const char *> outputFiles;
};

void PrintTo(const DecisionCase &c, std::ostream *out)
{
    *out << c.name;
}

// A table, one case to a row: clang-format would give each field a line.
// clang-format off
const DecisionCase decisionCases[] = {
    {"AnEmptyListIsRefused", {}, "<out>", false, {}, false, true, Converter::Present,
     {"tell warning 添加: 请添加一个文件"}, {}},
    {"AnEmptyFolderIsRefused", {"a.jpg"}, "", false, {}, false, true, Converter::Present,
     {"tell warning 输出路径: 输出路径为空，请在转换设置中选择输出文件夹。"}, {}},
    {"AFolderNoFileCanBeMadeInIsRefused", {"a.jpg"}, "/dev/null/out", false, {}, false, true, Converter::Present,
     {"convert off", "commands off", "tell warning 输出路径: 无法写入输出文件夹：", "convert on", "commands on"}, {}},
    {"DecliningToOverwriteConvertsNothing", {"a.jpg"}, "<out>/", false, {"New PDF Document.pdf"}, false, true, Converter::Present,
     {"convert off", "commands off", "folder <out>", "ask 输出文件已经存在。是否覆盖？", "convert on", "commands on"},
     {"New PDF Document.pdf"}},
    // The document's own name is only asked about: the merged PDF takes the first free NewPDF name.
    {"AcceptingToOverwriteGoesOnToNewPdf", {"a.jpg"}, "<out>/", false, {"New PDF Document.pdf"}, true, true, Converter::Present,
     {"convert off", "commands off", "folder <out>", "ask 输出文件已经存在。是否覆盖？", "convert on", "open <out>", "beep", "commands on"},
     {"New PDF Document.pdf", "NewPDF.pdf"}},
    {"AMergedJobNamesWhatItLeftOut", {"a.jpg", "gone.jpg", "b.png"}, "<out>", false, {}, false, true,
     Converter::Present,
     {"convert off", "commands off", "convert on", "open <out>", "beep", "commands on",
      "tell warning 转换: 以下图片未能转换，已被跳过："},
     {"NewPDF.pdf"}},
    {"NothingWrittenOpensNoFolder", {"empty.jpg"}, "<out>", false, {}, false, true, Converter::Present,
     {"convert off", "commands off", "convert on", "beep", "commands on", "tell warning 转换: 以下图片未能转换，已被跳过："},
     {}},
    {"AFolderTheDesktopCannotShowIsNamed", {"a.jpg"}, "<out>", false, {}, false, false, Converter::Present,
     {"convert off", "commands off", "convert on", "open <out>", "beep", "commands on",
      "tell information 转换: PDF文件已保存为："},
     {"NewPDF.pdf"}},
    {"OnePdfPerPictureRenamesAClash", {"a.jpg", "sub/a.png"}, "<out>", true, {}, false, true, Converter::Present,
     {"convert off", "commands off", "convert on", "open <out>", "beep", "commands on",
      "tell information 转换: 以下图片的PDF使用了其他名称："},
     {"a (2).pdf", "a.pdf"}},
    // The runner says once why it could not start; the job ends with every picture named.
    {"AMissingConverterEndsAPerPictureJob", {"a.jpg", "b.png"}, "<out>", true, {}, false, true, Converter::Missing,
     {"convert off", "commands off", "runner: File or command not found", "convert on", "beep", "commands on",
      "tell warning 转换: 以下图片未能转换，已被跳过："},
     {}},
    {"AMissingConverterDeliversNoMergedDocument", {"a.jpg"}, "<out>", false, {}, false, true, Converter::Missing,
     {"convert off", "commands off", "runner: File or command not found", "convert on", "beep", "commands on",
      "tell warning 转换: 没有生成PDF文件。"},
     {}},
    // The folder that could not be shown is named with how many PDFs it got.
    {"PerPicturePdfsTheDesktopCannotShowAreCounted", {"a.jpg", "b.png"}, "<out>", true, {}, false, false,
     Converter::Present,
     {"convert off", "commands off", "convert on", "open <out>", "beep", "commands on",
      "tell information 转换: 2 个PDF文件已保存在："},
     {"a.pdf", "b.pdf"}},
    // PDFs of an earlier run that the pictures would replace: one question before anything is staged.
    {"DecliningToReplaceEarlierPdfsConvertsNothing", {"a.jpg", "b.png", "sub/a.png"}, "<out>", true,
     {"a.pdf", "a (2).pdf"}, false, true, Converter::Present,
     {"convert off", "commands off", "ask 2 个PDF文件已经存在。是否覆盖？", "convert on", "commands on"},
     {"a (2).pdf", "a.pdf"}},
    {"AcceptingToReplaceEarlierPdfsWritesEveryPdf", {"a.jpg", "b.png", "sub/a.png"}, "<out>", true,
     {"a.pdf", "a (2).pdf"}, true, true, Converter::Present,
     {"convert off", "commands off", "ask 2 个PDF文件已经存在。是否覆盖？", "convert on", "open <out>", "beep",
      "commands on", "tell information 转换: 以下图片的PDF使用了其他名称："},
     {"a (2).pdf", "a.pdf", "b.pdf"}},
    // Asked once: the pictures' PDFs, not the document's own name as well.
    {"EarlierPdfsAndTheDocumentNameAreOneQuestion", {"a.jpg"}, "<out>", true, {"New PDF Document.pdf", "a.pdf"},
     true, true, Converter::Present,
     {"convert off", "commands off", "ask 1 个PDF文件已经存在。是否覆盖？", "convert on", "open <out>", "beep",
      "commands on"},
     {"New PDF Document.pdf", "a.pdf"}},
    {"PerPictureJobWithOnlyTheDocumentNameTakenAsksAsBefore", {"a.jpg"}, "<out>", true, {"New PDF Document.pdf"},
     false, true, Converter::Present,
     {"convert off", "commands off", "ask 输出文件已经存在。是否覆盖？", "convert on", "commands on"},
     {"New PDF Document.pdf"}},
    // Names the pictures do not lead to are not asked about: hidden ones, other cases, other names.
    {"OnlyTheNamesThePicturesGetAreAskedAbout", {"a.jpg"}, "<out>", true, {".a.pdf", "A.pdf", "b.pdf"}, false,
     true, Converter::Present,
     {"convert off", "commands off", "convert on", "open <out>", "beep", "commands on"},
     {".a.pdf", "A.pdf", "a.pdf", "b.pdf"}},
};

// clang-format on

class ConversionJobDecisions : public ::testing::TestWithParam<DecisionCase> {
protected:
    void SetUp() override
    {
        exitRequested = false;
        appFolder_ = env_.root() + QStringLiteral("/app");
        QDir().mkpath(appFolder_ + QStringLiteral("/data"));
        setApplicationFolderForTesting(appFolder_);
    }
    void TearDown() override { setApplicationFolderForTesting(QString()); }

    // The application folder's helpers: the built ones, with or without the converter.
    void installHelpers(Converter converter)
    {
        for (const char *helper : {"pagemint-decoder", "pagemint-fallback-decoder", "pdf.exe"}) {
            if (converter == Converter::Missing && QLatin1String(helper) == QLatin1String("pdf.exe"))
                continue;
            QFile::link(QStringLiteral(PAGEMINT_APP_DIR "/data/") + QLatin1String(helper),
                        appFolder_ + QStringLiteral("/data/") + QLatin1String(helper));
        }
    }
    QString picture(const QString &name)
    {
        QString path = env_.root() + QStringLiteral("/pics/") + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (name.endsWith(QStringLiteral("empty.jpg")))
            env_.writeFile(QStringLiteral("pics/") + name);
        else if (!name.endsWith(QStringLiteral("gone.jpg"))) {
            QImage image(32, 24, QImage::Format_RGB32);
            image.fill(Qt::darkGreen);
            image.save(path, name.endsWith(QStringLiteral(".png")) ? "PNG" : "JPG");
        }
        return path;
    }

    TestEnvironment env_;
    QString appFolder_;
};

TEST_P(ConversionJobDecisions, FollowTheInputsAndTheFileSystem)
{
    const DecisionCase &c = GetParam();
    installHelpers(c.converter);
    const QString out = env_.root() + QStringLiteral("/out");
    QDir().mkpath(out);
    const QString title = QStringLiteral("New PDF Document");
    for (const char *name : c.earlierFiles)
        env_.writeFile(QStringLiteral("out/") + QString::fromUtf8(name), "earlier");
    ConversionInputs inputs;
    for (const char *name : c.pictures)
        inputs.pictures << picture(QString::fromUtf8(name));
    inputs.outputFolderText = QString::fromUtf8(c.folder).replace(QStringLiteral("<out>"), out);
    inputs.title = title;
    inputs.onePdfPerPicture = c.onePdfPerPicture;
    RecordingView view;
    view.overwrite = c.overwrite;
    view.desktopShows = c.desktopShows;
    DOSOutputs perPicture, merged;
    for (DOSOutputs *runner : {&perPicture, &merged})
        QObject::connect(runner, &DOSOutputs::Failed,
                         [&view](const QString &why) { view.decisions << "runner: " + why; });

    ConversionJob(std::move(inputs), view, {perPicture, merged}).run();

    QStringList expected;
    for (const char *decision : c.decisions)
        expected << QString::fromUtf8(decision).replace(QStringLiteral("<out>"), out);
    EXPECT_EQ(view.decisions, expected);
    QStringList files;
    for (const char *name : c.outputFiles)
        files << QString::fromUtf8(name);
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name), files);
    // A file the job was not allowed to replace keeps what it held.
    if (!c.overwrite) {
        for (const char *name : c.earlierFiles)
            EXPECT_EQ(contentsOf(out + u'/' + QString::fromUtf8(name)), "earlier") << name;
    }
    // Whatever happened, nothing staged is left.
    EXPECT_FALSE(QDir(QString::fromStdString(stagingFolder().string())).exists());
}

INSTANTIATE_TEST_SUITE_P(Cases, ConversionJobDecisions, ::testing::ValuesIn(decisionCases),
                         [](const ::testing::TestParamInfo<DecisionCase> &testCase) {
                             return std::string(testCase.param.name);
                         });

TEST(ConverterProgress, PageLinesLengthenTheBarAndNeverShortenIt)
{
    ConverterProgress progress(4);
    struct Step {
        const char *output;
        bool moves;
        double fill;
        const char *text;
    };
    const Step steps[] = {
        // The first page only says the converter has begun.
        {"page 00000.jpg of 4\n", false, 0, ""},
        {"page 00001.jpg of 4\n", true, 0.25, "创建PDF...25%"},
        {"page 00002.jpg of 4\n", true, 0.5, "创建PDF...50%"},
        // Two lines in one piece: the last page named counts.
        {"page 00002.jpg of 4\npage 00003.jpg of 4\n", true, 0.75, "创建PDF...75%"},
        {"page 00001.jpg of 4\n", false, 0, ""},
        {"no page here\n", false, 0, ""},
        {"page 00003.jpg of 4\n", true, 0.75, "创建PDF...75%"},
    };
    for (const Step &step : steps) {
        const std::optional<ProgressStep> moved = progress.advance(QString::fromLatin1(step.output));
        ASSERT_EQ(moved.has_value(), step.moves) << step.output;
        if (moved) {
            EXPECT_DOUBLE_EQ(moved->fill, step.fill) << step.output;
            EXPECT_EQ(moved->text, QString::fromUtf8(step.text)) << step.output;
        }
    }
}

} // namespace
} // namespace pagemint::test
