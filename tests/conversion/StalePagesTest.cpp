// Every job starts from an empty staging folder: the converter takes every page it finds there, so
// a page left by a crash, a cut-short exit or an earlier job must never become a page of the next
// document, whatever the cache folder's name (bytes that are not UTF-8 included).
#include "JobFixture.h"
#include "ModalAnswerer.h"
#include "RemoveTreeAtEnd.h"

#include "app/ConversionMode.h"
#include "contract/StagingFolder.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QProcess>

#include <filesystem>
#include <fstream>
#include <ostream>

namespace pagemint::test {
namespace {

namespace fs = std::filesystem;

struct StaleCase {
    const char *name;
    const char *cacheFolder; // bytes, under the test's root
    bool leftBeforeStart;    // else left while the program runs, before the job
};

void PrintTo(const StaleCase &c, std::ostream *out)
{
    *out << c.name;
}

const StaleCase staleCases[] = {
    {"BeforeStartInAPlainCache", "cache", true},
    {"BeforeStartInACacheNamedInLatin1", "cach\xE9", true},
    {"BeforeStartInACacheOfAStrayByte", "cache-\xFF", true},
    {"BeforeTheJobInACacheOfAStrayByte", "cache-\xFF", false},
    {"BeforeTheJobInAPlainCache", "cache", false},
};

class StalePages : public JobFixture, public ::testing::WithParamInterface<StaleCase> {
protected:
    void prepareApplicationFolder() override
    {
        const QByteArray cache = QFile::encodeName(env_.root()) + '/' + GetParam().cacheFolder;
        qputenv("XDG_CACHE_HOME", cache);
        if (GetParam().leftBeforeStart)
            leaveStalePages();
    }

    void SetUp() override
    {
        JobFixture::SetUp();
        OnePdfPerPicture = false;
        if (!GetParam().leftBeforeStart)
            leaveStalePages();
    }

    // Qt cannot name what is not UTF-8.
    RemoveTreeAtEnd removal_{env_.root()};

    // A page a PDF reader can show, under the name of the eighth picture of a job, and a folder
    // of pages below it.
    static void leaveStalePages()
    {
        QImage image(32, 32, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG");
        const fs::path staging = stagingFolder();
        fs::create_directories(staging / "sub");
        for (const fs::path &page : {staging / "00007.jpg", staging / "00001.jpg", staging / "sub" / "00002.jpg"}) {
            std::ofstream file(page, std::ios::binary);
            file.write(jpeg.constData(), jpeg.size());
        }
    }
};

int pageCount(const QString &pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(30000);
    for (const QByteArray &line : info.readAllStandardOutput().split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

TEST_P(StalePages, NeverBecomePagesOfTheNextDocument)
{
    // The start-up removes what an earlier run left, by the folder's own bytes.
    if (GetParam().leftBeforeStart) {
        EXPECT_FALSE(fs::exists(stagingFolder()));
    }
    addEntries(pictures(1, "PNG"));
    ModalAnswerer answerer(60000);

    engine().Command3_Click();

    EXPECT_EQ(pageCount(out_ + QStringLiteral("/NewPDF.pdf")), 1);
    EXPECT_FALSE(fs::exists(stagingFolder()));
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(u';').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Leftovers, StalePages, ::testing::ValuesIn(staleCases),
                         [](const ::testing::TestParamInfo<StaleCase> &testCase) {
                             return std::string(testCase.param.name);
                         });

} // namespace
} // namespace pagemint::test
