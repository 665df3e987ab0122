#include "OneThread.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace pagemint::recognizer {

bool keepsToOneThread(const char *value)
{
    return value != nullptr && std::strcmp(value, "1") == 0;
}

std::string restartWithOneThread(char **argv)
{
    if (setenv(kThreadLimitVariable, "1", 1) != 0)
        return std::string("setenv: ") + std::strerror(errno);
    // The running program's own file, whatever path or name it was started by.
    execv("/proc/self/exe", argv);
    return std::string("restart: ") + std::strerror(errno);
}

} // namespace pagemint::recognizer
