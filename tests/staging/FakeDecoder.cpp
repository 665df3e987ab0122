// pagemint-fake-decoder [--serve]: stands in for pagemint-decoder in the staging tests, through
// the real fork server (DecodeServer.h), for endings no real picture should be able to cause. The
// first word of the picture says what the decode does:
//   hang      writes "<pid>" to the page, then never ends
//   crash     ends by SIGSEGV
//   taint     leaves state behind in its process, as a corrupting loader would, and writes "tainted"
//   state     writes "pid <pid> <clean|tainted> <served|program>": whether an earlier picture's
//             state reached it, and whether a child of the fork server decoded it
//   refuse    prints a reason and exits as a damaged picture
//   slow      waits 400 ms, then copies the picture
//   anything else: the picture is copied to the page as it is.

#include "DecodeServer.h"
#include "contract/DecodeOutcome.h"
#include "contract/DecoderServerProtocol.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>

namespace {

bool tainted = false;
bool served = false;

int decodeOne()
{
    const std::string picture{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    const std::string word = picture.substr(0, picture.find_first_of(" \n"));
    if (word == "hang") {
        std::cout << getpid() << std::flush;
        for (;;)
            pause();
    }
    if (word == "crash")
        raise(SIGSEGV);
    if (word == "taint") {
        tainted = true;
        std::cout << "tainted";
        return 0;
    }
    if (word == "state") {
        std::cout << "pid " << getpid() << (tainted ? " tainted" : " clean") << (served ? " served" : " program");
        return 0;
    }
    if (word == "refuse") {
        std::cerr << "damaged picture: refused by the fake\n";
        return static_cast<int>(pagemint::decoder::ExitCode::Damaged);
    }
    if (word == "slow")
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    std::cout << picture;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    served = argc == 2 && std::strcmp(argv[1], pagemint::decoder::kServeArgument) == 0;
    if (served)
        return pagemint::decoder::serveDecodes(0, decodeOne);
    return decodeOne();
}
