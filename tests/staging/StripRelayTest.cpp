// Rows handed to the page's writer in strips, on its own thread or on the reading one: every row
// arrives once, in order, unchanged; after the writer fails it gets no more rows and the reader
// learns it; a reader that gives up stops the writer.
#include "StripRelay.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <vector>

namespace pagemint::test {
namespace {

using decoder::StripRelay;

constexpr std::size_t kRowBytes = 5;
constexpr unsigned kNone = ~0u;

struct RelayCase {
    const char *name;
    unsigned rows;
    unsigned rowsPerStrip;
    unsigned writerFailsAt = kNone; // the row the writer refuses
    unsigned readerStopsAt = kNone; // the row after which the reader gives up
};

const RelayCase relayCases[] = {
    {"no rows", 0, 4},
    {"one row", 1, 4},
    {"a part strip", 3, 4},
    {"whole strips", 12, 4},
    {"whole strips and a part", 13, 4},
    {"more strips than go round", 40, 3},
    {"a row a strip", 7, 1},
    {"the writer fails at the first row", 20, 4, 0},
    {"the writer fails inside a strip", 20, 4, 6},
    {"the writer fails at the last row", 20, 4, 19},
    {"the writer fails far before the end", 200, 2, 3},
    {"the reader gives up", 40, 4, kNone, 9},
};

std::uint8_t byteOf(unsigned row, std::size_t i)
{
    return static_cast<std::uint8_t>(row * 31 + i * 7 + 1);
}

struct Written {
    std::mutex mutex;
    std::vector<std::vector<std::uint8_t>> rows;
    bool refused = false;
    bool askedAfterRefusing = false;
};

TEST(StripRelayTest, RowsReachTheWriterOnceInOrderAndFailuresStopBothSides)
{
    for (const StripRelay::Writer where : {StripRelay::Writer::OwnThread, StripRelay::Writer::ReadingThread})
        for (const RelayCase &c : relayCases) {
            SCOPED_TRACE(std::string(c.name) + (where == StripRelay::Writer::OwnThread ? ", own thread" : ", inline"));
            Written written;
            bool finished = false;
            unsigned read = 0;
            {
                StripRelay relay(
                    kRowBytes, c.rowsPerStrip,
                    [&written, &c](const std::uint8_t *row) {
                        const std::lock_guard lock(written.mutex);
                        written.askedAfterRefusing = written.askedAfterRefusing || written.refused;
                        if (written.rows.size() == c.writerFailsAt) {
                            written.refused = true;
                            return false;
                        }
                        written.rows.emplace_back(row, row + kRowBytes);
                        return true;
                    },
                    where);
                bool gaveUp = false;
                for (; read < c.rows; ++read) {
                    std::uint8_t *row = relay.freeRow();
                    if (row == nullptr)
                        break;
                    for (std::size_t i = 0; i < kRowBytes; ++i)
                        row[i] = byteOf(read, i);
                    relay.rowFilled();
                    if (read == c.readerStopsAt) {
                        gaveUp = true;
                        break;
                    }
                }
                if (!gaveUp)
                    finished = relay.finish();
            }

            const std::lock_guard lock(written.mutex);
            EXPECT_FALSE(written.askedAfterRefusing);
            for (unsigned y = 0; y < written.rows.size(); ++y)
                for (std::size_t i = 0; i < kRowBytes; ++i)
                    ASSERT_EQ(written.rows[y][i], byteOf(y, i)) << "row " << y << ", byte " << i;
            if (c.writerFailsAt != kNone) {
                EXPECT_FALSE(finished);
                EXPECT_EQ(written.rows.size(), c.writerFailsAt);
                EXPECT_TRUE(written.refused);
            } else if (c.readerStopsAt != kNone) {
                EXPECT_LE(written.rows.size(), c.readerStopsAt + 1);
            } else {
                EXPECT_TRUE(finished);
                EXPECT_EQ(read, c.rows);
                EXPECT_EQ(written.rows.size(), c.rows);
            }
        }
}

// The writer failing long before the end is told to the reader: it stops reading (the rows it
// read are at most the strips that go round ahead of the writer) instead of reading the picture
// to its end.
TEST(StripRelayTest, TheReaderLearnsOfTheWritersFailureBeforeTheEnd)
{
    constexpr unsigned kRows = 10000, kRowsPerStrip = 2;
    unsigned read = 0;
    StripRelay relay(kRowBytes, kRowsPerStrip, [](const std::uint8_t *) { return false; });
    while (read < kRows && relay.freeRow() != nullptr) {
        relay.rowFilled();
        ++read;
    }
    EXPECT_LT(read, kRows);
    EXPECT_FALSE(relay.finish());
}

} // namespace
} // namespace pagemint::test
