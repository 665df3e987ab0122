#include "conversion/PathFunctions.h"

#include <gtest/gtest.h>

namespace pagemint {
namespace {

struct PathCase {
    const char *path;
    const char *extension;
    const char *fileName;
    const char *baseName;
};

const PathCase pathCases[] = {
    {"/pics/a.b.c.png", "png", "a.b.c.png", "a"},
    {"scan.png", "png", "scan.png", "scan"},
    {"/home/me/holiday.2012.jpg", "jpg", "holiday.2012.jpg", "holiday"},
    {"holiday.2012.jpg", "jpg", "holiday.2012.jpg", "holiday"},
    {"/pics/.jpg", "jpg", ".jpg", ""},
    {".jpg", "jpg", ".jpg", ""},
    {"", "", "", ""},
    // No "." anywhere: the extension is the whole path.
    {"/pics/README", "/pics/README", "README", "README"},
    // The last "." of the whole path counts, even inside a folder name.
    {"/pics.old/scan", "old/scan", "scan", "scan"},
    {"/pics/folder/", "/pics/folder/", "", ""},
    {"Photo.JPG", "JPG", "Photo.JPG", "Photo"},
    {"/pics/trailing.", "", "trailing.", "trailing"},
};

TEST(PathFunctions, SplitsPathsByTheirRules)
{
    for (const PathCase &c : pathCases) {
        SCOPED_TRACE(c.path);
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(GetFileExtension(path), QString::fromUtf8(c.extension));
        EXPECT_EQ(GetFileName(path), QString::fromUtf8(c.fileName));
        EXPECT_EQ(GetBaseName(path), QString::fromUtf8(c.baseName));
    }
}

} // namespace
} // namespace pagemint
