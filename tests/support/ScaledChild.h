#pragma once
// Qt reads its scaling variables (QT_FONT_DPI, QT_SCALE_FACTOR, ...) only before the application
// object exists, so a test of another screen set-up runs this test program again as a child with
// them set.
#include <QSize>
#include <QStringList>
#include <gtest/gtest.h>

#include <ostream>
#include <string>

class QWidget;

namespace pagemint::test {

// A screen set-up as a desktop gives it: Qt's variables, and the logical DPI and device pixel
// ratio they must give.
struct DisplayScaling {
    const char *name;
    QStringList variables; // "NAME=value"
    int logicalDpi;
    double devicePixelRatio;
};

// The set-ups every window test runs at: 96, 120 and 144 dpi at a pixel ratio of 1 (what the
// twips rules are for), and 144 dpi rounded by the desktop to a pixel ratio of 2 (72 dpi).
extern const DisplayScaling windowScalings[4];

// Names a parameterized test after its set-up, and prints it so.
std::string scalingName(const ::testing::TestParamInfo<DisplayScaling> &info);
inline void PrintTo(const DisplayScaling &scaling, std::ostream *os)
{
    *os << scaling.name;
}

// Runs the tests of this program that match `filter` in a child at `scaling`, on a screen of
// `screen` device pixels; expects them to pass after running at least one. The child's output is
// shown when they do not.
void expectTestsPassAt(const DisplayScaling &scaling, const QString &filter, QSize screen = QSize(1920, 1200));

// The current test alone, in a child at `scaling`.
void expectThisTestPassesAt(const DisplayScaling &scaling);

// True in such a child.
bool inScaledChild();

// In a child: fails the test when Qt did not give the set-up asked for, so that a variable Qt
// ignored cannot run the tests at 96 dpi unnoticed. Does nothing outside a child.
void expectRequestedScaling(const QWidget &window);

} // namespace pagemint::test
