#include "StripRelay.h"

#include <system_error>
#include <utility>

namespace pagemint::decoder {

namespace {
// Two strips let reading and writing overlap; a third absorbs their unevenness.
constexpr std::size_t kStrips = 3;
} // namespace

StripRelay::StripRelay(std::size_t rowBytes, unsigned rowsPerStrip, RowWriter write, Writer where)
    : rowBytes_(rowBytes), rowsPerStrip_(rowsPerStrip == 0 ? 1 : rowsPerStrip), write_(std::move(write)),
      strips_(kStrips, std::vector<std::uint8_t>(rowBytes_ * rowsPerStrip_)), rowsIn_(kStrips, 0)
{
    if (where == Writer::ReadingThread)
        return;
    try {
        writer_ = std::thread([this] { writeStrips(); });
    } catch (const std::system_error &) {
        // No thread to be had (a process limit): the reading thread writes each strip itself.
    }
}

StripRelay::~StripRelay()
{
    if (!writer_.joinable())
        return;
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

std::uint8_t *StripRelay::freeRow()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return handed_ - written_ < kStrips || failed_; });
    if (failed_)
        return nullptr;
    return strips_[handed_ % kStrips].data() + filling_ * rowBytes_;
}

void StripRelay::rowFilled()
{
    if (++filling_ == rowsPerStrip_)
        handOver();
}

void StripRelay::handOver()
{
    std::unique_lock lock(mutex_);
    const std::size_t slot = handed_ % kStrips;
    rowsIn_[slot] = filling_;
    ++handed_;
    filling_ = 0;
    if (writer_.joinable()) {
        lock.unlock();
        changed_.notify_all();
        return;
    }
    lock.unlock();
    const bool written = writeStrip(slot);
    lock.lock();
    ++written_;
    failed_ = failed_ || !written;
}

bool StripRelay::finish()
{
    if (filling_ > 0)
        handOver();
    if (!writer_.joinable()) {
        const std::lock_guard lock(mutex_);
        return !failed_;
    }
    {
        const std::lock_guard lock(mutex_);
        lastHanded_ = true;
    }
    changed_.notify_all();
    writer_.join();
    return !failed_ && written_ == handed_;
}

bool StripRelay::writeStrip(std::size_t slot)
{
    const std::uint8_t *row = strips_[slot].data();
    for (unsigned i = 0; i < rowsIn_[slot]; ++i, row += rowBytes_)
        if (!write_(row))
            return false;
    return true;
}

void StripRelay::writeStrips()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return written_ < handed_ || lastHanded_ || stopped_; });
        if (stopped_ || written_ == handed_)
            return;
        const std::size_t slot = written_ % kStrips;
        lock.unlock();
        const bool written = writeStrip(slot);
        lock.lock();
        if (!written) {
            failed_ = true;
            changed_.notify_all();
            return;
        }
        ++written_;
        changed_.notify_all();
    }
}

} // namespace pagemint::decoder
