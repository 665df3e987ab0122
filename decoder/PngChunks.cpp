#include "PngChunks.h"

#include "FileBytes.h"
#include "contract/Reasons.h"

#include <string>

namespace pagemint::decoder {

namespace {
constexpr std::uint64_t kSignatureBytes = 8;
constexpr std::uint64_t kChunkFrame = 12; // length, type, and the CRC after the data

// Ancillary chunks have a lower-case first letter; a reader must understand every other one.
bool isAncillary(const std::string &type)
{
    return (static_cast<unsigned char>(type[0]) & 0x20) != 0;
}

DecodeOutcome refuse(ExitCode code, std::string_view words, const std::string &detail)
{
    return DecodeOutcome::refused(code, reason::inBrackets(words, detail));
}
} // namespace

DecodeOutcome checkPngChunks(int fd)
{
    const std::uint64_t size = fileSize(fd);
    for (std::uint64_t offset = kSignatureBytes;;) {
        const std::vector<unsigned char> head = bytesAt(fd, offset, 8);
        if (head.size() < 8)
            return DecodeOutcome::written(); // no more chunks: whether that is enough, the loader says
        const std::uint32_t length = be32(head.data());
        const std::string type(head.begin() + 4, head.end());
        if (length > 0x7FFFFFFFu)
            return refuse(ExitCode::Damaged, reason::kDamaged, type + " 数据块的长度无效");
        const std::uint64_t end = offset + kChunkFrame + length;
        if (end > size && !isAncillary(type))
            return DecodeOutcome::refused(ExitCode::Damaged, std::string(reason::kCutShort));
        if (end > size)
            return refuse(ExitCode::Damaged, reason::kDamaged,
                          type + " 数据块声称有 " + std::to_string(length) + " 字节，超出文件末尾");
        if (isAncillary(type) && length > kMaxAncillaryChunk)
            return refuse(ExitCode::UnsupportedKind, reason::kUnsupportedKind,
                          type + " 数据块有 " + std::to_string(length) + " 字节");
        if (type == "IEND")
            return DecodeOutcome::written();
        offset = end;
    }
}

} // namespace pagemint::decoder
