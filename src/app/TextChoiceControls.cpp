#include "app/TextChoiceControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace pagemint {

TextChoiceControls::TextChoiceControls(QWidget *parent)
{
    lblText = new QLabel(QStringLiteral("识别文字:"), parent);
    lblText->setObjectName(QStringLiteral("lblText"));
    cmbText = new QComboBox(parent);
    cmbText->setObjectName(QStringLiteral("cmbText"));
    // In the order of Recognition: Off, ChineseAndEnglish, English.
    cmbText->addItems({QStringLiteral("不识别文字"), QStringLiteral("中文和英文"), QStringLiteral("英文")});
    cmbText->setEditable(false);
    cmbText->setToolTip(QStringLiteral("识别出的文字不可见地放在图片上，PDF 即可搜索和复制；每页需要几秒钟"));
    chkUpright = new QCheckBox(QStringLiteral("自动摆正页面"), parent);
    chkUpright->setObjectName(QStringLiteral("chkUpright"));
    chkUpright->setToolTip(QStringLiteral("侧放或倒置的页面转正（无损）"));
    show({});
}

void TextChoiceControls::show(const TextChoice &choice)
{
    cmbText->setCurrentIndex(static_cast<int>(choice.recognition));
    chkUpright->setChecked(choice.upright);
}

TextChoice TextChoiceControls::chosen() const
{
    return {static_cast<Recognition>(cmbText->currentIndex()), chkUpright->isChecked()};
}

std::vector<ControlPlacement> TextChoiceControls::designedLayout(double top) const
{
    // The list as wide as the mode list less its label, the check box under it across the window.
    constexpr double left = 180, labelWidth = 780, right = 3615, controlHeight = 330, labelHeight = 210, rowStep = 420;
    constexpr double labelDrop = (controlHeight - labelHeight) / 2;
    return {
        {lblText, {left, top + labelDrop, labelWidth, labelHeight}, 9},
        {cmbText, {left + labelWidth, top, right - left - labelWidth, controlHeight}, 9},
        {chkUpright, {left, top + rowStep, right - left, controlHeight}, 9},
    };
}

std::vector<QWidget *> TextChoiceControls::inputs() const
{
    return {cmbText, chkUpright};
}

} // namespace pagemint
