// The recogniser watched from inside (tests/sandbox's read spy): it reads the first byte of the page
// only once shut in, cannot open a file from then on, holds nothing but its three streams, and its
// engine keeps to one thread even when it was started without the limit.

#include "DrawnPages.h"
#include "RecognizerRun.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace pagemint::test {
namespace {

TEST(RecognizerSandbox, ReadsThePageOnlyShutInAndCannotOpenAFile)
{
    const RecognizerRunner runner;
    int inherited[2] = {-1, -1};
    ASSERT_EQ(pipe2(inherited, O_CLOEXEC | O_NONBLOCK), 0);
    ASSERT_EQ(fcntl(inherited[1], F_SETFD, 0), 0); // the write end reaches the helper

    // Started as the program might start it, without OMP_THREAD_LIMIT: it restarts itself with it.
    const RecognizerResult run = runner.run(
        turnedJpeg(drawPage({QStringLiteral("Sandboxed")}).image, 0), {"--languages=eng", systemModels()},
        {std::string("LD_PRELOAD=") + PAGEMINT_READ_SPY, "PAGEMINT_SPY_INHERITED_FD=" + std::to_string(inherited[1]),
         std::string("PAGEMINT_SPY_OPEN_PATH=") + PAGEMINT_SYSTEM_MODELS "/eng.traineddata"});
    close(inherited[1]);

    EXPECT_TRUE(run.exitedWith(0)) << run.status << ": " << run.err;
    EXPECT_NE(run.err.find("first-read sandboxed\n"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("unconfined"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("open-file EPERM\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("write-inherited EBADF\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("omp-thread-limit 1\n"), std::string::npos) << run.err;
    char leaked = 0;
    EXPECT_EQ(read(inherited[0], &leaked, 1), 0); // both write ends closed, nothing written
    close(inherited[0]);
}

} // namespace
} // namespace pagemint::test
