#include "HeifDecoder.h"

#include "ImageHandle.h"
#include "PageWriter.h"
#include "contract/PictureLimits.h"
#include "contract/Reasons.h"

#include <lcms2.h>
#include <libheif/heif.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pagemint::decoder {

namespace {
// The coded planes, the interleaved picture libheif makes from them and the page bitmap made from
// that; at most 16 bits a sample.
constexpr std::uint64_t kPeakBitsPerPixel = 48 + 64 + 32;

// Brands of the HEVC and AV1 pictures libheif decodes here.
constexpr std::array<const char *, 8> kDecodedBrands{"heic", "heix", "heim", "heis", "hevc", "hevx", "avif", "avis"};

template <auto Release> struct Releaser {
    template <typename T> void operator()(T *object) const { Release(object); }
};
using Context = std::unique_ptr<heif_context, Releaser<heif_context_free>>;
using Handle = std::unique_ptr<const heif_image_handle, Releaser<heif_image_handle_release>>;
using Image = std::unique_ptr<const heif_image, Releaser<heif_image_release>>;
using Options = std::unique_ptr<heif_decoding_options, Releaser<heif_decoding_options_free>>;

DecodeOutcome refuse(ExitCode code, std::string reason)
{
    return DecodeOutcome::refused(code, std::move(reason));
}

// libheif's error for a file it could not read: a valid file of a kind its codecs do not take is
// no damaged one.
DecodeOutcome refusedByLibheif(const heif_error &error)
{
    const std::string said = error.message != nullptr ? error.message : "";
    switch (error.code) {
    case heif_error_Unsupported_filetype:
    case heif_error_Unsupported_feature:
    case heif_error_Decoder_plugin_error:
        return refuse(ExitCode::UnsupportedKind, reason::inBrackets(reason::kUnsupportedKind, said));
    case heif_error_Memory_allocation_error:
        return refuse(ExitCode::TooLarge, reason::inBrackets(reason::kTooLarge, said));
    default:
        return refuse(ExitCode::Damaged, reason::inBrackets(reason::kDamaged, said));
    }
}

bool readAll(std::FILE *source, std::vector<std::uint8_t> &bytes)
{
    struct stat status {};
    if (::fstat(fileno(source), &status) != 0 || status.st_size <= 0 ||
        static_cast<std::uint64_t>(status.st_size) > kPixelBudgetBytes / 4)
        return false;
    bytes.resize(static_cast<std::size_t>(status.st_size));
    return std::fread(bytes.data(), 1, bytes.size(), source) == bytes.size();
}

// Brings the picture's colours from its own ICC profile to sRGB, in place; without a profile
// the picture is taken as sRGB already.
void convertToSrgb(const heif_image_handle *handle, std::uint8_t *pixels, int width, int height, int stride, bool alpha)
{
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC)
        return;
    std::vector<std::uint8_t> icc(heif_image_handle_get_raw_color_profile_size(handle));
    if (icc.empty() || heif_image_handle_get_raw_color_profile(handle, icc.data()).code != heif_error_Ok)
        return;
    cmsHPROFILE source = cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size()));
    if (source == nullptr)
        return; // a profile no one can read: the colours stay as stored
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    const cmsUInt32Number format = alpha ? TYPE_RGBA_8 : TYPE_RGB_8;
    cmsHTRANSFORM transform =
        cmsCreateTransform(source, format, srgb, format, INTENT_PERCEPTUAL, alpha ? cmsFLAGS_COPY_ALPHA : 0);
    if (transform != nullptr) {
        const cmsUInt32Number bytes = static_cast<cmsUInt32Number>(stride);
        cmsDoTransformLineStride(transform, pixels, pixels, static_cast<cmsUInt32Number>(width),
                                 static_cast<cmsUInt32Number>(height), bytes, bytes, 0, 0);
        cmsDeleteTransform(transform);
    }
    cmsCloseProfile(srgb);
    cmsCloseProfile(source);
}

// FreeImage keeps its pixels as BGR(A) on this byte order; libheif gives RGB(A).
ImageHandle toBitmap(std::uint8_t *pixels, int width, int height, int stride, bool alpha)
{
    const int channels = alpha ? 4 : 3;
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x)
            std::swap(row[x * channels], row[x * channels + 2]);
    }
    return ImageHandle(FreeImage_ConvertFromRawBits(pixels, width, height, stride, channels * 8, FI_RGBA_RED_MASK,
                                                    FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, TRUE));
}
} // namespace

bool isHeif(std::FILE *source)
{
    // The file type box lists the brands: a few dozen bytes in practice.
    std::uint8_t head[256] = {};
    const std::size_t read = std::fread(head, 1, sizeof head, source);
    std::rewind(source);
    const int length = static_cast<int>(read);
    const heif_filetype_result type = heif_check_filetype(head, length);
    if (type == heif_filetype_yes_supported || type == heif_filetype_yes_unsupported)
        return true;
    // A main brand of 'mif1' (the generic HEIF one, libheif's own examples use it) gets only a
    // "maybe"; the compatible brands say whether it holds pictures of a codec here.
    return type == heif_filetype_maybe &&
           std::any_of(kDecodedBrands.begin(), kDecodedBrands.end(),
                       [&](const char *brand) { return heif_has_compatible_brand(head, length, brand) == 1; });
}

void prepareHeif()
{
    heif_init(nullptr);
}

DecodeOutcome decodeHeif(std::FILE *source, std::FILE *target)
{
    std::vector<std::uint8_t> bytes;
    if (!readAll(source, bytes))
        return refuse(ExitCode::Unreadable, std::string(reason::kCannotRead));
    const Context context(heif_context_alloc());
    heif_error error = heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(), nullptr);
    if (error.code != heif_error_Ok)
        return refusedByLibheif(error);
    heif_image_handle *primary = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &primary);
    if (error.code != heif_error_Ok)
        return refusedByLibheif(error);
    const Handle handle(primary);

    // Width and height as shown, after the container's rotation; checked before any decoding.
    const int width = heif_image_handle_get_width(handle.get());
    const int height = heif_image_handle_get_height(handle.get());
    if (const std::string problem =
            pictureSizeProblem(static_cast<std::uint64_t>(std::max(width, 0)),
                               static_cast<std::uint64_t>(std::max(height, 0)), kPeakBitsPerPixel);
        !problem.empty())
        return refuse(ExitCode::TooLarge, problem);

    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    const Options options(heif_decoding_options_alloc());
    options->ignore_transformations = 0;
    heif_image *decoded = nullptr;
    // The 8-bit interleaved layout: libheif scales 10- and 12-bit samples down to it.
    error = heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                              alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    if (error.code != heif_error_Ok)
        return refusedByLibheif(error);
    const Image image(decoded);
    int stride = 0;
    std::uint8_t *pixels = heif_image_get_plane(decoded, heif_channel_interleaved, &stride);
    const int planeWidth = heif_image_get_width(decoded, heif_channel_interleaved);
    const int planeHeight = heif_image_get_height(decoded, heif_channel_interleaved);
    if (pixels == nullptr || planeWidth <= 0 || planeHeight <= 0)
        return refuse(ExitCode::Damaged, std::string(reason::kDamaged));

    convertToSrgb(handle.get(), pixels, planeWidth, planeHeight, stride, alpha);
    // Opaque, the page is the picture's rows as they are: no copy into FreeImage's order and back.
    if (!alpha && decodeForm() == DecodeForm::Page)
        return writeRgbRowsAsPage(pixels, planeWidth, planeHeight, stride, target);
    return writePictureAsPage(toBitmap(pixels, planeWidth, planeHeight, stride, alpha), target);
}

} // namespace pagemint::decoder
