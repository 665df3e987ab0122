#include "imagelist/ExifBlock.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace pagemint {

namespace {

// Big-endian fields of a byte array, every read checked against its size.
class BigEndianBytes {
public:
    explicit BigEndianBytes(QByteArray bytes) : bytes_(std::move(bytes)) {}

    bool has(qint64 at, qint64 n) const { return at >= 0 && n >= 0 && at <= size() && n <= size() - at; }
    qint64 size() const { return bytes_.size(); }
    // An unsigned field of `width` bytes (0, 1, 2, 4 or 8; 0 reads as 0); nothing past the end.
    std::optional<quint64> field(qint64 at, int width) const
    {
        if (!has(at, width))
            return std::nullopt;
        quint64 value = 0;
        for (int i = 0; i < width; ++i)
            value = value << 8 | quint8(bytes_[at + i]);
        return value;
    }
    QByteArray mid(qint64 at, qint64 n) const { return has(at, n) ? bytes_.mid(at, n) : QByteArray(); }

private:
    QByteArray bytes_;
};

struct Box {
    QByteArray type;
    qint64 start = 0;   // of its header
    qint64 payload = 0; // where its contents start
    qint64 end = 0;     // one past its last byte
};

// The box at `at` within [at, limit); nothing when its header or its size does not fit.
std::optional<Box> boxAt(const BigEndianBytes &bytes, qint64 at, qint64 limit)
{
    const std::optional<quint64> size32 = bytes.field(at, 4);
    if (!size32 || !bytes.has(at, 8))
        return std::nullopt;
    Box box{bytes.mid(at + 4, 4), at, at + 8, 0};
    quint64 size = *size32;
    if (size == 1) {
        const std::optional<quint64> large = bytes.field(at + 8, 8);
        if (!large)
            return std::nullopt;
        size = *large;
        box.payload = at + 16;
    } else if (size == 0) {
        size = quint64(limit - at); // to the end
    }
    if (size < quint64(box.payload - at) || size > quint64(limit - at))
        return std::nullopt;
    box.end = at + qint64(size);
    return box;
}

// The child boxes of [from, to), in order; stops at the first that does not fit.
std::vector<Box> childBoxes(const BigEndianBytes &bytes, qint64 from, qint64 to)
{
    std::vector<Box> boxes;
    for (qint64 at = from; at < to && boxes.size() < 1024;) {
        const std::optional<Box> box = boxAt(bytes, at, to);
        if (!box)
            break;
        boxes.push_back(*box);
        at = box->end;
    }
    return boxes;
}

// The id of the first item of type 'Exif' in an 'iinf' box.
std::optional<quint64> exifItemId(const BigEndianBytes &meta, const Box &iinf)
{
    const std::optional<quint64> version = meta.field(iinf.payload, 1);
    if (!version)
        return std::nullopt;
    const qint64 entries = iinf.payload + 4 + (*version == 0 ? 2 : 4);
    for (const Box &infe : childBoxes(meta, entries, iinf.end)) {
        const std::optional<quint64> infeVersion = meta.field(infe.payload, 1);
        // Only versions 2 and 3 name an item type.
        if (infe.type != "infe" || !infeVersion || *infeVersion < 2)
            continue;
        const int idWidth = *infeVersion == 2 ? 2 : 4;
        const std::optional<quint64> id = meta.field(infe.payload + 4, idWidth);
        if (id && meta.mid(infe.payload + 4 + idWidth + 2, 4) == "Exif")
            return id;
    }
    return std::nullopt;
}

struct Extent {
    quint64 offset = 0;
    quint64 length = 0; // 0: to the end of the file
};

struct ItemLocation {
    int constructionMethod = 0; // 0 file offsets, 1 offsets into 'idat'
    std::vector<Extent> extents;
};

std::optional<ItemLocation> locationOf(const BigEndianBytes &meta, const Box &iloc, quint64 itemId)
{
    qint64 at = iloc.payload;
    const std::optional<quint64> version = meta.field(at, 1);
    const std::optional<quint64> sizes = meta.field(at + 4, 2);
    if (!version || !sizes || *version > 2)
        return std::nullopt;
    const int offsetSize = int(*sizes >> 12);
    const int lengthSize = int(*sizes >> 8 & 0xF);
    const int baseOffsetSize = int(*sizes >> 4 & 0xF);
    const int indexSize = *version == 0 ? 0 : int(*sizes & 0xF);
    for (int width : {offsetSize, lengthSize, baseOffsetSize, indexSize}) {
        if (width != 0 && width != 4 && width != 8)
            return std::nullopt;
    }
    const int idWidth = *version < 2 ? 2 : 4;
    at += 6;
    const std::optional<quint64> itemCount = meta.field(at, idWidth);
    if (!itemCount)
        return std::nullopt;
    at += idWidth;
    for (quint64 item = 0; item < *itemCount; ++item) {
        const std::optional<quint64> id = meta.field(at, idWidth);
        if (!id)
            return std::nullopt;
        at += idWidth;
        ItemLocation location;
        if (*version >= 1) {
            location.constructionMethod = int(meta.field(at, 2).value_or(0) & 0xF);
            at += 2;
        }
        at += 2; // data reference index
        const std::optional<quint64> base = meta.field(at, baseOffsetSize);
        at += baseOffsetSize;
        const std::optional<quint64> extentCount = meta.field(at, 2);
        if (!base || !extentCount)
            return std::nullopt;
        at += 2;
        for (quint64 e = 0; e < *extentCount; ++e) {
            at += indexSize;
            const std::optional<quint64> offset = meta.field(at, offsetSize);
            const std::optional<quint64> length = meta.field(at + offsetSize, lengthSize);
            if (!offset || !length)
                return std::nullopt;
            at += offsetSize + lengthSize;
            location.extents.push_back({*base + *offset, *length});
        }
        if (*id == itemId)
            return location;
    }
    return std::nullopt;
}

// The TIFF structure of an Exif item: a 4-byte offset to it, then the bytes before it ("Exif\0\0").
std::optional<QByteArray> tiffOfExifItem(const QByteArray &item)
{
    const BigEndianBytes bytes(item);
    const std::optional<quint64> skip = bytes.field(0, 4);
    if (!skip || *skip > quint64(item.size()) - 4)
        return std::nullopt;
    return item.mid(4 + qint64(*skip));
}

constexpr qint64 kLargestMetaBox = 1024 * 1024;
constexpr qint64 kBoxHeader = 16;

} // namespace

std::optional<QByteArray> jpegExifBlock(const ReadBytesAt &read)
{
    if (read(0, 2) != QByteArray("\xFF\xD8", 2))
        return std::nullopt;
    qint64 at = 2;
    // Segments before the first scan: a file with hundreds of them holds no photo's EXIF.
    for (int segment = 0; segment < 256; ++segment) {
        const BigEndianBytes header(read(at, 4));
        const std::optional<quint64> marker = header.field(0, 2);
        if (!marker || (*marker >> 8) != 0xFF)
            return std::nullopt;
        const quint64 code = *marker & 0xFF;
        if (code == 0xFF) { // a fill byte
            at += 1;
            continue;
        }
        if (code == 0xDA || code == 0xD9)
            return std::nullopt;
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) {
            at += 2;
            continue;
        }
        const std::optional<quint64> length = header.field(2, 2);
        if (!length || *length < 2)
            return std::nullopt;
        if (code == 0xE1 && *length >= 8) {
            const QByteArray payload = read(at + 4, qint64(*length) - 2);
            // A segment the file cuts short holds no whole directory.
            if (payload.size() == qint64(*length) - 2 && payload.startsWith(QByteArray("Exif\0\0", 6)))
                return payload.mid(6);
        }
        at += 2 + qint64(*length);
    }
    return std::nullopt;
}

std::optional<QByteArray> heifExifBlock(const ReadBytesAt &read)
{
    std::optional<Box> meta;
    qint64 at = 0;
    for (int top = 0; top < 64 && !meta; ++top) {
        const BigEndianBytes header(read(at, kBoxHeader));
        const std::optional<Box> box = boxAt(header, 0, std::numeric_limits<qint64>::max() / 2);
        if (!box || (top == 0 && box->type != "ftyp"))
            return std::nullopt;
        if (box->type == "meta")
            meta = Box{box->type, at, at + box->payload, at + (box->end - box->start)};
        at += box->end - box->start;
    }
    if (!meta || meta->end - meta->start > kLargestMetaBox)
        return std::nullopt;
    const BigEndianBytes bytes(read(meta->start, meta->end - meta->start));
    if (bytes.size() != meta->end - meta->start)
        return std::nullopt;
    // 'meta' is a full box: version and flags before its children.
    const std::vector<Box> children = childBoxes(bytes, meta->payload - meta->start + 4, bytes.size());
    const Box *iinf = nullptr;
    const Box *iloc = nullptr;
    const Box *idat = nullptr;
    for (const Box &child : children) {
        if (child.type == "iinf" && !iinf)
            iinf = &child;
        else if (child.type == "iloc" && !iloc)
            iloc = &child;
        else if (child.type == "idat" && !idat)
            idat = &child;
    }
    if (!iinf || !iloc)
        return std::nullopt;
    const std::optional<quint64> id = exifItemId(bytes, *iinf);
    const std::optional<ItemLocation> location = id ? locationOf(bytes, *iloc, *id) : std::nullopt;
    if (!location || location->constructionMethod > 1 || (location->constructionMethod == 1 && !idat))
        return std::nullopt;
    QByteArray item;
    for (const Extent &extent : location->extents) {
        const qint64 room = kLargestExifBlock - item.size();
        if (room <= 0 || extent.offset > quint64(std::numeric_limits<qint64>::max() / 2))
            break;
        const qint64 wanted = extent.length == 0 ? room : qint64(std::min<quint64>(extent.length, quint64(room)));
        if (location->constructionMethod == 1) {
            const qint64 inIdat = idat->end - idat->payload;
            if (extent.offset >= quint64(inIdat))
                break;
            const qint64 from = idat->payload + qint64(extent.offset);
            item += bytes.mid(from, std::min(wanted, idat->end - from));
        } else {
            item += read(qint64(extent.offset), wanted);
        }
    }
    return tiffOfExifItem(item);
}

std::optional<QByteArray> exifBlock(const ReadBytesAt &read)
{
    const QByteArray start = read(0, 2);
    return start == QByteArray("\xFF\xD8", 2) ? jpegExifBlock(read) : heifExifBlock(read);
}

} // namespace pagemint
