#include "PdfWriter.h"

#include "MappedFile.h"
#include "PageGeometry.h"
#include "TempFile.h"

#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <cstdio>
#include <stdexcept>

namespace pagemint {

namespace {

using Object = QPDFObjectHandle;

// Numbers for the content stream, with no locale and no exponent.
std::string number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", value);
    std::string s(text);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

const char *colorSpace(int components)
{
    return components == 1 ? "/DeviceGray" : components == 4 ? "/DeviceCMYK" : "/DeviceRGB";
}

// Hands one file to the writer's pipeline in a single piece: the writer buffers each stream
// whole anyway (it needs /Length first), and one piece lets it allocate once instead of growing.
// The size is checked against the inspection, so a file changed behind our back fails the PDF
// instead of corrupting a page silently.
class FileCopier {
public:
    explicit FileCopier(const PageStarted &pageStarted) : pageStarted_(pageStarted) {}

    void copy(const PdfPage &page, Pipeline *pipeline) const
    {
        if (pageStarted_)
            pageStarted_(page);
        MappedFile file;
        std::string error;
        if (!file.open(page.path, MappedFile::Access::Whole, error))
            throw std::runtime_error(page.name + ": " + error);
        if (file.bytes().size() != page.info.fileSize)
            throw std::runtime_error(page.name + ": changed while being written");
        pipeline->write(file.bytes().data(), file.bytes().size());
        pipeline->finish();
    }

private:
    const PageStarted &pageStarted_;
};

Object imageFor(QPDF &pdf, const PdfPage &page, const FileCopier &copier)
{
    const JpegInfo &info = page.info;
    Object image = Object::newStream(&pdf);
    Object dict = image.getDict();
    dict.replaceKey("/Type", Object::newName("/XObject"));
    dict.replaceKey("/Subtype", Object::newName("/Image"));
    dict.replaceKey("/Width", Object::newInteger(info.width));
    dict.replaceKey("/Height", Object::newInteger(info.height));
    dict.replaceKey("/ColorSpace", Object::newName(colorSpace(info.components)));
    dict.replaceKey("/BitsPerComponent", Object::newInteger(8));
    if (info.adobeInverted)
        dict.replaceKey("/Decode", Object::parse("[1 0 1 0 1 0 1 0]"));
    image.replaceStreamData([&copier, &page](Pipeline *p) { copier.copy(page, p); },
                            Object::newName("/DCTDecode"), Object::newNull());
    // Without this the writer reads every picture twice (once to try to filter it).
    image.setFilterOnWrite(false);
    return image;
}

Object pageFor(QPDF &pdf, const PdfPage &page, const FileCopier &copier)
{
    const PageGeometry g = pageGeometry(page.info);
    std::string content = "q";
    for (double m : g.matrix)
        content += ' ' + number(m);
    content += " cm /Im0 Do Q\n";

    Object resources = Object::newDictionary();
    Object xobjects = Object::newDictionary();
    xobjects.replaceKey("/Im0", imageFor(pdf, page, copier));
    resources.replaceKey("/XObject", xobjects);

    Object dict = Object::newDictionary();
    dict.replaceKey("/Type", Object::newName("/Page"));
    dict.replaceKey("/MediaBox", Object::newArray(Object::Rectangle(0, 0, g.mediaWidth, g.mediaHeight)));
    dict.replaceKey("/Resources", resources);
    dict.replaceKey("/Contents", Object::newStream(&pdf, content));
    if (g.rotate != 0)
        dict.replaceKey("/Rotate", Object::newInteger(g.rotate));
    return pdf.makeIndirectObject(dict);
}

} // namespace

bool writePdf(const std::vector<PdfPage> &pages, const std::filesystem::path &output,
              const PageStarted &pageStarted, std::string &error)
{
    TempFile temp;
    if (!temp.create(output, error))
        return false;
    try {
        FileCopier copier(pageStarted);
        QPDF pdf;
        pdf.emptyPDF();
        for (const PdfPage &page : pages)
            pdf.addPage(pageFor(pdf, page, copier), false);
        QPDFWriter writer(pdf);
        writer.setOutputFile(temp.path().c_str(), temp.file(), false);
        writer.write();
    } catch (const std::exception &e) {
        error = e.what();
        return false;
    }
    return temp.commit(error);
}

} // namespace pagemint
