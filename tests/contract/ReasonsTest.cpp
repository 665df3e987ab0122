// The words a user reads for a failure of the system or a picture's size: Chinese, with the
// system's own text kept in brackets where no shared word fits.
#include "contract/Reasons.h"
#include "contract/PictureLimits.h"
#include "contract/SystemReason.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace pagemint::test {
namespace {

TEST(Reasons, TheSystemsErrorsReadInChineseWords)
{
    const struct {
        int error;
        std::string words;
    } cases[] = {
        {ENOENT, "文件不存在"},
        {ENOTDIR, "文件不存在"},
        {EACCES, "没有访问权限"},
        {EPERM, "没有访问权限"},
        {ENOSPC, "磁盘已满"},
        {EDQUOT, "磁盘已满"},
        {EROFS, "只读文件系统"},
        {EISDIR, "不是文件"},
        {0, "未知错误"},
        // No word of its own: the general word, and what the system said in brackets.
        {EIO, std::string("系统错误（") + std::strerror(EIO) + "）"},
        {ENAMETOOLONG, std::string("系统错误（") + std::strerror(ENAMETOOLONG) + "）"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(systemReason(c.error), c.words);
    }
}

TEST(Reasons, APicturesSizeProblemNamesTheSizeAndTheLimitInChinese)
{
    const std::string perKind = std::to_string(maxPixels(24) / 1'000'000);
    const struct {
        std::uint64_t width, height;
        std::string words; // empty: a page can hold it
    } cases[] = {
        {0, 100, "图片没有尺寸"},
        {100, 0, "图片没有尺寸"},
        {70000, 100, "图片太大（70000 x 100，JPEG页面每边最多 65500 像素）"},
        {50000, 50000, "图片太大（50000 x 50000，此类图片最多 " + perKind + " 百万像素）"},
        {6000, 4000, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        EXPECT_EQ(pictureSizeProblem(c.width, c.height, 24), c.words);
    }
}

} // namespace
} // namespace pagemint::test
