#pragma once
// The settings window's text recognition: 识别文字 (a list in the order of Recognition, so an index is
// a choice) and 自动摆正页面, in two rows under the page layout.

#include "contract/TextRecognition.h"
#include "ui/TwipsLayout.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QWidget;

namespace pagemint {

class TextChoiceControls {
public:
    // Makes the controls on `parent`, showing the default choice (no recognition).
    explicit TextChoiceControls(QWidget *parent);

    void show(const TextChoice &choice);
    TextChoice chosen() const;

    // The controls as designed, the first row's top at `top` twips; the rows take kHeightTwips.
    std::vector<ControlPlacement> designedLayout(double top) const;
    static constexpr double kHeightTwips = 750;

    // In tab order.
    std::vector<QWidget *> inputs() const;

private:
    QLabel *lblText = nullptr;
    QComboBox *cmbText = nullptr;
    QCheckBox *chkUpright = nullptr;
};

} // namespace pagemint
