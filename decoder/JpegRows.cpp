#include "JpegRows.h"

#include <csetjmp>

#include <jpeglib.h>

namespace pagemint::decoder {

namespace {
// The quality FreeImage's writer uses when no flag asks for another.
constexpr int kQuality = 75;
} // namespace

struct JpegRows::State {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    std::jmp_buf failed{};
    std::FILE *target = nullptr;
    bool ok = false;
};

namespace {
// libjpeg ends a failed call here instead of the process; only plain data lies between.
[[noreturn]] void leave(j_common_ptr info)
{
    std::longjmp(*static_cast<std::jmp_buf *>(info->client_data), 1);
}
void quiet(j_common_ptr, int) {}
} // namespace

unsigned dotsPerInch(unsigned dotsPerMetre)
{
    return static_cast<std::uint16_t>(0.5 + 0.0254 * dotsPerMetre);
}

JpegRows::JpegRows(std::FILE *target, unsigned width, unsigned height, unsigned dotsPerMetreX, unsigned dotsPerMetreY)
    : state_(std::make_unique<State>())
{
    State &s = *state_;
    s.target = target;
    s.info.err = jpeg_std_error(&s.errors);
    s.errors.error_exit = leave;
    s.errors.emit_message = quiet;
    s.info.client_data = &s.failed;
    if (setjmp(s.failed) != 0)
        return;
    jpeg_create_compress(&s.info);
    jpeg_stdio_dest(&s.info, target);
    s.info.image_width = width;
    s.info.image_height = height;
    s.info.input_components = 3;
    s.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&s.info);
    s.info.density_unit = 1;
    s.info.X_density = static_cast<UINT16>(dotsPerInch(dotsPerMetreX));
    s.info.Y_density = static_cast<UINT16>(dotsPerInch(dotsPerMetreY));
    jpeg_set_quality(&s.info, kQuality, TRUE);
    jpeg_start_compress(&s.info, TRUE);
    s.ok = true;
}

JpegRows::~JpegRows()
{
    jpeg_destroy_compress(&state_->info);
}

bool JpegRows::write(const std::uint8_t *rgb)
{
    State &s = *state_;
    if (!s.ok)
        return false;
    if (setjmp(s.failed) != 0)
        return s.ok = false;
    JSAMPROW row = const_cast<JSAMPROW>(rgb);
    jpeg_write_scanlines(&s.info, &row, 1);
    return true;
}

bool JpegRows::finish()
{
    State &s = *state_;
    if (!s.ok)
        return false;
    if (setjmp(s.failed) != 0)
        return s.ok = false;
    jpeg_finish_compress(&s.info);
    return std::fflush(s.target) == 0 && !std::ferror(s.target);
}

} // namespace pagemint::decoder
