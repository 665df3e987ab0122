#pragma once

#include "imagelist/DropIntake.h"
#include "imagelist/ImageListRules.h"
#include "ui/ImageZone.h"
#include "ui/TwipsLayout.h"

#include <QColor>
#include <QImage>
#include <QStringList>
#include <QWidget>

#include <array>
#include <vector>

class QFrame;
class QLabel;
class QTimer;

namespace pagemint {

class CCommonDialogs;
class ImageList;
class ImageListView;
class MainWindowEngine;

// The window the user works in: frameless, painted by the skin picture, with invisible zones over
// the painted buttons. It runs no command itself; it hands them to the engine window.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(MainWindowEngine &engine);
    ~frmMain() override;

    // Set-up before the first showing: off the screen, rescaled, then the one-shot timer.
    void Form_Load();
    // Runs once, 50 ms after loading: shape, centre, clear a leftover staging folder.
    void Timer1_Timer();

    void imgExit_Click();
    void imgMin_Click();
    void List1_Click();
    void imgUp_MouseDown();
    void imgDown_MouseDown();
    // Toolbar, Convert and menu zones: feedback, then the command.
    void imgToolbar_MouseDown(int Index);
    void imgConvert_MouseDown();
    void imgMenu_MouseDown(int Index);
    // Lights one zone: its hover picture over it, every other zone cleared.
    void showHover(ImageZone *zone, const QPixmap &picture);
    void ClearHoverPictures();
    // The zones and the list that start or change anything; exit and minimise stay usable.
    void setCommandsEnabled(bool enabled);
    // While a job holds the other commands, the control menu's zone stays usable: its menu offers
    // 取消转换.
    void keepControlMenuReachable();

    // The progress bar's fill, in twips; the frame's width is the full bar.
    double barTwips() const;
    double fillTwips() const { return fillTwips_; }
    void setFillTwips(double twips);
    // The percentage label beside the bar, sized to its text.
    void setProgressText(const QString &text);
    // The bar and its percentage label, shown while a job runs.
    void showProgressBar(bool shown);
    // The path label of the selected entry, hidden while a job runs.
    void showFilename(bool shown);

    // The image list and its commands (frmMainList.cpp): the list is data, List1 shows it.
    ImageList &imageList() const { return *list_; }
    // The row of the selected entry; -1 when no entry is selected.
    int selectedRow() const;
    // Asks for files, any number at once, and appends them in natural order of their names; a
    // cancelled dialog changes nothing.
    void addFileCommand(CCommonDialogs &dialogs);
    // Removes the selected entries; afterwards nothing is selected and the labels keep describing
    // the current one.
    void removeSelectedCommand();
    void clearListCommand();
    // Exchanges the selected entry with its neighbour and selects it at its new place.
    void moveSelected(MoveDirection direction);
    // 向右旋转 (90) and 向左旋转 (-90): turns the selected entries, clockwise for positive degrees.
    void turnSelectedCommand(int degrees);
    // A thumbnail has been made: shown when it is the picture the pointer rests on (or the selected
    // one), turned by its entry's turn.
    void showThumbnail(const QString &path, const QImage &upright);
    // The thumbnail beside the list, hidden when nothing is shown.
    QLabel *thumbnailLabel() const { return picThumbnail; }
    // Appends entries at the end of the list, in order, and hides the hint when the list holds any.
    void appendEntries(const QStringList &paths);
    // While a folder is searched the hint box says so, no command can start and nothing can be
    // dropped; afterwards the hint shows again over an empty list.
    void showSearching(bool searching);
    bool isSearching() const { return searching_; }

    // The one-shot step after loading has run.
    bool loadingFinished() const;
    // The colour the skin's shape is cut by, set by the step after loading.
    QColor maskColor() const { return maskColor_; }
    // A left-button drag of the window by its background is under way.
    bool isDragging() const { return dragActive; }

    // Twips per pixel found at load; progress widths are kept in twips.
    TwipsPerPixel tpp() const { return tpp_; }

Q_SIGNALS:
    // Every text the percentage label is given, as it is given: a job's steps can be followed
    // without sampling the label.
    void progressTextShown(const QString &text);
    // The user (or the session) has asked the program to end; the window is about to go.
    void exitStarted();
    // The pointer rests on (or the user selected) the entry of `path`: its thumbnail is wanted.
    void thumbnailWanted(const QString &path);
    // A thumbnail is on show for `path`.
    void thumbnailShown(const QString &path);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // Drops of picture files on the door, the hint box and the list.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void showEmptyListState();
    void loadPictureHolders();
    void wireZones();
    void enableDrops();
    // Adds what a drop brings, in its order: picture files, and the pictures of folders searched.
    void addDropped(const std::vector<DroppedItem> &items);
    void wireControls();
    std::vector<ControlPlacement> designedLayout();
    // The thumbnail of the entry at `row` (-1: none) is what the window wants to show now.
    void wantThumbnail(int row);
    void hideThumbnail();

    // Controls, named as the rest of the program knows them; each has its name as object name.
    std::array<ImageZone *, 4> imgMenu{};
    std::array<ImageZone *, 6> imgToolbar{};
    ImageZone *imgConvert = nullptr;
    ImageZone *imgUp = nullptr;
    ImageZone *imgDown = nullptr;
    ImageZone *imgMin = nullptr;
    ImageZone *imgExit = nullptr;
    ImageZone *lblUp = nullptr;
    ImageZone *lblDown = nullptr;
    QLabel *picDoor = nullptr;
    QFrame *picText = nullptr;
    QLabel *lblText = nullptr;
    QLabel *lblPage = nullptr;
    QLabel *lblFilename = nullptr;
    ImageListView *List1 = nullptr;
    QLabel *picThumbnail = nullptr;
    int thumbnailRow_ = -1;
    QFrame *PicPB = nullptr;
    QLabel *shapePB = nullptr;
    QLabel *lblPB = nullptr;
    QTimer *Timer1 = nullptr;
    QColor maskColor_;

    // Picture holders: hover (Data) and pressed (Click) pictures of the zones.
    std::array<QPixmap, 4> imgMenuData;
    std::array<QPixmap, 6> imgToolbarData;
    std::array<QPixmap, 6> imgToolbarClick;
    QPixmap imgConvertData;
    QPixmap imgUpData;
    QPixmap imgDownData;

    // A left-button drag of the window by its background, grab point in twips.
    bool dragActive = false;
    qint32 dragX = 0;
    qint32 dragY = 0;

    ImageList *list_ = nullptr;
    MainWindowEngine &engine_;
    QImage skin_;
    TwipsPerPixel tpp_;
    bool unloaded_ = false;
    bool searching_ = false;
    double fillTwips_ = 0;
};

} // namespace pagemint
