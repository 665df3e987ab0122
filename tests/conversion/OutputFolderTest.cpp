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
        QString reason; // part of it; empty: usable
    } cases[] = {
        {env.root() + QStringLiteral("/out"), {}},
        {env.root() + QStringLiteral("/out"), {}}, // exists by now
        {file, QStringLiteral("不是文件夹")},
        {QStringLiteral("/dev/null/out"), QStringLiteral("不是文件夹")},
        // Only the last level is made.
        {env.root() + QStringLiteral("/missing/out"), QStringLiteral("上级文件夹不存在")},
        // sysfs takes no new files even from root, as a read-only folder would not.
        {QStringLiteral("/sys"), QStringLiteral("没有访问权限")},
        {env.root() + QStringLiteral("/out") + QChar(u'\0') + QStringLiteral("/elsewhere"), QStringLiteral("空字符")},
        {staging, QStringLiteral("临时文件夹")},
        {staging + QStringLiteral("/inside"), QStringLiteral("临时文件夹")},
        {env.home() + QStringLiteral("/.cache/./inkleaf_tmp/../inkleaf_tmp/x"), QStringLiteral("临时文件夹")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        const QString problem = outputFolderProblem(c.folder);

        if (c.reason.isEmpty()) {
            EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
            EXPECT_TRUE(QFileInfo(c.folder).isDir());
        } else {
            EXPECT_TRUE(problem.contains(c.reason)) << problem.toStdString();
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
