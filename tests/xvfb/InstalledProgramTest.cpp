// `cmake --install` into a fresh prefix, then the installed program started through its link in
// bin/ as the desktop's menu would, converting a picture chosen in its open dialog: this finds the
// helpers in data/ only if the layout is right.
#include "RunningPagemint.h"
#include "XDesktop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pagemint::xtest {
namespace {

class InstalledProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        prefix_ = new QTemporaryDir;
        // A space in the prefix must survive the desktop entry's quoting.
        installed_ = prefix_->path() + QStringLiteral("/my apps");
        installLog_ = runTool(
            QStringLiteral(PAGEMINT_CMAKE_COMMAND),
            {QStringLiteral("--install"), QStringLiteral(PAGEMINT_BUILD_DIR), QStringLiteral("--prefix"), installed_});
    }
    static void TearDownTestSuite()
    {
        delete prefix_;
        prefix_ = nullptr;
    }
    void SetUp() override { ASSERT_EQ(installLog_.exitCode, 0) << installLog_.output.toStdString(); }
    static QString path(const QString &relative) { return installed_ + QLatin1Char('/') + relative; }

    static inline QTemporaryDir *prefix_ = nullptr;
    static inline QString installed_;
    static inline ToolResult installLog_;
};

TEST_F(InstalledProgram, LaysOutTheApplicationFolderTheLinkTheIconsAndTheMenuEntry)
{
    for (const char *program : {"lib/pagemint/pagemint", "lib/pagemint/data/pdf.exe",
                                "lib/pagemint/data/pagemint-decoder", "lib/pagemint/data/pagemint-fallback-decoder"}) {
        const QFileInfo file(path(QString::fromLatin1(program)));
        EXPECT_TRUE(file.isFile() && file.isExecutable()) << program;
    }
    // The helper runs from its installed place (no path into the build tree left in it).
    const ToolResult help = runTool(path(QStringLiteral("lib/pagemint/data/pdf.exe")), {QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0) << help.output.toStdString();

    const QFileInfo link(path(QStringLiteral("bin/pagemint")));
    EXPECT_TRUE(link.isSymLink());
    EXPECT_EQ(link.canonicalFilePath(), QFileInfo(path(QStringLiteral("lib/pagemint/pagemint"))).canonicalFilePath());

    // The help page the web commands open, with the pictures it shows.
    for (const char *page : {"lib/pagemint/help/index.html", "lib/pagemint/help/screenshot.png"})
        EXPECT_TRUE(QFileInfo(path(QString::fromLatin1(page))).isFile()) << page;

    for (int size : {16, 24, 32, 48, 128}) {
        const QImage icon(path(QStringLiteral("share/icons/hicolor/%1x%1/apps/pagemint.png").arg(size)));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }

    const QString entryPath = path(QStringLiteral("share/applications/pagemint.desktop"));
    QFile entry(entryPath);
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n'));
    EXPECT_TRUE(lines.contains(QStringLiteral("Exec=\"%1\"").arg(path(QStringLiteral("bin/pagemint")))))
        << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("Icon=pagemint")));
    const ToolResult valid = runTool(QStringLiteral("desktop-file-validate"), {entryPath});
    EXPECT_EQ(valid.exitCode, 0) << valid.output.toStdString();
    // Hints are advice; errors and warnings mean a menu may refuse or misplace the entry.
    EXPECT_FALSE(valid.output.contains(QStringLiteral("error:"))) << valid.output.toStdString();
    EXPECT_FALSE(valid.output.contains(QStringLiteral("warning:"))) << valid.output.toStdString();
}

TEST_F(InstalledProgram, ConvertsAPictureChosenInTheOpenDialog)
{
    RunningPagemint program(path(QStringLiteral("bin/pagemint")));
    ASSERT_TRUE(program.waitForMainWindow()) << program.output().toStdString();
    // A PNG goes through both helpers: the decoder, then the converter.
    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter(&picture).fillRect(40, 40, 120, 80, QColor(0x2f, 0xb5, 0x9c));
    const QString picturePath = program.home() + QStringLiteral("/pictures/page.png");
    QDir().mkpath(QFileInfo(picturePath).path());
    ASSERT_TRUE(picture.save(picturePath));

    const QStringList before = RunningPagemint::windows();
    pointerTo(program.at({5 + 34, 53 + 36}));
    clickLeft();
    const QString dialog = RunningPagemint::waitForNewWindow(before);
    ASSERT_FALSE(dialog.isEmpty()) << "the open dialog did not appear";
    ASSERT_TRUE(RunningPagemint::answerFileDialog(dialog, picturePath)) << "the open dialog stayed open";
    // The picture joins the list once the program has handled the dialog's end: a click before then
    // would find the list empty.
    ASSERT_TRUE(program.waitForOutput(QStringLiteral("the list holds 1 entries"), 30000))
        << program.output().toStdString();

    pointerTo(program.at({413 + 61, 256 + 31}));
    clickLeft();
    const QString document = program.home() + QStringLiteral("/Output/NewPDF.pdf");
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(document).size() > 0; }, 30000)) << program.output().toStdString();
    ToolResult info;
    EXPECT_TRUE(waitUntil([&] {
        info = runTool(QStringLiteral("pdfinfo"), {document});
        return info.exitCode == 0;
    })) << info.output.toStdString();
    EXPECT_TRUE(info.output.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))))
        << info.output.toStdString();
    // Where the desktop has no program to show the output folder, a message names it instead
    // (what it says is checked offscreen); it is answered so the window can take the next click.
    QString message;
    const bool named = waitUntil(
        [&] {
            for (const QString &id : visibleWindowsOfClass(QStringLiteral("^Pagemint$")))
                if (!before.contains(id))
                    message = id;
            return !message.isEmpty();
        },
        3000);
    if (named) {
        focusWindow(message);
        pressKey(QStringLiteral("Return"));
        ASSERT_TRUE(waitUntil([&] { return !visibleWindowsOfClass(QStringLiteral("^Pagemint$")).contains(message); }));
    }

    pointerTo(program.at({528 + 7, 6 + 8}));
    clickLeft();
    EXPECT_TRUE(program.waitForExit(10000));
}

} // namespace
} // namespace pagemint::xtest
