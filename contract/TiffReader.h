#pragma once
// The TIFF structure inside an EXIF block (a JPEG's APP1 segment, a HEIF file's Exif item). Every
// offset in it comes from the file, so each is checked against the block before use. Standard
// library only.

#include <cstdint>
#include <optional>
#include <span>

namespace pagemint {

class TiffReader {
public:
    explicit TiffReader(std::span<const unsigned char> tiff) : tiff_(tiff) {}

    // Reads the byte order; false when the block is no TIFF structure.
    bool open()
    {
        if (tiff_.size() < 8)
            return false;
        if (tiff_[0] == 'I' && tiff_[1] == 'I')
            little_ = true;
        else if (tiff_[0] != 'M' || tiff_[1] != 'M')
            return false;
        return u16(2) == 42;
    }
    bool has(std::uint64_t at, std::uint64_t n) const { return at <= tiff_.size() && n <= tiff_.size() - at; }
    unsigned u16(std::uint64_t at) const
    {
        return little_ ? tiff_[at] | unsigned(tiff_[at + 1]) << 8 : unsigned(tiff_[at]) << 8 | tiff_[at + 1];
    }
    std::uint32_t u32(std::uint64_t at) const
    {
        return little_ ? std::uint32_t(u16(at)) | std::uint32_t(u16(at + 2)) << 16
                       : std::uint32_t(u16(at)) << 16 | std::uint32_t(u16(at + 2));
    }
    // A RATIONAL at `at`; 0 when it is missing or divides by zero.
    double rational(std::uint64_t at) const
    {
        if (!has(at, 8) || u32(at + 4) == 0)
            return 0;
        return double(u32(at)) / double(u32(at + 4));
    }
    // Where the 12-byte entry of `tag` in the directory at `ifd` starts; nothing when the directory
    // or the tag is not there.
    std::optional<std::uint64_t> entryOf(std::uint64_t ifd, unsigned tag) const
    {
        if (!has(ifd, 2))
            return std::nullopt;
        const unsigned count = u16(ifd);
        for (unsigned i = 0; i < count; ++i) {
            const std::uint64_t entry = ifd + 2 + std::uint64_t(i) * 12;
            if (!has(entry, 12))
                break;
            if (u16(entry) == tag)
                return entry;
        }
        return std::nullopt;
    }
    std::span<const unsigned char> bytes() const { return tiff_; }

private:
    std::span<const unsigned char> tiff_;
    bool little_ = false;
};

} // namespace pagemint
