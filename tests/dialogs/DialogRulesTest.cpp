#include "TestEnvironment.h"

#include "ui/ColorRef.h"
#include "ui/FontSizes.h"
#include "ui/SaveDialogRules.h"

#include <QDir>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pagemint::test {
namespace {

TEST(PreparedSaveFolder, ExistingFoldersGainOneSeparatorOthersGiveWayToTheApplicationFolder)
{
    TestEnvironment env;
    const QString root = env.root();
    const QString app = root + QStringLiteral("/app");
    QDir().mkpath(root + QStringLiteral("/out"));
    QDir().mkpath(root + QStringLiteral("/.hidden"));
    env.writeFile(QStringLiteral("file.pdf"));
    struct Case {
        QString path;
        QString expected;
    };
    const Case cases[] = {
        {root + QStringLiteral("/out"), root + QStringLiteral("/out/")},
        {root + QStringLiteral("/out/"), root + QStringLiteral("/out/")},
        {root + QStringLiteral("/.hidden"), root + QStringLiteral("/.hidden/")},
        {root + QStringLiteral("/missing"), app},
        {root + QStringLiteral("/file.pdf"), app}, // a file is no folder to start in
        {QString(), app},
        {QStringLiteral("   "), app},
        // Blank means spaces only: a tab is a (missing) folder name.
        {QStringLiteral("\t"), app},
    };
    for (const Case &c : cases)
        EXPECT_EQ(preparedSaveFolder(c.path, app), c.expected) << c.path.toStdString();
}

TEST(SaveDialogFilter, BlankFilterOffersEveryFile)
{
    EXPECT_EQ(saveDialogFilter(QString()), QStringLiteral("*.*|*.*"));
    EXPECT_EQ(saveDialogFilter(QStringLiteral("  ")), QStringLiteral("*.*|*.*"));
    EXPECT_EQ(saveDialogFilter(QStringLiteral("PDF|*.pdf")), QStringLiteral("PDF|*.pdf"));
}

TEST(ColorRef, RedIsTheLowByteAndTheHighByteIsIgnored)
{
    struct Case {
        quint32 colorRef;
        QColor color;
    };
    const Case cases[] = {
        {0x000000FFu, QColor(255, 0, 0)},
        {0x0000FF00u, QColor(0, 255, 0)},
        {0x00FF0000u, QColor(0, 0, 255)},
        {0x00123456u, QColor(0x56, 0x34, 0x12)},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(colorFromColorRef(c.colorRef), c.color) << std::hex << c.colorRef;
        EXPECT_EQ(colorRefFromColor(c.color), c.colorRef) << std::hex << c.colorRef;
    }
    EXPECT_EQ(colorFromColorRef(0xFF123456u), QColor(0x56, 0x34, 0x12));
    // Colours held in other models come back as their RGB value.
    EXPECT_EQ(colorRefFromColor(QColor(0x56, 0x34, 0x12).toHsv()), 0x00123456u);
}

TEST(FontHeightPixels, PointsAtADeviceResolutionRoundToTheNearestPixel)
{
    struct Case {
        int points;
        int dpi;
        int height;
    };
    const Case cases[] = {
        {12, 96, -16}, {10, 96, -13},  {11, 96, -15},
        {8, 96, -11},  {12, 120, -20}, {3, 12, -1},             // exactly half a pixel rounds away from zero
        {0, 96, 0},    {-12, 96, 16},  {32767, 2400, -1092233}, // no overflow at the largest property value
    };
    for (const Case &c : cases)
        EXPECT_EQ(fontHeightPixels(c.points, c.dpi), c.height) << c.points << " pt at " << c.dpi << " dpi";
}

TEST(TruncatedPointSize, DropsTheFractionAndRefusesNonSizes)
{
    struct Case {
        double points;
        qint16 expected;
    };
    const Case cases[] = {
        {10.5, 10},
        {12.0, 12},
        {9.99, 9},
        {0.5, 0},
        {-1.0, 0},
        {1e9, 32767},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(truncatedPointSize(c.points), c.expected) << c.points;
}

} // namespace
} // namespace pagemint::test
