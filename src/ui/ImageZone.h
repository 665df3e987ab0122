#pragma once

#include <QLabel>

namespace pagemint {

// An invisible hot zone over a button painted on the skin. It reports presses, moves and clicks,
// and shows a hover or pressed picture at its top-left corner when given one.
class ImageZone : public QLabel {
    Q_OBJECT
public:
    explicit ImageZone(QWidget *parent, const QString &name);

    void showPicture(const QPixmap &picture);
    void clearPicture();
    bool hasPicture() const;

Q_SIGNALS:
    void pressed(Qt::MouseButton button);
    void moved();
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace pagemint
