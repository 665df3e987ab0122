// pagemint-fake-recognizer: stands in for pagemint-recognizer in the staging and job tests, for
// endings no real page should be able to cause. What it does is said by the page's bytes (a word
// anywhere in them, such as a JPEG's comment):
//   fake-recognizer:crash   ends by SIGSEGV
//   fake-recognizer:hang    never ends
//   fake-recognizer:fail    prints a reason and exits 1
//   anything else: writes a page text of one line with one word, fakeTextWord() of the page's bytes,
//   so a test can tell whose text a file is.
// With PAGEMINT_FAKE_RECOGNIZER_LOG set, it appends to that file, in one write each, a line as it
// starts ("start <word> <pid> <OMP_THREAD_LIMIT> <address-space cap> <arguments...>") and one as it ends
// with a text ("end <word>").

#include "FakeRecognizerWord.h"
#include "contract/PageText.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>

namespace {

void log(const std::string &line)
{
    const char *path = std::getenv("PAGEMINT_FAKE_RECOGNIZER_LOG");
    if (path == nullptr)
        return;
    const int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const std::string text = line + "\n";
    [[maybe_unused]] const ssize_t written = ::write(fd, text.data(), text.size());
    ::close(fd);
}

bool says(const std::string &page, const char *what)
{
    return page.find(std::string("fake-recognizer:") + what) != std::string::npos;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string page{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    const std::string word = pagemint::test::fakeTextWord(page);
    rlimit cap{};
    getrlimit(RLIMIT_AS, &cap);
    const char *threads = std::getenv("OMP_THREAD_LIMIT");
    std::string start = "start " + word + " " + std::to_string(getpid()) + " " + (threads != nullptr ? threads : "-") +
                        " " + std::to_string(cap.rlim_cur);
    for (int i = 1; i < argc; ++i)
        start += std::string(" ") + argv[i];
    log(start);
    if (says(page, "crash"))
        raise(SIGSEGV);
    if (says(page, "hang"))
        for (;;)
            pause();
    if (says(page, "fail")) {
        std::cerr << "no text: refused by the fake\n";
        return 1;
    }
    pagemint::PageText text{100, 100, 0, {{{0, 0, 100, 10}, 8, {{{0, 0, 100, 10}, word}}}}};
    std::cout << pagemint::writePageText(text) << std::flush;
    log("end " + word);
    return std::cout ? 0 : 1;
}
