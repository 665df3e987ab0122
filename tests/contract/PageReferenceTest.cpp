// A staged page that refers to a picture where it lies: written and read back whatever bytes the
// path holds, refused in any other form, and opened only while the picture is the file described.
#include "contract/PageReference.h"
#include "contract/Descriptor.h"
#include "contract/Reasons.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <string>

#include <sys/stat.h>

namespace pagemint::test {
namespace {

namespace fs = std::filesystem;

const FileIdentity someIdentity{2049, 1234567, 98765, 1733900000, 123456789, 1733900001, 999999999};

TEST(PageReference, ReadsBackWhatWasWrittenWhateverThePathHolds)
{
    for (const std::string path : {"/pictures/a.jpg", "/路径/照片 1.jpg", "/odd/caf\xe9\xff.jpg",
                                   "/line\nbreak/and space.jpg", "/ends/in/newline\n"}) {
        SCOPED_TRACE(path);
        const PageReference written{path, someIdentity};
        const std::optional<PageReference> read = parsePageReference(pageReferenceText(written));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->picture, written.picture);
        EXPECT_EQ(read->identity, someIdentity);
    }
}

TEST(PageReference, RefusesEveryOtherForm)
{
    const std::string good = pageReferenceText({"/a.jpg", someIdentity});
    const std::string numbers = "1 2 3 4 5 6 7\n";
    const struct {
        const char *name;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"a JPEG", "\xFF\xD8\xFF\xE0"},
        {"another version", "pagemint-page-reference 2\n" + numbers + "/a.jpg"},
        {"no numbers line", "pagemint-page-reference 1\n/a.jpg"},
        {"six numbers", "pagemint-page-reference 1\n1 2 3 4 5 6\n/a.jpg"},
        {"eight numbers", "pagemint-page-reference 1\n1 2 3 4 5 6 7 8\n/a.jpg"},
        {"a letter among them", "pagemint-page-reference 1\n1 2 x 4 5 6 7\n/a.jpg"},
        {"two spaces", "pagemint-page-reference 1\n1  2 3 4 5 6 7\n/a.jpg"},
        {"a negative inode", "pagemint-page-reference 1\n1 -2 3 4 5 6 7\n/a.jpg"},
        {"past 64 bits", "pagemint-page-reference 1\n1 99999999999999999999 3 4 5 6 7\n/a.jpg"},
        {"no path", "pagemint-page-reference 1\n" + numbers},
        {"a relative path", "pagemint-page-reference 1\n" + numbers + "a.jpg"},
        {"a NUL in the path", "pagemint-page-reference 1\n" + numbers + std::string("/a\0b.jpg", 8)},
        {"larger than any reference", good + std::string(kLargestPageReference, 'x')},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(parsePageReference(c.text)) << c.name;
}

class OpenStagedPicture : public ::testing::Test {
protected:
    fs::path file(const std::string &name, const std::string &bytes) const
    {
        fs::path path = fs::path(dir_.path().toStdString()) / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static PageReference referenceTo(const fs::path &picture)
    {
        struct stat status {};
        EXPECT_EQ(::stat(picture.c_str(), &status), 0);
        return {picture, identityOf(status)};
    }
    fs::path staged(const PageReference &reference) const
    {
        fs::path page = fs::path(dir_.path().toStdString()) / "00001.jpg";
        std::error_code error;
        EXPECT_TRUE(writePageReference(page, reference, error)) << error.message();
        return page;
    }
    static std::string bytesAt(int fd)
    {
        std::string bytes(64, '\0');
        const ssize_t n = ::pread(fd, bytes.data(), bytes.size(), 0);
        bytes.resize(n > 0 ? std::size_t(n) : 0);
        return bytes;
    }
    QTemporaryDir dir_;
};

TEST_F(OpenStagedPicture, OpensAPageItselfOrThePictureItsReferenceNames)
{
    std::string reason;
    std::optional<PageReference> reference;
    const Descriptor plain(openStagedPicture(file("00000.jpg", "\xFF\xD8 a page"), reason, &reference));
    ASSERT_TRUE(plain.valid()) << reason;
    EXPECT_EQ(bytesAt(plain.get()), "\xFF\xD8 a page");
    EXPECT_FALSE(reference);

    const fs::path picture = file("photo.jpg", "\xFF\xD8 the picture");
    const Descriptor referred(openStagedPicture(staged(referenceTo(picture)), reason, &reference));
    ASSERT_TRUE(referred.valid()) << reason;
    EXPECT_EQ(bytesAt(referred.get()), "\xFF\xD8 the picture");
    ASSERT_TRUE(reference);
    EXPECT_EQ(reference->picture, picture);
    // Nothing but the page: the reference's temporary is gone.
    EXPECT_FALSE(fs::exists(dir_.path().toStdString() + "/00001.jpg.part"));
}

TEST_F(OpenStagedPicture, RefusesAPictureThatIsNoLongerTheFileChecked)
{
    const fs::path picture = file("photo.jpg", "\xFF\xD8 the picture");
    PageReference reference = referenceTo(picture);
    const struct {
        const char *name;
        void (*change)(FileIdentity &);
    } cases[] = {
        {"other size", [](FileIdentity &id) { ++id.size; }},
        {"other inode", [](FileIdentity &id) { ++id.inode; }},
        {"other device", [](FileIdentity &id) { ++id.device; }},
        {"modified a nanosecond later", [](FileIdentity &id) { ++id.modifiedNanoseconds; }},
        {"changed a second later", [](FileIdentity &id) { ++id.changedSeconds; }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PageReference other = reference;
        c.change(other.identity);
        std::string reason;
        EXPECT_EQ(openStagedPicture(staged(other), reason), -1);
        EXPECT_EQ(reason, reason::kChangedSinceChecked);
    }

    std::string reason;
    const fs::path broken = file("00002.jpg", "pagemint-page-reference 1\nnot numbers\n/a.jpg");
    EXPECT_EQ(openStagedPicture(broken, reason), -1);
    EXPECT_EQ(reason, reason::kCannotRead);
}

} // namespace
} // namespace pagemint::test
