#pragma once
// Shared set-up of the dialog tests: a private home, an application folder of the test's own, an
// owner window bound to the dialogs, and an answerer for the windows they open.
#include "ModalAnswerer.h"
#include "TestEnvironment.h"

#include "common/ApplicationFolder.h"
#include "ui/CCommonDialogs.h"

#include <QDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace pagemint::test {

class DialogsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(appFolder());
        setApplicationFolderForTesting(appFolder());
        dialogs_.Init(&owner_);
    }

    void TearDown() override
    {
        setApplicationFolderForTesting(QString());
        // A window nobody expected (an overwrite prompt, a second dialog) or an answer left over.
        EXPECT_TRUE(answerer_.failures().isEmpty()) << answerer_.failures().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(answerer_.pending(), 0u);
    }

    QString appFolder() const { return env_.root() + QStringLiteral("/app"); }
    QString makeFolder(const QString &relative) const
    {
        QString path = env_.root() + QLatin1Char('/') + relative;
        QDir().mkpath(path);
        return path;
    }

    TestEnvironment env_;
    QWidget owner_;
    CCommonDialogs dialogs_;
    ModalAnswerer answerer_;
};

} // namespace pagemint::test
