#include "app/Numeric.h"
#include "ui/TwipsLayout.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace pagemint {
namespace {

TEST(TwipsLayout, RescalingKeepsDesignedPixelsAtAnyResolution)
{
    struct Case {
        TwipsPerPixel tpp;
        double left, top, font;
    };
    // 96 dpi (15 twips per pixel) changes nothing; 120 dpi (12) multiplies by 0.8.
    const Case cases[] = {{{15, 15}, 6190, 3840, 9}, {{12, 12}, 4952, 3072, 7.2}, {{12, 15}, 4952, 3840, 7.2}};
    for (const Case &c : cases) {
        const ControlPlacement result = rescaled({nullptr, {6190, 3840, 1845, 945}, 9}, c.tpp);
        EXPECT_DOUBLE_EQ(result.rect.left, c.left);
        EXPECT_DOUBLE_EQ(result.rect.top, c.top);
        EXPECT_DOUBLE_EQ(result.fontSize, c.font);
        // Sizes are not rescaled.
        EXPECT_DOUBLE_EQ(result.rect.width, 1845);
        EXPECT_DOUBLE_EQ(result.rect.height, 945);
    }
}

TEST(TwipsLayout, PixelPositionStaysTheSameAfterRescaling)
{
    for (double tpp : {15.0, 12.0, 10.0}) {
        const ControlPlacement result = rescaled({nullptr, {6190, 3840, 1845, 945}, 0}, {tpp, tpp});
        EXPECT_EQ(toPixels(result.rect, {tpp, tpp}).topLeft(), QPoint(413, 256)) << tpp;
    }
}

TEST(TwipsLayout, ApplyMovesControlsInOrder)
{
    QWidget parent;
    auto *label = new QLabel(&parent);
    std::vector<ControlPlacement> layout = {{label, {150, 2070, 5865, 2760}, 9}};
    applyRescaling(layout, {15, 15});
    EXPECT_EQ(label->geometry(), QRect(10, 138, 391, 184));
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 9);
}

TEST(Numeric, RoundHalfEven)
{
    const std::pair<double, double> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {12.5, 12}, {37.5, 38},
                                               {2.4, 2}, {2.6, 3}, {-0.5, 0}, {-1.5, -2}, {3, 3}};
    for (const auto &[value, expected] : cases)
        EXPECT_EQ(roundHalfEven(value), expected) << value;
}

} // namespace
} // namespace pagemint
