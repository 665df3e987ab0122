#include "imagelist/ImageListRules.h"

#include <gtest/gtest.h>

namespace pagemint {
namespace {

TEST(ImageListRules, PageLabelCountsFromOneAndShowsZeroWithoutSelection)
{
    EXPECT_EQ(pageLabelText(-1), QStringLiteral("所在页码: 0"));
    EXPECT_EQ(pageLabelText(0), QStringLiteral("所在页码: 1"));
    EXPECT_EQ(pageLabelText(2), QStringLiteral("所在页码: 3"));
    EXPECT_EQ(pageLabelText(32766), QStringLiteral("所在页码: 32767"));
}

TEST(ImageListRules, FilenameLabelKeepsTheLastFortyCharacters)
{
    const QString forty(40, QLatin1Char('a'));
    const QString fortyOne = QStringLiteral("b") + forty;
    EXPECT_EQ(filenameLabelText(forty), forty);
    EXPECT_EQ(filenameLabelText(fortyOne), QStringLiteral("...") + forty);
    EXPECT_EQ(filenameLabelText(fortyOne).size(), 43);
    EXPECT_EQ(filenameLabelText(QString()), QString());
}

TEST(ImageListRules, MoveTargets)
{
    struct Case {
        int selected, count;
        MoveDirection direction;
        int expected;
    };
    const Case cases[] = {
        {2, 5, MoveDirection::Up, 1},    {2, 5, MoveDirection::Down, 3},  {0, 5, MoveDirection::Up, -1},
        {4, 5, MoveDirection::Down, -1}, {-1, 5, MoveDirection::Up, -1},  {-1, 5, MoveDirection::Down, -1},
        {0, 1, MoveDirection::Down, -1}, {0, 0, MoveDirection::Down, -1}, {1, 2, MoveDirection::Up, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(moveTarget(c.selected, c.count, c.direction), c.expected)
            << "selected " << c.selected << " of " << c.count;
}

} // namespace
} // namespace pagemint
