#include "PngStrips.h"

#include "JpegRows.h"
#include "PageWriter.h"
#include "StripRelay.h"
#include "contract/Reasons.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <string>
#include <vector>

namespace pagemint::decoder {

namespace {

struct Reading {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::string failure; // libpng's own words for what went wrong
    ~Reading() { png_destroy_read_struct(&png, &info, nullptr); }
};

void noteError(png_structp png, png_const_charp message)
{
    static_cast<Reading *>(png_get_error_ptr(png))->failure = message;
    png_longjmp(png, 1);
}
void ignoreWarning(png_structp, png_const_charp) {}

// FreeImage corrects a PNG's stated gamma for a display of 2.2 (none for the usual 1/2.2).
constexpr double kScreenGamma = 2.2;

// Whether the PNG's rows can go straight into the page as RGB: what FreeImage does beyond that
// (transparency on white, a profile or text written into the JPEG, a gamma on anything but 8-bit
// gray or RGB samples, which it corrects in its own way) is left to it.
bool takesRowsAsTheyAre(png_structp png, png_infop info)
{
    const int type = png_get_color_type(png, info);
    const bool gammaAsLibpngDoes =
        (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_RGB) && png_get_bit_depth(png, info) == 8;
    return png_get_interlace_type(png, info) == PNG_INTERLACE_NONE && (type & PNG_COLOR_MASK_ALPHA) == 0 &&
           !png_get_valid(png, info, PNG_INFO_tRNS | PNG_INFO_iCCP) &&
           (gammaAsLibpngDoes || !png_get_valid(png, info, PNG_INFO_gAMA)) &&
           png_get_text(png, info, nullptr, nullptr) == 0;
}

// Every kind as 8-bit RGB: a palette looked up, gray repeated, 16 bits cut to their high byte, as
// FreeImage's conversion to 24 bits does.
void askForRgb(png_structp png, png_infop info)
{
    const int type = png_get_color_type(png, info);
    if (type == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_bit_depth(png, info) == 16)
        png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_GRAY)
        png_set_gray_to_rgb(png);
    if (double gamma = 0; png_get_gAMA(png, info, &gamma) != 0)
        png_set_gamma(png, kScreenGamma, gamma);
    png_read_update_info(png, info);
}

void dotsPerMetre(png_structp png, png_infop info, png_uint_32 &x, png_uint_32 &y)
{
    int unit = PNG_RESOLUTION_UNKNOWN;
    if (png_get_pHYs(png, info, &x, &y, &unit) == 0 || unit != PNG_RESOLUTION_METER)
        x = y = kDefaultDotsPerMetre;
}

struct Header {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    png_uint_32 dotsPerMetreX = 0;
    png_uint_32 dotsPerMetreY = 0;
};

enum class Step { Declined, Damaged, Done };

// libpng leaves a failed call by longjmp: these frames hold plain data only, and the objects with
// destructors live in the caller's.
Step readHeader(Reading &reading, Header &header)
{
    png_structp png = reading.png;
    png_infop info = reading.info;
    if (setjmp(png_jmpbuf(png)) != 0)
        return Step::Damaged;
    png_read_info(png, info);
    if (!takesRowsAsTheyAre(png, info))
        return Step::Declined;
    askForRgb(png, info);
    header.width = png_get_image_width(png, info);
    header.height = png_get_image_height(png, info);
    if (png_get_rowbytes(png, info) != std::size_t{header.width} * 3)
        return Step::Declined;
    dotsPerMetre(png, info, header.dotsPerMetreX, header.dotsPerMetreY);
    return Step::Done;
}

Step readRow(Reading &reading, png_byte *row)
{
    if (setjmp(png_jmpbuf(reading.png)) != 0)
        return Step::Damaged;
    png_read_row(reading.png, row, nullptr);
    return Step::Done;
}

// A file cut after its picture data fails here, as it does in FreeImage.
Step readEnd(Reading &reading)
{
    if (setjmp(png_jmpbuf(reading.png)) != 0)
        return Step::Damaged;
    png_read_end(reading.png, nullptr);
    return Step::Done;
}

DecodeOutcome damaged(const Reading &reading)
{
    return DecodeOutcome::refused(ExitCode::LoaderFailed, reason::inBrackets(reason::kDamaged, reading.failure));
}

// libjpeg takes its rows sixteen at a time for a 4:2:0 page.
constexpr unsigned kRowsPerStrip = 16;
} // namespace

std::optional<DecodeOutcome> decodePngInStrips(std::FILE *source, std::FILE *target)
{
    Reading reading;
    reading.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading, noteError, ignoreWarning);
    if (reading.png == nullptr || (reading.info = png_create_info_struct(reading.png)) == nullptr)
        return std::nullopt;
    png_init_io(reading.png, source);
    Header header;
    switch (readHeader(reading, header)) {
    case Step::Declined:
        std::rewind(source);
        return std::nullopt;
    case Step::Damaged:
        return damaged(reading);
    case Step::Done:
        break;
    }
    errno = 0;
    JpegRows page(target, header.width, header.height, header.dotsPerMetreX, header.dotsPerMetreY);
    // The page is written on a second thread while libpng inflates the next rows.
    int writeError = 0; // the writer's errno: it is its thread's own
    StripRelay relay(std::size_t{header.width} * 3, kRowsPerStrip, [&page, &writeError](const std::uint8_t *row) {
        if (page.write(row))
            return true;
        writeError = errno;
        return false;
    });
    for (png_uint_32 y = 0; y < header.height; ++y) {
        png_byte *row = relay.freeRow();
        if (row == nullptr)
            return writeFailed(writeError);
        if (readRow(reading, row) != Step::Done)
            return damaged(reading);
        relay.rowFilled();
    }
    if (readEnd(reading) != Step::Done)
        return damaged(reading);
    if (!relay.finish())
        return writeFailed(writeError);
    if (!page.finish())
        return writeFailed(errno);
    return DecodeOutcome::written();
}

} // namespace pagemint::decoder
