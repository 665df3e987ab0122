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

// An inode number past 2^63, as some file systems hand out.
const FileIdentity someIdentity{2049, 0xF234567890ABCDEFULL, 98765, 1733900000, 123456789, 1733900001, 999999999};

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

class StagedReferences : public ::testing::Test {
protected:
    fs::path folder() const { return dir_.path().toStdString(); }
    fs::path file(const std::string &name, const std::string &bytes) const
    {
        fs::path path = folder() / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static PageReference referenceTo(const fs::path &picture)
    {
        struct stat status {};
        EXPECT_EQ(::stat(picture.c_str(), &status), 0);
        return {picture, identityOf(status)};
    }
    void list(const std::string &page, const PageReference &reference) const
    {
        std::error_code error;
        EXPECT_TRUE(appendPageReference(folder(), page, reference, error)) << error.message();
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

// Page files and listed pages come in one page order; what the list cannot say is told, and the
// records before it still count.
TEST_F(StagedReferences, PageFilesAndListedPagesComeInPageOrder)
{
    file("00000.jpg", "\xFF\xD8 decoded");
    file("00002.jpg", "\xFF\xD8 decoded");
    file("notes.txt", "not a page");
    const fs::path photo = file("photo\nwith a line break.jpg", "\xFF\xD8 the picture");
    list("00003.jpg", referenceTo(photo));
    list("00001.jpg", referenceTo(photo));
    list("00002.jpg", referenceTo(photo)); // also a file: the file is the page

    std::error_code error;
    std::string problem;
    const std::vector<StagedPage> pages = stagedPagesWithReferences(folder(), error, problem);

    ASSERT_FALSE(error);
    std::vector<std::pair<std::string, bool>> seen;
    seen.reserve(pages.size());
    for (const StagedPage &page : pages)
        seen.emplace_back(page.path.filename().string(), page.reference.has_value());
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, bool>>{
                        {"00000.jpg", false}, {"00001.jpg", true}, {"00002.jpg", false}, {"00003.jpg", true}}));
    EXPECT_EQ(pages[1].reference->picture, photo);
    EXPECT_NE(problem.find("00002.jpg"), std::string::npos) << problem;

    std::string reason;
    const Descriptor picture(openReferencedPicture(*pages[3].reference, reason));
    ASSERT_TRUE(picture.valid()) << reason;
    EXPECT_EQ(bytesAt(picture.get()), "\xFF\xD8 the picture");
}

TEST_F(StagedReferences, ARecordOutOfFormIsToldAndTheRecordsBeforeItStay)
{
    const PageReference reference{"/a.jpg", someIdentity};
    const std::string text = pageReferenceText(reference);
    const std::string good = "00001.jpg " + std::to_string(text.size()) + "\n" + text + "\n";
    const struct {
        const char *name;
        std::string tail;
        std::size_t pages; // listed in all
        bool readable;     // the second page's reference is read
        bool toldOutOfForm;
    } cases[] = {
        {"a second good record", "00002.jpg " + std::to_string(text.size()) + "\n" + text + "\n", 2, true, false},
        {"a reference out of form", "00002.jpg 3\nabc\n", 2, false, false},
        {"cut short", good.substr(0, good.size() / 2), 1, false, true},
        {"no page name", "x.jpg " + std::to_string(text.size()) + "\n" + text + "\n", 1, false, true},
        {"a length past its end", "00002.jpg 99999\n" + text + "\n", 1, false, true},
        {"a negative length", "00002.jpg -3\nabc\n", 1, false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        file(std::string(kPageReferencesName), good + c.tail);
        std::string problem;
        const std::vector<ListedReference> listed = listedPageReferences(folder(), problem);
        ASSERT_EQ(listed.size(), c.pages);
        EXPECT_EQ(listed[0].page, "00001.jpg");
        ASSERT_TRUE(listed[0].reference);
        EXPECT_EQ(listed[0].reference->identity, someIdentity);
        if (c.pages > 1) {
            EXPECT_EQ(listed[1].reference.has_value(), c.readable);
        }
        EXPECT_EQ(!problem.empty(), c.toldOutOfForm) << problem;
    }
}

TEST_F(StagedReferences, APictureThatIsNoLongerTheFileCheckedIsNotOpened)
{
    const PageReference reference = referenceTo(file("photo.jpg", "\xFF\xD8 the picture"));
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
        EXPECT_EQ(openReferencedPicture(other, reason), -1);
        EXPECT_EQ(reason, reason::kChangedSinceChecked);
    }
    std::string reason;
    const Descriptor same(openReferencedPicture(reference, reason));
    EXPECT_TRUE(same.valid()) << reason;
}

} // namespace
} // namespace pagemint::test
