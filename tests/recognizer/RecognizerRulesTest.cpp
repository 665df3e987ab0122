// The recogniser's rules that need no engine: turns, scales, resolutions, boxes, models, reading
// the page, and the thread limit.

#include "Engine.h"
#include "Models.h"
#include "OneThread.h"
#include "PageInput.h"
#include "Pixels.h"
#include "contract/Reasons.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

namespace pagemint::recognizer {
namespace {

enum Corner { TopLeft, TopRight, BottomRight, BottomLeft };

// Where a pixel of a 3 x 2 picture shows in `pix`: the corner holding `value`.
std::optional<Corner> cornerOf(Pix *pix, l_uint32 value)
{
    const int w = pixGetWidth(pix), h = pixGetHeight(pix);
    const std::pair<Corner, std::pair<int, int>> corners[] = {
        {TopLeft, {0, 0}}, {TopRight, {w - 1, 0}}, {BottomRight, {w - 1, h - 1}}, {BottomLeft, {0, h - 1}}};
    for (const auto &[corner, at] : corners) {
        l_uint32 found = 0;
        pixGetPixel(pix, at.first, at.second, &found);
        if (found == value)
            return corner;
    }
    return std::nullopt;
}

// The EXIF definition of each orientation, told by where the stored top-left and top-right pixels
// show; and the shown picture lies on its side (height and width swapped) from 5 on.
TEST(ExifTurn, ShowsTheStoredCornersWhereEachOrientationSays)
{
    struct Case {
        int orientation;
        Corner storedTopLeft, storedTopRight;
        bool onItsSide;
    };
    const Case cases[] = {
        {1, TopLeft, TopRight, false},       {2, TopRight, TopLeft, false},  {3, BottomRight, BottomLeft, false},
        {4, BottomLeft, BottomRight, false}, {5, TopLeft, BottomLeft, true}, {6, TopRight, BottomRight, true},
        {7, BottomRight, TopRight, true},    {8, BottomLeft, TopLeft, true}, {0, TopLeft, TopRight, false},
        {9, TopLeft, TopRight, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.orientation);
        PixHandle stored(pixCreate(3, 2, 8));
        pixSetPixel(stored.get(), 0, 0, 10);
        pixSetPixel(stored.get(), 2, 0, 20);
        const PixHandle shown = turned(std::move(stored), exifTurn(c.orientation));
        ASSERT_TRUE(shown);
        EXPECT_EQ(cornerOf(shown.get(), 10), c.storedTopLeft);
        EXPECT_EQ(cornerOf(shown.get(), 20), c.storedTopRight);
        EXPECT_EQ(pixGetWidth(shown.get()), c.onItsSide ? 2 : 3);
    }
}

TEST(UprightTurn, TurnsBackWhatTheDetectorSawOnlyWhenItIsSure)
{
    struct Case {
        int detected;
        float confidence;
        int turn;
    };
    const Case cases[] = {
        {0, 9.0F, 0},   {90, 9.0F, 270}, {180, 3.2F, 180}, {270, kUprightConfidence, 90}, {180, 1.9F, 0}, {90, 0.0F, 0},
        {45, 20.0F, 0}, {-90, 20.0F, 0}, {360, 20.0F, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(uprightTurn(c.detected, c.confidence), c.turn) << c.detected << " at " << c.confidence;
}

TEST(JpegReduction, ScalesDownOnlyWhatPassesTheLimit)
{
    struct Case {
        std::uint64_t width, height, limit;
        int reduction;
    };
    const Case cases[] = {
        {2480, 3508, 40'000'000, 1},
        {4961, 7016, 40'000'000, 1},
        {7000, 7000, 40'000'000, 2},
        {7001, 7001, 49'000'000, 2}, // the decoder rounds each side up: 3501 x 3501 fits, 7001 x 7001 not
        {20000, 20000, 40'000'000, 4},
        {65500, 65500, 40'000'000, 0},
        {100, 100, 100, 0},
        {10, 10, 100, 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(jpegReduction(c.width, c.height, c.limit), c.reduction) << c.width << " x " << c.height;
}

TEST(EngineResolution, TakesAStatedResolutionOverTheScaleElse300)
{
    struct Case {
        double x, y;
        int reduction, resolution;
    };
    const Case cases[] = {
        {0, 0, 1, 300},     {300, 300, 1, 300}, {600, 600, 2, 300}, {72, 72, 1, 300},     {96, 96, 1, 300},
        {100, 100, 1, 100}, {200, 400, 1, 400}, {150, 0, 1, 150},   {1200, 1200, 8, 150}, {1e9, 1e9, 1, 300},
    };
    for (const Case &c : cases)
        EXPECT_EQ(engineResolution(c.x, c.y, c.reduction), c.resolution) << c.x << " " << c.y << " /" << c.reduction;
}

TEST(BoxInside, KeepsTheEngineBoxesInsideThePicture)
{
    struct Case {
        int left, top, right, bottom;
        std::optional<TextBox> box;
    };
    const Case cases[] = {
        {10, 20, 30, 40, TextBox{10, 20, 30, 40}},
        {-5, -5, 30, 40, TextBox{0, 0, 30, 40}},
        {90, 40, 120, 70, TextBox{90, 40, 100, 50}},
        {10, 10, 10, 20, std::nullopt},
        {100, 10, 120, 20, std::nullopt},
        {10, 30, 20, 20, std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(boxInside(c.left, c.top, c.right, c.bottom, 100, 50), c.box) << c.left << "," << c.top;
}

TEST(Models, EachRequestNeedsItsLanguagesAndTheOrientationModelForUpright)
{
    struct Case {
        Recognition recognition;
        bool upright;
        std::vector<std::string> models;
    };
    const Case cases[] = {
        {Recognition::ChineseAndEnglish, false, {"chi_sim", "eng"}},
        {Recognition::ChineseAndEnglish, true, {"chi_sim", "eng", "osd"}},
        {Recognition::English, false, {"eng"}},
        {Recognition::Off, true, {"osd"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(modelsNeeded({c.recognition, c.upright, 0, {"/m"}}), c.models);
    EXPECT_EQ(engineLanguages(Recognition::ChineseAndEnglish), "chi_sim+eng");
    EXPECT_EQ(engineLanguages(Recognition::Off), "");
    EXPECT_EQ(modelFile("/a/b", "eng"), "/a/b/eng.traineddata");
    EXPECT_EQ(modelFile("/a/b/", "eng"), "/a/b/eng.traineddata");
}

class ModelStoreTest : public ::testing::Test {
protected:
    std::string folder(const char *name, const std::map<std::string, std::string> &files)
    {
        const QString path = dir.filePath(QString::fromUtf8(name));
        QDir().mkpath(path);
        for (const auto &[file, bytes] : files) {
            QFile out(path + "/" + QString::fromStdString(file));
            EXPECT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(bytes.data(), static_cast<qint64>(bytes.size()));
        }
        return path.toStdString();
    }
    QTemporaryDir dir;
};

TEST_F(ModelStoreTest, TakesEachModelFromTheFirstFolderThatHasIt)
{
    const std::string first = folder("first", {{"eng.traineddata", "first eng"}});
    const std::string second = folder("second", {{"eng.traineddata", "second eng"}, {"osd.traineddata", "osd"}});
    ModelStore store;
    ASSERT_TRUE(store.load({"eng", "osd"}, {first, second}).ok());
    EXPECT_EQ(store.used(),
              (std::vector<ModelUsed>{{"eng", first + "/eng.traineddata"}, {"osd", second + "/osd.traineddata"}}));

    // The engine makes up its own folder; only the name counts, and each model is handed over once.
    std::vector<char> data;
    EXPECT_FALSE(ModelStore::readForEngine("/usr/share/tessdata/chi_sim.traineddata", &data));
    EXPECT_FALSE(ModelStore::readForEngine("/x/myeng.traineddata", &data));
    ASSERT_TRUE(ModelStore::readForEngine("/usr/share/tessdata/eng.traineddata", &data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "first eng");
    EXPECT_FALSE(ModelStore::readForEngine("/usr/share/tessdata/eng.traineddata", &data));
    ASSERT_TRUE(ModelStore::readForEngine("osd.traineddata", &data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "osd");
}

TEST_F(ModelStoreTest, NamesTheModelNoFolderHas)
{
    const std::string models = folder("models", {{"eng.traineddata", "eng"}, {"osd.traineddata", ""}});
    struct Case {
        std::vector<std::string> languages;
        std::string reasonStart;
    };
    const Case cases[] = {
        {{"eng", "chi_sim"}, reason::inBrackets(reason::kNoRecognitionModel, "chi_sim")},
        {{"osd"}, reason::inBrackets(reason::kNoRecognitionModel, models + "/osd.traineddata：空文件")},
    };
    for (const Case &c : cases) {
        ModelStore store;
        const Outcome outcome = store.load(c.languages, {models, dir.filePath("absent").toStdString()});
        EXPECT_EQ(outcome.code, RecognizerExit::NoModel);
        EXPECT_EQ(outcome.reason, c.reasonStart);
    }
}

TEST(ReadBounded, ReadsAllUpToTheLimitAndRefusesMore)
{
    QTemporaryDir dir;
    struct Case {
        std::string bytes;
        std::uint64_t limit;
        RecognizerExit code;
    };
    const Case cases[] = {
        {"0123456789", 10, RecognizerExit::Written},
        {"0123456789", 9, RecognizerExit::TooLarge},
        {"", 10, RecognizerExit::Unreadable},
        {std::string(3 << 20, 'x'), 3 << 20, RecognizerExit::Written}, // several reads
    };
    for (const Case &c : cases) {
        const QString path = dir.filePath(QStringLiteral("page"));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(c.bytes.data(), static_cast<qint64>(c.bytes.size()));
        out.close();
        const int fd = open(path.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        std::vector<unsigned char> bytes;
        const Outcome outcome = readBounded(fd, c.limit, bytes);
        close(fd);
        EXPECT_EQ(outcome.code, c.code) << c.bytes.size() << " bytes, limit " << c.limit;
        if (outcome.ok()) {
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.bytes);
        }
    }
}

TEST(OneThread, OnlyALimitOfOneKeepsTheEngineToOneThread)
{
    EXPECT_TRUE(keepsToOneThread("1"));
    for (const char *value : {static_cast<const char *>(nullptr), "", "2", "01", "1 ", "0"})
        EXPECT_FALSE(keepsToOneThread(value)) << (value ? value : "(unset)");
}

TEST(ModelsUsedLine, NamesEachLanguageWithItsFile)
{
    EXPECT_EQ(modelsUsedLine({{"chi_sim", "/app/data/tessdata/chi_sim.traineddata"}, {"eng", "/d/eng.traineddata"}}),
              "models: chi_sim=/app/data/tessdata/chi_sim.traineddata eng=/d/eng.traineddata");
    EXPECT_EQ(modelsUsedLine({}), "models:");
}

} // namespace
} // namespace pagemint::recognizer
