#include "ScaledChild.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryFile>
#include <QWidget>
#include <gtest/gtest.h>

namespace pagemint::test {

namespace {
// Set in the child: "<logical DPI> <device pixel ratio>" it must run at.
constexpr char expectedScalingVariable[] = "PAGEMINT_EXPECTED_SCALING";
} // namespace

const DisplayScaling windowScalings[4] = {
    {"Dpi96", {QStringLiteral("QT_FONT_DPI=96")}, 96, 1.0},
    {"Dpi120", {QStringLiteral("QT_FONT_DPI=120"), QStringLiteral("QT_SCALE_FACTOR_ROUNDING_POLICY=Round")}, 120, 1.0},
    {"Dpi144", {QStringLiteral("QT_FONT_DPI=144"), QStringLiteral("QT_SCALE_FACTOR_ROUNDING_POLICY=Floor")}, 144, 1.0},
    {"Dpi144RoundedToRatio2",
     {QStringLiteral("QT_FONT_DPI=144"), QStringLiteral("QT_SCALE_FACTOR_ROUNDING_POLICY=Round")},
     72,
     2.0},
};

std::string scalingName(const ::testing::TestParamInfo<DisplayScaling> &info)
{
    return info.param.name;
}

void expectTestsPassAt(const DisplayScaling &scaling, const QString &filter, QSize screen)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *inherited : {"QT_FONT_DPI", "QT_SCALE_FACTOR", "QT_SCALE_FACTOR_ROUNDING_POLICY",
                                  "QT_ENABLE_HIGHDPI_SCALING", "QT_SCREEN_SCALE_FACTORS"})
        environment.remove(QString::fromLatin1(inherited));
    for (const QString &variable : scaling.variables)
        environment.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
    // A desktop-sized screen (offscreen's own is 800 x 800), so the main window fits on it at a
    // pixel ratio of 2 and its menus are not pushed back onto the screen.
    QTemporaryFile screens;
    ASSERT_TRUE(screens.open());
    screens.write(QStringLiteral(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": %1, "height": %2}]})")
                      .arg(screen.width())
                      .arg(screen.height())
                      .toUtf8());
    screens.close();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + screens.fileName());
    environment.insert(QString::fromLatin1(expectedScalingVariable),
                       QStringLiteral("%1 %2").arg(scaling.logicalDpi).arg(scaling.devicePixelRatio));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + filter});
    ASSERT_TRUE(child.waitForFinished(240000)) << scaling.name;
    const std::string output = QString::fromLocal8Bit(child.readAll()).toStdString();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output;
    EXPECT_EQ(child.exitCode(), 0) << output;
    // A child that ran nothing would pass too.
    EXPECT_EQ(output.find("[  PASSED  ] 0 tests"), std::string::npos) << output;
    EXPECT_NE(output.find("[  PASSED  ] "), std::string::npos) << output;
}

void expectThisTestPassesAt(const DisplayScaling &scaling)
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    expectTestsPassAt(scaling, QStringLiteral("%1.%2").arg(QString::fromLatin1(test->test_suite_name()),
                                                           QString::fromLatin1(test->name())));
}

bool inScaledChild()
{
    return qEnvironmentVariableIsSet(expectedScalingVariable);
}

void expectRequestedScaling(const QWidget &window)
{
    if (!inScaledChild())
        return;
    const QStringList expected = qEnvironmentVariable(expectedScalingVariable).split(QLatin1Char(' '));
    ASSERT_EQ(expected.size(), 2);
    EXPECT_EQ(window.logicalDpiX(), expected[0].toInt());
    EXPECT_EQ(window.logicalDpiY(), expected[0].toInt());
    EXPECT_EQ(window.devicePixelRatio(), expected[1].toDouble());
}

} // namespace pagemint::test
