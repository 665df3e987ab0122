#pragma once
// The settings window's page layout: 纸张, 方向, 边距 and 缩放, two to a row under the mode. Each
// list holds its choices in the order of their kind (contract/PageLayout.h), so an index is a choice.

#include "contract/PageLayout.h"
#include "ui/TwipsLayout.h"

#include <vector>

class QComboBox;
class QLabel;
class QSpinBox;
class QWidget;

namespace pagemint {

class PageLayoutControls {
public:
    // Makes the controls on `parent`, showing the default layout.
    explicit PageLayoutControls(QWidget *parent);

    void show(const PageLayout &layout);
    PageLayout chosen() const;

    // The controls as designed, the first row's top at `top` twips; the rows take kHeightTwips.
    std::vector<ControlPlacement> designedLayout(double top) const;
    static constexpr double kHeightTwips = 750;

    // In tab order.
    std::vector<QWidget *> inputs() const;

private:
    // The choices that mean nothing on the chosen paper are greyed: all of them on the original
    // paper, the orientation on the picture's own shape.
    void enableForPaper();

    QLabel *lblPaper = nullptr;
    QComboBox *cmbPaper = nullptr;
    QLabel *lblOrientation = nullptr;
    QComboBox *cmbOrientation = nullptr;
    QLabel *lblMargin = nullptr;
    QSpinBox *spnMargin = nullptr;
    QLabel *lblFit = nullptr;
    QComboBox *cmbFit = nullptr;
};

} // namespace pagemint
