#include "conversion/PdfNames.h"

#include <gtest/gtest.h>

namespace pagemint {
namespace {

TEST(PdfNames, BaseNameIgnoresLeadingDots)
{
    const std::pair<const char *, const char *> cases[] = {
        {"/pics/holiday.2012.jpg", "holiday"}, // cut at the first dot, as the program always did
        {"/pics/IMG_0001.JPG", "IMG_0001"},
        {"/pics/.hidden.png", "hidden"}, // no hidden ".pdf"
        {"/pics/.hidden.2012.png", "hidden"},
        {"/pics/..twice.tif", "twice"},
        {"/pics/.jpg", "jpg"}, // a dot-file: the dot hides it, it is no extension
        {"/pics/...", "page"}, // nothing left but dots
        {"/pics/folder/", "page"},
        {"", "page"},
        {"/pics.d/scan", "scan"}, // a dot in a folder name does not count
    };
    for (const auto &[path, base] : cases)
        EXPECT_EQ(pdfBaseNameOf(QString::fromUtf8(path)), QString::fromUtf8(base)) << path;
}

TEST(PdfNames, AJobNeverHandsOutANameItWrote)
{
    // Pictures in job order, whether the job wrote each PDF, and the name each one gets.
    struct Step {
        const char *picture;
        bool writes;
        const char *name;
    };
    const Step steps[] = {
        {"/a/IMG_0001.jpg", true, "IMG_0001.pdf"},
        {"/b/IMG_0001.jpg", true, "IMG_0001 (2).pdf"},
        {"/c/IMG_0001.png", true, "IMG_0001 (3).pdf"},
        {"/d/img_0001.tif", true, "img_0001 (4).pdf"}, // case does not make a name free
        {"/e/IMG_0001 (5).jpg", true, "IMG_0001 (5).pdf"},
        {"/f/IMG_0001.bmp", true, "IMG_0001 (6).pdf"}, // (5) was written by the picture of that name
        {"/g/scan.png", false, "scan.pdf"},            // nothing written: the name stays free
        {"/h/scan.jpg", true, "scan.pdf"},
        {"/i/.scan.gif", true, "scan (2).pdf"},
        {"/j/50%1%2.jpg", true, "50%1%2.pdf"},
        {"/k/50%1%2.png", true, "50%1%2 (2).pdf"}, // no placeholder in a name is filled in
    };
    PerPictureNames names;
    for (const Step &step : steps) {
        const QString name = names.nameFor(QString::fromUtf8(step.picture));
        EXPECT_EQ(name, QString::fromUtf8(step.name)) << step.picture;
        if (step.writes)
            names.written(name);
    }
}

TEST(PdfNames, NamesInUseInTheFolderArePassedOverWhenAsked)
{
    PerPictureNames names;
    names.written(QStringLiteral("scan (2).pdf"));
    const QStringList inUse = {QStringLiteral("scan.pdf"), QStringLiteral("scan (3).pdf"), QStringLiteral("other.pdf")};
    const auto taken = [&inUse](const QString &name) { return inUse.contains(name); };
    // What the folder holds and what the job wrote are both passed over.
    EXPECT_EQ(names.nameFor(QStringLiteral("/a/scan.png"), taken), QStringLiteral("scan (4).pdf"));
    EXPECT_EQ(names.nameFor(QStringLiteral("/a/new.png"), taken), QStringLiteral("new.pdf"));
    // Without the question, files in the folder do not count (they are replaced).
    EXPECT_EQ(names.nameFor(QStringLiteral("/a/scan.png")), QStringLiteral("scan.pdf"));
}

} // namespace
} // namespace pagemint
