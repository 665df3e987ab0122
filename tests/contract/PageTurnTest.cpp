// The user's turn of a page: how it combines with the EXIF orientation, and the converter's turn
// arguments written and read back.
#include "contract/PageTurn.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pagemint::test {
namespace {

TEST(PageTurn, QuarterTurnsComeBackAsClockwiseDegrees)
{
    const struct {
        int degrees;
        std::optional<int> turn;
    } cases[] = {{0, 0},     {90, 90},    {180, 180}, {270, 270},         {360, 0},
                 {-90, 270}, {-450, 270}, {720, 0},   {45, std::nullopt}, {1, std::nullopt}};
    for (const auto &c : cases)
        EXPECT_EQ(quarterTurn(c.degrees), c.turn) << c.degrees;
}

TEST(PageTurn, ATurnAfterTheExifOrientationIsAnotherOrientation)
{
    // Worked out by hand on a picture with a mark in its first stored row's first pixel: where the
    // mark and the row end up after the EXIF step and then the clockwise turn.
    const struct {
        int orientation, turn, result;
    } cases[] = {
        {1, 0, 1},  {1, 90, 6},  {1, 180, 3}, {1, 270, 8}, {6, 90, 3},  {6, 270, 1}, {3, 180, 1},
        {8, 90, 1}, {8, 180, 6}, {2, 90, 7},  {2, 180, 4}, {2, 270, 5}, {7, 90, 4},  {5, 90, 2},
        {4, 90, 5}, {0, 90, 6},  {9, 180, 3}, {6, 45, 6},  {6, -90, 1}, {5, 0, 5},
    };
    for (const auto &c : cases)
        EXPECT_EQ(turnedOrientation(c.orientation, c.turn), c.result) << c.orientation << " + " << c.turn;
}

TEST(PageTurn, ArgumentsReadBackAndRefuseWhatIsOutOfForm)
{
    EXPECT_EQ(turnArgument("00003.jpg", 90), "--turn=00003.jpg:90");
    EXPECT_EQ(turnArgument("a.jpg", -90), "--turn=a.jpg:270");

    using Turns = std::map<std::string, int>;
    const struct {
        std::vector<std::string_view> arguments;
        std::optional<Turns> turns;
    } cases[] = {
        {{}, Turns{}},
        {{"--turn=00003.jpg:90", "--turn=00010.jpg:270"}, Turns{{"00003.jpg", 90}, {"00010.jpg", 270}}},
        {{"--turn=a:b.jpg:180"}, Turns{{"a:b.jpg", 180}}}, // the turn follows the last colon
        {{"--turn=00003.jpg:0"}, Turns{}},
        {{"--turn=00003.jpg:45"}, std::nullopt},
        {{"--turn=00003.jpg:360"}, std::nullopt},
        {{"--turn=00003.jpg:-90"}, std::nullopt},
        {{"--turn=00003.jpg:90x"}, std::nullopt},
        {{"--turn=00003.jpg:"}, std::nullopt},
        {{"--turn=00003.jpg"}, std::nullopt},
        {{"--turn=:90"}, std::nullopt},
        {{"--turn=a.jpg:90", "--turn=a.jpg:180"}, std::nullopt},
        {{"--paper=A4"}, std::nullopt},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(parseTurnArguments(c.arguments), c.turns)
            << (c.arguments.empty() ? std::string("(none)") : std::string(c.arguments.front()));
    }
    EXPECT_TRUE(isTurnArgument("--turn=x:90"));
    EXPECT_FALSE(isTurnArgument("--paper=A4"));
}

} // namespace
} // namespace pagemint::test
