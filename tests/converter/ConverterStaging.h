#pragma once
// A staging folder of a test's own, in a private home, and pdf.exe run over it as the program runs it.
#include "ConverterChecks.h"
#include "ConverterRun.h"

#include "contract/ConverterContract.h"
#include "contract/PageLayout.h"
#include "contract/PageReference.h"
#include "contract/PageText.h"
#include "support/TestEnvironment.h"

#include <QDir>

#include <filesystem>
#include <optional>

#include <sys/stat.h>

namespace pagemint::test {

class Staging {
public:
    Staging() : folder_(env_.home() + QStringLiteral("/.cache/inkleaf_tmp")) { QDir().mkpath(folder_); }

    QString pagePath(int index) const { return folder_ + u'/' + QString::fromStdString(stagedPageName(index)); }
    QString textPath(int index) const { return folder_ + u'/' + QString::fromStdString(stagedTextName(index)); }
    void putPage(int index, const QByteArray &jpeg, const std::optional<PageText> &text = {}) const
    {
        writeFile(pagePath(index), jpeg);
        if (text)
            writeFile(textPath(index), QByteArray::fromStdString(writePageText(*text)));
    }
    // A reference to `picture` as it is now, listed as the page at `index`.
    void putReference(int index, const std::filesystem::path &picture) const
    {
        struct stat status {};
        ASSERT_EQ(::stat(picture.c_str(), &status), 0) << picture;
        std::error_code error;
        ASSERT_TRUE(
            appendPageReference(folder_.toStdString(), stagedPageName(index), {picture, identityOf(status)}, error))
            << error.message();
    }
    ProcessResult run(const PageLayout &layout = {}) const
    {
        return runConverter(argumentsOf(layout) << QString::fromLatin1(kConverterStagingArgument));
    }
    // Beside the home: where pictures outside the staging folder go.
    QString root() const { return env_.root(); }
    QString referencesPath() const { return folder_ + u'/' + QString::fromLatin1(kPageReferencesName.data()); }
    QString pdf() const { return folder_ + u'/' + QString::fromLatin1(kConverterOutputName); }

private:
    TestEnvironment env_;
    QString folder_;
};

} // namespace pagemint::test
