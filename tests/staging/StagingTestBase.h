#pragma once
// A private staging folder (through TestEnvironment) and the built decoder for every staging test.

#include "conversion/DecoderProcess.h"
#include "conversion/StagingPaths.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QString>

#include <gtest/gtest.h>

namespace pagemint::test {

class StagingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setDecoderPathForTesting(QStringLiteral(PAGEMINT_DECODER_PATH));
        QDir().mkpath(pictures());
    }
    void TearDown() override
    {
        setDecoderPathForTesting({});
        setDecoderTimeLimitForTesting(std::chrono::milliseconds{0});
        setDecoderLaunchForTesting(DecoderLaunch::Server);
    }

    QString pictures() const { return env.root() + QStringLiteral("/pictures"); }
    QString picture(const QString &name) const { return pictures() + u'/' + name; }
    static QString fixture(const QString &name) { return QStringLiteral(PAGEMINT_STAGING_FIXTURES "/") + name; }
    static QString stagedPage(int index) { return fromFsPath(stagedPagePath(index)); }

    TestEnvironment env;
};

} // namespace pagemint::test
