// The windows at a device pixel ratio of 2. Qt reads QT_SCALE_FACTOR only before the application
// object exists, so the test runs itself again as a child process with the factor set.
#include "EngineFixture.h"
#include "ScaledChild.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstdlib>

namespace pagemint::test {
namespace {

const DisplayScaling doubleScale{"Ratio2", {QStringLiteral("QT_SCALE_FACTOR=2")}, 96, 2.0};

class DoublePixelRatio : public EngineFixture {
protected:
    void SetUp() override
    {
        if (!inScaledChild())
            return;
        ASSERT_EQ(qGuiApp->devicePixelRatio(), 2.0) << "QT_SCALE_FACTOR=2 did not give a device pixel ratio of 2";
        EngineFixture::SetUp();
        finishLoading();
    }
    void TearDown() override
    {
        if (engine_)
            EngineFixture::TearDown();
    }
    bool inParent() const { return !inScaledChild(); }
};

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

TEST_F(DoublePixelRatio, TheMainWindowKeepsItsLayoutAndItsSkinUndistorted)
{
    if (inParent()) {
        expectThisTestPassesAt(doubleScale);
        return;
    }
    frmMain &w = window();
    control(w, "picDoor")->hide();
    ASSERT_EQ(w.devicePixelRatio(), 2.0);
    EXPECT_EQ(w.size(), QSize(548, 366));

    // Zone corners in logical pixels, where the skin paints their buttons.
    struct Case {
        const char *zone;
        QPoint topLeft;
    };
    const Case cases[] = {
        {"imgMenu0", {14, 31}},     {"imgMenu3", {182, 31}}, {"imgToolbar0", {5, 53}}, {"imgToolbar5", {355, 53}},
        {"imgConvert", {413, 256}}, {"imgUp", {410, 159}},   {"imgDown", {473, 159}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(control(w, c.zone)->pos(), c.topLeft) << c.zone;

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
    QTest::mouseMove(w.windowHandle(), control(w, "imgToolbar0")->geometry().center());
    const QImage lit = w.grab().toImage();
    const QImage hover(QStringLiteral(":/skin/toolbar_hover_0.jpg"));
    for (const QPoint at : {QPoint(10, 10), QPoint(33, 60), QPoint(60, 5)})
        EXPECT_LE(channelDistance(lit.pixel((QPoint(5, 53) + at) * 2), hover.pixel(at)), 6) << at.x() << "," << at.y();
}

TEST_F(DoublePixelRatio, TheSettingsWindowKeepsItsFixedLogicalSize)
{
    if (inParent()) {
        expectThisTestPassesAt(doubleScale);
        return;
    }
    engine().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&engine()));
    EXPECT_EQ(engine().size(), QSize(253, 284));
    EXPECT_EQ(engine().grab().size(), QSize(506, 568));
    const QWidget *controls[] = {txtPath(),
                                 cmdBrowse(),
                                 cmbMode(),
                                 control(engine(), "cmbPaper"),
                                 control(engine(), "cmbOrientation"),
                                 control(engine(), "spnMargin"),
                                 control(engine(), "cmbFit"),
                                 control(engine(), "cmbText"),
                                 control(engine(), "chkUpright"),
                                 cmdSave()};
    for (const QWidget *control : controls)
        EXPECT_TRUE(engine().rect().contains(control->geometry())) << control->objectName().toStdString();
}

} // namespace
} // namespace pagemint::test
