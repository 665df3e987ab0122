#include "process/CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char *line;
    QStringList words;
};

TEST(SplitCommandLine, FollowsQuotingRules)
{
    const SplitCase cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"/app/data/pdf.exe /NOASK", {"/app/data/pdf.exe", "/NOASK"}},
        {"  a \t b  ", {"a", "b"}},
        {"\"/my apps/data/pdf.exe\" /NOASK", {"/my apps/data/pdf.exe", "/NOASK"}},
        {"\"C:\\Program Files\\app\\data\\pdf.exe\" /NOASK", {"C:\\Program Files\\app\\data\\pdf.exe", "/NOASK"}},
        {"pre\"fix part\"post next", {"prefix partpost", "next"}},
        {"a \"\" b", {"a", "", "b"}},
        {"\"unclosed  quote", {"unclosed  quote"}},
    };
    for (const SplitCase &c : cases)
        EXPECT_EQ(pagemint::splitCommandLine(QString::fromUtf8(c.line)), c.words) << c.line;
}

} // namespace
