#pragma once

#include "ui/ImageZone.h"
#include "ui/TwipsLayout.h"

#include <QColor>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>
#include <vector>

class QFrame;
class QLabel;
class QListWidget;
class QMenu;

namespace pagemint {

class frmPrinting;

// The window the user works in: frameless, painted by the skin picture, with invisible zones over
// the painted buttons. It runs no command itself; it hands them to the engine window.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(frmPrinting &engine);
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

    // Controls, named as the rest of the program knows them.
    std::array<ImageZone *, 4> imgMenu{};
    std::array<ImageZone *, 6> imgToolbar{};
    ImageZone *imgConvert = nullptr;
    ImageZone *imgUp = nullptr;
    ImageZone *imgDown = nullptr;
    ImageZone *imgMin = nullptr;
    ImageZone *imgExit = nullptr;
    ImageZone *lblUp = nullptr;
    ImageZone *lblDown = nullptr;
    QListWidget *List1 = nullptr;
    QLabel *picDoor = nullptr;
    QFrame *picText = nullptr;
    QLabel *lblText = nullptr;
    QLabel *lblPage = nullptr;
    QLabel *lblFilename = nullptr;
    QFrame *PicPB = nullptr;
    QLabel *shapePB = nullptr;
    QLabel *lblPB = nullptr;
    QTimer Timer1;
    QColor maskColor;

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

    // The progress bar's fill, in twips; the frame's width is the full bar.
    double barTwips() const;
    double fillTwips() const { return fillTwips_; }
    void setFillTwips(double twips);
    // The percentage label beside the bar, sized to its text.
    void setProgressText(const QString &text);

    frmPrinting &engine() const { return engine_; }
    // Twips per pixel found at load; progress widths are kept in twips.
    TwipsPerPixel tpp() const { return tpp_; }

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
    void loadPictureHolders();
    void wireZones();
    void enableDrops();
    QMenu *menuOfZone(int Index) const;
    void wireControls();
    std::vector<ControlPlacement> designedLayout();

    frmPrinting &engine_;
    QImage skin_;
    TwipsPerPixel tpp_;
    bool unloaded_ = false;
    double fillTwips_ = 0;
};

} // namespace pagemint
