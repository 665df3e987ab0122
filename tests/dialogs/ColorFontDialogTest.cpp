#include "DialogsFixture.h"
#include "EngineFixture.h"

#include "ui/FontSizes.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>

#include <optional>

namespace pagemint::test {
namespace {

using ShowColor = DialogsFixture;

struct ColorDialogSeen {
    bool ownedByOwner = false;
    QColor start;
    bool customColoursBlack = false;
};

void recordColorDialog(QWidget *window, const QWidget *owner, ColorDialogSeen &seen)
{
    auto *dialog = qobject_cast<QColorDialog *>(window);
    if (dialog == nullptr)
        return;
    seen.ownedByOwner = dialog->parentWidget() == owner;
    seen.start = dialog->currentColor();
    seen.customColoursBlack = QColorDialog::customCount() > 0;
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        seen.customColoursBlack = seen.customColoursBlack && QColorDialog::customColor(i) == QColor(Qt::black);
}

TEST_F(ShowColor, ConfirmedColourIsStoredAndCustomColoursAreBlackAgainNextTime)
{
    dialogs_.setColor(0x00336699u);
    ColorDialogSeen first;
    answerer_.then([&](QWidget *window) {
        recordColorDialog(window, &owner_, first);
        if (auto *dialog = qobject_cast<QColorDialog *>(window)) {
            // The user keeps a custom colour and picks another one.
            QColorDialog::setCustomColor(3, QColor(Qt::red));
            dialog->setCurrentColor(QColor(10, 20, 30));
            dialog->accept();
        } else {
            cancelDialog(window);
        }
    });
    ASSERT_TRUE(dialogs_.ShowColor(true));
    EXPECT_TRUE(first.ownedByOwner);
    EXPECT_EQ(first.start, QColor(0x99, 0x66, 0x33));
    EXPECT_TRUE(first.customColoursBlack);
    EXPECT_EQ(dialogs_.Color(), 0x001E140Au);

    ColorDialogSeen second;
    answerer_.then([&](QWidget *window) {
        recordColorDialog(window, &owner_, second);
        if (auto *dialog = qobject_cast<QColorDialog *>(window))
            dialog->setCurrentColor(QColor(Qt::white));
        cancelDialog(window);
    });
    EXPECT_FALSE(dialogs_.ShowColor(false));
    EXPECT_EQ(second.start, QColor(10, 20, 30));
    EXPECT_TRUE(second.customColoursBlack);
    EXPECT_EQ(dialogs_.Color(), 0x001E140Au);
}

// A family with bold and italic faces on this machine (fonts-dejavu-core).
const QString family = QStringLiteral("DejaVu Serif");

struct FontDialogSeen {
    bool isFontDialog = false;
    bool ownedByOwner = false;
    QFont start;
    int startPixels = 0;
    int ownerDpi = 0;
    bool effectsHidden = false;
};

class ShowFont : public DialogsFixture {
protected:
    void SetUp() override
    {
        DialogsFixture::SetUp();
        dialogs_.setFontName(family);
        dialogs_.setFontSize(12);
        dialogs_.setFontBold(true);
        dialogs_.setFontItalic(false);
        dialogs_.setFontUnderline(true);
        dialogs_.setColor(0x00010203u);
    }

    // Records the dialog, then accepts `choice` or, without one, cancels.
    void answerFont(FontDialogSeen &seen, const std::optional<QFont> &choice)
    {
        answerer_.then([this, &seen, choice](QWidget *window) {
            auto *dialog = qobject_cast<QFontDialog *>(window);
            if (dialog == nullptr) {
                cancelDialog(window);
                return;
            }
            seen.isFontDialog = true;
            seen.ownedByOwner = dialog->parentWidget() == &owner_;
            seen.start = dialog->currentFont();
            seen.startPixels = QFontInfo(seen.start).pixelSize();
            seen.ownerDpi = owner_.logicalDpiY();
            for (QGroupBox *group : dialog->findChildren<QGroupBox *>()) {
                for (QCheckBox *box : group->findChildren<QCheckBox *>())
                    seen.effectsHidden = !box->isVisibleTo(dialog);
            }
            if (!choice) {
                cancelDialog(window);
                return;
            }
            dialog->setCurrentFont(*choice);
            dialog->accept();
        });
    }
};

TEST_F(ShowFont, StartsFromTheProperties)
{
    FontDialogSeen seen;
    answerFont(seen, std::nullopt);

    EXPECT_FALSE(dialogs_.ShowFont());

    ASSERT_TRUE(seen.isFontDialog);
    EXPECT_TRUE(seen.ownedByOwner);
    EXPECT_EQ(seen.start.family(), family);
    EXPECT_EQ(seen.start.pointSize(), 12);
    EXPECT_TRUE(seen.start.bold());
    EXPECT_FALSE(seen.start.italic());
    EXPECT_TRUE(seen.start.underline());
    // The dialog's font is as high as the computed height says (16 pixels at 96 dpi).
    EXPECT_EQ(seen.startPixels, -fontHeightPixels(12, seen.ownerDpi));
    EXPECT_TRUE(seen.effectsHidden);
    // Cancelled: nothing changes.
    EXPECT_EQ(dialogs_.FontName(), family);
    EXPECT_EQ(dialogs_.FontSize(), 12);
    EXPECT_TRUE(dialogs_.FontBold());
    EXPECT_FALSE(dialogs_.FontItalic());
}

struct FontChoice {
    double points;
    bool bold;
    bool italic;
    qint16 expectedSize;
};

class ShowFontConfirmed : public ShowFont, public ::testing::WithParamInterface<FontChoice> {};

TEST_P(ShowFontConfirmed, ReadsBackFamilyWholePointsBoldAndItalicButNotUnderline)
{
    const FontChoice choice = GetParam();
    QFont chosen(family);
    chosen.setPointSizeF(choice.points);
    chosen.setBold(choice.bold);
    chosen.setItalic(choice.italic);
    chosen.setUnderline(false);
    FontDialogSeen seen;
    answerFont(seen, chosen);

    ASSERT_TRUE(dialogs_.ShowFont());

    EXPECT_EQ(dialogs_.FontName(), family);
    EXPECT_EQ(dialogs_.FontSize(), choice.expectedSize);
    EXPECT_EQ(dialogs_.FontBold(), choice.bold);
    EXPECT_EQ(dialogs_.FontItalic(), choice.italic);
    EXPECT_TRUE(dialogs_.FontUnderline());
    EXPECT_EQ(dialogs_.Color(), 0x00010203u);
}

// Qt's dialog offers whole points only (its size field takes integers), so the fraction rule of
// truncatedPointSize is tested on its own in DialogRulesTest.
INSTANTIATE_TEST_SUITE_P(Choices, ShowFontConfirmed,
                         ::testing::Values(FontChoice{11.0, false, true, 11}, FontChoice{14.0, true, false, 14},
                                           FontChoice{9.0, true, true, 9}));

} // namespace
} // namespace pagemint::test
