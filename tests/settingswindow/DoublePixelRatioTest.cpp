// The windows at a device pixel ratio of 2. Qt reads QT_SCALE_FACTOR only before the application
// object exists, so the test runs itself again as a child process with the factor set.
#include "EngineFixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <cstdlib>

namespace pagemint::test {
namespace {

constexpr char childMark[] = "PAGEMINT_DOUBLE_SCALE_CHILD";

bool atDoubleScale()
{
    return qGuiApp->devicePixelRatio() == 2.0;
}

// Runs the current test in a child at scale factor 2; its output is shown when it fails.
void runInChildAtDoubleScale()
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QString::fromLatin1(childMark), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=%1.%2").arg(QString::fromLatin1(test->test_suite_name()),
                                                             QString::fromLatin1(test->name()))});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    // A child that ran nothing would pass too.
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

class DoublePixelRatio : public EngineFixture {
protected:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet(childMark))
            return;
        ASSERT_TRUE(atDoubleScale()) << "QT_SCALE_FACTOR=2 did not give a device pixel ratio of 2";
        EngineFixture::SetUp();
        finishLoading();
    }
    void TearDown() override
    {
        if (engine_)
            EngineFixture::TearDown();
    }
    bool inParent() const { return !qEnvironmentVariableIsSet(childMark); }
};

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

TEST_F(DoublePixelRatio, TheMainWindowKeepsItsLayoutAndItsSkinUndistorted)
{
    if (inParent()) {
        runInChildAtDoubleScale();
        return;
    }
    frmMain &w = window();
    w.picDoor->hide();
    ASSERT_EQ(w.devicePixelRatio(), 2.0);
    EXPECT_EQ(w.size(), QSize(548, 366));

    // Zone corners in logical pixels, where the skin paints their buttons.
    struct Case {
        QWidget *zone;
        QPoint topLeft;
    };
    const Case cases[] = {
        {w.imgMenu[0], {14, 31}},    {w.imgMenu[3], {182, 31}},   {w.imgToolbar[0], {5, 53}},
        {w.imgToolbar[5], {355, 53}}, {w.imgConvert, {413, 256}}, {w.imgUp, {410, 159}},
        {w.imgDown, {473, 159}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.zone->pos(), c.topLeft) << c.zone->objectName().toStdString();

    // The shape is kept in logical pixels: the corner is cut, the header is not.
    const QRegion shape = w.mask();
    EXPECT_EQ(shape.boundingRect(), QRect(0, 0, 548, 366));
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(547, 365)));
    EXPECT_TRUE(shape.contains(QPoint(300, 20)));

    // Each skin pixel becomes a 2 x 2 block of device pixels.
    const QImage shot = w.grab().toImage();
    ASSERT_EQ(shot.size(), QSize(1096, 732));
    const QImage skin(QStringLiteral(":/skin/background.png"));
    for (const QPoint at : {QPoint(300, 20), QPoint(20, 300), QPoint(470, 300), QPoint(540, 200)})
        for (const QPoint offset : {QPoint(0, 0), QPoint(1, 1)}) {
            const QPoint device = at * 2 + offset;
            EXPECT_LE(channelDistance(shot.pixel(device), skin.pixel(at)), 6)
                << at.x() << "," << at.y() << " +" << offset.x();
        }

    // A hover picture covers its button at the same logical place.
    QTest::mouseMove(w.windowHandle(), w.imgToolbar[0]->geometry().center());
    const QImage lit = w.grab().toImage();
    const QImage hover(QStringLiteral(":/skin/toolbar_hover_0.jpg"));
    for (const QPoint at : {QPoint(10, 10), QPoint(33, 60), QPoint(60, 5)})
        EXPECT_LE(channelDistance(lit.pixel((QPoint(5, 53) + at) * 2), hover.pixel(at)), 6) << at.x() << "," << at.y();
}

TEST_F(DoublePixelRatio, TheSettingsWindowKeepsItsFixedLogicalSize)
{
    if (inParent()) {
        runInChildAtDoubleScale();
        return;
    }
    engine().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&engine()));
    EXPECT_EQ(engine().size(), QSize(253, 170));
    EXPECT_EQ(engine().grab().size(), QSize(506, 340));
    const QWidget *controls[] = {engine().txtPath, engine().cmdBrowse, engine().cmbMode, engine().cmdSave};
    for (const QWidget *control : controls)
        EXPECT_TRUE(engine().rect().contains(control->geometry())) << control->objectName().toStdString();
}

} // namespace
} // namespace pagemint::test
