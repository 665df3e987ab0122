// Replays the fuzzers' finds and seeds (tests/fixtures/converter) through the header reader and the
// page-text reader: every build checks that none crashes and that what is accepted is usable by
// the PDF writer.
#include "PageGeometry.h"
#include "contract/JpegInfo.h"
#include "fuzz/PageTextInvariants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;
using namespace pagemint;

TEST(FuzzFound, EveryKeptInputIsRefusedWithAReasonOrUsable)
{
    int replayed = 0;
    for (const char *folder : {"seeds", "fuzz-found"}) {
        for (const auto &entry : fs::directory_iterator(fs::path(PAGEMINT_CONVERTER_FIXTURES) / folder)) {
            SCOPED_TRACE(entry.path().string());
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
            JpegInfo info;
            std::string reason;
            ++replayed;
            if (!inspectJpeg(bytes, info, reason)) {
                EXPECT_FALSE(reason.empty());
                continue;
            }
            EXPECT_GT(info.width, 0);
            EXPECT_GT(info.height, 0);
            EXPECT_TRUE(info.components == 1 || info.components == 3 || info.components == 4);
            EXPECT_GE(info.orientation, 1);
            EXPECT_LE(info.orientation, 8);
            const PageGeometry g = pageGeometry(info);
            EXPECT_GT(g.mediaWidth, 0);
            EXPECT_GT(g.mediaHeight, 0);
            EXPECT_LE(g.mediaWidth, kMaxPageSide);
            EXPECT_LE(g.mediaHeight, kMaxPageSide);
            for (double m : g.matrix)
                EXPECT_TRUE(std::isfinite(m));
        }
    }
    EXPECT_GE(replayed, 4); // the seeds at least: an empty replay would prove nothing
}

TEST(FuzzFound, EveryKeptPageTextIsRefusedWithAReasonOrLaysOut)
{
    int replayed = 0;
    for (const char *folder : {"page-text-seeds", "page-text-found"}) {
        for (const auto &entry : fs::directory_iterator(fs::path(PAGEMINT_CONVERTER_FIXTURES) / folder)) {
            SCOPED_TRACE(entry.path().string());
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), {});
            ++replayed;
            EXPECT_TRUE(fuzz::pageTextInputHolds(bytes));
        }
    }
    EXPECT_GE(replayed, 3); // the seeds at least
}
