// Cancelling a running job (Esc in the main window, or 取消转换 in the control menu): the job stops
// in whatever phase it is, writes no PDF, leaves no temporary and no staged page, keeps the list,
// gives the commands back and says 已取消.
#include "JobFixture.h"
#include "ModalAnswerer.h"
#include "OtherUserProgram.h"

#include "app/ConversionMode.h"
#include "common/ExitRequest.h"
#include "contract/StagingFolder.h"
#include "process/DOSOutputs.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <ostream>

namespace pagemint::test {
namespace {

// The moment the cancel comes: a text the progress label is given, or the first words of the
// merged or the per-picture converter.
enum class Moment { ProgressText, MergedConverterSpeaks, PerPictureConverterSpeaks };
enum class Asked { Esc, Menu };

struct CancelCase {
    const char *name;
    bool onePdfPerPicture;
    Converter converter;
    int pictures;
    Moment moment;
    const char *whenShown; // for Moment::ProgressText
    Asked asked;
    // The output folder on a tmpfs: the document is then copied there, not renamed in a moment.
    bool outputOnAnotherFileSystem = false;
};

const CancelCase cases[] = {
    {"StagingByEsc", false, Converter::Built, 11, Moment::ProgressText, "Converting Files...10%", Asked::Esc},
    {"StagingByMenu", false, Converter::Built, 11, Moment::ProgressText, "Converting Files...10%", Asked::Menu},
    {"MergedConverterByMenu", false, Converter::LeavesATemporaryThenRuns, 2, Moment::MergedConverterSpeaks, "",
     Asked::Menu},
    {"PerPictureConverterByEsc", true, Converter::LeavesATemporaryThenRuns, 2, Moment::PerPictureConverterSpeaks, "",
     Asked::Esc},
    // The cancel arrives while the gigabyte is being copied into the output folder.
    {"DeliveryByEsc", false, Converter::WritesAHugeDocument, 1, Moment::ProgressText, "移动文件...100%", Asked::Esc,
     true},
};

void PrintTo(const CancelCase &c, std::ostream *out)
{
    *out << c.name;
}

class CancelJob : public JobFixture, public ::testing::WithParamInterface<CancelCase> {
protected:
    void prepareApplicationFolder() override { installConverter(GetParam().converter); }

    void SetUp() override
    {
        JobFixture::SetUp();
        OnePdfPerPicture = GetParam().onePdfPerPicture;
        if (GetParam().outputOnAnotherFileSystem && !outputOnAnotherFileSystem())
            GTEST_SKIP() << "no tmpfs at /dev/shm apart from the test's folder";
        cancelCommand_ = control<QAction>(engine(), QStringLiteral("menuCancel"));
        QObject::connect(&window(), &frmMain::progressTextShown, &context_,
                         [this](const QString &text) { shown_ << text; });
    }

    // Whether the moment has come, looking at what was just given to the hook.
    bool isTheMoment(const QString &text) const
    {
        return GetParam().moment != Moment::ProgressText || text == QString::fromUtf8(GetParam().whenShown);
    }

    void cancelAsTheUserDoes()
    {
        asked_ = true;
        // 取消转换 is there to choose: its menu's zone stays usable while the other commands wait.
        reachable_ = control(window(), "imgMenu2")->isEnabled() && cancelCommand_->isEnabled() &&
                     !control<QAction>(engine(), QStringLiteral("menuUp"))->isEnabled();
        if (GetParam().asked == Asked::Esc)
            QTest::keyClick(&window(), Qt::Key_Escape);
        else
            cancelCommand_->trigger();
    }

    QObject context_;
    QAction *cancelCommand_ = nullptr;
    QStringList shown_;
    bool asked_ = false;
    bool reachable_ = false;
};

TEST_P(CancelJob, StopsLeavingNothingButTheList)
{
    const QStringList list = pictures(GetParam().pictures, "JPG");
    addEntries(list);
    EXPECT_FALSE(cancelCommand_->isEnabled());
    // Held at its moment: the cancel comes with the next events the job handles, as a key press or
    // a menu choice of the user would.
    const auto atTheMoment = [this](const QString &text) {
        if (asked_ || !isTheMoment(text))
            return;
        asked_ = true;
        QTimer::singleShot(0, &context_, [this] { cancelAsTheUserDoes(); });
    };
    if (GetParam().moment == Moment::ProgressText)
        QObject::connect(&window(), &frmMain::progressTextShown, &context_, atTheMoment);
    else
        QObject::connect(GetParam().moment == Moment::MergedConverterSpeaks ? &engine().objDOS() : &engine().objShell(),
                         &DOSOutputs::ReceiveOutputs, &context_, atTheMoment);
    MessageRecord said;
    ModalAnswerer answerer(60000);
    answerer.thenMessage(QMessageBox::Ok, &said);

    engine().Command3_Click();

    ASSERT_TRUE(asked_) << "the job ended before the moment came";
    EXPECT_TRUE(reachable_);
    // No PDF and no temporary of a copy in the output folder; no page, no converter's temporary.
    EXPECT_TRUE(QDir(out_).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty())
        << QDir(out_).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(u' ').toStdString();
    EXPECT_FALSE(QDir(fromFsPath(stagingFolder())).exists());
    EXPECT_TRUE(stagingFoldersSetAside().empty());
    for (const qint64 pid : helperProcesses())
        EXPECT_FALSE(processRuns(pid)) << pid;
    // The list as it was, the commands back, and the user told.
    EXPECT_EQ(entries(), list);
    EXPECT_TRUE(List1()->isEnabled());
    EXPECT_TRUE(control(window(), "imgConvert")->isEnabled());
    EXPECT_TRUE(control(window(), "imgToolbar0")->isEnabled());
    EXPECT_TRUE(Command3()->isEnabled());
    EXPECT_TRUE(control<QAction>(engine(), QStringLiteral("menuUp"))->isEnabled());
    EXPECT_FALSE(cancelCommand_->isEnabled());
    EXPECT_TRUE(control(window(), "PicPB")->isHidden());
    EXPECT_TRUE(shown_.contains(QStringLiteral("已取消"))) << shown_.join(u';').toStdString();
    EXPECT_TRUE(said.text.contains(QStringLiteral("已取消"))) << said.text.toStdString();
    EXPECT_TRUE(opened_.isEmpty());
    EXPECT_FALSE(jobCancelRequested);
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(u';').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Phases, CancelJob, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<CancelCase> &testCase) {
                             return std::string(testCase.param.name);
                         });

class CancelThenConvert : public JobFixture {};

TEST_F(CancelThenConvert, TheNextJobRunsWhole)
{
    const QStringList list = pictures(3, "JPG");
    addEntries(list);
    bool asked = false;
    QObject context;
    QObject::connect(&window(), &frmMain::progressTextShown, &context, [&](const QString &text) {
        if (!asked && text == QStringLiteral("Converting Files...0%")) {
            asked = true;
            QTimer::singleShot(0, &context, [this] { engine().cancelJob(); });
        }
    });
    {
        ModalAnswerer answerer(60000);
        answerer.thenMessage(QMessageBox::Ok);
        engine().Command3_Click();
        EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(u';').toStdString();
    }
    ASSERT_TRUE(asked);
    ASSERT_FALSE(QFile::exists(out_ + QStringLiteral("/NewPDF.pdf")));

    ModalAnswerer answerer(60000);
    engine().Command3_Click();

    EXPECT_TRUE(QFile::exists(out_ + QStringLiteral("/NewPDF.pdf")));
    EXPECT_TRUE(opened_.contains(QStringLiteral("open ") + out_)) << opened_.join(u';').toStdString();
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(u';').toStdString();
}

} // namespace
} // namespace pagemint::test
