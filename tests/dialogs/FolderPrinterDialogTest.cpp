#include "DialogsFixture.h"
#include "EngineFixture.h"

#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>

namespace pagemint::test {
namespace {

class ShowFolder : public DialogsFixture {
protected:
    void SetUp() override
    {
        DialogsFixture::SetUp();
        dialogs_.setTitle(QStringLiteral("Where do the PDF files go?"));
        dialogs_.setPath(QStringLiteral("/before"));
        dialogs_.setFilename(QStringLiteral("/before/a.pdf"));
        dialogs_.setFileTitle(QStringLiteral("a.pdf"));
    }

    // Records the dialog, then chooses `folder` or, without one, cancels.
    void answerFolder(QString &title, bool &foldersOnly, const QString &folder = QString())
    {
        answerer_.then([this, &title, &foldersOnly, folder](QWidget *window) {
            if (auto *dialog = qobject_cast<QFileDialog *>(window)) {
                title = dialog->windowTitle();
                foldersOnly = dialog->fileMode() == QFileDialog::Directory &&
                              dialog->testOption(QFileDialog::ShowDirsOnly) && dialog->parentWidget() == &owner_;
            }
            if (folder.isEmpty())
                cancelDialog(window);
            else
                chooseFile(window, folder);
        });
    }
};

TEST_F(ShowFolder, ConfirmedFolderBecomesPathAndClearsTheFileName)
{
    const QString folder = makeFolder(QStringLiteral("pdf out"));
    QString title;
    bool foldersOnly = false;
    answerFolder(title, foldersOnly, folder);

    ASSERT_TRUE(dialogs_.ShowFolder());

    EXPECT_EQ(title, QStringLiteral("Where do the PDF files go?"));
    EXPECT_TRUE(foldersOnly);
    EXPECT_EQ(dialogs_.Path(), folder);
    EXPECT_TRUE(dialogs_.Filename().isEmpty());
    EXPECT_TRUE(dialogs_.FileTitle().isEmpty());
}

TEST_F(ShowFolder, CancelledChangesNothing)
{
    QString title;
    bool foldersOnly = false;
    answerFolder(title, foldersOnly);

    EXPECT_FALSE(dialogs_.ShowFolder());

    EXPECT_TRUE(foldersOnly);
    EXPECT_EQ(dialogs_.Path(), QStringLiteral("/before"));
    EXPECT_EQ(dialogs_.Filename(), QStringLiteral("/before/a.pdf"));
    EXPECT_EQ(dialogs_.FileTitle(), QStringLiteral("a.pdf"));
}

struct PrintDialogSeen {
    bool isPrintDialog = false;
    bool ownedByOwner = false;
    QAbstractPrintDialog::PrintDialogOptions options;
};

class ShowPrinter : public DialogsFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(ShowPrinter, ReturnsWhetherTheUserAcceptedWithoutSelectionPagesOrFileChoices)
{
    const bool accept = GetParam();
    PrintDialogSeen seen;
    answerer_.then([&](QWidget *window) {
        auto *dialog = qobject_cast<QPrintDialog *>(window);
        if (dialog == nullptr) {
            cancelDialog(window);
            return;
        }
        seen.isPrintDialog = true;
        seen.ownedByOwner = dialog->parentWidget() == &owner_;
        seen.options = dialog->options();
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    });

    EXPECT_EQ(dialogs_.ShowPrinter(), accept);

    ASSERT_TRUE(seen.isPrintDialog);
    EXPECT_TRUE(seen.ownedByOwner);
    for (const auto hidden : {QAbstractPrintDialog::PrintSelection, QAbstractPrintDialog::PrintPageRange,
                              QAbstractPrintDialog::PrintToFile, QAbstractPrintDialog::PrintCurrentPage})
        EXPECT_FALSE(seen.options.testFlag(hidden)) << hidden;
}

INSTANTIATE_TEST_SUITE_P(AcceptedOrCancelled, ShowPrinter, ::testing::Bool());

using ShowPrinterProperties = DialogsFixture;

TEST_F(ShowPrinterProperties, WithoutAPrinterReturnsFalseAndOpensNothing)
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "this machine has a default printer";
    // No answer is queued: any window that opens is reported by the fixture.
    EXPECT_FALSE(dialogs_.ShowPrinterProperties());
}

TEST_F(ShowPrinterProperties, WithAPrinterShowsItsPageSetupAndReturnsTheAnswer)
{
    if (QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "this machine has no printer";
    bool pageSetup = false;
    answerer_.then([&](QWidget *window) {
        pageSetup = qobject_cast<QPageSetupDialog *>(window) != nullptr && window->parentWidget() == &owner_;
        cancelDialog(window);
    });
    EXPECT_FALSE(dialogs_.ShowPrinterProperties());
    EXPECT_TRUE(pageSetup);
    answerer_.then([](QWidget *window) {
        if (auto *dialog = qobject_cast<QDialog *>(window))
            dialog->accept();
        else
            window->close();
    });
    EXPECT_TRUE(dialogs_.ShowPrinterProperties());
}

} // namespace
} // namespace pagemint::test
