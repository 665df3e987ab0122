#pragma once
// Rows handed from the thread that reads a picture to a thread that writes its page, a strip of
// rows at a time, so that decoding and encoding run side by side on two cores. A few strips go
// round: memory stays a few strips whatever the picture's height. Where no thread can be started
// each strip is written on the reading thread as it fills, as before.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace pagemint::decoder {

class StripRelay {
public:
    // Takes one row; false stops the relay (the rows after it are not given).
    using RowWriter = std::function<bool(const std::uint8_t *row)>;
    enum class Writer { OwnThread, ReadingThread };

    StripRelay(std::size_t rowBytes, unsigned rowsPerStrip, RowWriter write, Writer where = Writer::OwnThread);
    // Stops the writer after the strip it is on, without the rows not yet written.
    ~StripRelay();
    StripRelay(const StripRelay &) = delete;
    StripRelay &operator=(const StripRelay &) = delete;

    // Where the next row goes; nullptr once the writer has failed.
    std::uint8_t *freeRow();
    // The row from freeRow() is filled; a full strip goes to the writer.
    void rowFilled();
    // Hands over the last rows and waits for the writer: true when it took every row.
    bool finish();

private:
    void handOver();
    void writeStrips();
    bool writeStrip(std::size_t slot);

    const std::size_t rowBytes_;
    const unsigned rowsPerStrip_;
    const RowWriter write_;
    std::vector<std::vector<std::uint8_t>> strips_;
    std::vector<unsigned> rowsIn_; // rows in each handed strip
    unsigned filling_ = 0;         // rows filled in the strip being filled

    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t handed_ = 0;  // strips handed over so far
    std::size_t written_ = 0; // strips the writer has written
    bool lastHanded_ = false;
    bool stopped_ = false;
    bool failed_ = false;
    std::thread writer_;
};

} // namespace pagemint::decoder
