#include "PdfWriter.h"

#include "OutputFile.h"
#include "PagePlacement.h"
#include "PdfSyntax.h"
#include "TempFile.h"
#include "TextLayer.h"
#include "contract/Reasons.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pagemint {

namespace {

// Object numbers: the catalog, the page tree, then three objects for each page.
constexpr std::uint64_t kCatalog = 1, kPageTree = 2;
std::uint64_t pageObject(std::size_t index)
{
    return 3 + 3 * std::uint64_t(index);
}
std::uint64_t contentObject(std::size_t index)
{
    return pageObject(index) + 1;
}
std::uint64_t imageObject(std::size_t index)
{
    return pageObject(index) + 2;
}

// The cross-reference table gives each object's offset in ten digits.
constexpr std::uint64_t kMaxOffset = 9'999'999'999;
// More than one page's objects take besides its picture: dictionaries, content, tree entry.
constexpr std::uint64_t kPageTextBound = 1024;

constexpr const char *kTooLarge = "the pictures are too large for one PDF (10 GB at most)";

const char *colorSpace(int components)
{
    return components == 1 ? "/DeviceGray" : components == 4 ? "/DeviceCMYK" : "/DeviceRGB";
}

// `font`: the text font's object, 0 for a page without text.
std::string pageText(const PageGeometry &g, std::size_t index, std::uint64_t font)
{
    std::string text = "<< /Type /Page /Parent " + pdfRef(kPageTree) + " /MediaBox [0 0 " + pdfNumber(g.mediaWidth) +
                       ' ' + pdfNumber(g.mediaHeight) + ']';
    if (g.rotate != 0)
        text += " /Rotate " + std::to_string(g.rotate);
    text += " /Resources << /XObject << /Im0 " + pdfRef(imageObject(index)) + " >>";
    if (font != 0)
        text += " /Font << /" + std::string(kTextFontName) + ' ' + pdfRef(font) + " >>";
    text += " >> /Contents " + pdfRef(contentObject(index)) + " >>\nendobj\n";
    return text;
}

// Draws the image's unit square onto the page.
std::string imagePlacement(const PageGeometry &g)
{
    std::string content = "q";
    for (double m : g.matrix)
        content += ' ' + pdfNumber(m);
    return content + " cm /Im0 Do Q\n";
}

// The image's dictionary up to its data; the data follows unchanged.
std::string imageHead(const PdfPage &page)
{
    const JpegInfo &info = page.info;
    std::string text = "<< /Type /XObject /Subtype /Image /Width " + std::to_string(info.width) + " /Height " +
                       std::to_string(info.height) + " /ColorSpace " + colorSpace(info.components) +
                       " /BitsPerComponent 8";
    // Adobe's writers store CMYK inverted; readers must be told.
    if (info.adobeInverted)
        text += " /Decode [1 0 1 0 1 0 1 0]";
    return text + " /Filter /DCTDecode /Length " + std::to_string(info.fileSize) + " >>\nstream\n";
}

// A file identifier, different for every run (FNV-1a over the run's facts).
std::string fileId(const std::vector<PdfPage> &pages, const std::filesystem::path &output)
{
    std::uint64_t a = 0xcbf29ce484222325ull, b = 0x84222325cbf29ce4ull;
    const auto mix = [&](std::string_view bytes) {
        for (unsigned char c : bytes) {
            a = (a ^ c) * 0x100000001b3ull;
            b = (b ^ c) * 0x100000001b3ull + 1;
        }
    };
    mix(output.native());
    mix(std::to_string(std::chrono::system_clock::now().time_since_epoch().count()));
    mix(std::to_string(::getpid()));
    for (const PdfPage &page : pages)
        mix(page.name + std::to_string(page.info.fileSize));
    char hex[40];
    std::snprintf(hex, sizeof hex, "%016llx%016llx", static_cast<unsigned long long>(a),
                  static_cast<unsigned long long>(b));
    return std::string("<") + hex + ">";
}

// An open picture, closed when it goes: the page's file, or the picture its reference names while
// that is still the file inspected.
class Picture {
public:
    explicit Picture(const PdfPage &page) : fd_(openPagePicture(page, reason_)) {}
    Picture(const Picture &) = delete;
    Picture &operator=(const Picture &) = delete;
    ~Picture()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int fd() const { return fd_; }
    // Why it could not be opened.
    const std::string &reason() const { return reason_; }
    // Regular and of the size inspected: anything else changed after the inspection.
    bool unchanged(std::uintmax_t size) const
    {
        struct stat st {};
        return ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && std::uintmax_t(st.st_size) == size;
    }

private:
    std::string reason_;
    int fd_;
};

class Writer {
public:
    Writer(const std::vector<PdfPage> &pages, const std::filesystem::path &output, const PageStarted &pageStarted,
           const PageLayout &layout, const PageTextFor &textFor, std::uint64_t bound, int fd)
        : pages_(pages), output_(output), pageStarted_(pageStarted), layout_(layout), textFor_(textFor), bound_(bound),
          out_(fd), offsets_(pageObject(pages.size()))
    {
    }

    bool write(std::string &error)
    {
        // The binary comment marks the file as binary for programs that guess.
        out_.write("%PDF-1.3\n%\xe2\xe3\xcf\xd3\n");
        beginObject(kCatalog);
        out_.write("<< /Type /Catalog /Pages " + pdfRef(kPageTree) + " >>\nendobj\n");
        beginObject(kPageTree);
        std::string tree = "<< /Type /Pages /Count " + std::to_string(pages_.size()) + " /Kids [";
        for (std::size_t i = 0; i < pages_.size(); ++i) {
            if (i > 0)
                tree += ' ';
            tree += pdfRef(pageObject(i));
        }
        out_.write(tree + "] >>\nendobj\n");
        for (std::size_t i = 0; i < pages_.size(); ++i)
            if (!writePage(i, error))
                return false;
        if (fontUsed_ && !writeFont(error))
            return false;
        writeTrailer();
        if (!out_.flush())
            return outputFailed(error);
        return true;
    }

private:
    void beginObject(std::uint64_t object)
    {
        offsets_[object] = out_.offset();
        out_.write(std::to_string(object) + " 0 obj\n");
    }

    bool writePage(std::size_t index, std::string &error)
    {
        const PdfPage &page = pages_[index];
        if (pageStarted_)
            pageStarted_(page);
        const Picture picture(page);
        if (picture.fd() < 0) {
            error = page.name + ": " + picture.reason();
            return false;
        }
        if (!picture.unchanged(page.info.fileSize))
            return changed(page, error);
        // A page with text takes the text's turn: the recogniser was told the user's turn and
        // includes it in its own.
        const std::optional<PageText> text = textFor_ ? textFor_(page) : std::nullopt;
        PageGeometry geometry;
        std::string content;
        std::uint64_t font = 0;
        if (text && (text->turn != 0 || !text->lines.empty())) {
            const TurnedPage turned = turnedPage(page.info, text->turn, layout_);
            geometry = turned.geometry;
            content = imagePlacement(geometry) + textLayerContent(*text, turned.box, codes_);
            if (!text->lines.empty()) {
                font = fontObject();
                fontUsed_ = true;
            }
            // Past the room set aside for every page's own objects.
            if (!reserve(content.size(), error))
                return false;
        } else {
            geometry = laidOutPage(page.info, layout_, page.turn);
            content = imagePlacement(geometry);
        }
        beginObject(pageObject(index));
        out_.write(pageText(geometry, index, font));
        beginObject(contentObject(index));
        out_.write(pdfStream({}, content));
        beginObject(imageObject(index));
        out_.write(imageHead(page));
        switch (out_.copyFrom(picture.fd(), page.info.fileSize)) {
        case OutputFile::Copy::Done:
            break;
        case OutputFile::Copy::SourceShort:
            return changed(page, error);
        case OutputFile::Copy::Failed:
            return outputFailed(error);
        }
        out_.write("\nendstream\nendobj\n");
        return out_.failure() == 0 || outputFailed(error);
    }

    std::uint64_t fontObject() const { return pageObject(pages_.size()); }

    bool reserve(std::uint64_t bytes, std::string &error)
    {
        bound_ += bytes;
        if (bound_ <= kMaxOffset)
            return true;
        error = kTooLarge;
        return false;
    }

    // The one font every page's text uses, once all pages have named their characters.
    bool writeFont(std::string &error)
    {
        const std::vector<std::string> objects = textFontObjects(codes_, fontObject());
        offsets_.resize(fontObject() + objects.size());
        for (std::size_t i = 0; i < objects.size(); ++i) {
            if (!reserve(objects[i].size(), error))
                return false;
            beginObject(fontObject() + i);
            out_.write(objects[i]);
        }
        return out_.failure() == 0 || outputFailed(error);
    }

    static constexpr std::size_t kTablePiece = 64 * 1024;

    void writeTrailer()
    {
        const std::uint64_t xref = out_.offset();
        std::string table = "xref\n0 " + std::to_string(offsets_.size()) + "\n0000000000 65535 f \n";
        char entry[32];
        for (std::size_t object = 1; object < offsets_.size(); ++object) {
            std::snprintf(entry, sizeof entry, "%010llu 00000 n \n", static_cast<unsigned long long>(offsets_[object]));
            table += entry;
            // Written as it grows: 20 bytes an object would otherwise be held for the whole table.
            if (table.size() >= kTablePiece) {
                out_.write(table);
                table.clear();
            }
        }
        const std::string id = fileId(pages_, output_);
        table += "trailer\n<< /Size " + std::to_string(offsets_.size()) + " /Root " + pdfRef(kCatalog) + " /ID [" + id +
                 id + "] >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
        out_.write(table);
    }

    static bool changed(const PdfPage &page, std::string &error)
    {
        error = page.name + ": " + std::string(reason::kChangedWhileRead);
        return false;
    }

    bool outputFailed(std::string &error) const
    {
        error = "cannot write " + output_.string() + ": " + std::strerror(out_.failure());
        return false;
    }

    const std::vector<PdfPage> &pages_;
    const std::filesystem::path &output_;
    const PageStarted &pageStarted_;
    const PageLayout &layout_;
    const PageTextFor &textFor_;
    std::uint64_t bound_; // the most the file can come to, as far as it is known
    TextCodes codes_;
    bool fontUsed_ = false;
    OutputFile out_;
    std::vector<std::uint64_t> offsets_; // by object number; 0 unused
};

} // namespace

int openPagePicture(const PdfPage &page, std::string &reason)
{
    if (page.reference)
        return openReferencedPicture(*page.reference, reason);
    const int fd = ::open(page.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        reason = reason::inBrackets(reason::kCannotRead, std::strerror(errno));
    return fd;
}

bool writePdf(const std::vector<PdfPage> &pages, const std::filesystem::path &output, const PageStarted &pageStarted,
              std::string &error, const PageLayout &layout, const PageTextFor &textFor)
{
    std::uint64_t bound = kPageTextBound;
    for (const PdfPage &page : pages)
        bound += page.info.fileSize + kPageTextBound;
    if (bound > kMaxOffset) {
        error = kTooLarge;
        return false;
    }
    TempFile temp;
    if (!temp.create(output, error))
        return false;
    Writer writer(pages, output, pageStarted, layout, textFor, bound, ::fileno(temp.file()));
    return writer.write(error) && temp.commit(error);
}

} // namespace pagemint
