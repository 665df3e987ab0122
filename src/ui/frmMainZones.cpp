// The main window's zones: hover and pressed pictures, the commands they hand to the engine,
// the pop-up menus, and dragging the frameless window by its background.
#include "ui/frmMain.h"

#include "common/ExitRequest.h"
#include "ui/HelpPage.h"
#include "ui/LeftButtonMenu.h"
#include "ui/MainWindowEngine.h"
#include "ui/Skin.h"

#include "ui/ImageListView.h"
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

#include <cmath>

namespace pagemint {

namespace {
QPixmap skinPicture(const QString &name)
{
    return QPixmap(QStringLiteral(":/skin/") + name);
}

const QString commandWords[] = {QStringLiteral("Add"), QStringLiteral("Remove"), QStringLiteral("Add Folder")};
} // namespace

void frmMain::loadPictureHolders()
{
    for (int i = 0; i < 4; ++i)
        imgMenuData[i] = skinPicture(QStringLiteral("menu_hover_%1.jpg").arg(i));
    for (int i = 0; i < 6; ++i) {
        imgToolbarData[i] = skinPicture(QStringLiteral("toolbar_hover_%1.jpg").arg(i));
        imgToolbarClick[i] = skinPicture(QStringLiteral("toolbar_pressed_%1.jpg").arg(i));
    }
    imgConvertData = skinPicture(QStringLiteral("convert_hover.jpg"));
    imgUpData = skinPicture(QStringLiteral("up_hover.jpg"));
    imgDownData = skinPicture(QStringLiteral("down_hover.jpg"));
}

void frmMain::wireZones()
{
    for (int i = 0; i < 6; ++i) {
        connect(imgToolbar[i], &ImageZone::moved, this, [this, i] { showHover(imgToolbar[i], imgToolbarData[i]); });
        connect(imgToolbar[i], &ImageZone::pressed, this, [this, i] { imgToolbar_MouseDown(i); });
    }
    for (int i = 0; i < 4; ++i) {
        connect(imgMenu[i], &ImageZone::moved, this, [this, i] { showHover(imgMenu[i], imgMenuData[i]); });
        connect(imgMenu[i], &ImageZone::pressed, this, [this, i] { imgMenu_MouseDown(i); });
    }
    connect(imgConvert, &ImageZone::moved, this, [this] { showHover(imgConvert, imgConvertData); });
    connect(imgConvert, &ImageZone::pressed, this, &frmMain::imgConvert_MouseDown);
    for (ImageZone *zone : {imgUp, lblUp})
        connect(zone, &ImageZone::moved, this, [this] { showHover(imgUp, imgUpData); });
    for (ImageZone *zone : {imgDown, lblDown})
        connect(zone, &ImageZone::moved, this, [this] { showHover(imgDown, imgDownData); });
    for (int i = 0; i < 4; ++i)
        acceptLeftButtonOnly(*engine_.menuOfZone(i));
}

void frmMain::ClearHoverPictures()
{
    for (ImageZone *zone : imgToolbar)
        zone->clearPicture();
    for (ImageZone *zone : imgMenu)
        zone->clearPicture();
    for (ImageZone *zone : {imgUp, imgDown, imgConvert})
        zone->clearPicture();
}

void frmMain::setCommandsEnabled(bool enabled)
{
    for (ImageZone *zone : imgToolbar)
        zone->setEnabled(enabled);
    for (ImageZone *zone : imgMenu)
        zone->setEnabled(enabled);
    for (QWidget *control : std::initializer_list<QWidget *>{imgConvert, imgUp, imgDown, lblUp, lblDown, List1})
        control->setEnabled(enabled);
    if (!enabled)
        hideThumbnail();
}

void frmMain::keepControlMenuReachable()
{
    imgMenu[2]->setEnabled(true);
}

void frmMain::showHover(ImageZone *zone, const QPixmap &picture)
{
    ClearHoverPictures();
    zone->showPicture(picture);
}

void frmMain::imgToolbar_MouseDown(int Index)
{
    picDoor->hide();
    QApplication::processEvents();
    ClearHoverPictures();
    imgToolbar[Index]->showPicture(imgToolbarClick[Index]);
    switch (Index) {
    case 0:
    case 1:
    case 2:
        engine_.postCommandWord(commandWords[Index]);
        break;
    case 3:
        engine_.showSettingsWindow();
        for (ImageZone *zone : imgToolbar)
            zone->clearPicture();
        for (ImageZone *zone : imgMenu)
            zone->clearPicture();
        break;
    case 4:
        openHelpPage(this);
        break;
    case 5:
        imgExit_Click();
        break;
    default:
        break;
    }
}

void frmMain::imgConvert_MouseDown()
{
    imgConvert->clearPicture();
    engine_.postCommandWord(QStringLiteral("Convert"));
}

void frmMain::imgMenu_MouseDown(int Index)
{
    ClearHoverPictures();
    QMenu *menu = engine_.menuOfZone(Index);
    if (menu == nullptr)
        return;
    // Under the zone: its left edge, 300 twips below its top.
    const QPoint corner = imgMenu[Index]->geometry().topLeft() + QPoint(0, qRound(300 / tpp().y));
    menu->exec(mapToGlobal(corner));
    if (Index == 0) {
        activateWindow();
        setFocus();
    }
}

void frmMain::mousePressEvent(QMouseEvent *event)
{
    // Presses on the labels, the door and the hint box end up here too: only the bare background
    // drags.
    if (event->button() != Qt::LeftButton || childAt(event->position().toPoint()) != nullptr)
        return;
    dragActive = true;
    dragX = static_cast<qint32>(std::lround(event->position().x() * tpp().x));
    dragY = static_cast<qint32>(std::lround(event->position().y() * tpp().y));
}

void frmMain::mouseMoveEvent(QMouseEvent *event)
{
    // Moves over the labels and the list reach here too; only the bare background clears.
    if (!dragActive && childAt(event->position().toPoint()) != nullptr)
        return;
    if (dragActive) {
        // From global coordinates: the window moves under the pointer while this runs.
        const QPointF client = event->globalPosition() - QPointF(pos());
        const double x = client.x() * tpp().x;
        const double y = client.y() * tpp().y;
        move(pos() + QPoint(qRound((x - dragX) / tpp().x), qRound((y - dragY) / tpp().y)));
    }
    ClearHoverPictures();
}

void frmMain::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        dragActive = false;
}

} // namespace pagemint
