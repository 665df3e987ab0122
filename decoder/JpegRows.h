#pragma once
// A page written row by row with libjpeg as FreeImage's writer writes it with flags 0 (baseline,
// quality 75, 4:2:0, the resolution as a JFIF density in dots per inch): the same bytes, without
// the whole picture in memory.

#include <cstdint>
#include <cstdio>
#include <memory>

namespace pagemint::decoder {

class JpegRows {
public:
    // Starts the page in `target`; the resolution in dots per metre, as FreeImage keeps it.
    JpegRows(std::FILE *target, unsigned width, unsigned height, unsigned dotsPerMetreX, unsigned dotsPerMetreY);
    ~JpegRows();
    JpegRows(const JpegRows &) = delete;
    JpegRows &operator=(const JpegRows &) = delete;

    // One row, top first, `width` RGB pixels. False once libjpeg failed.
    bool write(const std::uint8_t *rgb);
    // Ends the page after the last row and flushes `target`. False when anything failed.
    bool finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// FreeImage's resolution for a bitmap that states none: 72 dots per inch.
inline constexpr unsigned kDefaultDotsPerMetre = 2835;

// The JFIF density FreeImage writes for a resolution in dots per metre.
unsigned dotsPerInch(unsigned dotsPerMetre);

} // namespace pagemint::decoder
