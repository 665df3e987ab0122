// The output folder check made before a job stages anything.
#include "conversion/OutputFolder.h"
#include "contract/StagingFolder.h"
#include "conversion/StagingPaths.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace pagemint::test {
namespace {

TEST(OutputFolder, IsRefusedWithTheReasonWhenPdfsCouldNotGoThere)
{
    TestEnvironment env;
    const QString file = env.writeFile(QStringLiteral("a-file"), "x");
    const QString staging = fromFsPath(stagingFolder());
    const struct {
        QString folder;
        const char *reason; // part of it; empty: usable
    } cases[] = {
        {env.root() + QStringLiteral("/out"), ""},
        {env.root() + QStringLiteral("/out"), ""}, // exists by now
        {file, "Not a directory"},
        {QStringLiteral("/dev/null/out"), "Not a directory"},
        // Only the last level is made.
        {env.root() + QStringLiteral("/missing/out"), "No such file or directory"},
        // sysfs takes no new files even from root, as a read-only folder would not.
        {QStringLiteral("/sys"), "Permission denied"},
        {env.root() + QStringLiteral("/out") + QChar(u'\0') + QStringLiteral("/elsewhere"), "NUL"},
        {staging, "temporary folder"},
        {staging + QStringLiteral("/inside"), "temporary folder"},
        {env.home() + QStringLiteral("/.cache/./inkleaf_tmp/../inkleaf_tmp/x"), "temporary folder"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        const QString problem = outputFolderProblem(c.folder);

        if (*c.reason == '\0') {
            EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
            EXPECT_TRUE(QFileInfo(c.folder).isDir());
        } else {
            EXPECT_TRUE(problem.contains(QLatin1String(c.reason))) << problem.toStdString();
        }
    }
    // The check leaves nothing behind.
    EXPECT_EQ(
        QDir(env.root() + QStringLiteral("/out")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList());
    EXPECT_FALSE(QFileInfo::exists(staging + QStringLiteral("/inside")));
}

} // namespace
} // namespace pagemint::test
