// Page size from pixels and resolution, and the page turns and mirrors of EXIF orientations.
#include "PageGeometry.h"
#include "contract/JpegInfo.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pagemint;

TEST(PageGeometry, UsesTheStatedResolutionOnlyWhenPlausible)
{
    const struct {
        double x, y, expectedX, expectedY;
    } cases[] = {
        {300, 300, 300, 300}, {72, 144, 72, 144}, {0, 0, 96, 96},         {1, 1, 96, 96},
        {300, 0, 96, 96},     {1e9, 1e9, 96, 96}, {10, 10000, 10, 10000},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << " x " << c.y);
        const Resolution r = effectiveResolution(c.x, c.y);
        EXPECT_DOUBLE_EQ(r.x, c.expectedX);
        EXPECT_DOUBLE_EQ(r.y, c.expectedY);
    }
}

TEST(PageGeometry, SizesThePageFromPixelsAndResolution)
{
    const struct {
        int w, h;
        double dpiX, dpiY, pageW, pageH;
    } cases[] = {
        {960, 480, 96, 96, 720, 360},
        {300, 600, 300, 150, 72, 288},
        {40000, 100, 96, 96, kMaxPageSide, 100 * 0.75 * kMaxPageSide / 30000}, // 200-inch limit
        {100, 65535, 10, 10, 100 * 7.2 * kMaxPageSide / (65535 * 7.2), kMaxPageSide},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        const PageGeometry g = pageGeometry(c.w, c.h, {c.dpiX, c.dpiY}, 1);
        EXPECT_NEAR(g.mediaWidth, c.pageW, 1e-9);
        EXPECT_NEAR(g.mediaHeight, c.pageH, 1e-9);
        EXPECT_LE(g.mediaWidth, kMaxPageSide);
        EXPECT_LE(g.mediaHeight, kMaxPageSide);
    }
}

namespace {
// Where the matrix sends a corner of the image's unit square.
std::pair<double, double> apply(const std::array<double, 6> &m, double u, double v)
{
    return {m[0] * u + m[2] * v + m[4], m[1] * u + m[3] * v + m[5]};
}
} // namespace

TEST(PageGeometry, TurnsWithRotateAndMirrorsWithAMatrix)
{
    // A 400 x 200 point picture. The first stored pixel (top left) is the unit square's (0, 1);
    // `firstPixel` is where it lands on the unrotated page, by what each EXIF value means.
    const struct {
        int orientation;
        double pageW, pageH;
        int rotate;
        std::pair<double, double> firstPixel;
    } cases[] = {
        {1, 400, 200, 0, {0, 200}},  {2, 400, 200, 0, {400, 200}}, {3, 400, 200, 180, {0, 200}},
        {4, 400, 200, 0, {0, 0}},    {5, 200, 400, 0, {0, 400}},   {6, 400, 200, 90, {0, 200}},
        {7, 200, 400, 0, {200, 0}},  {8, 400, 200, 270, {0, 200}}, {0, 400, 200, 0, {0, 200}},
        {42, 400, 200, 0, {0, 200}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "orientation " << c.orientation);
        const PageGeometry g = pageGeometry(800, 400, {144, 144}, c.orientation);
        EXPECT_NEAR(g.mediaWidth, c.pageW, 1e-9);
        EXPECT_NEAR(g.mediaHeight, c.pageH, 1e-9);
        EXPECT_EQ(g.rotate, c.rotate);
        const auto [x, y] = apply(g.matrix, 0, 1);
        EXPECT_NEAR(x, c.firstPixel.first, 1e-9);
        EXPECT_NEAR(y, c.firstPixel.second, 1e-9);
        // Whatever the orientation, the picture covers the page exactly.
        double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
        for (auto [u, v] : {std::pair{0, 0}, {0, 1}, {1, 0}, {1, 1}}) {
            const auto [px, py] = apply(g.matrix, u, v);
            minX = std::min(minX, px), maxX = std::max(maxX, px);
            minY = std::min(minY, py), maxY = std::max(maxY, py);
        }
        EXPECT_NEAR(minX, 0, 1e-9);
        EXPECT_NEAR(minY, 0, 1e-9);
        EXPECT_NEAR(maxX, g.mediaWidth, 1e-9);
        EXPECT_NEAR(maxY, g.mediaHeight, 1e-9);
    }
}

TEST(PageGeometry, ReadsTheJpegFields)
{
    JpegInfo info;
    info.width = 600;
    info.height = 300;
    info.dpiX = info.dpiY = 300;
    info.orientation = 6;
    const PageGeometry g = pageGeometry(info);
    EXPECT_DOUBLE_EQ(g.mediaWidth, 144);
    EXPECT_DOUBLE_EQ(g.mediaHeight, 72);
    EXPECT_EQ(g.rotate, 90);
}
