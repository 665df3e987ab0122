// libFuzzer target for the page-text reader and the text layer built from what it accepts (the
// invariants: PageTextInvariants.h). Build and run with converter/fuzz/run.sh SECONDS page-text.
#include "PageTextInvariants.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!pagemint::fuzz::pageTextInputHolds({reinterpret_cast<const char *>(data), size}))
        std::abort();
    return 0;
}
