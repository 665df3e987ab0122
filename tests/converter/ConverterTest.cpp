// The built pdf.exe on real files, its output checked by independent readers: qpdf --check,
// pdfinfo (pages, sizes, turns), pdfimages (the JPEG bytes come back unchanged), pdftoppm.
#include "ConverterChecks.h"
#include "ConverterRun.h"
#include "TestJpegs.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pagemint::test;

namespace {

QByteArray exifOriented(const QByteArray &jpeg, int orientation)
{
    ExifFields f;
    f.orientation = orientation;
    return withExif(jpeg, f);
}

struct PageCase {
    const char *name;
    QByteArray bytes;
    double width, height; // points, as pdfinfo shows them
    int rotate;
};

struct BadCase {
    const char *name;
    QByteArray bytes;
    const char *reason;
};

} // namespace

TEST(Converter, PutsEveryKindOfJpegIntoThePdfUnchanged)
{
    const QImage q = quadrantPicture(64, 48); // 48 x 36 points at the 96 dpi Qt writes
    const QByteArray base = qtJpeg(q);
    ExifFields exifDpi;
    exifDpi.xResolution = exifDpi.yResolution = std::pair{144u, 1u};
    const PageCase good[] = {
        {"baseline.jpg", base, 48, 36, 0},
        {"progressive.jpg", qtJpeg(q, true), 48, 36, 0},
        {"gray.jpg", qtJpeg(q.convertToFormat(QImage::Format_Grayscale8)), 48, 36, 0},
        {"cmyk-adobe.jpg", cmykJpeg(40, 20, {255, 0, 0, 0}), 30, 15, 0}, // no resolution: 96 dpi
        {"cmyk-plain.jpg", withoutSegments(cmykJpeg(40, 20, {0, 255, 255, 255}), 0xEE), 30, 15, 0},
        {"exif-1.jpg", exifOriented(base, 1), 48, 36, 0},
        {"exif-3.jpg", exifOriented(base, 3), 48, 36, 180},
        {"exif-6.jpg", exifOriented(base, 6), 48, 36, 90},
        {"exif-8.jpg", exifOriented(base, 8), 48, 36, 270},
        {"exif-0.jpg", exifOriented(base, 0), 48, 36, 0},
        {"exif-2-mirror.jpg", exifOriented(base, 2), 48, 36, 0},
        {"exif-5-transpose.jpg", exifOriented(base, 5), 36, 48, 0},
        {"300dpi.jpg", withJfifDensity(base, 1, 300, 300), 15.36, 11.52, 0},
        {"exif-144dpi.jpg", withExif(withoutSegments(base, 0xE0), exifDpi), 32, 24, 0},
        {"wider-than-200-inches.jpg", qtJpeg(quadrantPicture(20000, 20)), 14400, 14.4, 0},
    };
    const BadCase bad[] = {
        {"png-named.jpg", pngBytes(q), "不是JPEG图片（PNG）"},
        {"truncated.jpg", base.left(base.size() - 30), "图片数据不完整（没有结束标记）"},
        {"empty.jpg", {}, "空文件"},
    };

    QTemporaryDir dir;
    QStringList args{QStringLiteral("--out"), dir.filePath(QStringLiteral("out.pdf"))};
    for (std::size_t i = 0; i < std::size(good); ++i) {
        writeFile(dir.filePath(QString::fromLatin1(good[i].name)), good[i].bytes);
        args << dir.filePath(QString::fromLatin1(good[i].name));
        if (i % 5 == 1) { // bad files among the good ones: the rest must go on
            const BadCase &b = bad[i / 5];
            writeFile(dir.filePath(QString::fromLatin1(b.name)), b.bytes);
            args << dir.filePath(QString::fromLatin1(b.name));
        }
    }

    const ProcessResult run = runConverter(args);
    ASSERT_TRUE(run.finished);
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();

    QStringList expectedProgress, expectedLeftOut;
    for (const PageCase &c : good)
        expectedProgress << QStringLiteral("page %1 of %2").arg(QString::fromLatin1(c.name)).arg(std::size(good));
    for (const BadCase &b : bad)
        expectedLeftOut
            << QStringLiteral("left-out:%1:%2").arg(QString::fromLatin1(b.name), QString::fromUtf8(b.reason));
    EXPECT_EQ(lines(run.out), expectedProgress);
    EXPECT_EQ(lines(run.err), expectedLeftOut);

    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    expectCleanPdf(pdf);
    const auto pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), std::size(good));
    const QList<QByteArray> images = extractedJpegs(pdf);
    ASSERT_EQ(images.size(), qsizetype(std::size(good)));
    for (std::size_t i = 0; i < std::size(good); ++i) {
        SCOPED_TRACE(good[i].name);
        EXPECT_NEAR(pages[i].width, good[i].width, 0.01);
        EXPECT_NEAR(pages[i].height, good[i].height, 0.01);
        EXPECT_EQ(pages[i].rotate, good[i].rotate);
        EXPECT_TRUE(images[qsizetype(i)] == good[i].bytes) << "image bytes differ from the file";
    }
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral(".out.pdf*")}, QDir::Hidden | QDir::Files).isEmpty());
}

TEST(Converter, ShowsTurnedAndMirroredPicturesUpright)
{
    // Qt's reader applies the EXIF orientation itself: an independent view of "upright".
    const QByteArray base = qtJpeg(quadrantPicture(64, 48), false, 95);
    QTemporaryDir dir;
    QStringList args{QStringLiteral("--out"), dir.filePath(QStringLiteral("out.pdf"))};
    QList<QImage> expected;
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const QString path = dir.filePath(QStringLiteral("o%1.jpg").arg(orientation));
        writeFile(path, exifOriented(base, orientation));
        QImageReader reader(path);
        reader.setAutoTransform(true);
        expected << reader.read();
        args << path;
    }
    // CMYK: both the inverted (Adobe) and the plain form of cyan ink must show cyan.
    for (const auto &[name, bytes] :
         {std::pair{"cmyk-adobe.jpg", cmykJpeg(16, 16, {255, 0, 0, 0})},
          std::pair{"cmyk-plain.jpg", withoutSegments(cmykJpeg(16, 16, {0, 255, 255, 255}), 0xEE)}}) {
        writeFile(dir.filePath(QString::fromLatin1(name)), bytes);
        args << dir.filePath(QString::fromLatin1(name));
        QImage cyan(16, 16, QImage::Format_RGB32);
        cyan.fill(QColor(0, 255, 255));
        expected << cyan;
    }
    const ProcessResult run = runConverter(args);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    for (qsizetype page = 0; page < expected.size(); ++page) {
        SCOPED_TRACE(testing::Message() << "page " << page + 1);
        const QImage rendered = renderPage(dir.filePath(QStringLiteral("out.pdf")), int(page) + 1, 96);
        const QImage &want = expected[page];
        ASSERT_FALSE(rendered.isNull());
        ASSERT_EQ(rendered.size(), want.size());
        for (double fx : {0.25, 0.75}) {
            for (double fy : {0.25, 0.75}) {
                const QPoint at(int(fx * want.width()), int(fy * want.height()));
                expectColourAt(rendered.pixelColor(at), want.pixelColor(at), fx, fy);
            }
        }
    }
}

TEST(Converter, StagingFolderFormTakesNumberedPagesInOrder)
{
    TestEnvironment env; // HOME and XDG_CACHE_HOME point into a temporary folder
    const QString staging = env.home() + QStringLiteral("/.cache/inkleaf_tmp");
    ASSERT_TRUE(QDir().mkpath(staging));
    const QByteArray a = qtJpeg(quadrantPicture(32, 32)), b = qtJpeg(quadrantPicture(48, 16)),
                     c = qtJpeg(quadrantPicture(16, 48));
    writeFile(staging + QStringLiteral("/00010.jpg"), c);
    writeFile(staging + QStringLiteral("/00001.jpg"), a);
    writeFile(staging + QStringLiteral("/00004.jpg"), b); // 2 and 3 are missing: normal
    writeFile(staging + QStringLiteral("/00007.jpg"), "GIF89a not a picture at all");
    writeFile(staging + QStringLiteral("/00008.png"), a);             // not a page name
    writeFile(staging + QStringLiteral("/tmp.pdf"), "an old result"); // must not survive

    const ProcessResult run = runConverter({QStringLiteral("/NOASK")}, QProcessEnvironment::systemEnvironment());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(lines(run.out), (QStringList{QStringLiteral("page 00001.jpg of 3"), QStringLiteral("page 00004.jpg of 3"),
                                           QStringLiteral("page 00010.jpg of 3")}));
    EXPECT_EQ(lines(run.err), QStringList{QStringLiteral("left-out:00007.jpg:不是JPEG图片（GIF）")});

    const QString pdf = staging + QStringLiteral("/tmp.pdf");
    expectCleanPdf(pdf);
    EXPECT_EQ(extractedJpegs(pdf), (QList<QByteArray>{a, b, c}));
    EXPECT_EQ(QDir(staging).entryList(QDir::Files | QDir::Hidden).size(), 6) << "a temporary file was left behind";
}

TEST(Converter, WritesNothingWithoutAUsablePage)
{
    TestEnvironment env;
    const QString staging = env.home() + QStringLiteral("/.cache/inkleaf_tmp");
    ASSERT_TRUE(QDir().mkpath(staging));
    writeFile(staging + QStringLiteral("/00001.jpg"), {});
    writeFile(staging + QStringLiteral("/tmp.pdf"), "an old result");
    const ProcessResult staged = runConverter({QStringLiteral("/NOASK")});
    EXPECT_NE(staged.exitCode, 0);
    EXPECT_TRUE(staged.out.isEmpty());
    EXPECT_TRUE(lines(staged.err).contains(QStringLiteral("left-out:00001.jpg:空文件")));
    EXPECT_FALSE(QFile::exists(staging + QStringLiteral("/tmp.pdf")));

    // An empty staging folder, and the hand form with nothing usable.
    QFile::remove(staging + QStringLiteral("/00001.jpg"));
    EXPECT_NE(runConverter({QStringLiteral("/NOASK")}).exitCode, 0);
    const QString out = env.root() + QStringLiteral("/out.pdf");
    EXPECT_NE(runConverter({QStringLiteral("--out"), out, staging + QStringLiteral("/missing.jpg")}).exitCode, 0);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_FALSE(QFile::exists(staging + QStringLiteral("/tmp.pdf")));

    // A usable page but nowhere to write: the message names the place and the reason.
    const QString picture = env.writeFile(QStringLiteral("p.jpg"), qtJpeg(quadrantPicture(8, 8)));
    const QString nowhere = env.root() + QStringLiteral("/no-such-folder/out.pdf");
    const ProcessResult unwritable = runConverter({QStringLiteral("--out"), nowhere, picture});
    EXPECT_EQ(unwritable.exitCode, 3);
    EXPECT_TRUE(unwritable.err.contains(env.root() + QStringLiteral("/no-such-folder")))
        << unwritable.err.toStdString();
    EXPECT_TRUE(unwritable.err.contains(QLatin1String("No such file or directory"))) << unwritable.err.toStdString();
}

TEST(Converter, KilledMidWriteLeavesNoPdf)
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("00001.jpg"));
    writeFile(first, noisyJpeg(800, 600));
    QStringList pictures;
    for (int i = 1; i <= 400; ++i) { // hard links: many pages without many bytes of input
        const QString name = dir.filePath(QStringLiteral("%1.jpg").arg(i, 5, 10, QLatin1Char('0')));
        if (i > 1)
            std::filesystem::create_hard_link(first.toStdString(), name.toStdString());
        pictures << name;
    }
    for (int sig : {SIGKILL, SIGTERM}) {
        SCOPED_TRACE(sig == SIGKILL ? "SIGKILL" : "SIGTERM");
        const QString out = dir.filePath(QStringLiteral("tmp.pdf"));
        QProcess process;
        process.start(QStringLiteral(PAGEMINT_CONVERTER), QStringList{QStringLiteral("--out"), out} + pictures);
        ASSERT_TRUE(process.waitForReadyRead(20000));
        ASSERT_TRUE(process.readLine().startsWith("page 00001.jpg of 400"));
        ::kill(pid_t(process.processId()), sig);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::CrashExit) << "finished before it could be stopped";
        EXPECT_FALSE(QFile::exists(out));
        const QStringList leftovers =
            QDir(dir.path()).entryList({QStringLiteral(".tmp.pdf.*")}, QDir::Files | QDir::Hidden);
        if (sig == SIGTERM) {
            EXPECT_TRUE(leftovers.isEmpty()) << "the temporary file outlived SIGTERM";
        }
        for (const QString &name : leftovers) // a SIGKILL cannot be caught; only a dot file stays
            QFile::remove(dir.filePath(name));
    }
}

TEST(Converter, KeepsGoingWhenTheReaderClosesThePipe)
{
    QTemporaryDir dir;
    const QByteArray jpeg = qtJpeg(quadrantPicture(32, 32));
    std::vector<std::string> argStore{PAGEMINT_CONVERTER, "--out",
                                      dir.filePath(QStringLiteral("out.pdf")).toStdString()};
    argStore.reserve(argStore.size() + 50);
    for (int i = 0; i < 50; ++i) {
        const QString path = dir.filePath(QStringLiteral("%1.jpg").arg(i));
        writeFile(path, jpeg);
        argStore.push_back(path.toStdString());
    }
    std::vector<char *> argv;
    argv.reserve(argStore.size() + 1);
    for (std::string &a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    // stdout and stderr go into a pipe nobody reads: every write fails with EPIPE / SIGPIPE.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[0]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE); // as a shell would start it
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ), 0);
    ::close(fds[1]);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(pdfPages(dir.filePath(QStringLiteral("out.pdf"))).size(), 50u);
}

TEST(Converter, ExplainsItsFormsAndRefusesOthers)
{
    const ProcessResult help = runConverter({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QLatin1String("pdf.exe [LAYOUT] [TURNS] /NOASK")));
    EXPECT_TRUE(help.out.contains(QLatin1String("pdf.exe [LAYOUT] [TURNS] --out FILE PICTURE...")));
    for (const char *layout : {"--paper=", "--orientation=", "--margin-mm=", "--fit=", "--turn="})
        EXPECT_TRUE(help.out.contains(QLatin1String(layout))) << layout;
    // The layout goes before the form, and is no form of its own.
    for (const QStringList &args :
         {QStringList{}, QStringList{QStringLiteral("--out")},
          QStringList{QStringLiteral("--out"), QStringLiteral("x.pdf")},
          QStringList{QStringLiteral("/NOASK"), QStringLiteral("extra")}, QStringList{QStringLiteral("--paper=A4")},
          QStringList{QStringLiteral("/NOASK"), QStringLiteral("--paper=A4")},
          QStringList{QStringLiteral("--turn=00000.jpg:90")},
          QStringList{QStringLiteral("/NOASK"), QStringLiteral("--turn=00000.jpg:90")}}) {
        const ProcessResult run = runConverter(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(Converter, BulkyMetadataLeavesThePageAsItIs)
{
    // The same picture, once with 7.3 MB of XMP before its frame: the page (size, turn, picture)
    // must come out the same, with only the copied bytes differing.
    ExifFields exif;
    exif.orientation = 6;
    const QByteArray plain = withExif(qtJpeg(quadrantPicture(64, 48)), exif);
    const QByteArray heavy = withBulkyXmp(plain, 114);
    QTemporaryDir dir;
    QByteArray pdfs[2];
    QImage pages[2];
    const QByteArray *inputs[2] = {&plain, &heavy};
    for (int i = 0; i < 2; ++i) {
        const QString picture = dir.filePath(QStringLiteral("%1.jpg").arg(i)),
                      pdf = dir.filePath(QStringLiteral("%1.pdf").arg(i));
        writeFile(picture, *inputs[i]);
        const ProcessResult run = runConverter({QStringLiteral("--out"), pdf, picture});
        ASSERT_TRUE(run.finished);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(extractedJpegs(pdf), QList<QByteArray>{*inputs[i]});
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        pdfs[i] = file.readAll();
        pages[i] = renderPage(pdf, 1, 72);
    }
    // Everything before the picture's length: header, catalog, page tree, page, content, image.
    const auto beforeLength = [](const QByteArray &pdf) {
        return pdf.left(pdf.indexOf("/Length", pdf.indexOf("/DCTDecode")));
    };
    EXPECT_FALSE(beforeLength(pdfs[0]).isEmpty());
    EXPECT_EQ(beforeLength(pdfs[0]), beforeLength(pdfs[1]));
    EXPECT_TRUE(beforeLength(pdfs[1]).contains("/Rotate 90"));
    ASSERT_FALSE(pages[0].isNull());
    EXPECT_EQ(pages[0], pages[1]);
}
