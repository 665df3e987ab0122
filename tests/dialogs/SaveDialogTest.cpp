#include "DialogsFixture.h"
#include "EngineFixture.h"

#include "ui/FileFilter.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace pagemint::test {
namespace {

// What the save dialog showed, read while it was open.
struct SaveDialogSeen {
    bool isFileDialog = false;
    bool ownedByOwner = false;
    QString title;
    QString folder;
    QString pathProperty;
    QStringList nameFilters;
    QString selectedFilter;
    QString defaultSuffix;
    bool acceptsSave = false;
    bool confirmsOverwrite = true;
};

class ShowSave : public DialogsFixture {
protected:
    // Queues an answer that records the dialog and then cancels it or chooses `choice`.
    void answerSave(SaveDialogSeen &seen, const QString &choice = QString())
    {
        answerer_.then([this, &seen, choice](QWidget *window) {
            if (auto *dialog = qobject_cast<QFileDialog *>(window)) {
                seen.isFileDialog = true;
                seen.ownedByOwner = dialog->parentWidget() == &owner_;
                seen.title = dialog->windowTitle();
                seen.folder = dialog->directory().absolutePath();
                seen.pathProperty = dialogs_.Path();
                seen.nameFilters = dialog->nameFilters();
                seen.selectedFilter = dialog->selectedNameFilter();
                seen.defaultSuffix = dialog->defaultSuffix();
                seen.acceptsSave = dialog->acceptMode() == QFileDialog::AcceptSave;
                seen.confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            }
            if (choice.isEmpty())
                cancelDialog(window);
            else
                chooseFile(window, choice);
        });
    }
};

TEST_F(ShowSave, BlankFilterOffersEveryFileAndAnExistingFolderGainsItsSeparatorBeforeTheDialog)
{
    const QString folder = makeFolder(QStringLiteral("out"));
    dialogs_.setPath(folder);
    dialogs_.setFilter(QStringLiteral("   "));
    // Neither is used by the save dialog.
    dialogs_.setTitle(QStringLiteral("Export"));
    dialogs_.setDefExt(QStringLiteral("pdf"));
    dialogs_.setFilename(QStringLiteral("kept.pdf"));
    dialogs_.setFileTitle(QStringLiteral("kept.pdf"));
    SaveDialogSeen seen;
    answerSave(seen);

    EXPECT_FALSE(dialogs_.ShowSave());

    ASSERT_TRUE(seen.isFileDialog);
    EXPECT_TRUE(seen.ownedByOwner);
    EXPECT_TRUE(seen.acceptsSave);
    EXPECT_EQ(seen.title, QStringLiteral("Save"));
    EXPECT_TRUE(seen.defaultSuffix.isEmpty());
    EXPECT_EQ(seen.pathProperty, folder + QLatin1Char('/'));
    EXPECT_EQ(seen.folder, folder);
    ASSERT_EQ(seen.nameFilters.size(), 1);
    EXPECT_EQ(seen.nameFilters[0], toQtNameFilters(QStringLiteral("*.*|*.*")).value(0));
    EXPECT_EQ(seen.selectedFilter, QStringLiteral("*.*"));
    // Cancelled: the prepared folder stays, the results do not change.
    EXPECT_EQ(dialogs_.Path(), folder + QLatin1Char('/'));
    EXPECT_EQ(dialogs_.Filename(), QStringLiteral("kept.pdf"));
    EXPECT_EQ(dialogs_.FileTitle(), QStringLiteral("kept.pdf"));
}

TEST_F(ShowSave, AMissingFolderFallsBackToTheApplicationFolderAndStaysSoAfterCancel)
{
    dialogs_.setPath(env_.root() + QStringLiteral("/gone/away"));
    dialogs_.setFilter(QStringLiteral("PDF Files(*.pdf)|*.pdf|All Files(*.*)|*.*"));
    SaveDialogSeen seen;
    answerSave(seen);

    EXPECT_FALSE(dialogs_.ShowSave());

    EXPECT_EQ(seen.pathProperty, appFolder());
    EXPECT_EQ(seen.folder, appFolder());
    EXPECT_EQ(seen.nameFilters, toQtNameFilters(dialogs_.Filter()));
    EXPECT_EQ(seen.selectedFilter, QStringLiteral("PDF Files(*.pdf)"));
    EXPECT_EQ(dialogs_.Path(), appFolder());
}

TEST_F(ShowSave, ConfirmedOverAnExistingFileAsksNothingAndSetsNameTitleAndFolder)
{
    const QString existing = env_.writeFile(QStringLiteral("out/book.pdf"), "old");
    dialogs_.setPath(QStringLiteral(" "));
    SaveDialogSeen seen;
    answerSave(seen, existing);

    ASSERT_TRUE(dialogs_.ShowSave());

    EXPECT_FALSE(seen.confirmsOverwrite);
    EXPECT_TRUE(answerer_.messages().empty());
    EXPECT_EQ(seen.folder, appFolder());
    EXPECT_EQ(dialogs_.Filename(), existing);
    EXPECT_EQ(dialogs_.FileTitle(), QStringLiteral("book.pdf"));
    EXPECT_EQ(dialogs_.Path(), env_.root() + QStringLiteral("/out"));
    // Choosing the name writes nothing.
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old"));
}

TEST_F(ShowSave, AFilenameLongerThan255CharactersIsCut)
{
    const QString folder = makeFolder(QString(200, QLatin1Char('d')));
    const QString chosen = folder + QLatin1Char('/') + QString(120, QLatin1Char('f')) + QStringLiteral(".pdf");
    ASSERT_GT(chosen.size(), 255);
    dialogs_.setPath(folder);
    SaveDialogSeen seen;
    answerSave(seen, chosen);

    ASSERT_TRUE(dialogs_.ShowSave());

    EXPECT_EQ(dialogs_.Filename(), chosen.left(255));
    EXPECT_EQ(dialogs_.FileTitle(), QFileInfo(chosen).fileName());
    EXPECT_EQ(dialogs_.Path(), folder);
}

} // namespace
} // namespace pagemint::test
