#include "app/PageLayoutControls.h"

#include <QComboBox>
#include <QLabel>
#include <QSpinBox>

namespace pagemint {

namespace {

template <typename Widget> Widget *named(QWidget *parent, const char *name)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    QLabel *l = named<QLabel>(parent, name);
    l->setText(text);
    return l;
}

QComboBox *list(QWidget *parent, const char *name, const QStringList &items)
{
    QComboBox *box = named<QComboBox>(parent, name);
    box->addItems(items);
    box->setEditable(false);
    return box;
}

} // namespace

PageLayoutControls::PageLayoutControls(QWidget *parent)
{
    lblPaper = label(parent, "lblPaper", QStringLiteral("纸张:"));
    cmbPaper = list(parent, "cmbPaper",
                    {QStringLiteral("原始大小"), QStringLiteral("A4"), QStringLiteral("A5"), QStringLiteral("B5"),
                     QStringLiteral("Letter"), QStringLiteral("Legal"), QStringLiteral("适应图片")});
    cmbPaper->setToolTip(QStringLiteral("原始大小：页面与图片本身一样大；B5 为 182 × 257 毫米"));
    lblOrientation = label(parent, "lblOrientation", QStringLiteral("方向:"));
    cmbOrientation =
        list(parent, "cmbOrientation", {QStringLiteral("自动"), QStringLiteral("纵向"), QStringLiteral("横向")});
    lblMargin = label(parent, "lblMargin", QStringLiteral("边距:"));
    spnMargin = named<QSpinBox>(parent, "spnMargin");
    spnMargin->setRange(0, kMaxMarginMm);
    spnMargin->setSingleStep(5);
    spnMargin->setSuffix(QStringLiteral(" 毫米"));
    lblFit = label(parent, "lblFit", QStringLiteral("缩放:"));
    cmbFit = list(parent, "cmbFit", {QStringLiteral("适应页面"), QStringLiteral("仅缩小")});
    QObject::connect(cmbPaper, &QComboBox::currentIndexChanged, cmbPaper, [this] { enableForPaper(); });
    show({});
}

void PageLayoutControls::show(const PageLayout &layout)
{
    cmbPaper->setCurrentIndex(static_cast<int>(layout.paper));
    cmbOrientation->setCurrentIndex(static_cast<int>(layout.orientation));
    spnMargin->setValue(layout.marginMm);
    cmbFit->setCurrentIndex(static_cast<int>(layout.fit));
    enableForPaper();
}

PageLayout PageLayoutControls::chosen() const
{
    return {static_cast<Paper>(cmbPaper->currentIndex()), static_cast<PageOrientation>(cmbOrientation->currentIndex()),
            spnMargin->value(), static_cast<PageFit>(cmbFit->currentIndex())};
}

void PageLayoutControls::enableForPaper()
{
    const Paper paper = static_cast<Paper>(cmbPaper->currentIndex());
    const bool onPaper = paper != Paper::Original;
    for (QWidget *control : std::initializer_list<QWidget *>{lblMargin, spnMargin, lblFit, cmbFit})
        control->setEnabled(onPaper);
    lblOrientation->setEnabled(onPaper && paper != Paper::Picture);
    cmbOrientation->setEnabled(onPaper && paper != Paper::Picture);
}

std::vector<ControlPlacement> PageLayoutControls::designedLayout(double top) const
{
    // Two columns as wide as the mode list together; each label beside its control, centred on it.
    constexpr double labelWidth = 540, controlWidth = 1095, controlHeight = 330, labelHeight = 210, rowStep = 420;
    constexpr double columns[] = {180, 1980};
    constexpr double labelDrop = (controlHeight - labelHeight) / 2;
    const std::pair<QLabel *, QWidget *> cells[] = {
        {lblPaper, cmbPaper}, {lblOrientation, cmbOrientation}, {lblMargin, spnMargin}, {lblFit, cmbFit}};
    std::vector<ControlPlacement> placements;
    for (int i = 0; i < 4; ++i) {
        const int row = i / 2;
        const double left = columns[i % 2], rowTop = top + rowStep * row;
        placements.push_back({cells[i].first, {left, rowTop + labelDrop, labelWidth, labelHeight}, 9});
        placements.push_back({cells[i].second, {left + labelWidth, rowTop, controlWidth, controlHeight}, 9});
    }
    return placements;
}

std::vector<QWidget *> PageLayoutControls::inputs() const
{
    return {cmbPaper, cmbOrientation, spnMargin, cmbFit};
}

} // namespace pagemint
