// The built program on a real (virtual) X screen, used with the pointer and keyboard as a person
// would, and checked by what the screen shows.
#include "RunningPagemint.h"
#include "XDesktop.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace pagemint::xtest {
namespace {

const QString skinFolder = QStringLiteral(PAGEMINT_SOURCE_DIR "/resources/skin/");
// Window points: the bare background of the header, and the first toolbar button.
const QPoint background(300, 20);
const QRect firstToolbarButton(5, 53, 66, 72);
const QPoint helpMenuZone(182 + 22, 31 + 8);
const QPoint exitZone(528 + 7, 6 + 8);
const QPoint addFileZone(5 + 34, 53 + 36);
const QPoint convertZone(413 + 61, 256 + 31);

class MainWindowOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Without a Chinese font Qt draws empty boxes for every caption and says nothing.
        const ToolResult fonts =
            runTool(QStringLiteral("fc-list"), {QStringLiteral(":lang=zh"), QStringLiteral("family")});
        ASSERT_FALSE(fonts.output.trimmed().isEmpty()) << "no Chinese font installed (fonts-wqy-zenhei)";
        desktop_ = grabScreen();
        program_ = std::make_unique<RunningPagemint>(QStringLiteral(PAGEMINT_APP_DIR "/pagemint"));
        ASSERT_TRUE(program_->waitForMainWindow()) << program_->output().toStdString();
    }
    void TearDown() override
    {
        // Leave the pointer off the window for the next start.
        pointerTo({1, 1});
    }
    QImage windowArea(const QRect &windowRect) const
    {
        return grabScreen().copy(windowRect.translated(program_->geometry().topLeft()));
    }
    void saveScreenshot(const QRect &screenRect, const QString &name) const
    {
        QDir().mkpath(QStringLiteral(PAGEMINT_SCREENSHOT_DIR));
        EXPECT_TRUE(grabScreen().copy(screenRect).save(QStringLiteral(PAGEMINT_SCREENSHOT_DIR "/") + name));
    }

    QImage desktop_;
    std::unique_ptr<RunningPagemint> program_;
};

TEST_F(MainWindowOnScreen, TheHoverPictureFollowsThePointerOnAndOffAButton)
{
    pointerTo(program_->at(background));
    const QImage before = windowArea(firstToolbarButton);
    const QImage hover(skinFolder + QStringLiteral("toolbar_hover_0.jpg"));
    ASSERT_EQ(hover.size(), firstToolbarButton.size());
    // The lit picture must be told apart from the plain button at all.
    ASSERT_GT(meanDistance(before, hover.convertToFormat(QImage::Format_RGB32)), 10.0);

    pointerTo(program_->at(firstToolbarButton.topLeft() + QPoint(34, 36)));
    double shownDistance = 255;
    EXPECT_TRUE(waitUntil([&] {
        shownDistance = meanDistance(windowArea(firstToolbarButton), hover.convertToFormat(QImage::Format_RGB32));
        // JPEG against the lossless screen: a few levels apart at most.
        return shownDistance < 3.0;
    })) << "mean distance to the hover picture "
        << shownDistance;

    pointerTo(program_->at(background));
    double clearedDistance = 255;
    EXPECT_TRUE(waitUntil([&] {
        clearedDistance = meanDistance(windowArea(firstToolbarButton), before);
        return clearedDistance == 0.0;
    })) << "mean distance to the plain button "
        << clearedDistance;
}

TEST_F(MainWindowOnScreen, DraggingTheBackgroundWithTheLeftButtonMovesTheWindow)
{
    const QRect start = program_->geometry();
    pointerTo(program_->at(background));
    pressLeft();
    const QPoint grab = start.topLeft() + background;
    for (int step = 1; step <= 4; ++step)
        pointerTo(grab + QPoint(15, 10) * step);
    releaseLeft();
    const QPoint expected = start.topLeft() + QPoint(60, 40);
    EXPECT_TRUE(waitUntil([&] { return program_->geometry().topLeft() == expected; }))
        << "window at " << program_->geometry().x() << "," << program_->geometry().y();
    // The pointer goes on moving without a button: the window stays.
    pointerTo(grab + QPoint(100, 80));
    EXPECT_FALSE(waitUntil([&] { return program_->geometry().topLeft() != expected; }, 500));
}

TEST_F(MainWindowOnScreen, AMenuZoneOpensItsMenuUnderItAndEscapeClosesIt)
{
    const QStringList before = visibleWindowsOfClass(QStringLiteral("^Pagemint$"));
    pointerTo(program_->at(helpMenuZone));
    clickLeft();
    QString popup;
    ASSERT_TRUE(waitUntil([&] {
        for (const QString &id : visibleWindowsOfClass(QStringLiteral("^Pagemint$")))
            if (!before.contains(id))
                popup = id;
        return !popup.isEmpty();
    })) << "no pop-up window appeared";
    const QRect menu = windowGeometry(popup).value_or(QRect());
    // Under the zone: at its left edge, 20 pixels below its top.
    EXPECT_EQ(menu.topLeft(), program_->at(QPoint(182, 31 + 20)));
    EXPECT_GT(menu.width(), 40);
    EXPECT_GT(menu.height(), 20);
    saveScreenshot(program_->geometry().united(menu).adjusted(-10, -10, 10, 10), QStringLiteral("xvfb-menu-open.png"));

    pressKey(QStringLiteral("Escape"));
    EXPECT_TRUE(waitUntil([&] { return !visibleWindowsOfClass(QStringLiteral("^Pagemint$")).contains(popup); }))
        << "the menu stayed open";
    EXPECT_TRUE(visibleWindowsOfClass(QStringLiteral("^Pagemint$")).contains(program_->windowId()));
}

TEST_F(MainWindowOnScreen, TheCornersOutsideTheOutlineShowTheDesktop)
{
    pointerTo(program_->at(background));
    const QRect place = program_->geometry();
    const QImage screen = grabScreen();
    const QImage skin(skinFolder + QStringLiteral("background.png"));
    ASSERT_FALSE(skin.isNull());
    const QRgb magenta = qRgb(255, 0, 255);
    for (const QPoint corner : {place.topLeft(), place.topRight(), place.bottomLeft(), place.bottomRight()}) {
        const std::string where = std::to_string(corner.x()) + "," + std::to_string(corner.y());
        EXPECT_EQ(screen.pixel(corner), desktop_.pixel(corner)) << where;
        EXPECT_NE(screen.pixel(corner) & RGB_MASK, magenta & RGB_MASK) << where;
    }
    // Inside the outline the skin is drawn one to one.
    for (const QPoint inside : {background, QPoint(12, 12), QPoint(274, 2), QPoint(450, 20)})
        EXPECT_EQ(screen.pixel(place.topLeft() + inside) & RGB_MASK, skin.pixel(inside) & RGB_MASK)
            << inside.x() << "," << inside.y();
    saveScreenshot(place.adjusted(-10, -10, 10, 10), QStringLiteral("xvfb-main-window.png"));
}

TEST_F(MainWindowOnScreen, TheExitButtonEndsTheProgram)
{
    pointerTo(program_->at(exitZone));
    clickLeft();
    ASSERT_TRUE(program_->waitForExit(10000)) << "still running after the exit button";
    EXPECT_EQ(program_->exitCode(), 0) << program_->output().toStdString();
}

TEST_F(MainWindowOnScreen, TwoFilesChosenAtOnceBecomeTwoPagesInNaturalOrder)
{
    // Told apart on their pages by their shapes: 2.png is tall, 10.png is wide.
    const QString folder = program_->home() + QStringLiteral("/pictures");
    QDir().mkpath(folder);
    for (const auto &[name, size] :
         {std::pair{QStringLiteral("10.png"), QSize(300, 120)}, std::pair{QStringLiteral("2.png"), QSize(120, 300)}}) {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter(&picture).fillRect(10, 10, 60, 60, QColor(0x2f, 0xb5, 0x9c));
        ASSERT_TRUE(picture.save(folder + QLatin1Char('/') + name));
    }
    const QStringList before = RunningPagemint::windows();
    pointerTo(program_->at(addFileZone));
    clickLeft();
    const QString dialog = RunningPagemint::waitForNewWindow(before);
    ASSERT_FALSE(dialog.isEmpty()) << "the open dialog did not appear";
    // Both at once, as the dialog takes several names: "10.png" first.
    ASSERT_TRUE(RunningPagemint::answerFileDialog(dialog, QStringLiteral("\"%1/10.png\" \"%1/2.png\"").arg(folder)))
        << "the open dialog stayed open";
    ASSERT_TRUE(program_->waitForOutput(QStringLiteral("the list holds 2 entries"), 30000))
        << program_->output().toStdString();

    pointerTo(program_->at(convertZone));
    clickLeft();
    const QString document = program_->home() + QStringLiteral("/Output/NewPDF.pdf");
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(document).size() > 0; }, 30000)) << program_->output().toStdString();
    ToolResult info;
    EXPECT_TRUE(waitUntil([&] {
        info = runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                   QStringLiteral("2"), document});
        return info.exitCode == 0;
    })) << info.output.toStdString();
    EXPECT_TRUE(info.output.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))))
        << info.output.toStdString();
    QList<QSizeF> pages;
    const QRegularExpression pageSize(QStringLiteral("Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+)"));
    for (auto match = pageSize.globalMatch(info.output); match.hasNext();) {
        const QRegularExpressionMatch page = match.next();
        pages << QSizeF(page.captured(1).toDouble(), page.captured(2).toDouble());
    }
    ASSERT_EQ(pages.size(), 2) << info.output.toStdString();
    EXPECT_LT(pages[0].width(), pages[0].height()) << "page 1 should be 2.png, the tall one";
    EXPECT_GT(pages[1].width(), pages[1].height()) << "page 2 should be 10.png, the wide one";

    // Where the desktop cannot show the output folder, a message names it; it is answered so the
    // program can end.
    const QString message = RunningPagemint::waitForNewWindow(before, 3000);
    if (!message.isEmpty()) {
        focusWindow(message);
        pressKey(QStringLiteral("Return"));
        EXPECT_TRUE(waitUntil([&] { return !RunningPagemint::windows().contains(message); }));
    }
}

} // namespace
} // namespace pagemint::xtest
