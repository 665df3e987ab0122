#include "ui/frmMain.h"

#include "common/ExitRequest.h"
#include "common/Rounding.h"
#include "contract/StagingFolder.h"
#include "imagelist/ImageList.h"
#include "ui/ImageListView.h"
#include "ui/MainWindowEngine.h"
#include "ui/Skin.h"
#include "ui/SkinResources.h"
#include "ui/UiLog.h"

#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#include <tuple>

namespace pagemint {

namespace {
// Client size as designed, in twips.
constexpr TwipsRect clientTwips{0, 0, 8220, 5490};
const QRgb skinKey = qRgb(255, 0, 255);

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(alignment);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

void setTextColour(QWidget *widget, QColor colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}
} // namespace

frmMain::frmMain(MainWindowEngine &engine) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), engine_(engine)
{
    registerSkinResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Pagemint"));
    setWindowIcon(QIcon(QStringLiteral(":/skin/icon_128.png")));
    setFont(QFont(QStringLiteral("Tahoma"), 9));
    setMouseTracking(true);
    skin_.load(QStringLiteral(":/skin/background.png"));
    createControls();
    loadPictureHolders();
    wireControls();
    wireZones();
    enableDrops();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    Timer1->setSingleShot(false);
    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
}

frmMain::~frmMain() = default;

void frmMain::createControls()
{
    for (int i = 0; i < 4; ++i)
        imgMenu[i] = new ImageZone(this, QStringLiteral("imgMenu%1").arg(i));
    for (int i = 0; i < 6; ++i)
        imgToolbar[i] = new ImageZone(this, QStringLiteral("imgToolbar%1").arg(i));
    imgConvert = new ImageZone(this, QStringLiteral("imgConvert"));
    imgUp = new ImageZone(this, QStringLiteral("imgUp"));
    imgDown = new ImageZone(this, QStringLiteral("imgDown"));
    imgMin = new ImageZone(this, QStringLiteral("imgMin"));
    imgExit = new ImageZone(this, QStringLiteral("imgExit"));
    lblUp = new ImageZone(this, QStringLiteral("lblUp"));
    lblUp->setText(QStringLiteral("上移一行"));
    lblDown = new ImageZone(this, QStringLiteral("lblDown"));
    lblDown->setText(QStringLiteral("下移一行"));
    const QCursor zoneCursor(QPixmap(QStringLiteral(":/skin/cursor.png")), 6, 0);
    imgMin->setCursor(zoneCursor);
    imgExit->setCursor(zoneCursor);

    lblPage = makeLabel(this, QStringLiteral("lblPage"), pageLabelText(-1), Qt::AlignCenter);
    setTextColour(lblPage, QColor(64, 64, 64));
    lblFilename = makeLabel(this, QStringLiteral("lblFilename"), QString(), Qt::AlignRight | Qt::AlignVCenter);
    setTextColour(lblFilename, QColor(64, 64, 64));

    PicPB = new QFrame(this);
    PicPB->setObjectName(QStringLiteral("PicPB"));
    PicPB->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PicPB->hide();
    shapePB = new QLabel(PicPB);
    shapePB->setObjectName(QStringLiteral("shapePB"));
    shapePB->setScaledContents(true);
    shapePB->setPixmap(QPixmap(QStringLiteral(":/skin/progress.jpg")));
    if (shapePB->pixmap().isNull()) {
        shapePB->setAutoFillBackground(true);
        QPalette palette = shapePB->palette();
        palette.setColor(QPalette::Window, QColor(0x1F, 0x7A, 0x8C));
        shapePB->setPalette(palette);
    }
    lblPB = makeLabel(this, QStringLiteral("lblPB"), QStringLiteral("0%"), Qt::AlignLeft | Qt::AlignVCenter);
    setTextColour(lblPB, QColor(64, 64, 64));
    lblPB->hide();

    list_ = new ImageList(this);
    List1 = new ImageListView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setModel(list_);
    List1->setContextMenuPolicy(Qt::CustomContextMenu);
    // Rows of one height keep appending and removing fast with tens of thousands of entries.
    List1->setUniformItemSizes(true);
    List1->setFrameShape(QFrame::NoFrame);
    // Entering a row asks for its thumbnail.
    List1->setMouseTracking(true);
    // A small window of its own beside the list, so it may reach past the skin's edge.
    picThumbnail = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);
    picThumbnail->setObjectName(QStringLiteral("picThumbnail"));
    picThumbnail->setFrameStyle(QFrame::Box | QFrame::Plain);
    picThumbnail->setAlignment(Qt::AlignCenter);

    picText = new QFrame(this);
    picText->setObjectName(QStringLiteral("picText"));
    picText->setAutoFillBackground(true);
    lblText = makeLabel(picText, QStringLiteral("lblText"), hintText(), Qt::AlignCenter);
    setTextColour(lblText, QColor(128, 128, 128));

    picDoor = new QLabel(this);
    picDoor->setObjectName(QStringLiteral("picDoor"));
    picDoor->setPixmap(QPixmap(QStringLiteral(":/skin/door.jpg")));
}

std::vector<ControlPlacement> frmMain::designedLayout()
{
    QFont bold = font();
    bold.setBold(true);
    lblText->setFont(bold);
    QFont small = bold;
    small.setPointSizeF(7.5);
    lblPB->setFont(small);

    // Left, Top, Width, Height in twips, font size in points (0: the window's font).
    std::vector<ControlPlacement> layout = {
        {imgMenu[0], {210, 465, 675, 255}},
        {imgMenu[1], {1040, 465, 675, 255}},
        {imgMenu[2], {1890, 460, 705, 255}},
        {imgMenu[3], {2730, 465, 675, 255}},
        {imgToolbar[0], {80, 795, 1035, 1080}},
        {imgToolbar[1], {1130, 795, 945, 1065}},
        {imgToolbar[2], {2190, 795, 1005, 1065}},
        {imgToolbar[3], {3240, 795, 945, 1065}},
        {imgToolbar[4], {4290, 800, 945, 1065}},
        {imgToolbar[5], {5325, 795, 885, 1065}},
        {imgConvert, {6190, 3840, 1845, 945}},
        {imgUp, {6150, 2390, 825, 975}},
        {imgDown, {7100, 2390, 825, 975}},
        {lblUp, {6210, 3390, 720, 210}, 9},
        {lblDown, {7150, 3390, 720, 210}, 9},
        {imgMin, {7680, 90, 225, 255}},
        {imgExit, {7920, 90, 225, 255}},
        {List1, {150, 2070, 5865, 2760}, 9},
        // The door, stored outside the window, is placed over the list area before the rescaling.
        {picDoor, {90, 2040, 8055, 2835}},
        {picText, {1770, 3180, 2235, 285}},
        {lblText, {180, 30, 1965, 210}, 9},
        {lblPage, {6180, 2100, 1845, 225}, 9},
        {lblFilename, {3420, 5090, 4695, 255}, 9},
        {PicPB, {150, 5040, 5865, 345}},
        {shapePB, {0, 0, 15, 300}},
        {lblPB, {6180, 5130, 285, 180}, 7.5},
    };
    return layout;
}

void frmMain::wireControls()
{
    connect(List1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &current) {
        if (current.isValid())
            List1_Click();
        wantThumbnail(current.row());
    });
    connect(List1, &QAbstractItemView::entered, this, [this](const QModelIndex &index) { wantThumbnail(index.row()); });
    // A turned entry shows its thumbnail turned anew.
    connect(list_, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &first, const QModelIndex &last) {
        if (thumbnailRow_ >= first.row() && thumbnailRow_ <= last.row())
            wantThumbnail(thumbnailRow_);
    });
    // Sorted or dragged, the selected entries keep their selection and show their new page.
    connect(list_, &ImageList::layoutChanged, this, [this] {
        if (selectedRow() >= 0)
            List1_Click();
    });
    connect(List1, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        if (QMenu *menu = engine_.listMenu())
            menu->exec(List1->viewport()->mapToGlobal(at));
    });
    // Zones act on a press of any button, exit and minimise on a click.
    connect(imgExit, &ImageZone::clicked, this, &frmMain::imgExit_Click);
    connect(imgMin, &ImageZone::clicked, this, &frmMain::imgMin_Click);
    connect(imgUp, &ImageZone::pressed, this, &frmMain::imgUp_MouseDown);
    connect(lblUp, &ImageZone::pressed, this, &frmMain::imgUp_MouseDown);
    connect(imgDown, &ImageZone::pressed, this, &frmMain::imgDown_MouseDown);
    connect(lblDown, &ImageZone::pressed, this, &frmMain::imgDown_MouseDown);
    // Whichever control has the focus (the list is disabled while a job runs).
    auto *cancel = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    cancel->setObjectName(QStringLiteral("escCancel"));
    connect(cancel, &QShortcut::activated, this, [this] { engine_.cancelJob(); });
}

void frmMain::Form_Load()
{
    SkinH_Attach();
    SkinH_AdjustHSV(0, -90, 0);
    tpp_ = twipsPerPixel(*this);
    // Kept off the screen until the shape is set, so it never flashes at a wrong place.
    const QRect designed = toPixels(clientTwips, tpp_);
    move(-(designed.width() + qRound(100 / tpp_.x)), -(designed.height() + qRound(100 / tpp_.y)));
    std::vector<ControlPlacement> layout = designedLayout();
    QApplication::processEvents();
    update();
    QApplication::processEvents();
    resize(rescaledWindowSize(clientTwips, tpp_));
    applyRescaling(layout, tpp_);
    picDoor->resize(picDoor->pixmap().isNull() ? QSize(537, 189) : picDoor->pixmap().size());
    lblPB->adjustSize();
    picDoor->raise();
    update();
    Timer1->start();
}

void frmMain::Timer1_Timer()
{
    Timer1->stop();
    maskColor_ = QColor(skinKey);
    if (!skin_.isNull()) {
        const QImage shape = skin_.copy(QRect(QPoint(0, 0), size()));
        setMask(QBitmap::fromImage(shape.createMaskFromColor(skinKey)));
    }
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->geometry();
        // Centred in twips, halves to the even number, as the window was designed.
        const double left = roundHalfEven((area.width() - width()) * tpp_.x / 2);
        const double top = roundHalfEven((area.height() - height()) * tpp_.y / 2);
        move(area.left() + qRound(left / tpp_.x), area.top() + qRound(top / tpp_.y));
    }
    QApplication::processEvents();
    // What a crash or a cut-short exit left, by the folder's own bytes; the window stays
    // responsive meanwhile, and an exit stops it (the next start goes on).
    removeStagingFolder({[] {
                             QApplication::processEvents();
                             return !exitRequested;
                         },
                         [](const std::filesystem::path &entry, const std::error_code &error) {
                             qCWarning(lcUi, "%s not removed: %s", entry.c_str(), error.message().c_str());
                         }});
}

void frmMain::imgExit_Click()
{
    exitRequested = true;
    Q_EMIT exitStarted();
    // Gone from the screen before anything else of the end runs.
    hide();
    SkinH_Detach();
    close();
    engine_.Unload();
}

void frmMain::imgMin_Click()
{
    setWindowState(windowState() | Qt::WindowMinimized);
}

bool frmMain::loadingFinished() const
{
    return !Timer1->isActive();
}

double frmMain::barTwips() const
{
    return PicPB->width() * tpp_.x;
}

void frmMain::setFillTwips(double twips)
{
    fillTwips_ = twips;
    shapePB->resize(static_cast<int>(twips / tpp_.x), shapePB->height());
}

void frmMain::setProgressText(const QString &text)
{
    lblPB->setText(text);
    lblPB->adjustSize();
    Q_EMIT progressTextShown(text);
}

void frmMain::showProgressBar(bool shown)
{
    PicPB->setVisible(shown);
    lblPB->setVisible(shown);
}

void frmMain::showFilename(bool shown)
{
    lblFilename->setVisible(shown);
}

void frmMain::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (skin_.isNull())
        painter.fillRect(rect(), palette().window());
    else
        painter.drawImage(0, 0, skin_);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (unloaded_) {
        event->accept();
        return;
    }
    // However the window is closed, the program ends with it.
    exitRequested = true;
    hide();
    SkinH_Detach();
    engine_.Unload();
    unloaded_ = true;
    event->accept();
}

} // namespace pagemint
