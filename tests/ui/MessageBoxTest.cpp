// Every message box fits on its screen, with its buttons, from 1024 x 768 at any DPI.
#include "ModalAnswerer.h"
#include "ScaledChild.h"

#include "ui/MessageBox.h"

#include <QAbstractButton>
#include <QScreen>

#include <gtest/gtest.h>

namespace pagemint::test {
namespace {

// A report as tall as the end of a job can give: fifteen deep paths with wide characters, the
// rest counted, and every path in the details.
struct TallReport {
    QString text;
    QString details;
    QStringList paths;
};

TallReport tallReport()
{
    TallReport report;
    for (int i = 0; i < 500; ++i)
        report.paths << QStringLiteral("/home/用户/照片/2012年夏天的假期照片/第二台相机/IMG_%1.jpg")
                            .arg(i, 4, 10, QLatin1Char('0'));
    report.text = QStringLiteral("以下图片未能转换，已被跳过：\n") + report.paths.mid(0, 15).join(u'\n') +
                  QStringLiteral("\n…另有 485 张\n\n没有生成PDF文件。");
    report.details = report.paths.join(u'\n');
    return report;
}

struct Seen {
    QRect screen;
    QRect box;
    QRect okButton;
    QRect boxWithDetails;
    QRect okButtonWithDetails;
    MessageRecord message;
};

QRect globalRect(const QWidget *widget)
{
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

// Shows `text` (with `details`) and notes where the box and its 确定 lie, before and after the
// details are opened.
Seen show(const QString &text, const QString &details)
{
    Seen seen;
    ModalAnswerer answerer;
    answerer.then([&seen](QWidget *window) {
        auto *box = qobject_cast<QMessageBox *>(window);
        if (box == nullptr) {
            window->close();
            return;
        }
        seen.message = describe(*box);
        seen.screen = box->screen()->availableGeometry();
        seen.box = box->frameGeometry();
        QAbstractButton *ok = box->button(QMessageBox::Ok);
        seen.okButton = globalRect(ok);
        for (QAbstractButton *button : box->buttons())
            if (box->buttonRole(button) == QMessageBox::ActionRole)
                button->click();
        seen.boxWithDetails = box->frameGeometry();
        seen.okButtonWithDetails = globalRect(ok);
        ok->click();
    });
    ShowMessage(nullptr, text, QStringLiteral("转换"), QMessageBox::Warning, QMessageBox::Ok, details);
    EXPECT_TRUE(answerer.failures().isEmpty()) << answerer.failures().join(u';').toStdString();
    return seen;
}

void expectOnScreen(const Seen &seen)
{
    ASSERT_FALSE(seen.screen.isEmpty());
    for (const QRect &rect : {seen.box, seen.okButton, seen.boxWithDetails, seen.okButtonWithDetails})
        EXPECT_TRUE(seen.screen.contains(rect))
            << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height() << " on "
            << seen.screen.width() << "x" << seen.screen.height();
}

TEST(MessageBoxOnScreen, ATallReportKeepsItsButtonsOnTheScreen)
{
    const TallReport report = tallReport();
    const Seen seen = show(report.text, report.details);
    expectOnScreen(seen);
    // What the box could not show is behind its details, whole.
    EXPECT_TRUE(seen.message.text.startsWith(QStringLiteral("以下图片未能转换，已被跳过：")));
    for (const QString &path : report.paths)
        EXPECT_TRUE(seen.message.details.contains(path)) << path.toStdString();
}

TEST(MessageBoxOnScreen, ATallTextWithoutDetailsIsCutAtALineAndShownWholeInTheDetails)
{
    const TallReport report = tallReport();
    const QString text = report.paths.mid(0, 200).join(u'\n');
    const Seen seen = show(text, QString());
    expectOnScreen(seen);
    EXPECT_EQ(seen.message.details, text);
    ASSERT_TRUE(seen.message.text.endsWith(QStringLiteral("\n…"))) << seen.message.text.toStdString();
    // Whole lines only.
    EXPECT_TRUE(text.startsWith(seen.message.text.chopped(2) + u'\n'));
}

TEST(MessageBoxOnScreen, AShortTextIsShownAsItIs)
{
    const Seen seen = show(QStringLiteral("请添加一个文件"), QString());
    EXPECT_EQ(seen.message.text, QStringLiteral("请添加一个文件"));
    EXPECT_TRUE(seen.message.details.isEmpty());
}

// The same on the small screens of laptops, at each DPI a desktop may give.
struct SmallScreen {
    DisplayScaling scaling;
    QSize screen;
};

void PrintTo(const SmallScreen &c, std::ostream *os)
{
    *os << c.scaling.name << " " << c.screen.width() << "x" << c.screen.height();
}

class MessageBoxOnSmallScreens : public ::testing::TestWithParam<SmallScreen> {};

TEST_P(MessageBoxOnSmallScreens, EveryMessageBoxTestPasses)
{
    expectTestsPassAt(GetParam().scaling, QStringLiteral("MessageBoxOnScreen.*"), GetParam().screen);
}

std::vector<SmallScreen> smallScreens()
{
    std::vector<SmallScreen> cases;
    for (const QSize screen : {QSize(1024, 768), QSize(1366, 768)})
        for (const DisplayScaling &scaling : windowScalings)
            cases.push_back({scaling, screen});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Laptops, MessageBoxOnSmallScreens, ::testing::ValuesIn(smallScreens()),
                         [](const ::testing::TestParamInfo<SmallScreen> &testCase) {
                             return std::string(testCase.param.scaling.name) + "At" +
                                    std::to_string(testCase.param.screen.width()) + "x" +
                                    std::to_string(testCase.param.screen.height());
                         });

} // namespace
} // namespace pagemint::test
